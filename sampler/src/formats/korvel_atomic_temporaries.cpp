#include "sampler/src/formats/korvel_atomic_temporaries.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace korvel_atomic {

namespace {

constexpr size_t MARK_LENGTH = sizeof temporary_mark - 1;
constexpr size_t RANDOM_LENGTH = 6;
constexpr size_t NAME_MAX_BYTES = 255;
// The longest name part that still lets "." + name + mark + random characters fit a file name.
constexpr size_t NAME_ROOM = NAME_MAX_BYTES - 1 - MARK_LENGTH - RANDOM_LENGTH;
constexpr char LETTERS[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

bool is_letter(char c)
{
    return c != '\0' && std::strchr(LETTERS, c) != nullptr;
}

void random_letters(char (&out)[RANDOM_LENGTH + 1])
{
    // A name that is taken is only tried again, so a plain generator seeded once per thread is enough.
    thread_local std::mt19937_64 random{std::random_device{}()};
    for (size_t i = 0; i < RANDOM_LENGTH; i++) {
        out[i] = LETTERS[random() % (sizeof LETTERS - 1)];
    }
    out[RANDOM_LENGTH] = '\0';
}

// How many bytes of name fit before the mark, not cutting a UTF-8 character in two.
int name_part_length(const char* name)
{
    size_t n = std::strlen(name);
    if (n > NAME_ROOM) {
        n = NAME_ROOM;
        while (n > 0 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80) {
            n--;
        }
    }
    // Only an announcement ends in the claim mark: the temporary file of a name that happens to end so drops the
    // mark's last letter, so that it never names a claim.
    const size_t claim = sizeof claim_mark - 1;
    if (n >= claim && std::strncmp(name + n - claim, claim_mark, claim) == 0) {
        n--;
    }
    return static_cast<int>(n);
}

// Whether a writer that is alive announces the same name as the stale announcement file_name (the same name but
// for the random characters). A file that cannot be looked at counts as alive.
bool announced_by_live_writer(int dir, const char* file_name)
{
    const int fd = openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* listing = fd >= 0 ? fdopendir(fd) : nullptr;
    if (listing == nullptr) {
        if (fd >= 0) {
            ::close(fd);
        }
        return true;
    }
    const size_t length = std::strlen(file_name);
    bool alive = false;
    while (const dirent* entry = readdir(listing)) {
        if (alive || std::strcmp(entry->d_name, file_name) == 0 || std::strlen(entry->d_name) != length ||
            std::strncmp(entry->d_name, file_name, length - RANDOM_LENGTH) != 0 || !is_temporary_name(entry->d_name)) {
            continue;
        }
        const int other = openat(dirfd(listing), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        alive = other < 0 ? errno != ENOENT : ::flock(other, LOCK_EX | LOCK_NB) != 0;
        if (other >= 0) {
            ::close(other);
        }
    }
    closedir(listing);
    return alive;
}

// Removes the empty claim that the stale announcement file_name names, if this library made it. False when a live
// writer announces the same name: the empty file may be its claim, so it and the stale announcement stay for a
// later cleaner.
bool remove_claim(int dir, const char* file_name)
{
    const size_t length = std::strlen(file_name);
    const size_t claim = sizeof claim_mark - 1;
    const size_t tail = claim + MARK_LENGTH + RANDOM_LENGTH;
    if (length <= tail + 1 || std::strncmp(file_name + length - tail, claim_mark, claim) != 0) {
        return true;
    }
    if (announced_by_live_writer(dir, file_name)) {
        return false;
    }
    char name[NAME_MAX_BYTES + 1];
    std::snprintf(name, sizeof name, "%.*s", static_cast<int>(length - tail - 1), file_name + 1);
    struct stat info {};
    if (fstatat(dir, name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) && info.st_size == 0 &&
        (info.st_mode & 07777) == 0 && info.st_uid == geteuid() && info.st_nlink == 1) {
        unlinkat(dir, name, 0);
    }
    return true;
}

} // namespace

bool is_temporary_name(const char* file_name)
{
    const size_t length = std::strlen(file_name);
    const size_t tail = MARK_LENGTH + RANDOM_LENGTH;
    if (length <= tail + 1 || file_name[0] != '.' ||
        std::strncmp(file_name + length - tail, temporary_mark, MARK_LENGTH) != 0) {
        return false;
    }
    for (size_t i = length - RANDOM_LENGTH; i < length; i++) {
        if (!is_letter(file_name[i])) {
            return false;
        }
    }
    return true;
}

int create_locked(const char* folder, const char* name, char* out, size_t size)
{
    for (int attempt = 0; attempt < 100; attempt++) {
        char letters[RANDOM_LENGTH + 1];
        random_letters(letters);
        const int n = std::snprintf(out, size, "%s/.%.*s%s%s", folder, name_part_length(name), name, temporary_mark,
                                    letters);
        if (n < 0 || static_cast<size_t>(n) >= size) {
            errno = ENAMETOOLONG;
            return -1;
        }
        const int fd = ::open(out, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return -1;
        }
        // Another writer's cleaner may take the file for a stale one between its creation and the lock; such a
        // file has no name left once the lock is ours, and a fresh one is made. Where the file system keeps no
        // locks the file stays unlocked: no cleaner can lock, and so remove, it there either.
        while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
        }
        struct stat info {};
        if (::fstat(fd, &info) == 0 && info.st_nlink > 0) {
            return fd;
        }
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

bool claim_announcement(const char* folder, const char* name, const char* temporary_path, char* out, size_t size)
{
    const size_t length = std::strlen(temporary_path);
    if (length < RANDOM_LENGTH || std::strlen(name) + sizeof claim_mark - 1 > NAME_ROOM) {
        return false;
    }
    const int n = std::snprintf(out, size, "%s/.%s%s%s%s", folder, name, claim_mark, temporary_mark,
                                temporary_path + length - RANDOM_LENGTH);
    return n >= 0 && static_cast<size_t>(n) < size;
}

void remove_stale(const char* folder)
{
    DIR* listing = opendir(folder);
    if (listing == nullptr) {
        return;
    }
    const int dir = dirfd(listing);
    while (const dirent* entry = readdir(listing)) {
        if (!is_temporary_name(entry->d_name)) {
            continue;
        }
        struct stat named {};
        if (fstatat(dir, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(named.st_mode) ||
            named.st_uid != geteuid()) {
            continue;
        }
        const int fd = openat(dir, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        struct stat opened {};
        // The lock is only free when the writer is gone; the name must still be the file whose lock was taken.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 && opened.st_ino == named.st_ino &&
            opened.st_dev == named.st_dev && fstatat(dir, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            opened.st_ino == named.st_ino) {
            if (remove_claim(dir, entry->d_name)) {
                unlinkat(dir, entry->d_name, 0);
            }
        }
        ::close(fd);
    }
    closedir(listing);
}

} // namespace korvel_atomic
