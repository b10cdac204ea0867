#pragma once
// A test instrument: renders a constant level on both channels and keeps a copy of every MIDI event of its render
// lists (time and bytes), in preallocated storage.

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/audiounit/AUAudioUnit.h"

namespace audiounit_testing {

constexpr OSType fourCC(const char (&text)[5]) {
    return static_cast<OSType>(static_cast<unsigned char>(text[0])) << 24 |
           static_cast<OSType>(static_cast<unsigned char>(text[1])) << 16 |
           static_cast<OSType>(static_cast<unsigned char>(text[2])) << 8 |
           static_cast<OSType>(static_cast<unsigned char>(text[3]));
}

inline constexpr AudioComponentDescription kRecordingInstrument{fourCC("aumu"), fourCC("rcrd"), fourCC("Test"), 0, 0};

struct SeenEvent {
    int64_t render;  // which render call (from 0)
    AUEventSampleTime time;
    uint8_t type;
    uint16_t length;
    std::array<uint8_t, 8> bytes;
};

class RecordingInstrument : public AUAudioUnit {
public:
    explicit RecordingInstrument(const AudioComponentDescription& description = kRecordingInstrument,
                                 float level = 0.25f)
        : AUAudioUnit(description), level_(level) {
        seen_.resize(100000);
    }

    AUInternalRenderBlock internalRenderBlock() override {
        return [this](AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount frames, int64_t,
                      AudioBufferList* out, const AURenderEvent* events, const AURenderPullInputBlock&) {
            for (const AURenderEvent* e = events; e != nullptr; e = e->head.next) {
                const size_t slot = seenCount_.load(std::memory_order_relaxed);
                if (slot >= seen_.size()) break;
                SeenEvent& seen = seen_[slot];
                seen = {renders_.load(std::memory_order_relaxed), e->head.eventSampleTime, e->head.eventType, 0, {}};
                if (e->head.eventType == AURenderEventMIDI || e->head.eventType == AURenderEventMIDISysEx) {
                    seen.length = e->MIDI.length;
                    std::memcpy(seen.bytes.data(), e->MIDI.data, std::min<size_t>(seen.bytes.size(), e->MIDI.length));
                }
                seenCount_.store(slot + 1, std::memory_order_release);
            }
            for (uint32_t b = 0; b < out->mNumberBuffers; ++b)
                std::fill_n(static_cast<float*>(out->mBuffers[b].mData), frames, level_);
            renders_.fetch_add(1, std::memory_order_release);
            return foundation::noErr;
        };
    }

    // Reader side; call while no render runs, or read only up to seenCount().
    size_t seenCount() const { return seenCount_.load(std::memory_order_acquire); }
    const SeenEvent& seen(size_t index) const { return seen_[index]; }
    int64_t renders() const { return renders_.load(std::memory_order_acquire); }

private:
    float level_;
    std::vector<SeenEvent> seen_;
    std::atomic<size_t> seenCount_{0};
    std::atomic<int64_t> renders_{0};
};

}  // namespace audiounit_testing
