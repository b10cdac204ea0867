// Builds a FileTree from a folder on disk. The walk is pre-order, siblings sorted by name, symbolic links recorded
// but not entered; each entry becomes a File or Folder node under its parent, with permissions and attributes read.
// Archive and finder litter called exactly "__MACOSX" (recursively) or ".DS_Store" is deleted from disk on the way.
//
// Threads: main queue only; not reentrant. Log lines go straight to standard output (foundation::writeLogLine).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/foundation/FileManager.h"
#include "shared/filetree/FileTree.h"

class FileEnumerator : public foundation::FileManagerDelegate {
public:
    FileEnumerator();
    FileEnumerator(const FileEnumerator&) = delete;
    FileEnumerator& operator=(const FileEnumerator&) = delete;
    ~FileEnumerator() override;

    // The process's shared manager; the metadata items are removed through it.
    foundation::FileManager& defaultFileManager;
    // The enumerator's own manager, whose delegate it is: the directory change and every read of a walk go through
    // it, and so do the remove, copy, link and move operations a caller runs on it.
    foundation::FileManager fileManager;
    // The one tree that every enumeration refills.
    FileTree fileTree;

    // Rebuilds fileTree from the absolute path: basePath gets the canonical path, root a fresh Folder holding the
    // whole hierarchy, and filelist ends up empty (call makeExpandedList() for rows). A path that is no searchable
    // folder, or a folder whose attributes cannot be read, is logged and leaves the tree as it was. The working
    // directory of the process is never changed.
    void enumerate(const std::string& path);

    // The answers to fileManager: remove, copy, link and move go ahead, and stop at their first error.
    bool shouldRemoveItemAt(foundation::FileManager&, const std::filesystem::path&) override { return true; }
    bool shouldRemoveItemAtPath(foundation::FileManager&, const std::string&) override { return true; }
    bool shouldCopyItemAt(foundation::FileManager&, const std::filesystem::path&,
                          const std::filesystem::path&) override {
        return true;
    }
    bool shouldCopyItemAtPath(foundation::FileManager&, const std::string&, const std::string&) override {
        return true;
    }
    bool shouldLinkItemAt(foundation::FileManager&, const std::filesystem::path&,
                          const std::filesystem::path&) override {
        return true;
    }
    bool shouldLinkItemAtPath(foundation::FileManager&, const std::string&, const std::string&) override {
        return true;
    }
    bool shouldMoveItemAt(foundation::FileManager&, const std::filesystem::path&,
                          const std::filesystem::path&) override {
        return true;
    }
    bool shouldMoveItemAtPath(foundation::FileManager&, const std::string&, const std::string&) override {
        return true;
    }
    bool shouldProceedAfterErrorRemovingItemAt(foundation::FileManager&, const std::error_code&,
                                               const std::filesystem::path&) override {
        return false;
    }
    bool shouldProceedAfterErrorRemovingItemAtPath(foundation::FileManager&, const std::error_code&,
                                                   const std::string&) override {
        return false;
    }
    bool shouldProceedAfterErrorCopyingItemAt(foundation::FileManager&, const std::error_code&,
                                              const std::filesystem::path&, const std::filesystem::path&) override {
        return false;
    }
    bool shouldProceedAfterErrorCopyingItemAtPath(foundation::FileManager&, const std::error_code&,
                                                  const std::string&, const std::string&) override {
        return false;
    }
    bool shouldProceedAfterErrorLinkingItemAt(foundation::FileManager&, const std::error_code&,
                                              const std::filesystem::path&, const std::filesystem::path&) override {
        return false;
    }
    bool shouldProceedAfterErrorLinkingItemAtPath(foundation::FileManager&, const std::error_code&,
                                                  const std::string&, const std::string&) override {
        return false;
    }
    bool shouldProceedAfterErrorMovingItemAt(foundation::FileManager&, const std::error_code&,
                                             const std::filesystem::path&, const std::filesystem::path&) override {
        return false;
    }
    bool shouldProceedAfterErrorMovingItemAtPath(foundation::FileManager&, const std::error_code&,
                                                 const std::string&, const std::string&) override {
        return false;
    }

private:
    // path as given, top as an absolute path; level: how deep the walk is below top, 1 for its own entries.
    void walk(const std::string& path, const std::filesystem::path& top, const std::filesystem::path& folder,
              const std::string& relativeFolder, std::int64_t level);
    // The node's depth comes from name; a depth that disagrees with the walk's level is logged, and the level wins.
    void addNode(const std::string& path, const std::filesystem::path& top, const std::string& name,
                 std::int64_t level);
};

// The MIDI-file browser's enumerator: one per process, created lazily, never destroyed.
FileEnumerator& fileEnumerator();
