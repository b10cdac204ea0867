#include "shared/filetree/FileEnumerator.h"

#include <unistd.h>

#include <algorithm>
#include <system_error>
#include <vector>

#include "platform/foundation/Log.h"
#include "shared/filetree/FileAccess.h"
#include "shared/filetree/FileAttributes.h"

namespace fs = std::filesystem;

namespace {

bool isMetadataItem(const std::string& name) { return name == "__MACOSX" || name == ".DS_Store"; }

void removeMetadataItem(const fs::path& item) {
    std::error_code error;
    fs::remove_all(item, error);
    if (error) {
        foundation::writeLogLine("\"" + item.filename().string() + "\" couldn't be removed: " + error.message());
    }
}

}  // namespace

void FileEnumerator::enumerate(const std::string& path) {
    std::error_code error;
    const fs::path top(path);
    fs::path currentDirectory;
    if (fs::is_directory(top, error) && ::access(top.c_str(), X_OK) == 0) currentDirectory = fs::canonical(top, error);
    if (currentDirectory.empty() || error) {
        foundation::writeLogLine("Error: Could not set current path '" + path + "' for the file manager.");
        return;
    }
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
    walk(path, top, "");
    foundation::writeLogLine("WARNING:  Unbekannter Typ des Dateiobjektes oder <nil>.");
    fileTree.clearList();
}

void FileEnumerator::walk(const std::string& path, const fs::path& folder, const std::string& relativeFolder) {
    std::error_code error;
    std::vector<fs::directory_entry> entries;
    for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
        entries.push_back(*it);
    }
    std::sort(entries.begin(), entries.end(),
              [](const fs::directory_entry& a, const fs::directory_entry& b) { return a.path().filename() < b.path().filename(); });

    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (isMetadataItem(name)) {
            removeMetadataItem(entry.path());
            continue;
        }
        const std::string relative = relativeFolder.empty() ? name : relativeFolder + "/" + name;
        addNode(path, relative);
        std::error_code typeError;
        if (entry.is_directory(typeError) && !entry.is_symlink(typeError)) walk(path, entry.path(), relative);
    }
}

void FileEnumerator::addNode(const std::string& path, const std::string& name) {
    const fs::path full(path + "/" + name);
    std::error_code error;
    const auto status = fs::status(full, error);
    const bool exists = !error && fs::exists(status);
    const bool isDirectory = exists && fs::is_directory(status);

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
}

FileEnumerator& fileEnumerator() {
    static FileEnumerator shared;
    return shared;
}
