#include "shared/filetree/FileEnumerator.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "platform/foundation/Log.h"
#include "shared/filetree/FileAccess.h"
#include "shared/filetree/FileAttributes.h"

namespace fs = std::filesystem;

namespace {

bool isMetadataItem(const std::string& name) { return name == "__MACOSX" || name == ".DS_Store"; }

}  // namespace

FileEnumerator::FileEnumerator() : defaultFileManager(foundation::FileManager::defaultManager()) {
    fileManager.delegate = this;
}

FileEnumerator::~FileEnumerator() { fileManager.delegate = nullptr; }

void FileEnumerator::enumerate(const std::string& path) {
    // Relative paths count from the process's working directory, whatever folder the manager stands in.
    std::error_code absoluteError;
    const fs::path top = fs::absolute(path, absoluteError);
    if (absoluteError || !fileManager.changeCurrentDirectoryPath(top.string())) {
        foundation::writeLogLine("Error: Could not set current path '" + path + "' for the file manager.");
        return;
    }
    const fs::path currentDirectory = fileManager.currentDirectoryPath();
    std::string readError;
    auto attributes = readFileAttributes(currentDirectory, readError);
    if (!attributes) {
        foundation::writeLogLine(readError);
        return;
    }

    auto root = std::make_shared<Folder>();
    root->_indent = 0;
    root->_expanded = true;
    root->rootpath = path;
    root->exists = true;
    root->isDirectory = true;
    root->isReadeble = isReadableFile(top);
    root->isWritable = isWritableFile(top);
    root->isExecutable = isExecutableFile(top);
    root->isDeleteble = isDeletableFile(top);
    root->attributes = std::move(*attributes);
    root->uid = root->getSystemFileNumber();

    fileTree.basePath = currentDirectory.string();
    fileTree.root = root;
    fileTree.clearList();
    walk(path, top, top, "", 1);
    fileTree.clearList();
}

void FileEnumerator::walk(const std::string& path, const fs::path& top, const fs::path& folder,
                          const std::string& relativeFolder, std::int64_t level) {
    std::error_code error;
    std::vector<fs::directory_entry> entries;
    for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
        entries.push_back(*it);
    }
    std::sort(entries.begin(), entries.end(),
              [](const fs::directory_entry& a, const fs::directory_entry& b) {
                  return a.path().filename() < b.path().filename();
              });

    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (isMetadataItem(name)) {
            std::error_code removeError;
            if (!defaultFileManager.removeItemAt(entry.path(), removeError)) {
                foundation::writeLogLine("\"" + name + "\" couldn't be removed: " + removeError.message());
            }
            continue;
        }
        const std::string relative = relativeFolder.empty() ? name : relativeFolder + "/" + name;
        addNode(path, top, relative, level);
        std::error_code typeError;
        if (entry.is_directory(typeError) && !entry.is_symlink(typeError)) {
            walk(path, top, entry.path(), relative, level + 1);
        }
    }
}

void FileEnumerator::addNode(const std::string& path, const fs::path& top, const std::string& name,
                             std::int64_t level) {
    const fs::path full = top / name;
    bool isDirectory = false;
    const bool exists = fileManager.fileExistsAtPath(full.string(), &isDirectory);

    std::shared_ptr<File> node = isDirectory ? std::make_shared<Folder>() : std::make_shared<File>();
    node->exists = exists;
    node->isDirectory = isDirectory;
    node->rootpath = path;
    node->setSubpath(name);
    fileTree.findParent(node);
    node->isReadeble = isReadableFile(full);
    node->isWritable = isWritableFile(full);
    node->isExecutable = isExecutableFile(full);
    node->isDeleteble = isDeletableFile(full);
    std::string readError;
    if (auto attributes = readFileAttributes(full, readError)) {
        node->attributes = std::move(*attributes);
    } else {
        foundation::writeLogLine(readError);
    }
    node->uid = node->getSystemFileNumber();
    fileTree.filelist.push_back(node);
    const std::int64_t depth = level - 1;
    if (node->_indent != depth) {
        foundation::writeLogLine("WARNUNG: Die Verschachtelungstiefe unterscheidet sich! ( indent: " +
                                 std::to_string(node->_indent) + " / level: " + std::to_string(depth) + " )");
    }
    node->_indent = depth;
}

FileEnumerator& fileEnumerator() {
    static FileEnumerator shared;
    return shared;
}
