#include "shared/playback/AUMIDISequencer.h"

#include <algorithm>
#include <cmath>

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/NumberText.h"
#include "shared/globals/Print.h"

// The player's life on the main queue: the command stream to the render thread, the transport, speed and position
// read-outs, and the render side's entry points.

namespace {

double clampFactor(double value) {
    return std::clamp(value, 0.1, 10.0);
}

}  // namespace


std::shared_ptr<AUMIDISequencer> AUMIDISequencer::create() {
    std::shared_ptr<AUMIDISequencer> sequencer(new AUMIDISequencer());
    dispatch::MainQueue::shared().attach(sequencer->notices_);
    return finishCreate(std::move(sequencer));
}

AUMIDISequencer::AUMIDISequencer()
    : AUMIDIMonitor(true), internalEvents_(kInternalCapacity), notices_(kNoticeCapacity),
      engine_(*this, notices_, &AUMIDISequencer::onNotice, this), commands_(kCommandCapacity) {}

AUMIDISequencer::~AUMIDISequencer() {
    if (spillTimer_) {
        spillTimer_->invalidate();
    }
    dispatch::MainQueue::shared().detach(notices_);
}

// Render side

void AUMIDISequencer::takeCommands(AUEventSampleTime time, AUAudioFrameCount frameCount) noexcept {
    engine_.beginCycle(time, frameCount);
    SequencerCommand command;
    while (engine_.hasRoomForCommand() && commands_.pop(command)) {
        engine_.apply(command, time);
    }
}

const AURenderEvent* AUMIDISequencer::process(AUEventSampleTime time, AUAudioFrameCount frameCount) noexcept {
    takeCommands(time, frameCount);
    return engine_.process(time, frameCount);
}

std::span<const AUMIDIEvent> AUMIDISequencer::processInternal(AUEventSampleTime time,
                                                              AUAudioFrameCount frameCount) noexcept {
    takeCommands(time, frameCount);
    const std::size_t count = engine_.processInternal(time, frameCount, internalEvents_);
    return {internalEvents_.data(), count};
}

// Notices from the render side

void AUMIDISequencer::onNotice(void* context, const SequencerNotice& notice) {
    static_cast<AUMIDISequencer*>(context)->handleNotice(notice);
}

void AUMIDISequencer::handleNotice(const SequencerNotice& notice) {
    for (std::string& line : sequencerNoticeLines(notice)) {
        debugprint(std::move(line));
    }
    switch (notice.kind) {
        case SequencerNotice::Kind::End:
            if (delegate_) {
                delegate_->onSequencerEnd();
            }
            break;
        case SequencerNotice::Kind::Loop:
            if (delegate_) {
                delegate_->onSequencerLoop(notice.loopCount);
            }
            break;
        case SequencerNotice::Kind::FileLoaded:
            if (staged_.song && staged_.song->generation == notice.generation) {
                loaded_ = std::move(staged_);
                staged_ = {};
            }
            collect();
            if (delegate_) {
                delegate_->onSequencerFileLoaded();
            }
            break;
        default:
            break;
    }
}

// Command stream

void AUMIDISequencer::push(SequencerCommand command) {
    collect();
    command.serial = ++issuedSerial_;
    flushSpill();
    if (spill_.empty() && commands_.push(command)) {
        return;
    }
    // The render thread has not taken the queue for a while: keep the order, hand the rest over later.
    spill_.push_back(command);
    if (!spillTimer_) {
        spillTimer_ = dispatch::MainQueue::shared().scheduleRepeatingTimer(0.005, [this](dispatch::Timer& timer) {
            flushSpill();
            if (spill_.empty()) {
                timer.invalidate();
                spillTimer_.reset();
            }
        });
    }
}

void AUMIDISequencer::pushTransport(SequencerCommand command, bool playing) {
    push(command);
    transportSerial_ = issuedSerial_;
    commandedPlaying_ = playing;
}

void AUMIDISequencer::flushSpill() {
    while (!spill_.empty() && commands_.push(spill_.front())) {
        spill_.pop_front();
    }
}

// Transport

void AUMIDISequencer::start(AUEventSampleTime time) {
    stop();
    debugprint("AUMIDISequencer::start() at " + std::to_string(time));
    SequencerCommand command;
    command.kind = SequencerCommand::Kind::Start;
    command.sampleTime = time;
    command.flag = loaded_.song && !loaded_.song->empty();
    if (!command.flag) {
        debugprint("AUMIDISequencer::ERROR: There is no MIDI data available for playing.");
    }
    pushTransport(command, command.flag);
}

void AUMIDISequencer::stop() {
    debugprint("AUMIDISequencer::stop()");
    debugprint("AUMIDISequencer::seek(0.0)");
    SequencerCommand command;
    command.kind = SequencerCommand::Kind::Stop;
    pushTransport(command, false);
}

void AUMIDISequencer::pause() {
    debugprint("AUMIDISequencer::pause()");
    SequencerCommand command;
    command.kind = SequencerCommand::Kind::Pause;
    pushTransport(command, false);
}

void AUMIDISequencer::_continue() {
    debugprint("AUMIDISequencer::continue()");
    SequencerCommand command;
    command.kind = SequencerCommand::Kind::Continue;
    pushTransport(command, true);
}

// Until the render thread has taken the last transport command, the command says whether the player plays; after
// that the render thread's state does (it also knows when the song ended).
bool AUMIDISequencer::isPlaying() const {
    const SequencerPlayState now = state();
    return now.appliedSerial >= transportSerial_ ? !now.stopped : commandedPlaying_;
}

void AUMIDISequencer::seekToPosition(double value) {
    if (!std::isfinite(value)) {
        debugprint("AUMIDISequencer::seek() : ERROR: The position " + foundation::numberText(value) +
                   " is not a finite number.");
        return;
    }
    debugprint("AUMIDISequencer::seek(" + foundation::numberText(value) + ")");
    SequencerCommand command;
    command.kind = SequencerCommand::Kind::Seek;
    command.value = std::clamp(value, 0.0, 1.0);
    push(command);
}

void AUMIDISequencer::seekToEvent(std::int64_t index) {
    SequencerCommand command;
    command.kind = SequencerCommand::Kind::SeekEvent;
    command.index = index;
    push(command);
}

// Looping

bool AUMIDISequencer::isLooping() const {
    return looping_;
}

void AUMIDISequencer::setLooping(bool value) {
    looping_ = value;
    SequencerCommand command;
    command.kind = SequencerCommand::Kind::SetLooping;
    command.flag = value;
    push(command);
}

// Speed

void AUMIDISequencer::setTempoFactor(double value) {
    SequencerCommand command;
    command.kind = SequencerCommand::Kind::SetTempoFactor;
    command.value = clampFactor(value);
    push(command);
}

double AUMIDISequencer::getTempoFactor() const {
    return state().tempoFactor;
}

void AUMIDISequencer::setRate(double value) {
    tempoRate_ = clampFactor(value);
    SequencerCommand command;
    command.kind = SequencerCommand::Kind::SetRate;
    command.value = tempoRate_;
    push(command);
}

double AUMIDISequencer::getRate() const {
    return tempoRate_;
}

// Positions

std::int64_t AUMIDISequencer::sequencerPositionV() const {
    return state().positionV;
}

std::int64_t AUMIDISequencer::sequencerStartTime() const {
    return state().startTime;
}

std::int64_t AUMIDISequencer::currentSampleTime() const {
    return state().currentSampleTime;
}

std::int64_t AUMIDISequencer::currentFrames() const {
    return state().currentFrames;
}

std::int64_t AUMIDISequencer::pausedSampletime() const {
    return state().pausedSampleTime;
}

std::int64_t AUMIDISequencer::loopCount() const {
    return state().loopCount;
}

std::int64_t AUMIDISequencer::getCurrentPositionInSamples() const {
    return sequencerPositionV();
}

std::int64_t AUMIDISequencer::getDurationInSamples() const {
    const auto song = playingSong();
    return song ? song->lastSampleTime() : 0;
}

double AUMIDISequencer::getDurationInBeats() const {
    const auto song = playingSong();
    return song ? song->lastBeats() : 0.0;
}

double AUMIDISequencer::getCurrentPositionInBeats() const {
    return getProgress() * getDurationInBeats();
}

double AUMIDISequencer::getPositionInSeconds() const {
    return static_cast<double>(sequencerPositionV()) / samplerate_;
}

double AUMIDISequencer::getDurationInSeconds() const {
    return static_cast<double>(getDurationInSamples()) / samplerate_;
}

double AUMIDISequencer::getCurrentTimeInSeconds() const {
    const SequencerPlayState now = state();
    return static_cast<double>(now.currentSampleTime - now.startTime) / samplerate_;
}

double AUMIDISequencer::getProgress() const {
    const std::int64_t last = getDurationInSamples();
    if (last < 1) {
        return 0.0;
    }
    return std::min(1.0, static_cast<double>(sequencerPositionV()) / static_cast<double>(last));
}

// Monitor reset and accessors

void AUMIDISequencer::reset() {
    AUMIDIMonitor::reset();
    isMultiChannel_ = true;
    looping_ = false;
    currentFile_.reset();
    currentChannel_ = 0;
    channelMask_ = kAllChannels;
    loaded_ = {};
    staged_ = {};
    SequencerCommand command;
    command.kind = SequencerCommand::Kind::Reset;
    pushTransport(command, false);
}

AUMIDISequencer::Events AUMIDISequencer::getEventList() const {
    const auto song = playingSong();
    return song ? song->events : Events{};
}

std::shared_ptr<AUMIDIEventEx> AUMIDISequencer::getCurrentEvent() const {
    const auto song = playingSong();
    const std::int64_t index = state().eventIndex;
    if (!song || index < 0 || static_cast<std::size_t>(index) >= song->size()) {
        return nullptr;
    }
    return song->events[static_cast<std::size_t>(index)];
}

std::int64_t AUMIDISequencer::getCurrentEventIndex() const {
    return state().eventIndex;
}

void AUMIDISequencer::dumpout() const {
    debugprint("AUMIDISequencer: The following MIDI data is loaded and scheduled for playing: ");
    for (const auto& event : getEventList()) {
        const AUMIDIEvent header = event->event();
        debugprint(" - " + std::to_string(header.eventSampleTime) + " : (" + std::to_string(header.data[0]) + ", " +
                   std::to_string(header.data[1]) + ", " + std::to_string(header.data[2]) + ")");
    }
}
