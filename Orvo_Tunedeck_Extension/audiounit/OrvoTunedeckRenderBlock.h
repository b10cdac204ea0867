#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "Orvo_Tunedeck_Extension/audiounit/RenderHandoff.h"
#include "Orvo_Tunedeck_Extension/audiounit/RenderTiming.h"
#include "Orvo_Tunedeck_Extension/dsp/OrvoTunedeckDSPKernelAdapter.h"
#include "platform/audiounit/AUAudioUnitBus.h"
#include "platform/audiounit/AURenderBlocks.h"
#include "shared/events/AUMIDIEventListMixer.h"
#include "shared/events/AUMIDIEventStack.h"
#include "shared/events/AUMIDIMonitor.h"
#include "shared/playback/AUMIDIRecorder.h"
#include "shared/playback/AUMIDISequencer.h"

// One render call of the instrument. It mixes the file player's events for this buffer into the host's MIDI, posts
// host parameter events to the main queue, applies the player's tempo markers as tempo factor, and sends each mixed
// message that has a status byte (plus the system messages set aside) whole to MIDI out, whatever its length, copying
// it for the monitor and recorder. Then the synthesizer renders the mixed list into the host's buffers and the
// limiter runs over them. Its collaborators, MIDI output block included, are bound at construction.
//
// Threads: made and destroyed on the main queue's thread while no render call runs; render() on the render thread,
// where it never allocates, locks, waits or does I/O (log lines travel through its hand-off).
class OrvoTunedeckRenderBlock {
public:
    struct Parts {
        RenderTiming* timing;        // written on every call
        AUAudioUnitBus* outputBus;   // rendering happens only while it is enabled
        std::shared_ptr<AUMIDISequencer> sequencer;
        std::shared_ptr<AUMIDIEventListMixer> eventMixer;
        AUMIDIOutputEventBlock midiOutput;  // may be empty
        std::shared_ptr<AUMIDIMonitor> monitor;
        std::shared_ptr<AUMIDIRecorder> recorder;
        AURenderBlock synthRender;
        std::shared_ptr<OrvoTunedeckDSPKernelAdapter> kernelAdapter;
        RenderHandoff::ParameterHandler applyHostParameterEvent;
        void* parameterContext;
    };

    explicit OrvoTunedeckRenderBlock(Parts parts);
    // Writes the count of "sample time: " lines not printed, if any. Main queue's thread, while no render call runs.
    ~OrvoTunedeckRenderBlock();
    OrvoTunedeckRenderBlock(const OrvoTunedeckRenderBlock&) = delete;
    OrvoTunedeckRenderBlock& operator=(const OrvoTunedeckRenderBlock&) = delete;

    // Always noErr. Renders nothing, leaving buffers and timing as they were, for a bus other than 0 or a disabled
    // output bus.
    foundation::OSStatus render(AudioUnitRenderActionFlags* actionFlags, const AudioTimeStamp* timestamp,
                                AUAudioFrameCount frameCount, std::int64_t outputBusNumber,
                                AudioBufferList* outputData, const AURenderEvent* realtimeEventListHead,
                                const AURenderPullInputBlock& pullInputBlock) noexcept;

    // Delivers what the render calls handed to the main queue and it has not run yet (see RenderHandoff), so that
    // none of it is lost with the block. Main queue's thread, while no render call runs.
    void deliverWaiting() { handoff_.deliverWaiting(); }

    // Hand-offs to the main queue dropped for want of room. Any thread.
    std::uint64_t droppedHandoffCount() const noexcept { return handoff_.droppedCount(); }

private:
    // The time at which an event of sample time time is sent in the buffer [start, start + frameCount): immediate
    // times are moved into absolute time first (a "sample time: " line for the first of them in the block's life,
    // a count for the others), then the time is clamped to the buffer.
    AUEventSampleTime sendTime(AUEventSampleTime time, AUEventSampleTime start, AUAudioFrameCount frameCount) noexcept;
    void drainSpecialEvents(AUEventSampleTime start, AUAudioFrameCount frameCount) noexcept;
    // event holds its whole message from its data field on.
    void send(const AUMIDIEvent& event, AUEventSampleTime sendTime, AUEventSampleTime start) noexcept;

    Parts parts_;
    AUMIDIEventStack stack_;
    RenderHandoff handoff_;
    bool sampleTimePrinted_ = false;  // render thread
    std::atomic<std::uint64_t> unprintedSampleTimes_{0};
};
