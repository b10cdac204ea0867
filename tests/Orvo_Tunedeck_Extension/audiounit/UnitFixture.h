#pragma once
// A fresh instrument with its documents in a test folder and the build's generated sound banks, render resources
// allocated for 512-frame buffers, and a MIDI output that records what the unit sends.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <ostream>
#include <vector>

#include "Orvo_Tunedeck_Extension/audiounit/OrvoTunedeck_AudioUnit.h"
#include "platform/dispatch/MainQueue.h"
#include "tests/shared/events/EventListBuilder.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestFolder.h"

namespace unit_test {

struct SentMessage {
    AUEventSampleTime time;
    std::uint8_t cable;
    std::vector<std::uint8_t> bytes;
    bool operator==(const SentMessage&) const = default;
};

inline void PrintTo(const SentMessage& message, std::ostream* out) {
    *out << message.time << " cable " << int{message.cable} << ":" << std::hex;
    for (const std::uint8_t byte : message.bytes) *out << ' ' << int{byte};
    *out << std::dec;
}

inline double rms(const float* samples, std::size_t count) {
    double sum = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    return count == 0 ? 0.0 : std::sqrt(sum / static_cast<double>(count));
}

class UnitFixture : public ::testing::Test {
protected:
    static constexpr AUAudioFrameCount kFrames = 512;

    void SetUp() override { startUnit(48000.0); }

    // A new unit whose output bus is at rateHz before its first allocation, as a host sets it up.
    void startUnit(double rateHz) {
        environment.set("TUNEDECK_DOCUMENTS", (folder.path() / "Documents").string());
        unit = std::make_shared<OrvoTunedeck_AudioUnit>();
        unit->setMaximumFramesToRender(kFrames);
        ASSERT_TRUE(unit->outputBusses()[0]->setFormat(AudioFormat::standard(rateHz, 2)));
        unit->setMIDIOutputEventBlock(
            [this](AUEventSampleTime time, std::uint8_t cable, std::int64_t length, const std::uint8_t* bytes) {
                sent.push_back({time, cable, std::vector<std::uint8_t>(bytes, bytes + length)});
                return foundation::noErr;
            });
        allocate();
    }

    void TearDown() override {
        dispatch::MainQueue::shared().drain();
        unit.reset();
        dispatch::MainQueue::shared().drain();
    }

    void allocate() {
        unit->allocateRenderResources();
        renderBlock = unit->renderBlock();
        dispatch::MainQueue::shared().drain();
    }

    foundation::OSStatus render(AUEventSampleTime start, const AURenderEvent* events = nullptr) {
        AudioBufferList buffers = stereoBufferList(left.data(), right.data(), kFrames);
        AudioTimeStamp timestamp;
        timestamp.mSampleTime = static_cast<double>(start);
        AudioUnitRenderActionFlags flags = 0;
        return renderBlock(&flags, &timestamp, kFrames, 0, &buffers, events, nullptr);
    }

    // The messages sent by the next render call (the ones the unit queued itself go out there).
    std::vector<SentMessage> sentByNextRender(AUEventSampleTime start) {
        sent.clear();
        render(start);
        return sent;
    }

    testsupport::TestFolder folder;
    testsupport::ScopedEnvironment environment;
    std::shared_ptr<OrvoTunedeck_AudioUnit> unit;
    AURenderBlock renderBlock;
    std::vector<SentMessage> sent;
    std::vector<float> left = std::vector<float>(kFrames, 0.0f);
    std::vector<float> right = std::vector<float>(kFrames, 0.0f);
};

}  // namespace unit_test
