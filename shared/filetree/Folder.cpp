#include "shared/filetree/Folder.h"

void Folder::makeExpandedList(std::vector<std::shared_ptr<File>>& list) {
    list.push_back(sharedFile());
    if (!_expanded) return;
    for (const auto& child : children) child->makeExpandedList(list);
}

void Folder::setExpanded(bool value) {
    File::setExpanded(value);
    for (const auto& child : children) child->setExpanded(value);
}

void Folder::findFileWithUID(const std::string& identifier, std::shared_ptr<File>& found) {
    File::findFileWithUID(identifier, found);
    for (auto child = children.begin(); !found && child != children.end(); ++child) {
        (*child)->findFileWithUID(identifier, found);
    }
}

void Folder::dumpout() const {
    dumpoutFile();
    for (const auto& child : children) child->dumpout();
}
