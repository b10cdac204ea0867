#pragma once
// Live play of a MIDI file on the application's engine: every track of the file goes to the hosted instrument, and
// the play counts as done once the last note has ended and the instrument's tail has sounded.
//
// Threads: the main queue.

#include <filesystem>
#include <string>

#include "Orvo_Tunedeck/engine/AudioEngine.h"
#include "platform/musicsequence/AudioSequencer.h"

class FilePlayback {
public:
    // Plays on player's running engine and its instrument; both must outlive this.
    explicit FilePlayback(AudioEngine& player);
    ~FilePlayback();
    FilePlayback(const FilePlayback&) = delete;
    FilePlayback& operator=(const FilePlayback&) = delete;

    // Loads file and plays it from its start; false with error saying why.
    bool start(const std::filesystem::path& file, std::string& error);
    // The file's length and the instrument's tail, in seconds.
    double durationSeconds() const { return durationSeconds_; }
    // Whether the file and the tail have been played.
    bool finished() const;

private:
    AudioEngine& player_;
    AudioSequencer sequencer_;
    double durationSeconds_ = 0.0;
};
