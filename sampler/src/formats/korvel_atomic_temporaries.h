// The temporary files of korvel_atomic: their names, their creation under a lock, and the removal of those whose
// writer died. A writer holds an exclusive flock on its temporary file until the file takes its final name or is
// removed, so a temporary file whose lock can be taken belongs to nobody.
//
// Thread contract: control thread.
#pragma once

#include <cstddef>

namespace korvel_atomic {

// The mark between the name and the six random characters.
inline constexpr char temporary_mark[] = ".korvel-partial-";
// Added to the name of a file that is about to be claimed by creating it empty (see claim_and_rename in
// korvel_atomic_file.cpp).
inline constexpr char claim_mark[] = ".claim";

// True when file_name (without folder) has the pattern of this library's temporary files.
bool is_temporary_name(const char* file_name);

// Creates a fresh temporary file for name in folder with mode 0666 less the umask, and locks it; its path goes to
// out. The descriptor, or -1 with errno set.
int create_locked(const char* folder, const char* name, char* out, size_t size);

// The path of the file that announces the claim of name in folder, keeping the random characters of temporary_path.
// false when it does not fit.
bool claim_announcement(const char* folder, const char* name, const char* temporary_path, char* out, size_t size);

// Removes from folder the temporary files of this library that no live writer holds: regular files of this
// pattern, owned by the effective user, whose lock can be taken. An empty claim that such a file announces goes too
// when it is provably one this library made (an empty regular file of mode 0, owned by the effective user); while a
// live writer announces the same name, the empty file may be its claim, and the dead writer's announcement and
// claim wait for a later cleaner.
void remove_stale(const char* folder);

} // namespace korvel_atomic
