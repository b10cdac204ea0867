#include "shared/playback/SequencerEngine.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "platform/audiounit/MIDIMessageLength.h"
#include "shared/events/MIDIBytes.h"

namespace {

constexpr std::uint8_t kAllNotesOff = 123;
constexpr std::uint8_t kResetAllControllers = 121;
constexpr std::uint8_t kSustain = 64;
constexpr std::uint8_t kTempoMarker = 0xFD;

double clampFactor(double value) noexcept {
    return std::clamp(value, 0.1, 10.0);
}

// Bytes one list node of a message of length bytes takes.
constexpr std::size_t nodeBytes(std::size_t length) noexcept {
    const std::size_t bytes = std::max(sizeof(AURenderEvent), offsetof(AUMIDIEvent, data) + length);
    return (bytes + 7) / 8 * 8;
}

// The most one command adds: a stop's 80 messages, or one message of the longest kind.
constexpr std::size_t kCommandWorstBytes = 80 * nodeBytes(3) + nodeBytes(SequencerCommand::kMaxBytes);

bool isLateNoteOff(const std::uint8_t* bytes, std::uint32_t length) noexcept {
    const std::uint8_t type = bytes[0] & 0xF0;
    return type == 0x80 || (type == 0x90 && (length < 3 || bytes[2] == 0));
}

}  // namespace

SequencerEngine::SequencerEngine(AUMIDIMonitor& monitor, dispatch::HandoffRing& ring, NoticeHandler handler,
                                 void* context)
    : monitor_(monitor), ring_(ring), handler_(handler), context_(context), output_(kOutputBytes),
      specialEvents_(kSpecialEvents) {}

void SequencerEngine::notify(const SequencerNotice& notice) noexcept {
    ring_.pushNoAlloc(handler_, context_, notice);
}

void SequencerEngine::append(const AUMIDIEvent& event, AUEventSampleTime time) noexcept {
    if (output_.append(event, time)) {
        outputBytes_ += nodeBytes(event.length);
    }
}

bool SequencerEngine::hasRoomForCommand() const noexcept {
    return outputBytes_ + kCommandWorstBytes + kSongReserveBytes <= kOutputBytes;
}

void SequencerEngine::appendMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2,
                                    AUEventSampleTime time) noexcept {
    const AUMIDIEvent event{
        nullptr, time, AURenderEventMIDI, 0, midiMessageLength(status), cable_, {status, data1, data2}};
    append(event, time);
}

void SequencerEngine::appendAllNotesOff(AUEventSampleTime time) noexcept {
    for (std::uint8_t channel = 0; channel < 16; ++channel) {
        appendMessage(static_cast<std::uint8_t>(0xB0 + channel), kAllNotesOff, 0, time);
    }
}

void SequencerEngine::appendStopMessages(AUEventSampleTime time) noexcept {
    appendAllNotesOff(time);
    appendAllNotesOff(time);
    for (std::uint8_t channel = 0; channel < 16; ++channel) {
        appendMessage(static_cast<std::uint8_t>(0xB0 + channel), kResetAllControllers, 0, time);
        appendMessage(static_cast<std::uint8_t>(0xB0 + channel), kSustain, 0, time);
    }
    for (std::uint8_t channel = 0; channel < 16; ++channel) {
        appendMessage(static_cast<std::uint8_t>(0xC0 + channel), 0, 0, time);
    }
}

// Every sounding note of the song ends with a note-on of velocity 0, one per start of its key.
void SequencerEngine::release(AUEventSampleTime time) noexcept {
    // Called for every buffer while the player stands: most of the time there is nothing to end.
    if (!monitor_.runningNotes().mayHaveNotes()) {
        return;
    }
    monitor_.runningNotes().forEach([&](std::uint8_t channel, std::uint8_t key, std::uint8_t, std::uint8_t starts) {
        for (std::uint8_t i = 0; i < starts; ++i) {
            appendMessage(static_cast<std::uint8_t>(0x90 + channel), key, 0, time);
        }
    });
    monitor_.clearRunningNotes();
}

void SequencerEngine::seek(double fraction) noexcept {
    seeking_ = true;
    endedAtLastEvent_ = false;
    if (song_ == nullptr || song_->empty()) {
        state_.positionV = 0;
        return;
    }
    state_.positionV = static_cast<std::int64_t>(static_cast<double>(song_->lastSampleTime()) * fraction);
    const std::size_t index = song_->firstIndexAtOrAfter(state_.positionV);
    if (index < song_->size()) {
        state_.eventIndex = static_cast<std::int64_t>(index);
    }
}

void SequencerEngine::rewind() noexcept {
    state_.eventIndex = 0;
    state_.position = 0;
    state_.positionV = 0;
    state_.currentSampleTime = 0;
    state_.pausedSampleTime = 0;
    state_.loopCount = 0;
    seek(0.0);
    state_.eventIndex = 0;
}

void SequencerEngine::stop(AUEventSampleTime time) noexcept {
    release(time);
    appendStopMessages(time);
    rewind();
    state_.stopped = true;
}

void SequencerEngine::replaceSong(const SequencerCommand& command) noexcept {
    if (staged_ != nullptr && staged_->generation == command.generation) {
        staged_ = command.song;
        return;
    }
    if (song_ == nullptr || song_->generation != command.generation) {
        return;
    }
    song_ = command.song;
    state_.positionV = static_cast<std::int64_t>(static_cast<double>(state_.positionV) * command.value);
    state_.eventIndex = std::min<std::int64_t>(state_.eventIndex, static_cast<std::int64_t>(song_->size()));
}

void SequencerEngine::apply(const SequencerCommand& command, AUEventSampleTime cycleStart) noexcept {
    using Kind = SequencerCommand::Kind;
    switch (command.kind) {
        case Kind::Message: {
            release(cycleStart);
            seeking_ = true;
            struct {
                AUMIDIEvent header;
                std::uint8_t tail[SequencerCommand::kMaxBytes];
            } message{};
            message.header = AUMIDIEvent{nullptr, cycleStart, static_cast<AURenderEventType>(command.eventType), 0,
                                         command.length, command.cable, {0, 0, 0}};
            std::memcpy(message.header.data, command.bytes, command.length);
            append(message.header, cycleStart);
            break;
        }
        case Kind::AllNotesOff:
            release(cycleStart);
            seeking_ = true;
            appendAllNotesOff(cycleStart);
            break;
        case Kind::Start:
            state_.currentSampleTime = command.sampleTime;
            state_.startTime = command.sampleTime;
            state_.stopped = !(command.flag && song_ != nullptr && !song_->empty());
            break;
        case Kind::Stop:
            stop(cycleStart);
            break;
        case Kind::Pause:
            state_.pausedSampleTime = state_.currentSampleTime;
            release(cycleStart);
            appendAllNotesOff(cycleStart);
            state_.stopped = true;
            break;
        case Kind::Continue:
            state_.startTime += state_.currentSampleTime - state_.pausedSampleTime;
            if (endedAtLastEvent_) {
                state_.positionV = 0;
                endedAtLastEvent_ = false;
            }
            state_.stopped = false;
            break;
        case Kind::Seek:
            seek(command.value);
            break;
        case Kind::SeekEvent:
            seeking_ = true;
            if (song_ != nullptr && command.index >= 0 && static_cast<std::size_t>(command.index) < song_->size()) {
                state_.eventIndex = command.index;
            }
            break;
        case Kind::SetLooping:
            state_.looping = command.flag;
            break;
        case Kind::SetChannelMask:
            channelMask_ = command.mask;
            break;
        case Kind::SetStatusMask:
            statusMask_ = command.mask;
            break;
        case Kind::SetTempoFactor:
            state_.tempoFactor = clampFactor(command.value);
            break;
        case Kind::SetRate:
            state_.rate = clampFactor(command.value);
            break;
        case Kind::Load:
            song_ = command.song;
            staged_ = nullptr;
            if (command.flag) {
                rewind();
                state_.tempoFactor = 1.0;
            } else {
                state_.eventIndex = 0;
                state_.position = 0;
                state_.positionV = 0;
            }
            break;
        case Kind::StageLoad:
            staged_ = command.song;
            break;
        case Kind::ReplaceSong:
            replaceSong(command);
            break;
        case Kind::Reset:
            song_ = nullptr;
            staged_ = nullptr;
            state_.looping = false;
            state_.loopCount = 0;
            state_.tempoFactor = 1.0;
            state_.stopped = true;
            state_.eventIndex = 0;
            state_.position = 0;
            state_.positionV = 0;
            state_.startTime = 0;
            channelMask_ = 0xFFFF;
            endedAtLastEvent_ = false;
            break;
    }
    state_.appliedSerial = command.serial;
}

void SequencerEngine::beginCycle(AUEventSampleTime cycleStart, AUAudioFrameCount frames) noexcept {
    output_.clear();
    outputBytes_ = 0;
    state_.currentFrames = frames;
    state_.currentSampleTime = cycleStart;
    if (stopMessagesDue_) {
        release(cycleStart);
        appendStopMessages(cycleStart);
        stopMessagesDue_ = false;
    }
}

void SequencerEngine::publish() noexcept {
    state_.songGeneration = song_ != nullptr ? song_->generation : 0;
    state_.stagedGeneration = staged_ != nullptr ? staged_->generation : 0;
    published_.publish(state_);
}

void SequencerEngine::setTempoFactor(double value) noexcept {
    state_.tempoFactor = clampFactor(value);
    publish();
}

bool SequencerEngine::endOfSong(AUEventSampleTime lastSampleTime) noexcept {
    if (!state_.looping) {
        stopMessagesDue_ = true;
        rewind();
        state_.stopped = true;
        endedAtLastEvent_ = true;
        notify({.kind = SequencerNotice::Kind::Stopped});
        notify({.kind = SequencerNotice::Kind::Rewound});
        notify({.kind = SequencerNotice::Kind::End});
        return false;
    }
    const std::int64_t loops = state_.loopCount + 1;
    rewind();
    state_.loopCount = loops;
    state_.startTime += lastSampleTime;
    notify({.kind = SequencerNotice::Kind::Rewound});
    notify({.kind = SequencerNotice::Kind::Loop, .loopCount = loops});
    if (staged_ != nullptr) {
        song_ = staged_;
        staged_ = nullptr;
        notify({.kind = SequencerNotice::Kind::FileLoaded, .generation = song_->generation});
    }
    return true;
}

void SequencerEngine::schedule(const AUMIDIEventEx& event, AUEventSampleTime due, AUEventSampleTime cycleStart,
                               AUAudioFrameCount frames, double ratio) noexcept {
    const AUEventSampleTime end = cycleStart + frames;
    AUEventSampleTime time = due;
    if (due > end || due < cycleStart) {
        notify({.kind = due > end ? SequencerNotice::Kind::Future : SequencerNotice::Kind::Past,
                .position = state_.position,
                .cycleStart = cycleStart,
                .frames = frames,
                .due = due,
                .ratio = ratio});
    }
    if (due > end) {
        time = end;
    } else if (due < cycleStart) {
        // A late note-off still ends its note; late note-ons and key pressure would only sound wrong.
        if (AUMIDIMonitor::isNote(event) && !isLateNoteOff(event.data(), event.length())) {
            return;
        }
        time = kAUEventSampleTimeImmediate;
    }
    monitor_.trackEvents(event);
    append(*event.pEvent(), time);
}

const AURenderEvent* SequencerEngine::process(AUEventSampleTime cycleStart, AUAudioFrameCount frames) noexcept {
    const double ratio = state_.tempoFactor * state_.rate;
    if (state_.stopped || seeking_) {
        release(cycleStart);
    }
    seeking_ = false;
    // Cycles that start at or before sample time 0 schedule no file events.
    const bool scheduling = !state_.stopped && cycleStart > 0 && song_ != nullptr;
    if (scheduling) {
        state_.position = std::max<std::int64_t>(0, cycleStart - state_.startTime);
        const std::int64_t windowEnd = state_.positionV + static_cast<std::int64_t>(ratio * frames);
        const double inverse = 1.0 / ratio;
        bool wrapped = false;
        const std::size_t count = song_->size();
        for (std::size_t index = static_cast<std::size_t>(state_.eventIndex); index < count; ++index) {
            state_.eventIndex = static_cast<std::int64_t>(index);
            const AUMIDIEventEx& event = *song_->events[index];
            const AUEventSampleTime sampleTime = event.pEvent()->eventSampleTime;
            if (sampleTime > windowEnd) {
                break;
            }
            const AUEventSampleTime due =
                cycleStart + static_cast<std::int64_t>(static_cast<double>(sampleTime - state_.positionV) * inverse);
            const std::uint8_t status = event.length() > 0 ? event.data()[0] : 0;
            if (status == kTempoMarker) {
                struct {
                    AUMIDIEvent header;
                    std::uint8_t tail[AUMIDIEventEx::MAXBYTES];
                } marker{};
                const std::uint32_t length = std::min(event.length(), AUMIDIEventEx::MAXBYTES);
                marker.header = event.event();
                marker.header.length = static_cast<std::uint16_t>(length);
                marker.header.eventSampleTime = due;
                std::memcpy(marker.header.data, event.data(), length);
                specialEvents_.append(marker.header);
            } else if (status >= 0x80 && status != 0xF0 && (channelMask_ & (1U << (status & 0x0F))) != 0 &&
                       (statusMask_ & (1U << (status >> 4))) == 0) {
                schedule(event, due, cycleStart, frames, ratio);
            }
            if (index + 1 == count) {
                wrapped = endOfSong(sampleTime);
                break;
            }
        }
        if (!wrapped) {
            state_.positionV = windowEnd;
        }
    }
    publish();
    return output_.finishList(false);
}

std::size_t SequencerEngine::processInternal(AUEventSampleTime cycleStart, AUAudioFrameCount frames,
                                             std::span<AUMIDIEvent> out) noexcept {
    std::size_t count = 0;
    if (!state_.stopped && song_ != nullptr) {
        state_.position = std::max<std::int64_t>(0, cycleStart - state_.startTime);
        const std::int64_t windowEnd = state_.position + frames;
        const std::size_t size = song_->size();
        for (std::size_t index = static_cast<std::size_t>(state_.eventIndex); index < size; ++index) {
            // The index stands on the first event not yet given out, so a full out leaves it for the next call.
            state_.eventIndex = static_cast<std::int64_t>(index);
            const AUMIDIEventEx& event = *song_->events[index];
            const AUEventSampleTime sampleTime = event.pEvent()->eventSampleTime;
            if (count == out.size() || sampleTime > windowEnd) {
                break;
            }
            const std::uint8_t status = event.length() > 0 ? event.data()[0] : 0;
            if ((channelMask_ & (1U << (status & 0x0F))) == 0) {
                continue;
            }
            const AUEventSampleTime passStart = state_.startTime;
            const bool last = index + 1 == size;
            if (last) {
                const SequencerSong* staged = staged_;
                staged_ = nullptr;
                endOfSong(sampleTime);
                staged_ = staged;
            }
            AUMIDIEvent& record = out[count++];
            record = event.event();
            record.next = nullptr;
            record.eventSampleTime = passStart + sampleTime;
            record.length = std::min<std::uint16_t>(record.length, sizeof record.data);
            monitor_.trackEvents(event);
            if (last) {
                break;
            }
        }
    }
    publish();
    return count;
}

void SequencerEngine::deallocateRealtimeEventListHead() noexcept {
    output_.clear();
    outputBytes_ = 0;
}
