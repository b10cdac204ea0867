#include "platform/foundation/Files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <random>
#include <string_view>

namespace foundation {
namespace {

constexpr std::string_view kTemporaryMark = ".tunedeck-partial-";
constexpr std::string_view kTemporaryLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr std::size_t kTemporaryRandomLength = 6;
// The longest file name the Linux file systems take, in bytes.
constexpr std::size_t kNameMaxBytes = NAME_MAX;

std::string describe(const std::filesystem::path& path, int errorNumber) {
    return path.string() + ": " + std::strerror(errorNumber);
}

// name cut to at most bytes bytes, never inside a UTF-8 sequence.
std::string shortened(std::string name, std::size_t bytes) {
    if (name.size() <= bytes) return name;
    std::size_t cut = bytes;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
    return name;
}

}  // namespace

std::filesystem::path folderOf(const std::filesystem::path& path) {
    return path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

// A writer holds an exclusive lock on its temporary file until the file is renamed or removed, so a temporary file
// whose lock can be taken belongs to a writer that died. Files of other users or of other kinds are never ours.
void removeStaleTemporaryFiles(const std::filesystem::path& folder) {
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::filesystem::path candidate = it->path();
        if (!isAtomicWriteTemporaryName(candidate.filename().string())) continue;
        const int fd = ::open(candidate.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
        if (fd < 0) continue;
        // The lock is only free when the writer is gone; the name must still be the file whose lock was taken.
        struct stat info{};
        struct stat named{};
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(candidate.c_str(), &named) == 0 &&
            named.st_ino == info.st_ino && named.st_dev == info.st_dev) {
            ::unlink(candidate.c_str());
        }
        ::close(fd);
    }
}

// Creates and locks a fresh temporary file beside path. The lock is taken after creation, so a cleaner in another
// process may unlink the file in between; such a file has no links left and is made again. Where the file system
// keeps no locks the file stays unlocked: no cleaner can lock, and so remove, it there either.
int createLockedTemporary(const std::filesystem::path& folder, const std::filesystem::path& path,
                          std::string& temporary) {
    for (;;) {
        temporary = temporaryNameFor(folder, path).string();
        const int fd = ::open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return -1;
        }
        while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
        }
        struct stat info{};
        if (::fstat(fd, &info) == 0 && info.st_nlink > 0) return fd;
        ::close(fd);
    }
}

std::filesystem::path temporaryNameFor(const std::filesystem::path& folder, const std::filesystem::path& path) {
    static thread_local std::mt19937 random{std::random_device{}()};
    const std::size_t room = kNameMaxBytes - 1 - kTemporaryMark.size() - kTemporaryRandomLength;
    std::string name = "." + shortened(path.filename().string(), room) + std::string(kTemporaryMark);
    for (std::size_t i = 0; i < kTemporaryRandomLength; ++i)
        name += kTemporaryLetters[random() % kTemporaryLetters.size()];
    return folder / name;
}

bool syncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

void giveKeptMode(int fd, mode_t kept) {
    if (temporaryModeFor(kept) != kept && ::fchmod(fd, kept) == 0) ::fsync(fd);
}

bool isAtomicWriteTemporaryName(const std::string& fileName) {
    const std::size_t tail = kTemporaryMark.size() + kTemporaryRandomLength;
    if (fileName.size() <= tail + 1 || fileName.front() != '.') return false;
    const std::string_view end = std::string_view(fileName).substr(fileName.size() - tail);
    return end.starts_with(kTemporaryMark) &&
           end.substr(kTemporaryMark.size()).find_first_not_of(kTemporaryLetters) == std::string_view::npos;
}

std::optional<std::vector<std::uint8_t>> readFile(const std::filesystem::path& path, std::uint64_t byteLimit,
                                                  std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = describe(path, errno);
        return std::nullopt;
    }
    const auto tooLarge = [&] {
        error = path.string() + ": The file is larger than " + std::to_string(byteLimit) + " bytes.";
        ::close(fd);
        return std::nullopt;
    };
    struct stat info{};
    if (::fstat(fd, &info) != 0) {
        error = describe(path, errno);
        ::close(fd);
        return std::nullopt;
    }
    if (S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_size) > byteLimit) return tooLarge();
    std::vector<std::uint8_t> bytes;
    if (S_ISREG(info.st_mode)) bytes.reserve(static_cast<std::size_t>(info.st_size));
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = describe(path, errno);
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        if (bytes.size() + static_cast<std::size_t>(n) > byteLimit) return tooLarge();
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    ::close(fd);
    return bytes;
}

bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes, std::string& error) {
    const std::filesystem::path folder = folderOf(path);
    removeStaleTemporaryFiles(folder);
    std::string temporary;
    const int fd = createLockedTemporary(folder, path, temporary);
    if (fd < 0) {
        error = describe(path, errno);
        return false;
    }
    struct stat existing{};
    const bool replacing = ::stat(path.c_str(), &existing) == 0;
    const mode_t kept = existing.st_mode & 07777;
    const bool ok = (!replacing || ::fchmod(fd, temporaryModeFor(kept)) == 0) && writeAll(fd, bytes) &&
                    ::fsync(fd) == 0;
    const int writeError = errno;
    if (!ok) {
        error = describe(path, writeError);
        ::unlink(temporary.c_str());
        ::close(fd);
        return false;
    }
    // The lock stays until the rename is done, so no cleaner takes the finished file for a stale one.
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        error = describe(path, errno);
        ::unlink(temporary.c_str());
        ::close(fd);
        return false;
    }
    if (replacing) giveKeptMode(fd, kept);
    ::close(fd);
    // The new content is in place: a folder that cannot be flushed now only makes the rename less durable.
    syncFolder(folder);
    return true;
}

}  // namespace foundation
