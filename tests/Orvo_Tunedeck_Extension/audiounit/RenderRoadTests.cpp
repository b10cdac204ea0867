// The whole render road headless: the instrument with its private engine and the synthesizer stand-in playing the
// generated sound bank of sound set "00".

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/foundation/Log.h"

#include "tests/Orvo_Tunedeck_Extension/audiounit/UnitFixture.h"

namespace unit_test {
namespace {

using RenderRoad = UnitFixture;

TEST_F(RenderRoad, HostNoteIsSentOnceSoundsFromItsFrameAndIsMonitored) {
    EventListBuilder host;
    host.midi(1034, {0x90, 0x3C, 0x64});
    ASSERT_EQ(render(1024, host.head()), foundation::noErr);

    EXPECT_EQ(sent, (std::vector<SentMessage>{{kAUEventSampleTimeImmediate + 10, 0, {0x90, 0x3C, 0x64}}}));
    EXPECT_TRUE(std::all_of(left.begin(), left.begin() + 10, [](float s) { return s == 0.0f; }));
    EXPECT_TRUE(std::all_of(right.begin(), right.begin() + 10, [](float s) { return s == 0.0f; }));
    EXPECT_GT(rms(left.data() + 10, 32), 1e-4) << "the note sounds from frame 10 on";
    EXPECT_GT(rms(left.data() + 10, kFrames - 10), 1e-3);
    EXPECT_EQ(unit->currentSampletime(), 1024);
    EXPECT_EQ(unit->currentFrameCount(), kFrames);

    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(unit->monitor()->getSize(), 1u);
    const auto event = unit->monitor()->popMonitoring();
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(event->array(), (std::vector<std::uint8_t>{0x90, 0x3C, 0x64}));
    EXPECT_EQ(event->pEvent()->eventSampleTime, 1034);
}

TEST_F(RenderRoad, WithoutEventsTheInstrumentIsSilent) {
    std::fill(left.begin(), left.end(), 0.5f);
    ASSERT_EQ(render(0), foundation::noErr);
    EXPECT_EQ(rms(left.data(), kFrames), 0.0);
    EXPECT_TRUE(sent.empty());
}

TEST_F(RenderRoad, HostParameterEventReachesTheTreeAndItsMIDILeavesWithTheNextBuffer) {
    EventListBuilder host;
    host.parameter(0, AURenderEventParameter, 0, 1032, 1.0f);
    render(0, host.head());
    EXPECT_TRUE(sent.empty());
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(unit->getParameter(1032), 1.0f);
    EXPECT_EQ(sentByNextRender(kFrames),
              (std::vector<SentMessage>{{kAUEventSampleTimeImmediate, 0, {0xB0, 0x07, 0x7F}}}));
}

// Deallocation comes before the main queue ran: what the last render handed over still arrives.
TEST_F(RenderRoad, DeallocationDeliversWhatTheLastRenderHandedOver) {
    EventListBuilder host;
    host.parameter(0, AURenderEventParameter, 0, 1032, 1.0f).midi(1, {0x90, 0x3C, 0x64});
    render(0, host.head());
    unit->deallocateRenderResources();
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(unit->getParameter(1032), 1.0f);
    EXPECT_EQ(unit->monitor()->getSize(), 1u);
}

TEST_F(RenderRoad, MixerWarningsThatFindNoRoomAreWrittenAsACount) {
    foundation::LogCapture log;
    unit->setVelocities(std::vector<std::uint8_t>(128, 0));  // one warning per host note-on
    constexpr int kNotes = 100;
    EventListBuilder host;
    for (int note = 0; note < kNotes; ++note) host.midi(note, {0x90, static_cast<std::uint8_t>(note), 100});
    render(0, host.head());
    dispatch::MainQueue::shared().drain();

    const std::vector<std::string> lines = log.lines();
    const auto written = std::count(lines.begin(), lines.end(),
                                    "AUMIDIEvents::mixEvents() : WARNING: An ON velocity was mapped to zero!");
    ASSERT_LT(written, kNotes) << "the warnings overflow their ring";
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "AUMIDIEvents::mixEvents() : " + std::to_string(kNotes - written) +
                             " log lines of the render thread found no room and were dropped."),
              1);
}

}  // namespace
}  // namespace unit_test
