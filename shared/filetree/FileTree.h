// A folder on disk held as nodes: root, everything under it, and filelist, the rows the MIDI-file browser shows for
// the folders now open. FileEnumerator builds it.
//
// Identifiers are file-system file numbers as decimal text, plus the two container identifiers below.
//
// Threads: main queue only. Log lines go straight to standard output (foundation::writeLogLine).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "shared/filetree/File.h"
#include "shared/filetree/Folder.h"

inline constexpr std::string_view kRootContainerItemIdentifier = "NSFileProviderRootContainerItemIdentifier";
inline constexpr std::string_view kWorkingSetContainerItemIdentifier = "NSFileProviderWorkingSetContainerItemIdentifier";

class FileTree {
public:
    // The folder the tree was enumerated from.
    std::string basePath;
    std::shared_ptr<Folder> root;
    // While FileEnumerator runs: all nodes as found. After: the rows on screen, top to bottom.
    std::vector<std::shared_ptr<File>> filelist;

    // Attaches a newly read node to its folder: the root for an entry directly in the top folder, otherwise the
    // latest folder in filelist whose subpath is the node's parent path (the root when none is). A node whose parent
    // path is not empty stays unattached while filelist is empty. Does nothing without a root or a node.
    void findParent(const std::shared_ptr<File>& file);
    void clearList();
    // filelist := the root's entries, depth first, descending into open folders only. The root is not a row.
    void makeExpandedList();
    // Opens or closes all folders below the root; files never open.
    void setExpanded(bool value);
    // The root for the root container identifier; otherwise the first node below the root, in pre-order, with that
    // file number (the root's own number is never compared). nullptr when none matches.
    std::shared_ptr<File> findFileWithUID(const std::string& uid);
    // Closes everything, then lists one folder's level: the root's entries for the root container identifier, else
    // that folder's own row and then its entries. A file's or an unknown identifier logs a warning and empties
    // filelist.
    void makeExpandedPage(const std::string& identifier);
    // As makeExpandedPage (the working-set identifier also names the root), and marks every folder above the listed
    // one open, so that a later makeExpandedList() shows the path down to it.
    void makeExpandedPath(const std::string& identifier);
    // The nested listing of the whole tree; empty without a root.
    std::string xml() const;
    // The flat listing of filelist.
    std::string list() const;
    // Diagnostic dumps of the root's children and of the root.
    void dumpout() const;
    void dumpoutRoot() const;

private:
    void attachToRoot(const std::shared_ptr<File>& file);
    // Looks identifier up and, for a folder, lists its page; returns the folder or nullptr.
    std::shared_ptr<File> expandPageOf(const std::string& identifier);
};
