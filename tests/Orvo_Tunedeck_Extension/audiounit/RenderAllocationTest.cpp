// After warm-up the instrument's render block allocates nothing on the render thread: host notes, parameter events
// and system exclusive (short and 4,000 bytes), the file player with tempo markers, MIDI output and the hand-offs to
// the main queue, also when the main queue falls behind them.

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "Orvo_Tunedeck_Extension/audiounit/RenderHandoff.h"
#include "shared/musicsequence/TempoMarker.h"
#include "tests/Orvo_Tunedeck_Extension/audiounit/UnitFixture.h"
#include "tests/support/AllocationCounter.h"

namespace unit_test {
namespace {

using RenderAllocation = UnitFixture;

TEST_F(RenderAllocation, RenderCallsAfterWarmUpAllocateNothing) {
    std::atomic<int> sentCount{0};
    unit->deallocateRenderResources();
    unit->setMIDIOutputEventBlock([&sentCount](AUEventSampleTime, std::uint8_t, std::int64_t, const std::uint8_t*) {
        sentCount.fetch_add(1, std::memory_order_relaxed);
        return foundation::noErr;
    });
    allocate();
    unit->initializeParameters();

    AUEventSampleTime time = kFrames;
    std::vector<std::uint8_t> longSysex(4000, 0x11);
    longSysex.front() = 0xF0;
    longSysex.back() = 0xF7;
    const auto renderWithTraffic = [&] {
        EventListBuilder host;
        host.midi(time + 3, {0x90, 0x3C, 0x64})
            .parameter(time + 5, AURenderEventParameter, 0, 1048, 0.25f)
            .sysex(time + 7, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7})
            .sysex(time + 8, longSysex)
            .midi(time + 200, {0x80, 0x3C, 0x40})
            .midi(kAUEventSampleTimeImmediate + 9, {0xB1, 0x01, 0x20});
        const auto marker = makeTempoMarker(100.0, time + 1, kFirstTempoMarkerId);
        unit->sequencer()->sendEvent(2, 0x90, 0x40, 0x50);
        const std::uint64_t before = testsupport::allocationsOnThisThread();
        unit->sequencer()->specialEvents().append(*marker->pEvent());
        EXPECT_EQ(render(time, host.head()), foundation::noErr);
        const std::uint64_t allocations = testsupport::allocationsOnThisThread() - before;
        time += kFrames;
        dispatch::MainQueue::shared().drain();
        return allocations;
    };
    for (int warmUp = 0; warmUp < 4; ++warmUp) {
        renderWithTraffic();
    }
    for (int call = 0; call < 32; ++call) {
        EXPECT_EQ(renderWithTraffic(), 0u) << "render call " << call;
    }
    EXPECT_GT(sentCount.load(), 32 * 4);
    EXPECT_NEAR(unit->sequencer()->getTempoFactor(), 100.0 / 120.0, 1e-4);
}

TEST(HandoffAllocation, PushesAllocateNothingWhenTheMainQueueFallsBehind) {
    RenderHandoff handoff([](void*, AUParameterAddress, AUValue) {}, nullptr, AUMIDIMonitor::create(),
                          AUMIDIRecorder::create(), {.records = 8, .bytes = 64, .parameterAddresses = 4});
    const std::uint8_t note[3] = {0x90, 60, 100};
    const std::uint64_t before = testsupport::allocationsOnThisThread();
    for (int step = 0; step < 64; ++step) {
        handoff.pushParameter(1128 + step % 6, static_cast<AUValue>(step));  // in order, waiting, replaced, lost
        handoff.pushMonitored(8, note, 3, step);                           // kept, then dropped
        handoff.pushLine("a line of the render thread");
    }
    EXPECT_EQ(testsupport::allocationsOnThisThread() - before, 0u);
    EXPECT_GT(handoff.droppedCount(), 0u);
    dispatch::MainQueue::shared().drain();
}

}  // namespace
}  // namespace unit_test
