// A file manager: a current directory of its own, existence tests, and remove, copy, link and move operations that
// ask an optional delegate first whether to go ahead and, after a failure, whether to carry on.
//
// Threads: one thread at a time per instance; the shared instance belongs to the main queue. The process's working
// directory is never changed.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

namespace foundation {

class FileManager;

// Answers a file manager's questions about its operations. The forms taking std::filesystem::path are asked by the
// operations given a URL (a path), the "Path" forms by those given a path string. Answers only: they must not call
// the manager back.
class FileManagerDelegate {
public:
    virtual ~FileManagerDelegate() = default;

    // Whether the operation may touch the item: false skips it, and the operation reports success.
    virtual bool shouldRemoveItemAt(FileManager& manager, const std::filesystem::path& url) = 0;
    virtual bool shouldRemoveItemAtPath(FileManager& manager, const std::string& path) = 0;
    virtual bool shouldCopyItemAt(FileManager& manager, const std::filesystem::path& source,
                                  const std::filesystem::path& destination) = 0;
    virtual bool shouldCopyItemAtPath(FileManager& manager, const std::string& source,
                                      const std::string& destination) = 0;
    virtual bool shouldLinkItemAt(FileManager& manager, const std::filesystem::path& source,
                                  const std::filesystem::path& destination) = 0;
    virtual bool shouldLinkItemAtPath(FileManager& manager, const std::string& source,
                                      const std::string& destination) = 0;
    virtual bool shouldMoveItemAt(FileManager& manager, const std::filesystem::path& source,
                                  const std::filesystem::path& destination) = 0;
    virtual bool shouldMoveItemAtPath(FileManager& manager, const std::string& source,
                                      const std::string& destination) = 0;

    // After a failure: true treats the operation as done, false reports the error.
    virtual bool shouldProceedAfterErrorRemovingItemAt(FileManager& manager, const std::error_code& error,
                                                       const std::filesystem::path& url) = 0;
    virtual bool shouldProceedAfterErrorRemovingItemAtPath(FileManager& manager, const std::error_code& error,
                                                           const std::string& path) = 0;
    virtual bool shouldProceedAfterErrorCopyingItemAt(FileManager& manager, const std::error_code& error,
                                                      const std::filesystem::path& source,
                                                      const std::filesystem::path& destination) = 0;
    virtual bool shouldProceedAfterErrorCopyingItemAtPath(FileManager& manager, const std::error_code& error,
                                                          const std::string& source,
                                                          const std::string& destination) = 0;
    virtual bool shouldProceedAfterErrorLinkingItemAt(FileManager& manager, const std::error_code& error,
                                                      const std::filesystem::path& source,
                                                      const std::filesystem::path& destination) = 0;
    virtual bool shouldProceedAfterErrorLinkingItemAtPath(FileManager& manager, const std::error_code& error,
                                                          const std::string& source,
                                                          const std::string& destination) = 0;
    virtual bool shouldProceedAfterErrorMovingItemAt(FileManager& manager, const std::error_code& error,
                                                     const std::filesystem::path& source,
                                                     const std::filesystem::path& destination) = 0;
    virtual bool shouldProceedAfterErrorMovingItemAtPath(FileManager& manager, const std::error_code& error,
                                                         const std::string& source,
                                                         const std::string& destination) = 0;
};

class FileManager {
public:
    // The process's shared manager (no delegate unless one is set).
    static FileManager& defaultManager();

    // Starts at the process's working directory.
    FileManager();
    FileManager(const FileManager&) = delete;
    FileManager& operator=(const FileManager&) = delete;

    // Not owned; nullptr for none.
    FileManagerDelegate* delegate = nullptr;

    // The manager's own current directory, as an absolute canonical path.
    std::string currentDirectoryPath() const { return currentDirectory_.string(); }
    // Makes path (relative ones against the current directory) the current directory; false, changing nothing, when
    // it is no folder that can be entered.
    bool changeCurrentDirectoryPath(const std::string& path);
    // Whether something exists at path (relative ones against the current directory), following symbolic links;
    // isDirectory, when given, tells whether it is a folder.
    bool fileExistsAtPath(const std::string& path, bool* isDirectory = nullptr) const;

    // Each returns true when done, skipped by the delegate, or failed with the delegate's leave to carry on; false
    // with error set otherwise. Remove takes folders with everything in them; copy copies folders whole and never
    // replaces an existing destination; link makes a hard link; move renames.
    bool removeItemAt(const std::filesystem::path& url, std::error_code& error);
    bool removeItemAtPath(const std::string& path, std::error_code& error);
    bool copyItemAt(const std::filesystem::path& source, const std::filesystem::path& destination,
                    std::error_code& error);
    bool copyItemAtPath(const std::string& source, const std::string& destination, std::error_code& error);
    bool linkItemAt(const std::filesystem::path& source, const std::filesystem::path& destination,
                    std::error_code& error);
    bool linkItemAtPath(const std::string& source, const std::string& destination, std::error_code& error);
    bool moveItemAt(const std::filesystem::path& source, const std::filesystem::path& destination,
                    std::error_code& error);
    bool moveItemAtPath(const std::string& source, const std::string& destination, std::error_code& error);

private:
    std::filesystem::path resolved(const std::filesystem::path& path) const;

    std::filesystem::path currentDirectory_;
};

}  // namespace foundation
