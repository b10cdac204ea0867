#include "Orvo_Tunedeck_Extension/dsp/DSPKernel.h"

#include <algorithm>
#include <limits>

void DSPKernel::processWithEvents(const AudioTimeStamp& timestamp, AUAudioFrameCount frameCount,
                                  const AURenderEvent* events, const AUMIDIOutputEventBlock* midiOutBlock) noexcept {
    midiOut = midiOutBlock;
    if (frameCount == 0) return;

    auto now = static_cast<AUEventSampleTime>(timestamp.mSampleTime);
    AUAudioFrameCount remaining = frameCount;
    const AURenderEvent* event = events;
    while (event != nullptr) {
        const AUEventSampleTime untilEvent = event->head.eventSampleTime - now;
        const auto segment = static_cast<AUAudioFrameCount>(
            std::clamp<AUEventSampleTime>(untilEvent, 0, static_cast<AUEventSampleTime>(remaining)));
        if (segment > 0) {
            process(segment, frameCount - remaining);
            remaining -= segment;
            now += segment;
        }
        if (remaining == 0) {
            performAllSimultaneousEvents(std::numeric_limits<AUEventSampleTime>::max(), event);
            return;
        }
        event = performAllSimultaneousEvents(now, event);
    }
    process(remaining, frameCount - remaining);
}

const AURenderEvent* DSPKernel::performAllSimultaneousEvents(AUEventSampleTime now,
                                                             const AURenderEvent* event) noexcept {
    do {
        handleOneEvent(*event);
        event = event->head.next;
    } while (event != nullptr && event->head.eventSampleTime <= now);
    return event;
}

void DSPKernel::handleOneEvent(const AURenderEvent& event) noexcept {
    switch (event.head.eventType) {
    case AURenderEventParameter:
    case AURenderEventParameterRamp:
        setParameter(event.parameter.parameterAddress, event.parameter.value);
        break;
    case AURenderEventMIDI:
    case AURenderEventMIDISysEx:
        handleMIDIEvent(event.MIDI);
        break;
    default:
        break;
    }
}
