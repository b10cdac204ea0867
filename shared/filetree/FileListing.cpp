// The two listing texts of the file tree: the nested listing of the whole tree and the flat listing of the visible
// nodes. Values are written as they are, without escaping.
#include "shared/filetree/File.h"
#include "shared/filetree/FileTree.h"
#include "shared/filetree/Folder.h"

namespace {

std::string tabs(std::int64_t count) { return std::string(static_cast<std::size_t>(std::max<std::int64_t>(count, 0)), '\t'); }

const char* flagText(bool flag) { return flag ? "true" : "false"; }

}  // namespace

void File::xml(std::string& result, std::int64_t indent) const {
    result += "\n" + tabs(indent) + "<file name='" + getFileName() + "' size='" + getFileSizeFormatted() +
              "' created='" + getCreationDateFormatted() + "' modified='" + getModifiedDateFormatted() + "' depth='" +
              std::to_string(_indent) + "' />";
}

void Folder::xml(std::string& result, std::int64_t indent) const {
    result += "\n" + tabs(indent) + (indent == 0 ? "<folder path='" + rootpath : "<folder subpath='" + subpath()) +
              "' expanded='" + flagText(_expanded) + "' created='" + getCreationDateFormatted() + "' modified='" +
              getModifiedDateFormatted() + "' depth='" + std::to_string(_indent) + "' >";
    for (const auto& child : children) child->xml(result, indent + 1);
    result += "\n" + tabs(indent) + "</folder>";
}

void File::list(std::string& result) const {
    result += tabs(_indent);
    const std::string number = std::to_string(getSystemFileNumber());
    if (isDirectory) {
        result += "<folder id='" + number + "' name='" + getFileName() + "' subpath='" + subpath() + "' created='" +
                  getCreationDateFormatted() + "' modified='" + getModifiedDateFormatted() + "' depth='" +
                  std::to_string(_indent) + "' />";
    } else {
        result += "<file id='" + number + "' name='" + getFileName() + "' size='" + getFileSizeFormatted() +
                  "' created='" + getCreationDateFormatted() + "' modified='" + getModifiedDateFormatted() +
                  "' depth='" + std::to_string(_indent) + "' />";
    }
}

std::string FileTree::xml() const {
    std::string result;
    if (root) root->xml(result, 0);
    return result;
}

std::string FileTree::list() const {
    std::string result = "\n<!-- file list -->";
    result += "\n<files basepath='" + basePath + "'>";
    for (const auto& node : filelist) {
        result += "\n\t";
        node->list(result);
    }
    result += "\n</files>";
    return result;
}
