#include "shared/filetree/File.h"

#include <algorithm>

#include "platform/foundation/ByteCountText.h"
#include "platform/foundation/DateText.h"
#include "platform/foundation/Log.h"

namespace {

constexpr const char* kInvalidAttribute = "(invalid attribute)";

std::int64_t componentCount(const std::string& path) {
    std::int64_t count = 0;
    bool inComponent = false;
    for (const char c : path) {
        if (c == '/') {
            inComponent = false;
        } else if (!inComponent) {
            inComponent = true;
            ++count;
        }
    }
    return count;
}

std::string lastComponent(const std::string& path) {
    const auto end = path.find_last_not_of('/');
    if (end == std::string::npos) return path.empty() ? std::string() : std::string("/");
    const auto slash = path.rfind('/', end);
    return path.substr(slash == std::string::npos ? 0 : slash + 1, end - (slash == std::string::npos ? 0 : slash + 1) + 1);
}

const char* flagText(bool flag) { return flag ? "true" : "false"; }

}  // namespace

void File::setSubpath(std::string value) {
    subpath_ = std::move(value);
    _indent = std::max<std::int64_t>(componentCount(subpath_) - 1, 0);
}

std::string File::getFilePath() const { return rootpath + "/" + subpath_; }

std::string File::getFileName() const { return lastComponent(subpath_.empty() ? rootpath : subpath_); }

std::string File::getFileExtension() const {
    const std::string name = lastComponent(subpath_);
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string File::getParentPath() const {
    const auto slash = subpath_.rfind('/');
    return slash == std::string::npos ? std::string() : subpath_.substr(0, slash);
}

namespace {

std::int64_t numberAttribute(const FileAttributes& attributes, std::string_view key) {
    const auto found = attributes.find(key);
    if (found == attributes.end()) return -1;
    const auto* number = std::get_if<std::int64_t>(&found->second);
    return number ? *number : -1;
}

std::chrono::system_clock::time_point dateAttribute(const FileAttributes& attributes, std::string_view key) {
    const auto found = attributes.find(key);
    if (found != attributes.end()) {
        if (const auto* moment = std::get_if<std::chrono::system_clock::time_point>(&found->second)) return *moment;
    }
    return std::chrono::system_clock::now();
}

}  // namespace

std::int64_t File::getSystemFileNumber() const { return numberAttribute(attributes, kNSFileSystemFileNumber); }

std::string File::getSystemFileNumberFormatted() const {
    return attributes.empty() ? kInvalidAttribute : std::to_string(getSystemFileNumber());
}

std::chrono::system_clock::time_point File::getModificationDate() const {
    return dateAttribute(attributes, kNSFileModificationDate);
}

std::chrono::system_clock::time_point File::getCreationDate() const {
    return dateAttribute(attributes, kNSFileCreationDate);
}

std::string File::getModifiedDateFormatted() const {
    return attributes.empty() ? kInvalidAttribute : foundation::mediumDateTimeText(getModificationDate());
}

std::string File::getCreationDateFormatted() const {
    return attributes.empty() ? kInvalidAttribute : foundation::mediumDateTimeText(getCreationDate());
}

std::int64_t File::getFileSize() const { return numberAttribute(attributes, kNSFileSize); }

std::string File::getFileSizeFormatted() const {
    return attributes.empty() ? kInvalidAttribute : foundation::byteCountText(getFileSize());
}

std::shared_ptr<File> File::sharedFile() { return std::static_pointer_cast<File>(shared_from_this()); }

void File::makeExpandedList(std::vector<std::shared_ptr<File>>& list) { list.push_back(sharedFile()); }

void File::setExpanded(bool value) { _expanded = isDirectory && value; }

void File::findFileWithUID(const std::string& identifier, std::shared_ptr<File>& found) {
    if (identifier != getSystemFileNumberFormatted()) return;
    found = sharedFile();
    foundation::writeLogLine(std::string(isDirectory ? "FileTree: The following folder was found: "
                                                     : "FileTree: The following file was found: ") +
                             " " + getSystemFileNumberFormatted() + " " + getFileName());
}

void File::dumpoutFile() const {
    foundation::writeLogLine("File " + getIDFormatted() + " filename='" + getFileName() + "'");
    FileBase::dumpout();
    const auto folder = parent.lock();
    foundation::writeLogLine(
        "uid='" + std::to_string(uid) + "' parent='" + (folder ? folder->getIDFormatted() : std::string("none")) +
        "' rootpath='" + rootpath + "' subpath='" + subpath_ + "' exists='" + flagText(exists) + "' isDirectory='" +
        flagText(isDirectory) + "' isWritable='" + flagText(isWritable) + "' isReadeble='" + flagText(isReadeble) +
        "' isExecutable='" + flagText(isExecutable) + "' isDeleteble='" + flagText(isDeleteble) + "' attributes='" +
        std::to_string(attributes.size()) + "'");
    for (const auto& [key, value] : attributes) foundation::writeLogLine("  " + describeFileAttribute(key, value));
}

void File::dumpout() const { dumpoutFile(); }
