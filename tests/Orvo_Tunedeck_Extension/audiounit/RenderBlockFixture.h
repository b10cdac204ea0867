#pragma once
// A render block over real event lists, player, monitor and kernel adapter, with a recording stand-in for the
// synthesizer's render block and a capturing MIDI output.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Orvo_Tunedeck_Extension/audiounit/OrvoTunedeckRenderBlock.h"
#include "platform/dispatch/MainQueue.h"
#include "tests/shared/events/EventListBuilder.h"

namespace unit_test {

struct SentMessage {
    AUEventSampleTime time;
    std::uint8_t cable;
    std::vector<std::uint8_t> bytes;
    bool operator==(const SentMessage&) const = default;
};

inline std::vector<std::uint8_t> monitoredBytes(const AUMIDIEventEx& event) { return event.array(); }

class RenderBlockFixture : public ::testing::Test {
protected:
    static constexpr AUAudioFrameCount kFrames = 512;

    void SetUp() override { makeBlock(); }

    void makeBlock(bool withMIDIOutput = true) {
        block.reset();
        OrvoTunedeckRenderBlock::Parts parts{&timing, bus.get(), sequencer, mixer, {}, monitor, recorder,
                                             [this](AudioUnitRenderActionFlags*, const AudioTimeStamp*,
                                                    AUAudioFrameCount, std::int64_t, AudioBufferList* buffers,
                                                    const AURenderEvent* events, const AURenderPullInputBlock&) {
                                                 synthLists.push_back(listed(events));
                                                 for (std::uint32_t c = 0; c < buffers->mNumberBuffers; ++c) {
                                                     auto* samples = static_cast<float*>(buffers->mBuffers[c].mData);
                                                     std::fill(samples, samples + kFrames, synthLevel);
                                                 }
                                                 return synthStatus;
                                             },
                                             adapter, &RenderBlockFixture::apply, this};
        if (withMIDIOutput) {
            parts.midiOutput = [this](AUEventSampleTime time, std::uint8_t cable, std::int64_t length,
                                      const std::uint8_t* bytes) {
                sent.push_back({time, cable, std::vector<std::uint8_t>(bytes, bytes + length)});
                return midiOutputStatus;
            };
        }
        block = std::make_unique<OrvoTunedeckRenderBlock>(std::move(parts));
    }

    foundation::OSStatus render(AUEventSampleTime start, const AURenderEvent* events = nullptr,
                                std::int64_t outputBus = 0) {
        AudioBufferList buffers = stereo();
        AudioTimeStamp timestamp;
        timestamp.mSampleTime = static_cast<double>(start);
        AudioUnitRenderActionFlags flags = 0;
        return block->render(&flags, &timestamp, kFrames, outputBus, &buffers, events, {});
    }

    AudioBufferList stereo() {
        AudioBufferList list;
        list.mNumberBuffers = 2;
        list.mBuffers[0] = {1, kFrames * sizeof(float), left.data()};
        list.mBuffers[1] = {1, kFrames * sizeof(float), right.data()};
        return list;
    }

    std::vector<std::vector<std::uint8_t>> drainMonitor() {
        dispatch::MainQueue::shared().drain();
        std::vector<std::vector<std::uint8_t>> events;
        while (const auto event = monitor->popMonitoring()) {
            events.push_back(event->array());
        }
        return events;
    }

    static void apply(void* context, AUParameterAddress address, AUValue value) {
        static_cast<RenderBlockFixture*>(context)->applied.emplace_back(address, value);
    }

    RenderTiming timing;
    std::shared_ptr<AUAudioUnitBus> bus = std::make_shared<AUAudioUnitBus>(AudioFormat::standard(48000.0, 2));
    std::shared_ptr<AUMIDISequencer> sequencer = AUMIDISequencer::create();
    std::shared_ptr<AUMIDIEventListMixer> mixer = std::make_shared<AUMIDIEventListMixer>();
    std::shared_ptr<AUMIDIMonitor> monitor = AUMIDIMonitor::create();
    std::shared_ptr<AUMIDIRecorder> recorder = AUMIDIRecorder::create();
    std::shared_ptr<OrvoTunedeckDSPKernelAdapter> adapter = std::make_shared<OrvoTunedeckDSPKernelAdapter>();
    std::unique_ptr<OrvoTunedeckRenderBlock> block;

    std::vector<float> left = std::vector<float>(kFrames, 0.0f);
    std::vector<float> right = std::vector<float>(kFrames, 0.0f);
    float synthLevel = 0.25f;
    foundation::OSStatus synthStatus = foundation::noErr;
    foundation::OSStatus midiOutputStatus = foundation::noErr;
    std::vector<std::vector<ListedEvent>> synthLists;
    std::vector<SentMessage> sent;
    std::vector<std::pair<AUParameterAddress, AUValue>> applied;
};

}  // namespace unit_test
