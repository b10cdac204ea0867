// The instrument rendering on its own thread while other threads write parameters and schedule MIDI and the main
// queue applies host parameter events and drains the monitor.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/Orvo_Tunedeck_Extension/audiounit/UnitFixture.h"

namespace unit_test {
namespace {

using RenderThreads = UnitFixture;

TEST_F(RenderThreads, RenderingParameterWritesMIDISchedulingAndMonitorDrainingRunTogether) {
    std::atomic<int> sentCount{0};
    unit->deallocateRenderResources();
    unit->setMIDIOutputEventBlock([&sentCount](AUEventSampleTime, std::uint8_t, std::int64_t, const std::uint8_t*) {
        sentCount.fetch_add(1, std::memory_order_relaxed);
        return foundation::noErr;
    });
    allocate();

    constexpr int kCalls = 64;
    std::atomic<bool> rendering{true};
    std::thread renderer([&] {
        std::vector<float> l(kFrames), r(kFrames);
        for (int call = 0; call < kCalls; ++call) {
            EventListBuilder host;
            host.midi(call * kFrames + 1, {0x90, static_cast<std::uint8_t>(40 + call % 40), 0x64})
                .parameter(call * kFrames, AURenderEventParameter, 0, 1048 + call % 16, 0.5f);
            AudioBufferList buffers = stereoBufferList(l.data(), r.data(), kFrames);
            AudioTimeStamp timestamp;
            timestamp.mSampleTime = static_cast<double>(call) * kFrames;
            AudioUnitRenderActionFlags flags = 0;
            renderBlock(&flags, &timestamp, kFrames, 0, &buffers, host.head(), nullptr);
        }
        rendering.store(false);
    });
    std::thread parameterWriter([&] {
        const auto tree = unit->parameterTree();
        for (int i = 0; rendering.load(); ++i) {
            tree->parameterWithAddress(1032 + i % 16)->setValue(static_cast<float>(i % 100) / 100.0f);
            tree->parameterWithAddress(1001)->setValue(0.5f);
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
    });
    std::thread scheduler([&] {
        const AUScheduleMIDIEventBlock schedule = unit->scheduleMIDIEventBlock();
        for (int i = 0; rendering.load(); ++i) {
            const std::uint8_t bytes[3] = {0x91, static_cast<std::uint8_t>(50 + i % 20), 0x40};
            schedule(kAUEventSampleTimeImmediate, 0, 3, bytes);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });

    std::size_t monitored = 0;
    while (rendering.load()) {
        dispatch::MainQueue::shared().drain();
        while (unit->monitor()->popMonitoring()) {
            ++monitored;
        }
    }
    renderer.join();
    parameterWriter.join();
    scheduler.join();
    dispatch::MainQueue::shared().drain();
    while (unit->monitor()->popMonitoring()) {
        ++monitored;
    }
    EXPECT_GE(sentCount.load(), kCalls);
    EXPECT_GT(monitored, 0u);
}

}  // namespace
}  // namespace unit_test
