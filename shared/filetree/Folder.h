// A folder node of the file tree: a File that owns its entries, files and folders mixed, in the order attached.
//
// Threads: main queue only.
#pragma once

#include <memory>
#include <vector>

#include "shared/filetree/File.h"

class Folder : public File {
public:
    std::vector<std::shared_ptr<File>> children;

    // Itself, then, when _expanded, each child's visible list in children order.
    void makeExpandedList(std::vector<std::shared_ptr<File>>& list) override;
    void setExpanded(bool value) override;
    // Pre-order search; the first hit wins.
    void findFileWithUID(const std::string& identifier, std::shared_ptr<File>& found) override;
    void xml(std::string& result, std::int64_t indent) const override;
    void dumpout() const override;
};
