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

std::string cannotWrite(const std::filesystem::path& target, const std::string& why) {
    return "cannot write " + quoted(target) + ": " + why;
}

// What a file of mode is, for one that is not a regular file.
std::string kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    return "no regular file";
}

std::string notRegular(const std::filesystem::path& target, bool symbolic, mode_t mode) {
    return quoted(target) + " is " + (symbolic ? "a symbolic link to " : "") + kindOf(mode) +
           ", not a regular file: only regular files are written";
}

// Whether file may be replaced now: it does not exist, or it is (a link to) a regular file. Otherwise false, with
// error naming target and what it is.
bool isWritableKind(const std::filesystem::path& file, const std::filesystem::path& target, std::string& error) {
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0) {
        if (errno == ENOENT) return true;
        error = cannotWrite(target, std::strerror(errno));
        return false;
    }
    if (S_ISREG(status.st_mode)) return true;
    struct stat link {};
    error = notRegular(target, ::lstat(file.c_str(), &link) == 0 && S_ISLNK(link.st_mode), status.st_mode);
    return false;
}

// The file that gets target's content: target itself when it is missing or a regular file, the regular file that a
// symbolic link target names (so that the link stays). nullopt, with error naming the cause, for anything else.
std::optional<std::filesystem::path> fileToWrite(const std::filesystem::path& target, std::string& error) {
    struct stat link {};
    if (::lstat(target.c_str(), &link) != 0) {
        if (errno == ENOENT) return target;
        error = cannotWrite(target, std::strerror(errno));
        return std::nullopt;
    }
    if (S_ISREG(link.st_mode)) return target;
    if (!S_ISLNK(link.st_mode)) {
        error = notRegular(target, false, link.st_mode);
        return std::nullopt;
    }
    struct stat linked {};
    if (::stat(target.c_str(), &linked) != 0) {
        error = cannotWrite(target, errno == ENOENT ? "it is a symbolic link to a file that does not exist"
                                                    : std::string(std::strerror(errno)));
        return std::nullopt;
    }
    if (!S_ISREG(linked.st_mode)) {
        error = notRegular(target, true, linked.st_mode);
        return std::nullopt;
    }
    std::error_code failure;
    std::filesystem::path file = std::filesystem::canonical(target, failure);
    if (failure) {
        error = cannotWrite(target, failure.message());
        return std::nullopt;
    }
    return file;
}

// Whether folder exists and is a folder; false with error naming the cause.
bool isFolder(const std::filesystem::path& target, const std::filesystem::path& folder, std::string& error) {
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0) {
        error = cannotWrite(target, errno == ENOENT
                                        ? "the folder " + quoted(folder) + " does not exist"
                                        : "the folder " + quoted(folder) + " cannot be reached: " + std::strerror(errno));
        return false;
    }
    if (!S_ISDIR(status.st_mode)) {
        error = cannotWrite(target, quoted(folder) + " is not a folder");
        return false;
    }
    return true;
}

// The status of the existing regular file, once it has been opened for writing (without changing it): a file this
// user may not write, or one marked immutable or append-only, cannot be replaced either. nullopt, with error naming
// the cause, when it cannot be opened so.
std::optional<struct stat> statusOfWritable(const FileTargetSystem& system, const std::filesystem::path& file,
                                     const std::filesystem::path& target, std::string& error) {
    const int fd = system.open(file.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0);
    struct stat status {};
    if (fd < 0 || ::fstat(fd, &status) != 0) {
        const int cause = errno;
        if (fd >= 0) ::close(fd);
        error = cannotWrite(target, std::string(std::strerror(cause)) +
                                        (cause == EPERM ? " (the file is protected against changes)" : ""));
        return std::nullopt;
    }
    ::close(fd);
    return status;
}

// Gives the new file fd the owner, group and mode of the file it replaces (readable to its owner until commit). Owner and group only as far as this user
// may give them (all for root, the group for a member of it), so that a shared file stays its owner's.
bool keepOwnerAndMode(int fd, const struct stat& replaced) {
    if (::fchown(fd, replaced.st_uid, replaced.st_gid) != 0) ::fchown(fd, static_cast<uid_t>(-1), replaced.st_gid);
    return ::fchmod(fd, temporaryModeFor(replaced.st_mode & 07777)) == 0;
}

std::string descriptorLink(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// An unnamed file in folder that can be given a name at the end (through /proc), locked; -1 with errno set when
// the folder's file system or the system cannot do that.
int openUnnamed(const FileTargetSystem& system, const std::filesystem::path& folder) {
    const int fd = system.open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (fd < 0) return -1;
    if (::access(descriptorLink(fd).c_str(), F_OK) != 0) {
        ::close(fd);
        errno = EOPNOTSUPP;
        return -1;
    }
    // A fresh unnamed file: the lock is free and travels with the name it is given at the end.
    ::flock(fd, LOCK_EX | LOCK_NB);
    return fd;
}

// Gives the unnamed file fd a fresh temporary name for file; the name, or an empty path with errno set. The file
// keeps fd's lock, so no cleaner takes it for a stale one.
std::filesystem::path linkUnnamed(int fd, const std::filesystem::path& file) {
    for (;;) {
        const std::filesystem::path name = temporaryNameFor(folderOf(file), file);
        if (::linkat(AT_FDCWD, descriptorLink(fd).c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return name;
        if (errno != EEXIST) return {};
    }
}

int systemOpen(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

}  // namespace

FileTargetSystem FileTargetSystem::real() { return {&systemOpen, &foundation::syncFolder}; }

std::optional<FileTarget> FileTarget::open(const std::filesystem::path& target, std::string& error,
                                           const FileTargetSystem& system) {
    const std::string name = target.filename().string();
    if (name.empty() || name == "." || name == "..") {
        error = quoted(target) + " names a folder, not a file: only regular files are written";
        return std::nullopt;
    }
    if (!isFolder(target, folderOf(target), error)) return std::nullopt;
    const std::optional<std::filesystem::path> file = fileToWrite(target, error);
    if (!file) return std::nullopt;
    std::optional<struct stat> replaced;
    if (std::error_code ignored; std::filesystem::exists(*file, ignored)) {
        replaced = statusOfWritable(system, *file, target, error);
        if (!replaced) return std::nullopt;
    }
    const std::filesystem::path folder = folderOf(*file);
    removeStaleTemporaryFiles(folder);

    std::string temporary;
    int fd = openUnnamed(system, folder);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL))
        fd = createLockedTemporary(folder, *file, temporary);
    if (fd < 0) {
        error = cannotWrite(target, "cannot create a file in " + quoted(folder) + ": " + std::strerror(errno));
        return std::nullopt;
    }
    FileTarget opened(target, *file, temporary, fd, system);
    if (replaced && !keepOwnerAndMode(fd, *replaced)) {
        error = cannotWrite(target, std::string("cannot keep its mode: ") + std::strerror(errno));
        return std::nullopt;
    }
    if (replaced) opened.keptMode_ = replaced->st_mode & 07777;
    return opened;
}

FileTarget::FileTarget(FileTarget&& other) noexcept
    : target_(std::move(other.target_)), file_(std::move(other.file_)), temporary_(std::move(other.temporary_)),
      fd_(std::exchange(other.fd_, -1)), system_(other.system_), keptMode_(other.keptMode_),
      warning_(std::move(other.warning_)) {
    other.temporary_.clear();
}

FileTarget::~FileTarget() { discard(); }

void FileTarget::discard() {
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool FileTarget::write(std::span<const std::uint8_t> bytes, std::string& error) {
    if (writeAll(fd_, bytes)) return true;
    error = cannotWrite(target_, std::strerror(errno));
    return false;
}

bool FileTarget::commit(std::string& error) {
    const auto fail = [&](int cause) {
        error = cannotWrite(target_, std::strerror(cause));
        discard();
        return false;
    };
    if (::fsync(fd_) != 0) return fail(errno);
    if (temporary_.empty()) {
        temporary_ = linkUnnamed(fd_, file_);
        if (temporary_.empty()) return fail(errno);
    }
    // The target may have changed kind since writing began; a device or folder is still not replaced.
    if (!isWritableKind(file_, target_, error)) {
        discard();
        return false;
    }
    if (::rename(temporary_.c_str(), file_.c_str()) != 0) return fail(errno);
    temporary_.clear();
    if (keptMode_) giveKeptMode(fd_, *keptMode_);
    if (!system_.syncFolder(folderOf(file_)))
        warning_ = quoted(target_) + " is written, but its folder could not be flushed to disk (" +
                   std::strerror(errno) + "): a system crash now could still lose it";
    discard();
    return true;
}

}  // namespace foundation
