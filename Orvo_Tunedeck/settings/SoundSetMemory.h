#pragma once
// The sound set the user last chose in the window, remembered across runs under "SoundSet" (the row, 0 to 5) in the
// application's own settings store. The store rewrites its file before a write returns, so a choice is kept however
// the program ends afterwards.
//
// Threads: the main queue.

#include <cstdint>
#include <optional>

#include "Orvo_Tunedeck/settings/PersistentAppData.h"

// The remembered row; none when nothing (or no valid row) is stored.
std::optional<int> rememberedSoundSet(const PersistentAppData& store);
void rememberSoundSet(PersistentAppData& store, int64_t row);
