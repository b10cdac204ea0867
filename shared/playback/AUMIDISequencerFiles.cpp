#include <system_error>

#include "shared/globals/Print.h"
#include "shared/playback/AUMIDISequencer.h"

// Songs read from standard MIDI files and platform music sequences.

AUMIDISequencer::Conversion AUMIDISequencer::sequenceConversion() const {
    return [sequence = sequence_](double samplerate) { return sequence->nodesToAUMIDIEvent(samplerate, kCable); };
}

void AUMIDISequencer::loadMIDIFile(const std::filesystem::path& path, bool force) {
    stop();
    setTempoFactor(1.0);
    currentFile_ = path.string();
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        debugprint("AUMIDISequencer::ERROR: The given MIDI file (" + path.string() + " does not exist.");
        currentFile_.reset();
        return;
    }
    debugprint("AUMIDISequencer: The following MIDI file will be loaded and parsed: " + path.string());
    sequence_ = MIDISequence16::create();
    sequence_->loadFromFile(path);
    sequence_->musicSequenceToSequenceNode();
    install(sequenceConversion(), force, true);
}

void AUMIDISequencer::loadSequence(MusicSequence musicSequence) {
    sequence_ = MIDISequence16::create();
    sequence_->setMusicSequence(musicSequence);
    sequence_->diagnostics();
    sequence_->musicSequenceToSequenceNode();
    install(sequenceConversion(), true, false);
}

std::vector<std::shared_ptr<AUMIDIEventEx>> AUMIDISequencer::getTempoEvents() {
    const auto track = sequence_->getTempoTrack();
    if (!track) {
        return {};
    }
    return sequence_->getTempoEvents(*track, samplerate_);
}

std::uint8_t AUMIDISequencer::getPatchForChannel(std::uint8_t channel) {
    return channel < 16 ? sequence_->getPatchForChannel(channel) : 0;
}

void AUMIDISequencer::saveMIDIFile(const std::filesystem::path& url) {
    sequence_->saveToFile(url);
}

void AUMIDISequencer::saveMIDIFile2(const std::filesystem::path&) {}

void AUMIDISequencer::loadArranger() {
    arranger_->loadTrack(0, {});
    arranger_->loadTrack(1, {});
}
