// The base of every node of the file tree: its running node number and the flags the browser reads.
//
// Threads: main queue only, since the node counter is a global without synchronisation.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class FileBase : public std::enable_shared_from_this<FileBase> {
public:
    // Takes the next node number of the process: the first node made has 1, and numbers keep rising across trees.
    FileBase();
    virtual ~FileBase() = default;
    FileBase(const FileBase&) = delete;
    FileBase& operator=(const FileBase&) = delete;

    std::int64_t getID() const { return _id; }
    // The node number as decimal text.
    std::string getIDFormatted() const;
    // Prints one diagnostic line to standard output.
    virtual void dumpout() const;

    // Remote-entry and selection marks; no operation of the tree changes them.
    bool _remote = false;
    // A folder whose entries are listed in the tree's filelist.
    bool _expanded = false;
    bool _selected = false;
    // Nesting level; the root and its direct entries both have 0.
    std::int64_t _indent = 0;

private:
    std::int64_t _id = -1;
};
