// Turns one folder on disk into a FileTree: walks the folder in pre-order (a folder before its entries, the entries
// of a folder sorted by name, symbolic links listed but never followed), makes a folder or file node for every entry,
// attaches it to its folder, reads its permissions and attributes, and removes the archive and finder metadata items
// named exactly "__MACOSX" (with all it holds) or ".DS_Store" from the disk.
//
// Threads: main queue only; not reentrant. Log lines go straight to standard output (foundation::writeLogLine).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "shared/filetree/FileTree.h"

class FileEnumerator {
public:
    // The one tree that every enumeration refills.
    FileTree fileTree;

    // Refills fileTree from the folder at the absolute path: basePath becomes the folder's canonical path, root a
    // new folder node with every entry below it, and filelist is empty afterwards (makeExpandedList() lists the
    // tree). A path that is no searchable folder, or a folder whose attributes cannot be read, is logged and leaves
    // the tree as it was. The working directory of the process is never changed.
    void enumerate(const std::string& path);

private:
    void walk(const std::string& path, const std::filesystem::path& folder, const std::string& relativeFolder);
    // The node's depth comes from name, which the walk builds one folder level at a time.
    void addNode(const std::string& path, const std::string& name);
};

// The process-wide enumerator of the MIDI-file browser, made on first use and kept for the life of the process.
FileEnumerator& fileEnumerator();
