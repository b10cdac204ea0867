#include "Orvo_Tunedeck/app/RenderTarget.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

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
            ", not a regular file: --render writes only regular files";
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

// The temporary names of target's renders: "NAME.partial-PID".
std::string partialPrefix(const std::filesystem::path& target) { return target.filename().string() + ".partial-"; }

// Removes the temporary files of earlier renders of target whose writer is gone (no one holds their lock).
void removeAbandonedPartials(const std::filesystem::path& target, const std::filesystem::path& folder) {
    const std::string prefix = partialPrefix(target);
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::filesystem::path& path = entry->path();
        if (!path.filename().string().starts_with(prefix)) continue;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat status {};
        if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
        ::close(fd);
    }
}

std::filesystem::path partialName(const std::filesystem::path& target) {
    std::filesystem::path partial = target;
    partial += ".partial-" + std::to_string(::getpid());
    return partial;
}

// Gives the unnamed file fd the name partial.
bool linkUnnamed(int fd, const std::filesystem::path& partial) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, partial.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    return ::linkat(fd, "", AT_FDCWD, partial.c_str(), AT_EMPTY_PATH) == 0;
}

}  // namespace

std::optional<RenderTarget> RenderTarget::open(const std::filesystem::path& target, std::string& error) {
    const std::string name = target.filename().string();
    if (name.empty() || name == "." || name == "..") {
        error = quoted(target) + " names a folder, not a file: --render writes only regular files";
        return std::nullopt;
    }
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    if (!isFolder(target, folder, error) || !isWritableKind(target, error)) return std::nullopt;
    removeAbandonedPartials(target, folder);

    std::filesystem::path partial;
    int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        partial = partialName(target);
        fd = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    }
    if (fd < 0) {
        error = "cannot write " + quoted(target) + ": cannot create a file in " + quoted(folder) + ": " +
                std::strerror(errno);
        return std::nullopt;
    }
    // The lock tells a later render that the writer of the temporary name still lives.
    ::flock(fd, LOCK_EX | LOCK_NB);
    return RenderTarget(target, std::move(partial), fd);
}

RenderTarget::RenderTarget(RenderTarget&& other) noexcept
    : target_(std::move(other.target_)), partial_(std::move(other.partial_)), fd_(std::exchange(other.fd_, -1)) {
    other.partial_.clear();
}

RenderTarget::~RenderTarget() { discard(); }

void RenderTarget::discard() {
    if (!partial_.empty()) ::unlink(partial_.c_str());
    partial_.clear();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool RenderTarget::commit(std::string& error) {
    const auto fail = [&](int cause) {
        error = "cannot write " + quoted(target_) + ": " + std::strerror(cause);
        discard();
        return false;
    };
    if (partial_.empty()) {
        const std::filesystem::path linked = partialName(target_);
        ::unlink(linked.c_str());
        if (!linkUnnamed(fd_, linked)) return fail(errno);
        partial_ = linked;
    }
    // The target may have changed kind since the render began; a device or folder is still not replaced.
    if (!isWritableKind(target_, error)) {
        discard();
        return false;
    }
    if (::rename(partial_.c_str(), target_.c_str()) != 0) return fail(errno);
    partial_.clear();
    discard();
    return true;
}
