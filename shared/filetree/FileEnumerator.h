// Builds a FileTree from a folder on disk. The walk is pre-order, siblings sorted by name, symbolic links recorded
// but not entered; each entry becomes a File or Folder node under its parent, with permissions and attributes read.
// Archive and finder litter called exactly "__MACOSX" (recursively) or ".DS_Store" is deleted from disk on the way.
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

    // Rebuilds fileTree from the absolute path: basePath gets the canonical path, root a fresh Folder holding the
    // whole hierarchy, and filelist ends up empty (call makeExpandedList() for rows). A path that is no searchable
    // folder, or a folder whose attributes cannot be read, is logged and leaves the tree as it was. The working
    // directory of the process is never changed.
    void enumerate(const std::string& path);

private:
    void walk(const std::string& path, const std::filesystem::path& folder, const std::string& relativeFolder);
    // The node's depth comes from name, which the walk builds one folder level at a time.
    void addNode(const std::string& path, const std::string& name);
};

// The MIDI-file browser's enumerator: one per process, created lazily, never destroyed.
FileEnumerator& fileEnumerator();
