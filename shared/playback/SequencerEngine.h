#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/audiounit/RenderEvent.h"
#include "platform/dispatch/HandoffRing.h"
#include "shared/events/AUMIDIMonitor.h"
#include "shared/events/RenderEventBuffer.h"
#include "shared/events/AsideEventList.h"
#include "shared/playback/PublishedState.h"
#include "shared/playback/SequencerCommand.h"
#include "shared/playback/SequencerNotice.h"
#include "shared/playback/SequencerSong.h"

// The file player's state as the render thread last left it, published whole after every cycle.
struct SequencerPlayState {
    std::int64_t positionV = 0;         // play position in file samples
    std::int64_t position = 0;          // real samples since the start
    std::int64_t currentSampleTime = 0;
    std::int64_t currentFrames = 512;
    std::int64_t startTime = 0;         // sequencerStartTime
    std::int64_t pausedSampleTime = 0;
    std::int64_t eventIndex = 0;
    std::int64_t loopCount = 0;
    double tempoFactor = 1.0;
    double rate = 1.0;
    std::uint64_t appliedSerial = 0;    // serial of the last command applied
    std::uint64_t songGeneration = 0;   // generation of the loaded song, 0 for none
    std::uint64_t stagedGeneration = 0; // generation of the song waiting for the next wrap, 0 for none
    bool stopped = true;
    bool looping = false;
};

// The render side of the file player: applies the queued commands, then schedules the song's events that fall into
// the cycle (timing in the header of AUMIDISequencer).
//
// Threads: construction allocates (main queue). Everything else on the render thread only, except published(), which
// any thread may read. Nothing here allocates, locks or waits.
class SequencerEngine {
public:
    // Room of the output list in bytes: releases, queued messages and the cycle's file events.
    static constexpr std::size_t kOutputBytes = 1 << 20;
    static constexpr std::size_t kSpecialEvents = 256;
    // Room kept for the song's events and the releases of a cycle.
    static constexpr std::size_t kSongReserveBytes = kOutputBytes / 2;

    using NoticeHandler = void (*)(void* context, const SequencerNotice& notice);

    // monitor keeps the running notes; notices go through ring (whose producer is the render thread) to handler.
    SequencerEngine(AUMIDIMonitor& monitor, dispatch::HandoffRing& ring, NoticeHandler handler, void* context);

    // True while the cycle's list has room for what one more command may add, keeping room for the song's events.
    // Commands that find no room wait for the next cycle.
    bool hasRoomForCommand() const noexcept;
    void apply(const SequencerCommand& command, AUEventSampleTime cycleStart) noexcept;
    // Schedules one cycle after the commands were applied; returns the head of the cycle's list or null.
    const AURenderEvent* process(AUEventSampleTime cycleStart, AUAudioFrameCount frames) noexcept;
    // Starts a cycle: frees the previous list and sends what the previous cycle left for this one.
    void beginCycle(AUEventSampleTime cycleStart, AUAudioFrameCount frames) noexcept;
    // The plain variant of process(), after the commands were applied: nothing while stopped; otherwise every song
    // event from the event index up to (cycleStart - start time) + frames that passes the channel filter (tempo
    // markers and system messages included, no tempo scaling, status filter or releases) is copied into out, timed
    // at the start time of its pass plus its own sample time, its first three bytes only. The last event ends the
    // song as process() does, except that a staged song waits. Stops when out is full; the rest stays for the next
    // call. Returns the number of records written.
    std::size_t processInternal(AUEventSampleTime cycleStart, AUAudioFrameCount frames,
                                std::span<AUMIDIEvent> out) noexcept;
    // Frees the list the last process() returned; it must not be read afterwards.
    void deallocateRealtimeEventListHead() noexcept;

    AsideEventList& specialEvents() noexcept { return specialEvents_; }
    // The render block's tempo factor from the tempo markers, clamped to 0.1 to 10.0.
    void setTempoFactor(double value) noexcept;

    const PublishedState<SequencerPlayState>& published() const noexcept { return published_; }

private:
    void publish() noexcept;
    void release(AUEventSampleTime time) noexcept;
    void append(const AUMIDIEvent& event, AUEventSampleTime time) noexcept;
    void appendMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2, AUEventSampleTime time) noexcept;
    void appendAllNotesOff(AUEventSampleTime time) noexcept;
    void appendStopMessages(AUEventSampleTime time) noexcept;
    void stop(AUEventSampleTime time) noexcept;
    void rewind() noexcept;
    void seek(double fraction) noexcept;
    void replaceSong(const SequencerCommand& command) noexcept;
    // Handles the last event being consumed; true when the song wrapped.
    bool endOfSong(AUEventSampleTime lastSampleTime) noexcept;
    void schedule(const AUMIDIEventEx& event, AUEventSampleTime due, AUEventSampleTime cycleStart,
                  AUAudioFrameCount frames, double ratio) noexcept;
    void notify(const SequencerNotice& notice) noexcept;

    AUMIDIMonitor& monitor_;
    dispatch::HandoffRing& ring_;
    NoticeHandler handler_;
    void* context_;

    RenderEventBuffer output_;
    AsideEventList specialEvents_;
    PublishedState<SequencerPlayState> published_;
    SequencerPlayState state_;

    const SequencerSong* song_ = nullptr;
    const SequencerSong* staged_ = nullptr;
    std::size_t outputBytes_ = 0;  // bytes appended to the cycle's list
    std::uint8_t cable_ = 1;
    std::uint32_t channelMask_ = 0xFFFF;
    std::uint32_t statusMask_ = 0;
    bool seeking_ = false;
    bool stopMessagesDue_ = false;  // the end of the song stopped the player; its messages go out next cycle
    bool endedAtLastEvent_ = false; // the position stands past the end while the index was rewound
};
