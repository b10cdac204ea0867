#pragma once
// A standard MIDI file as the offline renderer plays it: every channel message and system-exclusive message of the
// file with the frame at which it sounds, at a given sample rate, in time order (notes become a note-on and a
// note-off with velocity 0).
//
// Threads: any thread except the render thread.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct ScheduledMessage {
    int64_t frame = 0;
    double beats = 0.0;  // its time in the file
    std::vector<uint8_t> bytes;
};

struct MidiFileSchedule {
    std::vector<ScheduledMessage> messages;
    // The frame of the file's last event (0 for a file without events).
    int64_t endFrame = 0;
};

// Reads file; false with a readable reason in error when it cannot be read or is no well-formed standard MIDI file.
bool loadMidiFileSchedule(const std::filesystem::path& file, double sampleRateHz, MidiFileSchedule& schedule,
                          std::string& error);
