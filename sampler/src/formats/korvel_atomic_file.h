// Writing a file so that a reader finds either the old content or the whole new one, never a part, whatever happens
// during the write (a killed process, a full disk, a power cut): the new content goes into a temporary file beside
// the target, reaches the disk, and then takes the target's name in one step, and the folder's entry reaches the disk
// too. A failed write leaves the old file as it was.
//
// Thread contract: control thread; any number of writers may work in one folder at once.
#pragma once

#include <cstddef>

namespace korvel_atomic {

enum class replace { allowed, never };

// A temporary file in the folder of the target path: its name, and an open descriptor the writer may use or close.
struct temporary {
    // Room for a target path of the library's 1023 characters with the temporary name's dot and suffix.
    char path[1100];
    int fd = -1;
};

// Creates an empty temporary file beside target. false with errno set when the folder cannot take one.
bool begin(const char* target, temporary& temp);

// Closes the descriptor if still open, brings the temporary file to the disk and gives it the target's name: with
// replace::allowed an existing target is swapped for it, with replace::never an existing target stays and the result
// is EEXIST (the temporary file is kept, so it can take another name). 0 on success, else the error number; on any
// error but EEXIST the temporary file is removed.
int commit(temporary& temp, const char* target, replace mode);

// Closes and removes the temporary file of a write that failed.
void abandon(temporary& temp);

} // namespace korvel_atomic
