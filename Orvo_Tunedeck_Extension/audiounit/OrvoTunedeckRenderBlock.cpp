#include "Orvo_Tunedeck_Extension/audiounit/OrvoTunedeckRenderBlock.h"

#include <string>

#include "Orvo_Tunedeck_Extension/audiounit/TempoMarkerFactor.h"
#include "platform/foundation/FixedLogLine.h"
#include "platform/foundation/Log.h"
#include "shared/events/MIDIBytes.h"

namespace {

// Sample times at or below this are immediate times (the immediate base plus an offset).
constexpr AUEventSampleTime kImmediateLimit = kAUEventSampleTimeImmediate + 4096;

bool isMIDI(const AURenderEvent& event) noexcept {
    return event.head.eventType == AURenderEventMIDI || event.head.eventType == AURenderEventMIDISysEx;
}

bool isParameter(const AURenderEvent& event) noexcept {
    return event.head.eventType == AURenderEventParameter || event.head.eventType == AURenderEventParameterRamp;
}

}  // namespace

OrvoTunedeckRenderBlock::OrvoTunedeckRenderBlock(Parts parts)
    : parts_(std::move(parts)),
      handoff_(parts_.applyHostParameterEvent, parts_.parameterContext, parts_.monitor, parts_.recorder) {}

OrvoTunedeckRenderBlock::~OrvoTunedeckRenderBlock() {
    if (const std::uint64_t unprinted = unprintedSampleTimes_.load(std::memory_order_relaxed); unprinted > 0) {
        foundation::writeLogLine("OrvoTunedeckRenderBlock : " + std::to_string(unprinted) +
                                 " more \"sample time: \" lines not printed, one for each later event at an "
                                 "immediate time.");
    }
}

foundation::OSStatus OrvoTunedeckRenderBlock::render(AudioUnitRenderActionFlags* actionFlags,
                                                     const AudioTimeStamp* timestamp, AUAudioFrameCount frameCount,
                                                     std::int64_t outputBusNumber, AudioBufferList* outputData,
                                                     const AURenderEvent* realtimeEventListHead,
                                                     const AURenderPullInputBlock& pullInputBlock) noexcept {
    if (outputBusNumber != 0 || !parts_.outputBus->isEnabled()) {
        return foundation::noErr;
    }
    const auto start = static_cast<AUEventSampleTime>(timestamp->mSampleTime);
    parts_.timing->store(start, frameCount);

    const AURenderEvent* fileEvents = parts_.sequencer->process(start, frameCount);
    const AURenderEvent* merged = parts_.eventMixer->mixEvents(realtimeEventListHead, fileEvents, 0, 0, false);

    for (const AURenderEvent* event = realtimeEventListHead; event != nullptr; event = event->head.next) {
        if (isParameter(*event)) {
            handoff_.pushParameter(event->parameter.parameterAddress, event->parameter.value);
        }
    }

    drainSpecialEvents(start, frameCount);
    for (const AURenderEvent* event = merged; event != nullptr; event = event->head.next) {
        if (!isMIDI(*event)) {
            continue;
        }
        const AUMIDIEvent& message = event->MIDI;
        const AUEventSampleTime time = sendTime(message.eventSampleTime, start, frameCount);
        if (message.length == 0 || (message.data[0] & 0x80) == 0) {
            continue;
        }
        send(message, time, start);
    }

    const foundation::OSStatus status =
        parts_.synthRender(actionFlags, timestamp, frameCount, 0, outputData, merged, pullInputBlock);
    if (status == foundation::noErr) {
        parts_.kernelAdapter->render2(actionFlags, timestamp, frameCount, 0, outputData, nullptr, nullptr);
    } else {
        foundation::FixedLogLine line;
        line << "OrvoTunedeck_AudioUnit::internalRenderBlock() : ERROR: We have a problem with the internal synth! "
             << status;
        handoff_.pushLine(line.view());
    }
    return foundation::noErr;
}

AUEventSampleTime OrvoTunedeckRenderBlock::sendTime(AUEventSampleTime time, AUEventSampleTime start,
                                                    AUAudioFrameCount frameCount) noexcept {
    if (time <= kImmediateLimit) {
        // One line per event would be a line per message of every song played: the first is printed, the rest
        // counted for the summary.
        if (!sampleTimePrinted_) {
            foundation::FixedLogLine line;
            line << "sample time: " << " " << time;
            handoff_.pushLine(line.view());
            sampleTimePrinted_ = true;
        } else {
            unprintedSampleTimes_.fetch_add(1, std::memory_order_relaxed);
        }
        time -= kAUEventSampleTimeImmediate;
    }
    const AUEventSampleTime last = start + static_cast<AUEventSampleTime>(frameCount) - 1;
    if (time > last) {
        time = last;
    }
    return time < start ? start : time;
}

void OrvoTunedeckRenderBlock::drainSpecialEvents(AUEventSampleTime start, AUAudioFrameCount frameCount) noexcept {
    AsideEventList& markers = parts_.sequencer->specialEvents();
    if (!markers.empty()) {
        std::optional<double> factor;
        for (std::size_t index = 0; index < markers.size(); ++index) {
            if (const auto markerFactor = tempoFactorFromMarker(markers[index])) {
                factor = markerFactor;
            }
        }
        if (factor) {
            parts_.sequencer->setTempoFactorFromMarkers(*factor);
        }
        markers.clear();
    }
    AsideEventList& systemMessages = parts_.eventMixer->specialEvents;
    for (std::size_t index = 0; index < systemMessages.size(); ++index) {
        const AUMIDIEvent& message = systemMessages[index];
        send(message, sendTime(message.eventSampleTime, start, frameCount), start);
    }
    systemMessages.clear();
}

void OrvoTunedeckRenderBlock::send(const AUMIDIEvent& event, AUEventSampleTime sendTime,
                                   AUEventSampleTime start) noexcept {
    // A message longer than a scratch record goes out from the event's own storage, which holds all of it.
    AUMIDIEventEx& scratch = stack_.next();
    const std::uint8_t* bytes = scratch.InitializeWith(event) ? scratch.data() : midiBytes(event);
    if (parts_.midiOutput) {
        const foundation::OSStatus status =
            parts_.midiOutput(kAUEventSampleTimeImmediate + (sendTime - start), event.cable, event.length, bytes);
        if (status != foundation::noErr) {
            handoff_.pushLine("MIDI OUT ( Orvo Tunedeck ) send out failed!");
        }
    }
    handoff_.pushMonitored(event.eventType, bytes, event.length, sendTime);
}
