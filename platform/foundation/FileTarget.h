#pragma once
// The file a long writer (a render) produces: checked and claimed before writing starts, written under no name (or a
// temporary one) while it runs, and given its name only when the writer commits. A failed or killed writer leaves no
// file of that name, and an older file of that name as it was.
//
// Everything that can be known before writing is checked in open(): a target that is (or is a symbolic link to) a
// folder, a device, a FIFO or a socket is refused, so is one in a missing folder, one whose name is too long, and an
// existing file that cannot be written (read-only to this user, immutable, append-only). A symbolic link to a regular
// file is written through: the link stays and the file it names gets the new content, in that file's folder.
//
// A new file gets the mode the umask leaves of 0666; a replaced file keeps its mode, and its owner and group as far as
// this user may give them. Where the file system allows,
// the bytes go to an unnamed file (O_TMPFILE) that is linked in at the end. Elsewhere they go to a locked temporary
// file beside the target, named as writeFileAtomically names its own; a later writer in that folder removes such
// files whose writer is gone.
//
// Threads: any one thread but the render thread.

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace foundation {

// The system calls a target makes where tests put others, to reach what this machine's file systems do not do (no
// O_TMPFILE, an immutable file, a folder that cannot be flushed).
struct FileTargetSystem {
    // open(2): the unnamed file in the folder (O_TMPFILE) and the check that an existing target can be written.
    int (*open)(const char* path, int flags, mode_t mode);
    // Flushes a folder's entries to disk; false with errno set.
    bool (*syncFolder)(const std::filesystem::path& folder);

    static FileTargetSystem real();
};

class FileTarget {
public:
    // The target checked and the file to write opened; nullopt, with error naming the cause, when that cannot be.
    static std::optional<FileTarget> open(const std::filesystem::path& target, std::string& error,
                                          const FileTargetSystem& system = FileTargetSystem::real());

    FileTarget(FileTarget&& other) noexcept;
    FileTarget& operator=(FileTarget&&) = delete;
    FileTarget(const FileTarget&) = delete;
    FileTarget& operator=(const FileTarget&) = delete;
    // Without commit: the file written is removed.
    ~FileTarget();

    // The open file to write into, readable too (a writer may use it; it is closed only here).
    int descriptor() const { return fd_; }
    // Appends bytes to the file; false, with error naming the cause, when that cannot be done.
    bool write(std::span<const std::uint8_t> bytes, std::string& error);
    // Flushes the written file to disk and gives it the target's name (replacing a regular file of that name); false,
    // with error naming the cause, when that cannot be done, and then nothing is left behind. Once the file has its
    // name the commit has succeeded; what could not be done after that (flushing the folder) is in warning().
    bool commit(std::string& error);
    // After a successful commit: what went wrong after the file was in place, or empty.
    const std::string& warning() const { return warning_; }

private:
    FileTarget(std::filesystem::path target, std::filesystem::path file, std::filesystem::path temporary, int fd,
               const FileTargetSystem& system)
        : target_(std::move(target)), file_(std::move(file)), temporary_(std::move(temporary)), fd_(fd),
          system_(system) {}
    void discard();

    // As the caller named it, for messages.
    std::filesystem::path target_;
    // The file that gets the content: the target, or the regular file it links to.
    std::filesystem::path file_;
    // The temporary name, empty for an unnamed file.
    std::filesystem::path temporary_;
    int fd_ = -1;
    FileTargetSystem system_;
    // The mode of the replaced file, given in full once the new file has its name; none for a new file.
    std::optional<mode_t> keptMode_;
    std::string warning_;
};

}  // namespace foundation
