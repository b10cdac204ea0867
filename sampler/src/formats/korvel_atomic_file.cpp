#include "sampler/src/formats/korvel_atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace korvel_atomic {

namespace {

// The folder part of path ("." when it has none) into out; false when it does not fit.
bool folder_of(const char* path, char (&out)[1100])
{
    const char* slash = std::strrchr(path, '/');
    if (slash == nullptr) {
        std::snprintf(out, sizeof out, ".");
        return true;
    }
    const size_t n = slash == path ? 1 : static_cast<size_t>(slash - path);
    if (n >= sizeof out) {
        return false;
    }
    std::memcpy(out, path, n);
    out[n] = '\0';
    return true;
}

int sync_path(const char* path, int flags)
{
    const int fd = ::open(path, flags | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    const int result = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return result;
}

void close_fd(temporary& temp)
{
    if (temp.fd >= 0) {
        ::close(temp.fd);
        temp.fd = -1;
    }
}

} // namespace

bool begin(const char* target, temporary& temp)
{
    char folder[sizeof temp.path];
    if (target == nullptr || !folder_of(target, folder)) {
        errno = ENAMETOOLONG;
        return false;
    }
    const char* base = std::strrchr(target, '/');
    base = base != nullptr ? base + 1 : target;
    const int n = std::snprintf(temp.path, sizeof temp.path, "%s/.%s.partial-XXXXXX", folder, base);
    if (n < 0 || static_cast<size_t>(n) >= sizeof temp.path) {
        errno = ENAMETOOLONG;
        return false;
    }
    temp.fd = mkstemp(temp.path);
    if (temp.fd < 0) {
        return false;
    }
    // The new file gets the old one's permissions, or those of an ordinary new file.
    struct stat existing {};
    ::fchmod(temp.fd, ::stat(target, &existing) == 0 ? (existing.st_mode & 07777) : 0644);
    return true;
}

int commit(temporary& temp, const char* target, replace mode)
{
    close_fd(temp);
    char folder[sizeof temp.path];
    int error = folder_of(target, folder) ? sync_path(temp.path, O_RDONLY) : ENAMETOOLONG;
    if (error == 0) {
        if (mode == replace::allowed) {
            error = ::rename(temp.path, target) == 0 ? 0 : errno;
        } else if (::link(temp.path, target) == 0) {
            ::unlink(temp.path);
        } else if (errno == EPERM || errno == EOPNOTSUPP) {
            // A file system without hard links: the name is claimed by creating it, then the file takes its place.
            const int claimed = ::open(target, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            error = claimed < 0 ? errno : 0;
            if (claimed >= 0) {
                ::close(claimed);
                error = ::rename(temp.path, target) == 0 ? 0 : errno;
            }
        } else {
            error = errno;
        }
    }
    if (error == EEXIST && mode == replace::never) {
        return error;
    }
    if (error != 0) {
        ::unlink(temp.path);
        return error;
    }
    return sync_path(folder, O_RDONLY | O_DIRECTORY);
}

void abandon(temporary& temp)
{
    close_fd(temp);
    ::unlink(temp.path);
}

} // namespace korvel_atomic
