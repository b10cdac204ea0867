#include "shared/playback/AUMIDISequencer.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/NumberText.h"
#include "shared/globals/Print.h"

// Songs: built on the main queue, handed to the render thread by pointer, and freed once it no longer uses them.

std::shared_ptr<const SequencerSong> AUMIDISequencer::retain(std::shared_ptr<SequencerSong> song,
                                                             std::uint64_t serial) {
    retained_.push_back({song, serial});
    return song;
}

std::shared_ptr<const SequencerSong> AUMIDISequencer::build(const Conversion& convert) {
    auto song = std::make_shared<SequencerSong>();
    song->generation = nextGeneration_++;
    song->events = convert(samplerate_);
    const auto earlier = [](const auto& a, const auto& b) {
        return a->pEvent()->eventSampleTime < b->pEvent()->eventSampleTime;
    };
    if (!std::is_sorted(song->events.begin(), song->events.end(), earlier)) {
        std::stable_sort(song->events.begin(), song->events.end(), earlier);
    }
    if (!isMultiChannel_) {
        for (auto& event : song->events) {
            event = copyEvent(*event, currentChannel_);
        }
    }
    return retain(song, issuedSerial_ + 1);
}

// A song can be freed once the render thread has taken every command sent before it and holds it neither as the
// loaded nor as the staged song.
void AUMIDISequencer::collect() {
    const SequencerPlayState now = state();
    std::erase_if(retained_, [&](const Retained& entry) {
        const std::uint64_t generation = entry.song->generation;
        return now.appliedSerial >= entry.sentSerial && generation != now.songGeneration &&
               generation != now.stagedGeneration;
    });
}

std::shared_ptr<const SequencerSong> AUMIDISequencer::playingSong() const {
    const std::uint64_t generation = state().songGeneration;
    for (const Retained& entry : retained_) {
        if (entry.song->generation == generation) {
            return entry.song;
        }
    }
    return nullptr;
}

void AUMIDISequencer::load(Conversion convert, std::optional<std::string> file, bool force) {
    stop();
    setTempoFactor(1.0);
    currentFile_ = std::move(file);
    if (currentFile_) {
        debugprint("AUMIDISequencer: The following MIDI file will be loaded and parsed: " + *currentFile_);
    }
    install(std::move(convert), force, true);
}

void AUMIDISequencer::install(Conversion convert, bool force, bool resetTempo) {
    auto song = build(convert);
    SequencerCommand command;
    command.song = song.get();
    if (!force) {
        command.kind = SequencerCommand::Kind::StageLoad;
        staged_ = {song, std::move(convert)};
        push(command);
        return;
    }
    if (resetTempo) {
        debugprint("AUMIDISequencer::seek(0.0)");
    }
    command.kind = SequencerCommand::Kind::Load;
    command.flag = resetTempo;
    loaded_ = {song, std::move(convert)};
    staged_ = {};
    push(command);
    if (delegate_) {
        delegate_->onSequencerFileLoaded();
    }
}

void AUMIDISequencer::setSamplerate(double samplerate) {
    if (!(samplerate > 0.0) || !std::isfinite(samplerate)) {
        debugprint("AUMIDISequencer::setSamplerate() : ERROR: The sample rate " + foundation::numberText(samplerate) +
                   " is invalid.");
        return;
    }
    const double ratio = samplerate / samplerate_;
    samplerate_ = samplerate;
    if (ratio == 1.0) {
        return;
    }
    for (Loaded* held : {&loaded_, &staged_}) {
        if (!held->song || !held->convert) {
            continue;
        }
        SequencerCommand command;
        command.kind = SequencerCommand::Kind::ReplaceSong;
        command.generation = held->song->generation;
        command.value = ratio;
        held->song = build(held->convert);
        command.song = held->song.get();
        push(command);
    }
}
