#include "sampler/src/formats/korvel_atomic_file.h"

#include "sampler/src/formats/korvel_atomic_temporaries.h"
#include "sampler/src/sys/korvel_sys.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace korvel_atomic {

namespace {

constexpr int MAX_LINKS_FOLLOWED = 40;

step_hook test_hook = nullptr;

int at_step(step at)
{
    return test_hook != nullptr ? test_hook(at) : 0;
}

// The folder part of path ("." when it has none) into out; false when it does not fit.
bool folder_of(const char* path, char (&out)[sizeof temporary::path])
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

// Follows symbolic links from path to the name of the file they end at (which may not exist yet): 0, or the error.
int resolve(const char* path, char (&out)[sizeof temporary::target])
{
    if (std::snprintf(out, sizeof out, "%s", path) >= static_cast<int>(sizeof out)) {
        return ENAMETOOLONG;
    }
    for (int hop = 0; hop < MAX_LINKS_FOLLOWED; hop++) {
        struct stat info {};
        if (::lstat(out, &info) != 0) {
            return errno == ENOENT ? 0 : errno;
        }
        if (!S_ISLNK(info.st_mode)) {
            return 0;
        }
        char link[sizeof out];
        const ssize_t n = ::readlink(out, link, sizeof link - 1);
        if (n < 0) {
            return errno;
        }
        link[n] = '\0';
        char folder[sizeof out];
        if (!folder_of(out, folder)) {
            return ENAMETOOLONG;
        }
        const int length = link[0] == '/' ? std::snprintf(out, sizeof out, "%s", link)
                                          : std::snprintf(out, sizeof out, "%s/%s", folder, link);
        if (length < 0 || length >= static_cast<int>(sizeof out)) {
            return ENAMETOOLONG;
        }
    }
    return ELOOP;
}

const char* kind_of(mode_t mode)
{
    if (S_ISDIR(mode)) {
        return "is a folder, not a file";
    }
    if (S_ISFIFO(mode)) {
        return "is a FIFO, not a regular file";
    }
    if (S_ISSOCK(mode)) {
        return "is a socket, not a regular file";
    }
    return "is a device, not a regular file";
}

void close_fd(temporary& temp)
{
    if (temp.fd >= 0) {
        ::close(temp.fd);
        temp.fd = -1;
    }
}

bool start(const char* folder, const char* name, temporary& temp)
{
    remove_stale(folder);
    temp.fd = create_locked(folder, name, temp.path, sizeof temp.path);
    if (temp.fd < 0) {
        return false;
    }
    if (const int error = at_step(step::locked); error != 0) {
        abandon(temp);
        errno = error;
        return false;
    }
    return true;
}

int sync_temporary(temporary& temp)
{
    if (::fsync(temp.fd) != 0) {
        return errno;
    }
    return at_step(step::synced);
}

// Gives the written temporary file the replaced file's owner and mode. Only now: until it is written, a read-only
// mode would stop a writer that opens it again by name. The owner first: changing it clears the set-id bits that
// the mode then restores. Only a privileged writer may give the file away, so a refusal leaves the writer as owner
// (and the group, where the writer belongs to it).
// While the file still has its temporary name its owner may read it whatever the mode, so that the next writer's
// cleaner can open it to test its lock should this one be killed; a mode without that is given once the file has
// its name (give_mode_kept_from_owner). True when there was a replaced file, whose mode then still has to reach
// the disk.
bool keep_mode_and_owner(const temporary& temp)
{
    if (!temp.replaces) {
        return false;
    }
    if ((temp.uid != geteuid() || temp.gid != getegid()) && ::fchown(temp.fd, temp.uid, temp.gid) != 0) {
        // A member of the file's group may still keep the group.
        (void)::fchown(temp.fd, static_cast<uid_t>(-1), temp.gid);
    }
    ::fchmod(temp.fd, temp.mode | S_IRUSR);
    return true;
}

// The replaced file's mode, where it keeps the file from its own owner, for the file that now has its name. A
// failure leaves the owner able to read the file, nothing more.
void give_mode_kept_from_owner(const temporary& temp)
{
    if ((temp.mode & S_IRUSR) == 0 && ::fchmod(temp.fd, temp.mode) == 0) {
        (void)::fsync(temp.fd);
    }
}

// Flushes the folder that now holds the new name. The new file is in place whatever happens here; a failure only
// means its name might not survive a power cut, so it is a warning.
void sync_folder(const char* file)
{
    char folder[sizeof temporary::path];
    int error = folder_of(file, folder) ? at_step(step::folder_sync) : ENAMETOOLONG;
    if (error == 0) {
        const int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        error = fd < 0 || ::fsync(fd) != 0 ? errno : 0;
        if (fd >= 0) {
            ::close(fd);
        }
    }
    if (error != 0) {
        korvel_log(KORVEL_WARN, "'%s' is written, but its folder could not be flushed to the disk: %s", file,
                   std::strerror(error));
    }
}

bool refused_link(int error)
{
    return error == EPERM || error == EOPNOTSUPP || error == ENOSYS;
}

// Where the file system takes neither a rename that never replaces nor a hard link: the temporary file first
// announces the name it is about to claim, then the name is claimed by creating an empty file of mode 0, and the
// temporary file replaces it. A writer killed in between leaves an announcement whose lock is free, and the next
// writer removes both; an empty file of mode 0 that no dead writer announced is never taken for a claim.
int claim_and_rename(temporary& temp, const char* folder, const char* name, const char* destination)
{
    char announcement[sizeof temp.path];
    if (!claim_announcement(folder, name, temp.path, announcement, sizeof announcement)) {
        return ENAMETOOLONG;
    }
    if (::rename(temp.path, announcement) != 0) {
        return errno;
    }
    std::memcpy(temp.path, announcement, sizeof temp.path);
    const int claim = ::open(destination, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0);
    if (claim < 0) {
        return errno;
    }
    ::close(claim);
    int error = at_step(step::claimed);
    if (error == 0 && ::rename(temp.path, destination) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(destination);
    }
    return error;
}

// Gives the temporary file the name destination only where nothing has it: 0, EEXIST, or another error.
int take_free_name(temporary& temp, const char* folder, const char* name, const char* destination)
{
    int error = at_step(step::rename_noreplace);
    if (error == 0) {
        error = ::renameat2(AT_FDCWD, temp.path, AT_FDCWD, destination, RENAME_NOREPLACE) == 0 ? 0 : errno;
    }
    if (error != EINVAL && error != ENOSYS && error != EOPNOTSUPP) {
        return error;
    }
    error = at_step(step::link);
    if (error == 0) {
        error = ::link(temp.path, destination) == 0 ? 0 : errno;
    }
    if (error == 0) {
        ::unlink(temp.path);
        return 0;
    }
    return refused_link(error) ? claim_and_rename(temp, folder, name, destination) : error;
}

// Ends a commit whose last step gave error: the temporary file removed after a failure, else its lock let go and
// the folder of its new name flushed. Returns error.
int finish(temporary& temp, int error, const char* placed)
{
    if (error != 0) {
        abandon(temp);
        return error;
    }
    // The lock goes only now: until the new name is taken a cleaner must not take the whole file for a stale one.
    close_fd(temp);
    sync_folder(placed);
    return 0;
}

} // namespace

bool begin(const char* target, temporary& temp)
{
    temp.refusal = nullptr;
    char folder[sizeof temp.path];
    if (target == nullptr || *target == '\0') {
        // An empty path names no file; nothing is made for it.
        errno = target == nullptr ? EINVAL : ENOENT;
        return false;
    }
    if (const int error = resolve(target, temp.target); error != 0) {
        errno = error;
        return false;
    }
    if (!folder_of(temp.target, folder)) {
        errno = ENAMETOOLONG;
        return false;
    }
    struct stat existing {};
    const bool exists = ::stat(temp.target, &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        temp.refusal = kind_of(existing.st_mode);
        errno = EINVAL;
        return false;
    }
    temp.replaces = exists;
    temp.mode = existing.st_mode & 07777;
    temp.uid = existing.st_uid;
    temp.gid = existing.st_gid;
    const char* name = std::strrchr(temp.target, '/');
    return start(folder, name != nullptr ? name + 1 : temp.target, temp);
}

bool begin_new(const char* folder, const char* stem, temporary& temp)
{
    temp.refusal = nullptr;
    temp.replaces = false;
    temp.target[0] = '\0';
    return start(folder, stem, temp);
}

const char* begin_failure(const temporary& temp, int error)
{
    return temp.refusal != nullptr ? temp.refusal : std::strerror(error);
}

int commit(temporary& temp)
{
    int error = sync_temporary(temp);
    const bool replaces = error == 0 && keep_mode_and_owner(temp);
    if (replaces && ::fsync(temp.fd) != 0) {
        error = errno;
    }
    if (error == 0) {
        error = at_step(step::mode_kept);
    }
    if (error == 0 && ::rename(temp.path, temp.target) != 0) {
        error = errno;
    }
    if (error == 0 && replaces) {
        give_mode_kept_from_owner(temp);
    }
    return finish(temp, error, temp.target);
}

int commit_new(temporary& temp, const char* name)
{
    char folder[sizeof temp.path];
    char destination[sizeof temp.path];
    int error = folder_of(temp.path, folder) ? sync_temporary(temp) : ENAMETOOLONG;
    if (error == 0 && std::snprintf(destination, sizeof destination, "%s/%s", folder, name) >=
                          static_cast<int>(sizeof destination)) {
        error = ENAMETOOLONG;
    }
    if (error == 0) {
        error = take_free_name(temp, folder, name, destination);
    }
    return error == EEXIST ? error : finish(temp, error, destination);
}

void abandon(temporary& temp)
{
    ::unlink(temp.path);
    close_fd(temp);
}

void set_step_hook(step_hook hook)
{
    test_hook = hook;
}

} // namespace korvel_atomic
