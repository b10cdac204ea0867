#pragma once
// The application without a display: start-up, then an offline render of a MIDI file into a WAV file, a picture of
// the main screen with the instrument playing, or live play through an ALSA PCM device, with every MIDI source of the ALSA sequencer switched on, until SIGINT or
// SIGTERM, then shutdown.
//
// Threads: the process's main thread, which drives the main queue.

#include <filesystem>
#include <string>
#include <vector>

#include "Orvo_Tunedeck/app/SoundChoice.h"

#include "Orvo_Tunedeck/app/MainScreenPicture.h"

struct HeadlessOptions {
    std::filesystem::path renderTo;  // empty: play live
    std::filesystem::path midiFile;
    // Files the user opened with the program: each is brought into the documents folder as the platform's "open
    // in" would.
    std::vector<std::filesystem::path> files;
    SoundChoice sound;
    std::string device = "default";
    std::optional<MainScreenPictureRequest> picture;
    // A progress line on standard error during a long render.
    bool showProgress = false;
};

// The process's exit code: 0 on success, 1 after a failure that a line on standard error explains.
int runHeadless(const HeadlessOptions& options);
