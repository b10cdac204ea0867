// The hand-off between a render thread that pushes without pause and a main queue draining on another thread, with
// little room so that both the full-records road and the address slots' sweep are taken: every address ends at its
// last value, the values of an address arrive in the order sent, and the message copies that arrive keep their
// order, with each one missing counted.

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>
#include <vector>

#include "Orvo_Tunedeck_Extension/audiounit/RenderHandoff.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"

namespace {

constexpr int kAddresses = 8;
constexpr int kSteps = 20000;

struct Received {
    std::array<std::vector<AUValue>, kAddresses> values;
};

void apply(void* context, AUParameterAddress address, AUValue value) {
    static_cast<Received*>(context)->values[address - 1128].push_back(value);
}

TEST(HandoffThreads, ParametersEndAtTheirLastValuesAndCopiesKeepTheirOrder) {
    foundation::LogCapture log;
    Received received;
    const auto monitor = AUMIDIMonitor::create(false);
    RenderHandoff handoff(&apply, &received, monitor, AUMIDIRecorder::create(),
                          {.records = 32, .bytes = 64, .parameterAddresses = 16});

    std::atomic<bool> rendering{true};
    std::thread renderer([&] {
        for (int step = 1; step <= kSteps; ++step) {
            handoff.pushParameter(1128 + step % kAddresses, static_cast<AUValue>(step));
            const std::uint8_t bytes[3] = {0xB0, static_cast<std::uint8_t>(step >> 7 & 0x7F),
                                           static_cast<std::uint8_t>(step & 0x7F)};
            handoff.pushMonitored(8, bytes, 3, step);
        }
        rendering.store(false);
    });
    std::size_t monitored = 0;
    AUEventSampleTime lastTime = 0;
    const auto take = [&] {
        dispatch::MainQueue::shared().drain();
        while (const auto event = monitor->popMonitoring()) {
            EXPECT_GT(event->pEvent()->eventSampleTime, lastTime);
            lastTime = event->pEvent()->eventSampleTime;
            ++monitored;
        }
    };
    while (rendering.load()) take();
    renderer.join();
    take();

    for (int address = 0; address < kAddresses; ++address) {
        const std::vector<AUValue>& values = received.values[static_cast<std::size_t>(address)];
        ASSERT_FALSE(values.empty());
        const int last = kSteps - (kSteps - address) % kAddresses;
        EXPECT_EQ(values.back(), static_cast<AUValue>(last)) << "address " << 1128 + address;
        for (std::size_t i = 1; i < values.size(); ++i) EXPECT_GE(values[i], values[i - 1]);
    }
    EXPECT_EQ(monitored + handoff.droppedCount(), static_cast<std::size_t>(kSteps));
}

}  // namespace
