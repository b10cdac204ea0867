// A file-tree node for one file on disk (the Folder subclass stands for folders). FileEnumerator sets its fields;
// the getters turn them into names, numbers, dates and sizes.
//
// Threads: main queue only.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "shared/filetree/FileAttributes.h"
#include "shared/filetree/FileBase.h"

class File : public FileBase {
public:
    // The entry's file-system file number, copied when the enumerator fills the node; -1 before.
    std::int64_t uid = -1;
    // The containing folder node (folders own their children).
    std::weak_ptr<File> parent;
    // The folder enumerate() was given, as an absolute path; the same for every node, the root included.
    std::string rootpath;
    bool exists = false;
    bool isDirectory = false;
    bool isWritable = false;
    bool isReadeble = false;
    bool isExecutable = false;
    bool isDeleteble = false;
    // Empty when the entry's attributes were not read.
    FileAttributes attributes;

    // Slash-separated, relative to rootpath; "" for the root.
    const std::string& subpath() const { return subpath_; }
    // Also sets _indent to the number of components of value minus one (0 for an empty value).
    void setSubpath(std::string value);

    // rootpath + "/" + subpath; the root's path thus has a trailing "/".
    std::string getFilePath() const;
    // The last component of subpath; of rootpath when subpath is empty.
    std::string getFileName() const;
    // The text after the last "." of the last component of subpath, without the dot; "" when there is none.
    std::string getFileExtension() const;
    // subpath without its last component.
    std::string getParentPath() const;
    // The attribute NSFileSystemFileNumber; -1 when attributes is empty. Its decimal text is the node's identifier.
    std::int64_t getSystemFileNumber() const;
    std::string getSystemFileNumberFormatted() const;
    // The attribute NSFileModificationDate or NSFileCreationDate; the current moment when attributes is empty.
    std::chrono::system_clock::time_point getModificationDate() const;
    std::chrono::system_clock::time_point getCreationDate() const;
    // Medium date and time, en_US.
    std::string getModifiedDateFormatted() const;
    std::string getCreationDateFormatted() const;
    // The attribute NSFileSize in bytes; -1 when attributes is empty.
    std::int64_t getFileSize() const;
    // In decimal units ("12 KB").
    std::string getFileSizeFormatted() const;

    // Appends this node to list; a folder then its visible entries.
    virtual void makeExpandedList(std::vector<std::shared_ptr<File>>& list);
    // Sets _expanded to value for a folder entry and to false for a file; a folder passes value on to its subtree.
    virtual void setExpanded(bool value);
    // Sets found to the first node, in pre-order, whose getSystemFileNumberFormatted() equals identifier, and prints
    // the match.
    virtual void findFileWithUID(const std::string& identifier, std::shared_ptr<File>& found);
    // Appends the node's part of the nested listing, indented by indent tabs.
    virtual void xml(std::string& result, std::int64_t indent) const;
    // Appends the node's line of the flat listing.
    void list(std::string& result) const;
    void dumpout() const override;

protected:
    std::shared_ptr<File> sharedFile();
    // Prints the dump lines of File itself, without the children of a folder.
    void dumpoutFile() const;

private:
    std::string subpath_;
};
