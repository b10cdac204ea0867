// Writing a file so that a reader finds either the old content or the whole new one, never a part, whatever happens
// during the write (a killed process, a full disk, a power cut): the new content goes into a temporary file beside
// the target, reaches the disk, and then takes the target's name in one step, and the folder's entry reaches the disk
// too. A failed write leaves the old file as it was.
//
// A target that is a symbolic link is written through: the linked file gets the new content (in its own folder)
// and the link stays. A target that is not a regular file (a folder, FIFO, device or socket) is refused before
// anything is written. A new file gets the mode 0666 less the umask; a replaced file keeps its mode, and its owner
// where the system permits.
//
// The temporary files are named "." + name + ".korvel-partial-" + six random characters and stay locked (flock) by
// their writer until they take the target's name or are removed. Before each write, those of writers that died are
// removed from the folder; temporary files of other programs are left alone.
//
// Thread contract: control thread; any number of writers, in any processes, may work in one folder at once.
#pragma once

#include <sys/types.h>

#include <cstddef>

namespace korvel_atomic {

// A temporary file in the folder of the (resolved) target: its name, the target it is meant for, and the open,
// locked descriptor the writer writes through. Only commit or abandon let it go.
struct temporary {
    char target[4096];
    char path[4096];
    int fd = -1;
    // Set when begin refused the target for what stands in its place ("is a FIFO", ...); null otherwise.
    const char* refusal = nullptr;
    // The mode and owner of the file to be replaced, which commit gives the written file; none for a new file.
    bool replaces = false;
    mode_t mode = 0;
    uid_t uid = 0;
    gid_t gid = 0;
};

// Prepares the replacement of target: follows symbolic links to the file they name, refuses what is not a regular
// file, removes stale temporary files of this library in the folder and creates a fresh locked one. false with errno
// set (and temp.refusal for a refused target) when no temporary file can be made.
bool begin(const char* target, temporary& temp);

// Prepares a new file in folder that commit_new will give a name not in use; stem names the temporary file.
bool begin_new(const char* folder, const char* stem, temporary& temp);

// Why begin or begin_new failed, for a log line: the refusal, else the system's text for error.
const char* begin_failure(const temporary& temp, int error);

// Brings the temporary file to the disk and swaps it for the target. 0 once the new file has the target's name,
// whether or not the folder then reaches the disk (that failure is logged as a warning); else the error number,
// the temporary file removed and the old file untouched.
int commit(temporary& temp);

// Gives the temporary file the name in its folder, only if nothing has that name. 0 on success (as commit); EEXIST
// when the name is taken, the temporary file kept for another name; any other error removes it.
int commit_new(temporary& temp, const char* name);

// Closes and removes the temporary file of a write that failed.
void abandon(temporary& temp);

// Test seam. The steps at which a write can be stopped or made to fail; the hook is called at each, and a non-zero
// result is taken as that step's error number (the step is not done). Null, the default, lets every step run.
enum class step {
    locked,           // the temporary file exists and is locked, nothing written yet
    synced,           // the temporary file is whole and on the disk, its name not taken yet
    mode_kept,        // the name is about to be replaced; the file has the old one's owner and mode, owner-readable
    link,             // a new name is about to be taken by a hard link
    rename_noreplace, // a new name is about to be taken by a rename that never replaces
    claimed,          // where neither works: the new name is held by an empty file, about to be replaced
    folder_sync,      // the new name is in place; the folder is about to be flushed
};
using step_hook = int (*)(step at);
void set_step_hook(step_hook hook);

} // namespace korvel_atomic
