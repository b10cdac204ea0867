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

// The host's musical context at the start of the current render call: tempo in beats per minute, time signature,
// beat position, samples to the next beat and the beat position of the current measure's downbeat. Any pointer may
// be nullptr (that value is not wanted). False when the host cannot say.
using AUHostMusicalContextBlock =
    std::function<bool(double* currentTempo, double* timeSignatureNumerator, std::int64_t* timeSignatureDenominator,
                       double* currentBeatPosition, std::int64_t* sampleOffsetToNextBeat,
                       double* currentMeasureDownbeatPosition)>;

// Transport state bits the host reports.
using AUHostTransportStateFlags = std::uint32_t;
inline constexpr AUHostTransportStateFlags AUHostTransportStateChanged = 1;
inline constexpr AUHostTransportStateFlags AUHostTransportStateMoving = 2;
inline constexpr AUHostTransportStateFlags AUHostTransportStateRecording = 4;
inline constexpr AUHostTransportStateFlags AUHostTransportStateCycling = 8;

// The host's transport at the start of the current render call: state bits, sample position and cycle bounds in
// beats. Any pointer may be nullptr. False when the host cannot say.
using AUHostTransportStateBlock =
    std::function<bool(AUHostTransportStateFlags* transportStateFlags, double* currentSamplePosition,
                       double* cycleStartBeatPosition, double* cycleEndBeatPosition)>;
