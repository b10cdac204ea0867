#include "shared/playback/AUMIDISequencer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/audiounit/MIDIMessageLength.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/NumberText.h"
#include "shared/globals/Print.h"

namespace {

constexpr std::uint8_t kAllNotesOff = 123;
constexpr std::uint8_t kResetAllControllers = 121;
constexpr std::uint8_t kSustain = 64;
constexpr std::uint32_t kAllChannels = 0xFFFF;

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
    : AUMIDIMonitor(true), notices_(kNoticeCapacity), engine_(*this, notices_, &AUMIDISequencer::onNotice, this),
      commands_(kCommandCapacity), internalEvents_(kInternalCapacity) {}

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

void AUMIDISequencer::queueMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    SequencerCommand command;
    command.kind = SequencerCommand::Kind::Message;
    command.eventType = AURenderEventMIDI;
    command.cable = kCable;
    command.length = midiMessageLength(status);
    command.bytes[0] = status;
    command.bytes[1] = data1;
    command.bytes[2] = data2;
    push(command);
}

void AUMIDISequencer::queueChannelMask() {
    SequencerCommand command;
    command.kind = SequencerCommand::Kind::SetChannelMask;
    command.mask = channelMask_;
    push(command);
}

// Songs

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

// Queued messages

void AUMIDISequencer::sendEvent(std::uint8_t channel, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    const unsigned statusByte = unsigned{status} + channel;
    if (statusByte > 0xFF) {
        debugprint("AUMIDISequencer::sendEvent() : ERROR: The status " + std::to_string(status) + " plus the channel " +
                   std::to_string(channel) + " does not fit in a byte; the message is not sent.");
        return;
    }
    queueMessage(static_cast<std::uint8_t>(statusByte), data1, data2);
}

void AUMIDISequencer::sendEvent(const std::vector<std::uint8_t>& data) {
    if (data.empty() || data.size() > SequencerCommand::kMaxBytes) {
        debugprint("AUMIDISequencer::sendEvent() : ERROR: A message of " + std::to_string(data.size()) +
                   " bytes cannot be sent (1 to " + std::to_string(SequencerCommand::kMaxBytes) + " bytes).");
        return;
    }
    SequencerCommand command;
    command.kind = SequencerCommand::Kind::Message;
    command.eventType = AURenderEventMIDISysEx;
    command.cable = 0;
    command.length = static_cast<std::uint16_t>(data.size());
    std::memcpy(command.bytes, data.data(), data.size());
    push(command);
}

void AUMIDISequencer::allNotesOff(std::uint8_t channel) {
    sendEvent(channel, 0xB0, kAllNotesOff, 0);
}

void AUMIDISequencer::allNotesOff() {
    SequencerCommand command;
    command.kind = SequencerCommand::Kind::AllNotesOff;
    push(command);
}

void AUMIDISequencer::allSoundsOff(std::uint8_t channel) {
    allNotesOff(channel);
}

void AUMIDISequencer::allSoundsOff() {
    allNotesOff();
}

void AUMIDISequencer::resetProgram(std::uint8_t channel) {
    sendEvent(channel, 0xC0, 0, 0);
}

void AUMIDISequencer::resetPrograms() {
    for (std::uint8_t channel = 0; channel < 16; ++channel) {
        resetProgram(channel);
    }
}

void AUMIDISequencer::resetControllers(std::uint8_t channel) {
    sendEvent(channel, 0xB0, kResetAllControllers, 0);
    sendEvent(channel, 0xB0, kSustain, 0);
}

void AUMIDISequencer::resetControllers() {
    for (std::uint8_t channel = 0; channel < 16; ++channel) {
        resetControllers(channel);
    }
}

// Channel control

void AUMIDISequencer::setChannel(std::uint8_t channel) {
    if (channel >= 16) {
        debugprint("AUMIDISequencer::ERROR: The channel is invalid.");
        return;
    }
    currentChannel_ = channel;
    for (Loaded* held : {&loaded_, &staged_}) {
        if (!held->song) {
            continue;
        }
        auto song = std::make_shared<SequencerSong>();
        song->generation = nextGeneration_++;
        song->events.reserve(held->song->size());
        for (const auto& event : held->song->events) {
            song->events.push_back(copyEvent(*event, channel));
        }
        SequencerCommand command;
        command.kind = SequencerCommand::Kind::ReplaceSong;
        command.generation = held->song->generation;
        command.value = 1.0;
        held->song = retain(song, issuedSerial_ + 1);
        command.song = held->song.get();
        push(command);
    }
}

void AUMIDISequencer::mute(std::uint8_t channel) {
    if (channel < 16) {
        channelMask_ &= ~(1U << channel);
        queueChannelMask();
    }
    sendEvent(channel, 0xB0, kAllNotesOff, 0);
}

void AUMIDISequencer::unmute(std::uint8_t channel) {
    if (channel < 16) {
        channelMask_ |= 1U << channel;
        queueChannelMask();
    }
}

void AUMIDISequencer::unmuteAll() {
    channelMask_ = kAllChannels;
    queueChannelMask();
}

void AUMIDISequencer::muteAll() {
    channelMask_ = 0;
    queueChannelMask();
    allNotesOff();
}

void AUMIDISequencer::solo(std::uint8_t channel) {
    unmuteAll();
    for (std::uint8_t other = 0; other < 16; ++other) {
        if (other != channel) {
            sendEvent(other, 0xB0, kAllNotesOff, 0);
        }
    }
}

void AUMIDISequencer::transpose(int) {}

void AUMIDISequencer::setStatusFilter(const std::vector<std::uint8_t>& statuses) {
    SequencerCommand command;
    command.kind = SequencerCommand::Kind::SetStatusMask;
    for (const std::uint8_t status : statuses) {
        command.mask |= 1U << (status >> 4);
    }
    push(command);
}

std::vector<std::uint8_t> AUMIDISequencer::channelFilter() const {
    std::vector<std::uint8_t> channels;
    for (std::uint8_t channel = 0; channel < 16; ++channel) {
        if ((channelMask_ & (1U << channel)) != 0) {
            channels.push_back(channel);
        }
    }
    return channels;
}

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
