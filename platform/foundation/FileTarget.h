#pragma once
// The file a long writer (a render) produces: checked before writing starts, written under no name (or a temporary
// one) while it runs, and given its name only when the writer commits. A failed or killed writer leaves no file of
// that name, and an older file of that name as it was.
//
// Only regular files are written: a target that is (or is a symbolic link to) a folder, a device, a FIFO or a socket
// is refused, and so is a target in a folder that is missing. Where the file system allows, the bytes go to an
// unnamed file (O_TMPFILE) that is linked in at the end. Elsewhere they go to a locked temporary file beside the
// target, named as writeFileAtomically names its own; a later writer in that folder removes such files whose
// writer is gone.
//
// Threads: any one thread but the render thread.

#include <filesystem>
#include <optional>
#include <string>

namespace foundation {

class FileTarget {
public:
    // The target checked and the file to write opened; nullopt, with error naming the cause, when that cannot be.
    static std::optional<FileTarget> open(const std::filesystem::path& target, std::string& error);

    FileTarget(FileTarget&& other) noexcept;
    FileTarget& operator=(FileTarget&&) = delete;
    FileTarget(const FileTarget&) = delete;
    FileTarget& operator=(const FileTarget&) = delete;
    // Without commit: the file written is removed.
    ~FileTarget();

    // The open file to write into (a writer may use it; it is closed only here).
    int descriptor() const { return fd_; }
    // Flushes the written file to disk and gives it the target's name (replacing a regular file of that name); false,
    // with error naming the cause, when that cannot be done, and then nothing is left behind.
    bool commit(std::string& error);

private:
    FileTarget(std::filesystem::path target, std::filesystem::path temporary, int fd)
        : target_(std::move(target)), temporary_(std::move(temporary)), fd_(fd) {}
    void discard();

    std::filesystem::path target_;
    // The temporary name, empty for an unnamed file.
    std::filesystem::path temporary_;
    int fd_ = -1;
};

}  // namespace foundation
