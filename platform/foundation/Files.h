#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace foundation {

// Whole-file helpers on std::filesystem paths. None changes the working directory. Failures give nullopt or false
// and a description in error (the system's message and the path). Any thread except the render thread.

// The largest property list read from a file (presets, user defaults, full states): 64 MiB, far above any the
// system writes.
inline constexpr std::uint64_t kPropertyListFileByteLimit = std::uint64_t{64} << 20;

// Reads the whole file. A file larger than byteLimit is refused before any of it is read (also one that grows past
// the limit while being read, and endless ones such as devices).
std::optional<std::vector<std::uint8_t>> readFile(const std::filesystem::path& path, std::uint64_t byteLimit,
                                                  std::string& error);

// Writes bytes to a temporary file in the same folder, flushes it to disk, renames it over path and flushes the
// folder, so that path holds either its old content or all of bytes, also after a crash or power loss. The folder
// must exist. A new file gets the mode the umask leaves of 0666; a replaced one keeps its mode. Once the rename is
// done the write has succeeded, even when the folder cannot be flushed afterwards. Temporary files that earlier
// writers here left in the folder (crashed mid-write) are removed first; one that a live writer still holds is left
// alone.
bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes, std::string& error);

// Whether fileName has the pattern of the temporary files of the writers here: "." + name + ".tunedeck-partial-" +
// six letters or digits (the name shortened so that the whole stays within NAME_MAX bytes).
bool isAtomicWriteTemporaryName(const std::string& fileName);

// The temporary files of the writers here are locked by their writer until they are renamed or removed. Removes
// those in folder that have the writers' pattern, are regular files of the effective user and whose lock can be
// taken: their writer died. Nothing else is touched.
void removeStaleTemporaryFiles(const std::filesystem::path& folder);
// Creates and locks (where the file system keeps locks) a fresh temporary file for path in folder (its name goes to
// temporary), with the mode the umask leaves of 0666: the descriptor, or -1 with errno set.
int createLockedTemporary(const std::filesystem::path& folder, const std::filesystem::path& path,
                          std::string& temporary);
// The name of such a temporary file for path in folder, with six random characters; never longer than NAME_MAX.
std::filesystem::path temporaryNameFor(const std::filesystem::path& folder, const std::filesystem::path& path);
// The folder that holds path: its parent, or "." for a bare name.
std::filesystem::path folderOf(const std::filesystem::path& path);
// Writes all of bytes to fd, again after an interrupted or short write; false with errno set.
bool writeAll(int fd, std::span<const std::uint8_t> bytes);
// Flushes folder's entries to disk; false with errno set.
bool syncFolder(const std::filesystem::path& folder);

// A replaced file's mode for its temporary file, whatever that mode: the owner may read it, so that a cleaner can
// open it to test its lock should its writer be killed before the rename.
constexpr mode_t temporaryModeFor(mode_t kept) { return kept | S_IRUSR; }
// After the rename: gives fd the kept mode where the temporary one had more (the owner's reading); a failure leaves
// only that.
void giveKeptMode(int fd, mode_t kept);

}  // namespace foundation
