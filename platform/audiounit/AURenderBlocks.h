#pragma once
// The closures through which hosts and units call each other.
//
// Threads: render and pull-input blocks run on the render thread; MIDI output blocks run on the render thread of the
// unit that sends; schedule-MIDI blocks may be called from any thread.

#include <cstdint>
#include <functional>

#include "platform/audiounit/AudioBufferList.h"
#include "platform/audiounit/AudioTimeStamp.h"
#include "platform/audiounit/RenderEvent.h"
#include "platform/foundation/Status.h"

using AudioUnitRenderActionFlags = std::uint32_t;

// Fills inputData with frameCount frames of the unit's input bus inputBusNumber.
using AURenderPullInputBlock =
    std::function<foundation::OSStatus(AudioUnitRenderActionFlags* actionFlags, const AudioTimeStamp* timestamp,
                                       AUAudioFrameCount frameCount, std::int64_t inputBusNumber,
                                       AudioBufferList* inputData)>;

// Renders frameCount frames of outputBusNumber into outputData, applying the render events of the list (may be
// nullptr). pullInputBlock is empty when the host offers no input.
using AURenderBlock = std::function<foundation::OSStatus(
    AudioUnitRenderActionFlags* actionFlags, const AudioTimeStamp* timestamp, AUAudioFrameCount frameCount,
    std::int64_t outputBusNumber, AudioBufferList* outputData, const AURenderEvent* realtimeEventListHead,
    const AURenderPullInputBlock& pullInputBlock)>;

// What a unit renders with; same form as the host-facing AURenderBlock.
using AUInternalRenderBlock = AURenderBlock;

// One MIDI message the unit sends: its sample time, cable, byte count and bytes.
using AUMIDIOutputEventBlock = std::function<foundation::OSStatus(AUEventSampleTime eventSampleTime, std::uint8_t cable,
                                                                  std::int64_t length, const std::uint8_t* midiBytes)>;

// Queues one MIDI message for the unit's next render call.
using AUScheduleMIDIEventBlock =
    std::function<void(AUEventSampleTime eventSampleTime, std::uint8_t cable, std::int64_t length,
                       const std::uint8_t* midiBytes)>;
