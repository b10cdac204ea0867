#pragma once
// The application without a display: start-up, then either an offline render of a MIDI file into a WAV file or
// live play through an ALSA PCM device, with every MIDI source of the ALSA sequencer switched on, until SIGINT or
// SIGTERM, then shutdown.
//
// Threads: the process's main thread, which drives the main queue.

#include <filesystem>
#include <optional>
#include <string>

struct HeadlessOptions {
    std::filesystem::path renderTo;  // empty: play live
    std::filesystem::path midiFile;
    std::optional<int> soundSet;
    std::string device = "default";
};

// The process's exit code: 0 on success, 1 after a failure that a log line explains.
int runHeadless(const HeadlessOptions& options);
