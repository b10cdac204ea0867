#include "platform/foundation/FileManager.h"

#include <unistd.h>

namespace fs = std::filesystem;

namespace foundation {

namespace {

void removeItem(const fs::path& item, std::error_code& error) {
    if (!fs::exists(fs::symlink_status(item, error))) {
        if (!error) error = std::make_error_code(std::errc::no_such_file_or_directory);
        return;
    }
    fs::remove_all(item, error);
}

void copyItem(const fs::path& source, const fs::path& destination, std::error_code& error) {
    if (fs::exists(fs::symlink_status(destination, error))) {
        error = std::make_error_code(std::errc::file_exists);
        return;
    }
    fs::copy(source, destination, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
}

void moveItem(const fs::path& source, const fs::path& destination, std::error_code& error) {
    if (fs::exists(fs::symlink_status(destination, error))) {
        error = std::make_error_code(std::errc::file_exists);
        return;
    }
    fs::rename(source, destination, error);
}

// The shape every operation shares: ask, act, and after a failure ask again.
template <typename Should, typename Act, typename Proceed>
bool perform(FileManagerDelegate* delegate, std::error_code& error, Should should, Act act, Proceed proceed) {
    error.clear();
    if (delegate != nullptr && !should(*delegate)) return true;
    act(error);
    if (!error) return true;
    if (delegate != nullptr && proceed(*delegate, error)) {
        error.clear();
        return true;
    }
    return false;
}

}  // namespace

FileManager& FileManager::defaultManager() {
    static FileManager shared;
    return shared;
}

FileManager::FileManager() {
    std::error_code error;
    currentDirectory_ = fs::current_path(error);
}

fs::path FileManager::resolved(const fs::path& path) const {
    return path.is_absolute() ? path : currentDirectory_ / path;
}

bool FileManager::changeCurrentDirectoryPath(const std::string& path) {
    std::error_code error;
    const fs::path target = resolved(path);
    if (!fs::is_directory(target, error) || ::access(target.c_str(), X_OK) != 0) return false;
    const fs::path canonical = fs::canonical(target, error);
    if (error) return false;
    currentDirectory_ = canonical;
    return true;
}

bool FileManager::fileExistsAtPath(const std::string& path, bool* isDirectory) const {
    std::error_code error;
    const auto status = fs::status(resolved(path), error);
    const bool exists = !error && fs::exists(status);
    if (isDirectory != nullptr) *isDirectory = exists && fs::is_directory(status);
    return exists;
}

bool FileManager::removeItemAt(const fs::path& url, std::error_code& error) {
    return perform(
        delegate, error, [&](FileManagerDelegate& d) { return d.shouldRemoveItemAt(*this, url); },
        [&](std::error_code& e) { removeItem(resolved(url), e); },
        [&](FileManagerDelegate& d, const std::error_code& e) {
            return d.shouldProceedAfterErrorRemovingItemAt(*this, e, url);
        });
}

bool FileManager::removeItemAtPath(const std::string& path, std::error_code& error) {
    return perform(
        delegate, error, [&](FileManagerDelegate& d) { return d.shouldRemoveItemAtPath(*this, path); },
        [&](std::error_code& e) { removeItem(resolved(path), e); },
        [&](FileManagerDelegate& d, const std::error_code& e) {
            return d.shouldProceedAfterErrorRemovingItemAtPath(*this, e, path);
        });
}

bool FileManager::copyItemAt(const fs::path& source, const fs::path& destination, std::error_code& error) {
    return perform(
        delegate, error, [&](FileManagerDelegate& d) { return d.shouldCopyItemAt(*this, source, destination); },
        [&](std::error_code& e) { copyItem(resolved(source), resolved(destination), e); },
        [&](FileManagerDelegate& d, const std::error_code& e) {
            return d.shouldProceedAfterErrorCopyingItemAt(*this, e, source, destination);
        });
}

bool FileManager::copyItemAtPath(const std::string& source, const std::string& destination, std::error_code& error) {
    return perform(
        delegate, error, [&](FileManagerDelegate& d) { return d.shouldCopyItemAtPath(*this, source, destination); },
        [&](std::error_code& e) { copyItem(resolved(source), resolved(destination), e); },
        [&](FileManagerDelegate& d, const std::error_code& e) {
            return d.shouldProceedAfterErrorCopyingItemAtPath(*this, e, source, destination);
        });
}

bool FileManager::linkItemAt(const fs::path& source, const fs::path& destination, std::error_code& error) {
    return perform(
        delegate, error, [&](FileManagerDelegate& d) { return d.shouldLinkItemAt(*this, source, destination); },
        [&](std::error_code& e) { fs::create_hard_link(resolved(source), resolved(destination), e); },
        [&](FileManagerDelegate& d, const std::error_code& e) {
            return d.shouldProceedAfterErrorLinkingItemAt(*this, e, source, destination);
        });
}

bool FileManager::linkItemAtPath(const std::string& source, const std::string& destination, std::error_code& error) {
    return perform(
        delegate, error, [&](FileManagerDelegate& d) { return d.shouldLinkItemAtPath(*this, source, destination); },
        [&](std::error_code& e) { fs::create_hard_link(resolved(source), resolved(destination), e); },
        [&](FileManagerDelegate& d, const std::error_code& e) {
            return d.shouldProceedAfterErrorLinkingItemAtPath(*this, e, source, destination);
        });
}

bool FileManager::moveItemAt(const fs::path& source, const fs::path& destination, std::error_code& error) {
    return perform(
        delegate, error, [&](FileManagerDelegate& d) { return d.shouldMoveItemAt(*this, source, destination); },
        [&](std::error_code& e) { moveItem(resolved(source), resolved(destination), e); },
        [&](FileManagerDelegate& d, const std::error_code& e) {
            return d.shouldProceedAfterErrorMovingItemAt(*this, e, source, destination);
        });
}

bool FileManager::moveItemAtPath(const std::string& source, const std::string& destination, std::error_code& error) {
    return perform(
        delegate, error, [&](FileManagerDelegate& d) { return d.shouldMoveItemAtPath(*this, source, destination); },
        [&](std::error_code& e) { moveItem(resolved(source), resolved(destination), e); },
        [&](FileManagerDelegate& d, const std::error_code& e) {
            return d.shouldProceedAfterErrorMovingItemAtPath(*this, e, source, destination);
        });
}

}  // namespace foundation
