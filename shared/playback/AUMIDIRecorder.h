#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/audiounit/RenderEvent.h"
#include "shared/events/AUMIDIEventEx.h"
#include "shared/events/AUMIDIMonitor.h"
#include "shared/recorder/MIDIRecorder.h"

// Records the MIDI events the instrument plays: while started, every event handed to record() is kept as a copy
// whose sample time counts from the start of the recording, in the monitor's list (never cleared automatically).
// save() writes the list as a standard MIDI file of sixteen tracks at 120 beats per minute, counting samplerate / 2
// samples per beat, so the file plays at the speed it was played.
//
// Threads: main queue only (the render block hands its events over to the main queue first).
class AUMIDIRecorder : public AUMIDIMonitor {
public:
    static std::shared_ptr<AUMIDIRecorder> create();

    // Discards the recording and stops.
    void reset() override;
    // Render sample rate of the recorded events (48000 at creation); refuses rates that are not positive.
    void setSamplerate(double samplerate);
    double samplerate() const noexcept { return samplerate_; }
    double samplesPerBeat() const noexcept { return samplerate_ * 0.5; }

    // Discards the previous recording and records from render sample time time on.
    void start(AUEventSampleTime time);
    // Stops recording; the recorded list stays.
    void stop();
    void pause() {}
    // While started, records a copy of event at its sample time minus the start time. Note messages (0x8n, 0x9n)
    // of note number 0 are not recorded.
    void record(const AUMIDIEventEx& event);

    // Sorts the recorded list by sample time (stably) and writes it to url through a fresh MIDIRecorder: notes whose
    // note-off was recorded, and every other message, at their beats (events before the start at beat 0). An empty list is logged and writes nothing;
    // write failures are logged. The list stays, and so does recording.
    void save(const std::filesystem::path& url);
    // The sequence builder of the last save.
    std::shared_ptr<MIDIRecorder> recorder() const { return recorder_; }

    // Where recording stands, in samples from its start (the newest event's time).
    AUEventSampleTime getPosition() const noexcept { return eventPosition_; }
    std::size_t getCount() const { return getSize(); }
    AUEventSampleTime getStartTime() const noexcept { return startTime_; }
    bool isRecording() const noexcept { return isStarted_; }

    // The record's fields as the recorder logs them.
    static std::string describe(const AUMIDIEvent& event);

private:
    AUMIDIRecorder() : AUMIDIMonitor(false) {}

    std::shared_ptr<MIDIRecorder> recorder_ = MIDIRecorder::create();
    AUEventSampleTime startTime_ = 0;
    AUEventSampleTime eventPosition_ = 0;
    bool isStarted_ = false;
    double samplerate_ = 48000.0;
};
