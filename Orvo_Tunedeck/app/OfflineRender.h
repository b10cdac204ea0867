#pragma once
// Renders a standard MIDI file through the hosted instrument and the whole effect chain into a WAV file, faster than
// real time: the instrument is found through the component registry, the file's messages are scheduled on it frame
// by frame, and the instrument's tail time follows the file's last event. The same input always gives the same file.
//
// Before the first frame: a target that is a file the render reads (the song, the chosen bank, a sound set's bank,
// under any name) or that cannot be written is refused; a file that would not fit in the free space of its file
// system is refused; a render of more than an hour of sound says how long and how large it will be; a file past
// 4 GiB is written as RF64. For tests, TUNEDECK_TEST_HOLD_RENDER_AT_SECONDS holds the render once that much sound
// is in its file (a line on standard error says so) until standard input ends.
//
// Threads: the main queue (the caller drives it).

#include <filesystem>

#include "Orvo_Tunedeck/app/SoundChoice.h"

struct OfflineRenderRequest {
    std::filesystem::path midiFile;
    std::filesystem::path wavFile;
    // Given to the instrument before rendering.
    SoundChoice sound;
    double sampleRateHz = 48000.0;
    // A progress line on standard error for a render that takes a while (see ProgressLine).
    bool showProgress = false;
};

// 0 on success; otherwise a line on standard error says why and the result is 1.
int renderOffline(const OfflineRenderRequest& request);
