// A main queue that falls behind the render thread: host automation and a dense recording over two seconds of
// buffers that render while the main queue runs nothing. Once it runs, every parameter stands at the last value the
// host sent and the recording holds every note played.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "platform/foundation/Log.h"
#include "tests/Orvo_Tunedeck_Extension/audiounit/UnitFixture.h"

namespace unit_test {
namespace {

using StalledMainQueue = UnitFixture;

constexpr AUParameterAddress kFirstModWheel = 1128;
constexpr int kAutomated = 8;
constexpr int kChannels = 16;
constexpr int kBuffers = 200;  // 2.13 s at 48000 Hz

AUValue automationValue(int buffer, int parameter) {
    return static_cast<AUValue>((buffer * kAutomated + parameter) % 997) / 997.0f;
}

TEST_F(StalledMainQueue, ParametersEndAtTheirLastValuesAndTheRecordingHoldsEveryNote) {
    foundation::LogCapture log;
    unit->startRecorder();
    AUEventSampleTime start = kFrames;
    for (int buffer = 0; buffer < kBuffers; ++buffer, start += kFrames) {
        EventListBuilder host;
        for (int parameter = 0; parameter < kAutomated; ++parameter) {
            host.parameter(start + parameter, AURenderEventParameter, 0, kFirstModWheel + parameter,
                           automationValue(buffer, parameter));
        }
        for (int channel = 0; channel < kChannels; ++channel) {
            host.midi(start + 16 + channel, {static_cast<std::uint8_t>(0x90 + channel), 60, 100});
        }
        for (int channel = 0; channel < kChannels; ++channel) {
            host.midi(start + 300 + channel, {static_cast<std::uint8_t>(0x80 + channel), 60, 0});
        }
        ASSERT_EQ(render(start, host.head()), foundation::noErr);
    }
    dispatch::MainQueue::shared().drain();

    for (int parameter = 0; parameter < kAutomated; ++parameter) {
        EXPECT_FLOAT_EQ(unit->getParameter(static_cast<int64_t>(kFirstModWheel) + parameter),
                        automationValue(kBuffers - 1, parameter))
            << "parameter " << kFirstModWheel + parameter;
    }
    std::array<int, kChannels> noteOns{};
    std::array<int, kChannels> noteOffs{};
    for (const auto& event : unit->getRecorderEvents()) {
        const std::uint8_t status = event->data()[0];
        if ((status & 0xF0) == 0x90) ++noteOns[status & 0x0F];
        if ((status & 0xF0) == 0x80) ++noteOffs[status & 0x0F];
    }
    for (int channel = 0; channel < kChannels; ++channel) {
        EXPECT_EQ(noteOns[static_cast<std::size_t>(channel)], kBuffers) << "channel " << channel;
        EXPECT_EQ(noteOffs[static_cast<std::size_t>(channel)], kBuffers) << "channel " << channel;
    }
    for (const std::string& line : log.lines()) {
        EXPECT_EQ(line.find("RenderHandoff"), std::string::npos) << line;
    }
}

}  // namespace
}  // namespace unit_test
