// Loading the one SoundFont korvelshell plays, with the reason for a refusal put in words.
//
// Thread contract: the main thread, before any rendering; the library's error log is taken over during the load.
#pragma once

#include "sampler/src/synth/korvel_synth.h"

#include <string>

namespace korvelshell {

// Loads the SoundFont 2 file at path into synth. False, with the cause in error (one phrase, such as "there is no
// such file" or "it is cut short (20000 of 3258418 bytes)"), when the file is missing, unreadable, empty, of
// another kind, shorter than its header says or refused by the library. The library's own error lines are kept
// off standard error meanwhile, so that the caller's one line is all a user sees.
bool loadSoundFont(korvel_synth_t* synth, const std::string& path, std::string& error);

} // namespace korvelshell
