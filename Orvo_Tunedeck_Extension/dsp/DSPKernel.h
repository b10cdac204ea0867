#pragma once

#include <cstdint>

#include "platform/audiounit/AURenderBlocks.h"
#include "platform/audiounit/AudioTimeStamp.h"
#include "platform/audiounit/RenderEvent.h"

// Base of a signal-processing kernel that renders one buffer in slices between the sample times of its render
// events, so every event takes effect at its own frame.
//
// Thread contract: processWithEvents and everything it calls run on the render thread; no allocation, no locks.
class DSPKernel {
public:
    virtual ~DSPKernel() = default;

    // Renders frameCount frames of the buffer that starts at sample position bufferOffset.
    virtual void process(AUAudioFrameCount frameCount, AUAudioFrameCount bufferOffset) noexcept = 0;
    // Runs the output stage over frameCount frames from bufferOffset.
    virtual void processCompander(AUAudioFrameCount frameCount, AUAudioFrameCount bufferOffset) noexcept = 0;
    // Also receives parameter and ramp events; ramps jump straight to their target.
    virtual void setParameter(AUParameterAddress address, AUValue value) noexcept = 0;
    // Takes one MIDI or system-exclusive event.
    virtual void handleMIDIEvent(const AUMIDIEvent& event) noexcept = 0;

    // Renders one buffer: the slice up to each event's sample time, then the event (and every other event due by
    // then), then the rest. Events are in time order; an event due before the current position is handled at once,
    // and slices never reach past frameCount: events due at or after the buffer's end are handled after the last
    // slice. midiOut (may be nullptr) is kept for the kernel's MIDI output during this call. Nothing happens when
    // frameCount is 0.
    void processWithEvents(const AudioTimeStamp& timestamp, AUAudioFrameCount frameCount,
                           const AURenderEvent* events, const AUMIDIOutputEventBlock* midiOut) noexcept;

    // Handles event and each following one due at or before now; returns the first later event or nullptr.
    const AURenderEvent* performAllSimultaneousEvents(AUEventSampleTime now, const AURenderEvent* event) noexcept;

    // Parameter and ramp events go to setParameter, MIDI and system-exclusive events to handleMIDIEvent; other
    // types are ignored.
    void handleOneEvent(const AURenderEvent& event) noexcept;

protected:
    // Whatever MIDI output block the last processWithEvents call passed (maybe nullptr).
    const AUMIDIOutputEventBlock* midiOut = nullptr;
};
