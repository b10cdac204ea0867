#pragma once
// What a render checks about its WAV file before it starts: that the file is none of those it reads, and that the
// whole file fits where it goes.
//
// Threads: the main queue.

#include <cstdint>
#include <string>

#include "Orvo_Tunedeck/app/OfflineRender.h"
#include "platform/audioengine/WavFileOutput.h"

// False, with error saying so, when request's WAV file is (by identity, under any name or link) a file the render
// reads: the song, the chosen bank or a bank of the sound sets.
bool targetIsNoInput(const OfflineRenderRequest& request, std::string& error);

// False, with error saying why, when wav, written through descriptor, will not fit in its file system's free space
// once it holds frames frames. A render of more than an hour of sound says on standard error how long and how large
// it will be.
bool checkRenderSize(const OfflineRenderRequest& request, const audioengine::WavFileOutput& wav, int descriptor,
                     int64_t frames, std::string& error);
