#include "shared/filetree/FileTree.h"

#include "platform/foundation/Log.h"

void FileTree::attachToRoot(const std::shared_ptr<File>& file) {
    file->parent = root;
    root->children.push_back(file);
}

void FileTree::findParent(const std::shared_ptr<File>& file) {
    if (!root || !file) return;
    root->parent.reset();
    if (file->_indent < 1) {
        attachToRoot(file);
        return;
    }
    const std::string parentPath = file->getParentPath();
    if (parentPath.empty()) {
        attachToRoot(file);
        return;
    }
    if (filelist.empty()) return;
    for (auto node = filelist.rbegin(); node != filelist.rend(); ++node) {
        if ((*node)->isDirectory && (*node)->subpath() == parentPath) {
            if (auto folder = std::dynamic_pointer_cast<Folder>(*node)) {
                file->parent = folder;
                folder->children.push_back(file);
                return;
            }
        }
    }
    attachToRoot(file);
}

void FileTree::clearList() { filelist.clear(); }

void FileTree::makeExpandedList() {
    filelist.clear();
    if (!root) return;
    for (const auto& child : root->children) child->makeExpandedList(filelist);
}

void FileTree::setExpanded(bool value) {
    if (!root) return;
    for (const auto& child : root->children) child->setExpanded(value);
}

std::shared_ptr<File> FileTree::findFileWithUID(const std::string& uid) {
    if (uid == kRootContainerItemIdentifier) {
        foundation::writeLogLine("FileTree: The file (root) was found :  " + uid);
        return root;
    }
    if (!root) return nullptr;
    std::shared_ptr<File> found;
    for (auto child = root->children.begin(); !found && child != root->children.end(); ++child) {
        (*child)->findFileWithUID(uid, found);
    }
    return found;
}

std::shared_ptr<File> FileTree::expandPageOf(const std::string& identifier) {
    const auto node = findFileWithUID(identifier);
    if (!node) {
        foundation::writeLogLine("Warning: The file was not found.");
        return nullptr;
    }
    if (!node->isDirectory) {
        node->_expanded = false;
        foundation::writeLogLine("Warning: The file cannot become expanded.");
        return nullptr;
    }
    node->_expanded = true;
    node->makeExpandedList(filelist);
    return node;
}

void FileTree::makeExpandedPage(const std::string& identifier) {
    if (!root) return;
    setExpanded(false);
    filelist.clear();
    if (identifier == kRootContainerItemIdentifier) {
        root->_expanded = true;
        makeExpandedList();
        foundation::writeLogLine("FileTree: Root node was expanded.");
        return;
    }
    expandPageOf(identifier);
}

void FileTree::makeExpandedPath(const std::string& identifier) {
    setExpanded(false);
    filelist.clear();
    if (!root) return;
    if (identifier == kRootContainerItemIdentifier || identifier == kWorkingSetContainerItemIdentifier) {
        root->_expanded = true;
        makeExpandedList();
        foundation::writeLogLine("FileTree: (" + identifier + ") Root node was expanded.");
        return;
    }
    const auto folder = expandPageOf(identifier);
    if (!folder) return;
    for (auto above = folder->parent.lock(); above; above = above->parent.lock()) above->_expanded = true;
}

void FileTree::dumpout() const {
    if (!root) return;
    for (const auto& child : root->children) child->dumpout();
}

void FileTree::dumpoutRoot() const {
    if (root) root->dumpout();
}
