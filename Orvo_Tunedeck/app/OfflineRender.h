#pragma once
// Renders a standard MIDI file through the hosted instrument and the whole effect chain into a WAV file, faster than
// real time: the instrument is found through the component registry, the file's messages are scheduled on it frame
// by frame, and the instrument's tail time follows the file's last event. The same input always gives the same file.
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
