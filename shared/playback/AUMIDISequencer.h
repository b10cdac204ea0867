#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/audiounit/RenderEvent.h"
#include "platform/dispatch/HandoffRing.h"
#include "platform/dispatch/Timer.h"
#include "platform/musicsequence/MusicSequence.h"
#include "shared/events/AUMIDIMonitor.h"
#include "shared/events/AsideEventList.h"
#include "shared/musicsequence/MIDISequence16.h"
#include "shared/phrases/MIDIPhraseArranger.h"
#include "shared/playback/AUMIDISequencerDelegate.h"
#include "shared/playback/SequencerCommand.h"
#include "shared/playback/SequencerEngine.h"
#include "shared/playback/SequencerSong.h"
#include "shared/playback/SpscRing.h"

// The MIDI file player that runs inside the instrument's render call. A song is a list of sample-timed events at
// samplerate × 0.5 samples per beat (120 beats per minute), tempo markers (status 0xFD) included; every render cycle
// asks process() for the events that fall into it.
//
// Timing, with T and F the cycle's start and frame count, R = tempo factor × rate, posV the play position in file
// samples: a cycle schedules the events up to posV + ⌊R·F⌋, each at T + ⌊(s − posV) / R⌋, then advances posV by
// ⌊R·F⌋. An event due before T goes out at the immediate time (late note-ons and key pressure are dropped); one
// due after T + F goes out at T + F. Releases of the song's sounding notes and queued messages go out at T, ahead of
// the song's events. Cycles that start at or before sample time 0 schedule no song events.
//
// Threads: process(), specialEvents() and setTempoFactorFromMarkers() belong to the render thread and never
// allocate, lock, wait or do I/O after the first cycle. Everything else runs on the main queue: commands reach the
// render thread in order through a preallocated ring and take effect at the start of the next cycle; the getters
// report the state as that cycle left it. Songs are built on the main queue, handed over by pointer and freed there
// once the render thread no longer uses them. Render-side notices (end, loop, load, log lines) reach the delegate and
// the log on the main queue. Create and destroy the player on the main queue, destroy it only while no render cycle
// runs. Commands that would overfill a cycle's list wait for the next cycle; commands that find the ring full wait
// on the main queue, in order, and are handed over by a timer there.
class AUMIDISequencer : public AUMIDIMonitor {
public:
    using Events = SequencerSong::Events;
    // Turns the song into sample-timed events at the given sample rate. Called on the main queue at load, and again
    // when the sample rate changes.
    using Conversion = std::function<Events(double samplerate)>;

    static constexpr std::size_t kCommandCapacity = 2048;
    static constexpr std::size_t kNoticeCapacity = 1024;
    // Records processInternal() returns at most per call.
    static constexpr std::size_t kInternalCapacity = 512;

    static std::shared_ptr<AUMIDISequencer> create();
    ~AUMIDISequencer() override;

    void setDelegate(std::shared_ptr<AUMIDISequencerDelegate> delegate) { delegate_ = std::move(delegate); }

    // Loading. Each stops the player and resets the tempo factor to 1. With force the song becomes the loaded song at
    // once (rewound); otherwise it is swapped in at the next loop wrap (parsed and converted now).
    //
    // The standard MIDI file at path, read into a new sequence(). A missing file is logged, clears currentFile() and
    // keeps the loaded song.
    void loadMIDIFile(const std::filesystem::path& path, bool force);
    // A song made in memory: convert gives its events; file names it (none: no file).
    void load(Conversion convert, std::optional<std::string> file, bool force);
    // A platform music sequence, as a new sequence() (a null handle is logged and gives an empty song). Loads at
    // once, without stopping, rewinding the transport or touching the tempo factor and currentFile().
    void loadSequence(MusicSequence musicSequence);
    // The sequence of the last file or music sequence loaded.
    std::shared_ptr<MIDISequence16> sequence() const { return sequence_; }
    // The tempo markers of the sequence's tempo track at samplerate(); empty without a tempo track.
    std::vector<std::shared_ptr<AUMIDIEventEx>> getTempoEvents();
    // The program the sequence last read on channel; 0 above channel 15.
    std::uint8_t getPatchForChannel(std::uint8_t channel);
    // Writes the sequence as a standard MIDI file, replacing an existing one; failures are logged.
    void saveMIDIFile(const std::filesystem::path& url);
    // Writes nothing: the player has no second file form.
    void saveMIDIFile2(const std::filesystem::path& url);
    // The phrase arranger made with the player.
    const std::shared_ptr<MIDIPhraseArranger>& arranger() const noexcept { return arranger_; }
    // Offers the arranger its tracks from files; no file is named yet, so the arranger stays as it is.
    void loadArranger();
    // Sample rate of the conversion and of every value in seconds. A change converts the loaded (and a staged) song
    // again and scales the play position.
    void setSamplerate(double samplerate);
    double samplerate() const noexcept { return samplerate_; }

    // Render thread. Returns the head of the cycle's list of render events (null when empty); the list stays valid
    // until the next call. time: the cycle's first sample time; frameCount: its length.
    const AURenderEvent* process(AUEventSampleTime time, AUAudioFrameCount frameCount) noexcept;
    // Render thread, in place of process() for a caller that wants plain records: takes the queued commands like
    // process(), then returns the song's events of the cycle as SequencerEngine::processInternal() describes (at most
    // kInternalCapacity; the rest come with the next call). Queued messages and releases are not part of the result
    // and are not sent. The records stay valid until the next call.
    std::span<const AUMIDIEvent> processInternal(AUEventSampleTime time, AUAudioFrameCount frameCount) noexcept;
    // Render thread: frees the list the last process() returned, before the next call would.
    void deallocateRealtimeEventListHead() noexcept { engine_.deallocateRealtimeEventListHead(); }
    // Render thread: copies of the tempo markers that fell due, each at its due time; the render block reads and
    // empties the list.
    AsideEventList& specialEvents() noexcept { return engine_.specialEvents(); }
    // Render thread: the tempo factor the render block derived from the markers (clamped to 0.1 to 10.0).
    void setTempoFactorFromMarkers(double value) noexcept { engine_.setTempoFactor(value); }

    // Transport.
    void start(AUEventSampleTime time);
    void stop();
    void pause();
    void _continue();
    // Whether the player plays, counting the transport commands the render thread has not taken yet: presses that
    // come faster than render cycles, or while nothing renders, still alternate.
    bool isPlaying() const;
    // Changes with every transport command (start, stop, pause, continue): tells whether anyone moved the player
    // since a given moment.
    std::uint64_t transportSerial() const noexcept { return transportSerial_; }
    // value: fraction 0 to 1 of the song (clamped); non-finite values are refused.
    void seekToPosition(double value);
    void seekToEvent(std::int64_t index);

    // Queued messages: each goes out in the next cycle, at its start, and releases the song's sounding notes.
    // status + channel above 255 is refused with a log line.
    void sendEvent(std::uint8_t channel, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
    // A whole message of 1 to 256 bytes (system exclusive type, cable 0); others are refused with a log line.
    void sendEvent(const std::vector<std::uint8_t>& data);
    void allNotesOff(std::uint8_t channel);
    void allNotesOff();
    void allSoundsOff(std::uint8_t channel);
    void allSoundsOff();
    void resetProgram(std::uint8_t channel);
    void resetPrograms();
    void resetControllers(std::uint8_t channel);
    void resetControllers();

    // Channel control.
    void setChannel(std::uint8_t channel);
    void mute(std::uint8_t channel);
    void unmute(std::uint8_t channel);
    void unmuteAll();
    void muteAll();
    void solo(std::uint8_t channel);
    // Leaves the song as it is: the player does not transpose.
    void transpose(int semitones);
    // Message types (status & 0xF0) whose song events are dropped.
    void setStatusFilter(const std::vector<std::uint8_t>& statuses);
    std::vector<std::uint8_t> channelFilter() const;

    bool isMultiChannel() const noexcept { return isMultiChannel_; }
    void setMultiChannel(bool value) noexcept { isMultiChannel_ = value; }
    bool isLooping() const;
    void setLooping(bool value);
    std::uint8_t currentChannel() const noexcept { return currentChannel_; }
    const std::optional<std::string>& currentFile() const noexcept { return currentFile_; }
    std::uint8_t cable() const noexcept { return kCable; }

    // Speed: both clamped to 0.1 to 10.0; scheduling uses their product.
    void setTempoFactor(double value);
    double getTempoFactor() const;
    void setRate(double value);
    double getRate() const;

    // Positions and durations (L = sample time of the last song event).
    std::int64_t sequencerPositionV() const;
    std::int64_t sequencerStartTime() const;
    std::int64_t currentSampleTime() const;
    std::int64_t currentFrames() const;
    std::int64_t pausedSampletime() const;
    std::int64_t loopCount() const;
    std::int64_t getCurrentPositionInSamples() const;
    std::int64_t getDurationInSamples() const;
    double getCurrentPositionInBeats() const;
    double getDurationInBeats() const;
    double getPositionInSeconds() const;
    double getDurationInSeconds() const;
    double getCurrentTimeInSeconds() const;
    // posV / L, at most 1; 0 without events or when L < 1.
    double getProgress() const;

    // Back to the empty player (the rate stays).
    void reset() override;

    Events getEventList() const;
    std::shared_ptr<AUMIDIEventEx> getCurrentEvent() const;
    std::int64_t getCurrentEventIndex() const;
    // True while no file was loaded.
    bool isEmpty() const noexcept { return !currentFile_.has_value(); }
    // Logs the loaded song, one line per event.
    void dumpout() const;

private:
    static constexpr std::uint8_t kCable = 1;
    static constexpr std::uint32_t kAllChannels = 0xFFFF;

    struct Retained {
        std::shared_ptr<const SequencerSong> song;
        std::uint64_t sentSerial = 0;
    };
    struct Loaded {
        std::shared_ptr<const SequencerSong> song;
        Conversion convert;
    };

    AUMIDISequencer();

    // Starts a render cycle and applies the commands queued for it.
    void takeCommands(AUEventSampleTime time, AUAudioFrameCount frameCount) noexcept;

    static void onNotice(void* context, const SequencerNotice& notice);
    void handleNotice(const SequencerNotice& notice);

    // Builds the song of convert and hands it over: loaded now (rewound; resetTempo sets the tempo factor to 1) or
    // staged for the next wrap.
    void install(Conversion convert, bool force, bool resetTempo);
    Conversion sequenceConversion() const;
    void push(SequencerCommand command);
    // A command that starts or stops the player; playing: whether the player plays once it is applied.
    void pushTransport(SequencerCommand command, bool playing);
    void flushSpill();
    void queueMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
    void queueChannelMask();
    std::shared_ptr<const SequencerSong> build(const Conversion& convert);
    std::shared_ptr<const SequencerSong> retain(std::shared_ptr<SequencerSong> song, std::uint64_t serial);
    void collect();
    SequencerPlayState state() const { return engine_.published().read(); }
    std::shared_ptr<const SequencerSong> playingSong() const;

    std::shared_ptr<AUMIDISequencerDelegate> delegate_;
    std::shared_ptr<MIDISequence16> sequence_ = MIDISequence16::create();
    std::shared_ptr<MIDIPhraseArranger> arranger_ = std::make_shared<MIDIPhraseArranger>();
    std::vector<AUMIDIEvent> internalEvents_;
    dispatch::HandoffRing notices_;
    SequencerEngine engine_;
    SpscRing<SequencerCommand> commands_;
    std::deque<SequencerCommand> spill_;
    std::shared_ptr<dispatch::Timer> spillTimer_;
    std::uint64_t issuedSerial_ = 0;
    // The serial of the last start, stop, pause, continue or reset, and whether it left the player playing.
    std::uint64_t transportSerial_ = 0;
    bool commandedPlaying_ = false;
    std::uint64_t nextGeneration_ = 1;
    std::vector<Retained> retained_;
    Loaded loaded_;
    Loaded staged_;

    bool isMultiChannel_ = true;
    bool looping_ = false;
    double samplerate_ = 48000.0;
    double tempoRate_ = 1.0;
    std::optional<std::string> currentFile_;
    std::uint8_t currentChannel_ = 0;
    std::uint32_t channelMask_ = kAllChannels;
};
