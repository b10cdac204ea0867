#include "Orvo_Tunedeck/app/FilePlayback.h"

#include <algorithm>

FilePlayback::FilePlayback(AudioEngine& player) : player_(player), sequencer_(*player.engine) {}

FilePlayback::~FilePlayback() { sequencer_.stop(); }

bool FilePlayback::start(const std::filesystem::path& file, std::string& error) {
    sequencer_.stop();
    const OSStatus loaded = sequencer_.load(file, kMusicSequenceLoadSMF_ChannelsToTracks);
    if (loaded != noErr) {
        error = "'" + file.string() + "' could not be loaded for playing (status " + std::to_string(loaded) + ")";
        return false;
    }
    const std::shared_ptr<AUAudioUnit>& instrument = player_.instrument->audioUnit0;
    double songSeconds = 0.0;
    for (int track = 0; track < static_cast<int>(sequencer_.tracks().size()); ++track) {
        sequencer_.setDestination(track, instrument);
        songSeconds = std::max(songSeconds, sequencer_.tracks()[static_cast<size_t>(track)].lengthInSeconds);
    }
    durationSeconds_ = songSeconds + instrument->tailTime();
    sequencer_.setCurrentPositionInBeats(0.0);
    sequencer_.prepareToPlay();
    if (const OSStatus started = sequencer_.start(); started != noErr) {
        error = "'" + file.string() + "' could not be played (status " + std::to_string(started) + ")";
        return false;
    }
    return true;
}

bool FilePlayback::finished() const { return sequencer_.currentPositionInSeconds() >= durationSeconds_; }
