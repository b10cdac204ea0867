#pragma once
// The file a render writes: checked before the render starts, written under no name (or a temporary one) while the
// render runs, and given its name only when the render succeeded. A failed or killed render leaves no file of that
// name, and an older file of that name as it was.
//
// Only regular files are written: a target that is (or is a symbolic link to) a folder, a device, a FIFO or a socket
// is refused, and so is a target in a folder that is missing or cannot be written into. Where the file system
// allows, the samples go to an unnamed file (O_TMPFILE) that is linked in at the end. Elsewhere they go to
// "NAME.partial-PID" beside the target, locked by its writer for as long as the writer lives; a later render of the
// same target removes such files whose writer is gone.
//
// Threads: the main queue.

#include <filesystem>
#include <optional>
#include <string>

class RenderTarget {
public:
    // The target checked and the file to write opened; nullopt, with error naming the cause, when that cannot be.
    static std::optional<RenderTarget> open(const std::filesystem::path& target, std::string& error);

    RenderTarget(RenderTarget&& other) noexcept;
    RenderTarget& operator=(RenderTarget&&) = delete;
    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;
    // Without commit: the file written is removed.
    ~RenderTarget();

    // The open file to write the render into (a writer may take it as its own; it is closed only here).
    int descriptor() const { return fd_; }
    // Gives the written file the target's name (replacing a regular file of that name); false, with error naming
    // the cause, when that cannot be done, and then nothing is left behind.
    bool commit(std::string& error);

private:
    RenderTarget(std::filesystem::path target, std::filesystem::path partial, int fd)
        : target_(std::move(target)), partial_(std::move(partial)), fd_(fd) {}
    void discard();

    std::filesystem::path target_;
    // The temporary name, empty for an unnamed file.
    std::filesystem::path partial_;
    int fd_ = -1;
};
