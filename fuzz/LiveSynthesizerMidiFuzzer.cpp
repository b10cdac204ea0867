// MIDI as a host plays it live into the synthesizer stand-in: short messages through musicDeviceMIDIEvent and
// render-list MIDI events, rendered block by block. Every three input bytes are one message; a fourth byte
// chooses the way in and the offset into the block.
#include <cstdint>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "platform/audiounit/AudioBufferList.h"
#include "platform/synth/MIDISynthUnit.h"

namespace {
constexpr std::uint32_t kFrames = 256;
MIDISynthUnit* unit = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::silenceStandardOutput();
    unit = new MIDISynthUnit();
    unit->setMaximumFramesToRender(kFrames);
    unit->allocateRenderResources();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<float> left(kFrames), right(kFrames);
    AudioBufferList buffers = stereoBufferList(left.data(), right.data(), kFrames);
    AudioTimeStamp timestamp;
    AudioUnitRenderActionFlags flags = 0;
    const AURenderBlock render = unit->renderBlock();
    std::vector<AURenderEvent> events;
    const auto renderWithEvents = [&] {
        for (std::size_t i = 0; i < events.size(); ++i) events[i].MIDI.next = i + 1 < events.size() ? &events[i + 1] : nullptr;
        render(&flags, &timestamp, kFrames, 0, &buffers, events.empty() ? nullptr : events.data(), nullptr);
        timestamp.mSampleTime += kFrames;
        events.clear();
    };
    for (std::size_t at = 0; at + 4 <= size; at += 4) {
        const std::uint8_t how = data[at + 3];
        if (how & 0x80) {
            AURenderEvent event{};
            event.MIDI.eventSampleTime = kAUEventSampleTimeImmediate + (how & 0x7F) * 2;
            event.MIDI.eventType = AURenderEventMIDI;
            event.MIDI.length = 3;
            for (int b = 0; b < 3; ++b) event.MIDI.data[b] = data[at + static_cast<std::size_t>(b)];
            events.push_back(event);
        } else {
            unit->musicDeviceMIDIEvent(data[at], data[at + 1], data[at + 2], how % kFrames);
        }
        if (how % 16 == 0) renderWithEvents();
    }
    renderWithEvents();
    unit->reset();
    return 0;
}
