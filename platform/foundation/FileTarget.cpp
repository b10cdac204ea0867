#include "platform/foundation/FileTarget.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/foundation/Files.h"

namespace foundation {
namespace {

std::string quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

// What a file of mode is, for one that is not a regular file.
std::string kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    return "no regular file";
}

// Whether target may be written: it does not exist, or it is (a link to) a regular file. Otherwise false, with
// error naming what it is.
bool isWritableKind(const std::filesystem::path& target, std::string& error) {
    struct stat status {};
    if (::stat(target.c_str(), &status) != 0) {
        if (errno == ENOENT) return true;
        error = "cannot write " + quoted(target) + ": " + std::strerror(errno);
        return false;
    }
    if (S_ISREG(status.st_mode)) return true;
    struct stat link {};
    const bool symbolic = ::lstat(target.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
    error = quoted(target) + " is " + (symbolic ? "a symbolic link to " : "") + kindOf(status.st_mode) +
            ", not a regular file: only regular files are written";
    return false;
}

// Whether folder exists and is a folder; false with error naming the cause.
bool isFolder(const std::filesystem::path& target, const std::filesystem::path& folder, std::string& error) {
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0) {
        error = "cannot write " + quoted(target) + ": " +
                (errno == ENOENT ? "the folder " + quoted(folder) + " does not exist"
                                 : "the folder " + quoted(folder) + " cannot be reached: " + std::strerror(errno));
        return false;
    }
    if (!S_ISDIR(status.st_mode)) {
        error = "cannot write " + quoted(target) + ": " + quoted(folder) + " is not a folder";
        return false;
    }
    return true;
}

std::filesystem::path folderOf(const std::filesystem::path& target) {
    return target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
}

// Gives the unnamed file fd a fresh temporary name for target; the name, or an empty path with errno set. The file
// keeps fd's lock, so no cleaner takes it for a stale one.
std::filesystem::path linkUnnamed(int fd, const std::filesystem::path& target) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (;;) {
        const std::filesystem::path name = temporaryNameFor(folderOf(target), target);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return name;
        const int viaProc = errno;
        if (viaProc == EEXIST) continue;
        if (::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0) return name;
        // Without /proc the second way's reason is the one that counts.
        if (viaProc != ENOENT) errno = viaProc;
        return {};
    }
}

}  // namespace

std::optional<FileTarget> FileTarget::open(const std::filesystem::path& target, std::string& error) {
    const std::string name = target.filename().string();
    if (name.empty() || name == "." || name == "..") {
        error = quoted(target) + " names a folder, not a file: only regular files are written";
        return std::nullopt;
    }
    const std::filesystem::path folder = folderOf(target);
    if (!isFolder(target, folder, error) || !isWritableKind(target, error)) return std::nullopt;
    removeStaleTemporaryFiles(folder);

    std::string temporary;
    int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0) {
        // A fresh unnamed file: the lock is free and travels with the name it is given at the end.
        ::flock(fd, LOCK_EX | LOCK_NB);
    } else if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) {
        fd = createLockedTemporary(folder, target, temporary);
    }
    if (fd < 0) {
        error = "cannot write " + quoted(target) + ": cannot create a file in " + quoted(folder) + ": " +
                std::strerror(errno);
        return std::nullopt;
    }
    return FileTarget(target, temporary, fd);
}

FileTarget::FileTarget(FileTarget&& other) noexcept
    : target_(std::move(other.target_)), temporary_(std::move(other.temporary_)), fd_(std::exchange(other.fd_, -1)) {
    other.temporary_.clear();
}

FileTarget::~FileTarget() { discard(); }

void FileTarget::discard() {
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool FileTarget::commit(std::string& error) {
    const auto fail = [&](int cause) {
        error = "cannot write " + quoted(target_) + ": " + std::strerror(cause);
        discard();
        return false;
    };
    if (::fsync(fd_) != 0) return fail(errno);
    if (temporary_.empty()) {
        temporary_ = linkUnnamed(fd_, target_);
        if (temporary_.empty()) return fail(errno);
    }
    // The target may have changed kind since writing began; a device or folder is still not replaced.
    if (!isWritableKind(target_, error)) {
        discard();
        return false;
    }
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) return fail(errno);
    temporary_.clear();
    const bool synced = syncFolder(folderOf(target_));
    const int syncError = errno;
    discard();
    return synced || fail(syncError);
}

}  // namespace foundation
