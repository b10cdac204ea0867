// The render block's own rules, over a recording synthesizer: what is sent to the MIDI output and when, what the
// monitor and the recorder get, host parameter events, tempo markers, system messages and synthesizer failures.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "platform/foundation/Log.h"
#include "shared/musicsequence/TempoMarker.h"
#include "tests/Orvo_Tunedeck_Extension/audiounit/RenderBlockFixture.h"

namespace unit_test {
namespace {

using RenderBlock = RenderBlockFixture;

constexpr AUEventSampleTime kStart = 1024;

std::vector<std::string> drainLog(foundation::LogCapture& capture) {
    dispatch::MainQueue::shared().drain();
    return capture.lines();
}

bool contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST_F(RenderBlock, HostNoteGoesOutOnceAtItsOffsetReachesTheSynthesizerAndTheMonitor) {
    EventListBuilder host;
    host.midi(1034, {0x90, 0x3C, 0x64});
    ASSERT_EQ(render(kStart, host.head()), foundation::noErr);

    EXPECT_EQ(sent, (std::vector<SentMessage>{{kAUEventSampleTimeImmediate + 10, 0, {0x90, 0x3C, 0x64}}}));
    ASSERT_EQ(synthLists.size(), 1u);
    EXPECT_EQ(synthLists[0], (std::vector<ListedEvent>{{1034, AURenderEventMIDI, 0, {0x90, 0x3C, 0x64}}}));
    EXPECT_EQ(timing.currentSampletime.load(), kStart);
    EXPECT_EQ(timing.internalSampletime.load(), kStart);
    EXPECT_EQ(timing.currentFrameCount.load(), kFrames);

    EXPECT_EQ(monitor->getSize(), 0u) << "the copy reaches the monitor on the main queue";
    dispatch::MainQueue::shared().drain();
    ASSERT_EQ(monitor->getSize(), 1u);
    const auto event = monitor->popMonitoring();
    EXPECT_EQ(event->array(), (std::vector<std::uint8_t>{0x90, 0x3C, 0x64}));
    EXPECT_EQ(event->pEvent()->eventSampleTime, 1034);
    EXPECT_EQ(monitor->popMonitoring(), nullptr);
}

TEST_F(RenderBlock, OtherBusOrDisabledBusRendersNothing) {
    timing.store(7, 3);
    EventListBuilder host;
    host.midi(1034, {0x90, 0x3C, 0x64});
    std::fill(left.begin(), left.end(), 0.5f);

    EXPECT_EQ(render(kStart, host.head(), 1), foundation::noErr);
    bus->setEnabled(false);
    EXPECT_EQ(render(kStart, host.head(), 0), foundation::noErr);

    EXPECT_EQ(timing.currentSampletime.load(), 7);
    EXPECT_EQ(timing.currentFrameCount.load(), 3u);
    EXPECT_TRUE(sent.empty());
    EXPECT_TRUE(synthLists.empty());
    EXPECT_EQ(left[0], 0.5f);
}

TEST_F(RenderBlock, SendTimesAreClampedToTheBufferWhileTheSynthesizerGetsTheEventsUnchanged) {
    foundation::LogCapture capture;
    EventListBuilder host;
    host.midi(kAUEventSampleTimeImmediate + 5, {0x90, 0x40, 0x50})
        .midi(kStart - 300, {0x80, 0x41, 0x00})
        .midi(kStart + kFrames + 100, {0x90, 0x42, 0x60});
    render(kStart, host.head());

    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].time, kAUEventSampleTimeImmediate);
    EXPECT_EQ(sent[1].time, kAUEventSampleTimeImmediate);
    EXPECT_EQ(sent[2].time, kAUEventSampleTimeImmediate + kFrames - 1);
    ASSERT_EQ(synthLists.size(), 1u);
    EXPECT_EQ(synthLists[0].back().time, kStart + kFrames + 100);
    EXPECT_TRUE(contains(drainLog(capture), "sample time:  -4294967291"));
}

// A song played through the schedule block has every message at an immediate time: only the first prints its line,
// and the rest are counted once, when the block goes away.
TEST_F(RenderBlock, OnlyTheFirstImmediateTimeIsPrintedAndTheOthersAreCounted) {
    foundation::LogCapture capture;
    for (int call = 0; call < 3; ++call) {
        EventListBuilder host;
        host.midi(kAUEventSampleTimeImmediate + 1, {0x90, 0x40, 0x50}).midi(kAUEventSampleTimeImmediate + 2,
                                                                           {0x80, 0x40, 0x00});
        render(kStart + call * kFrames, host.head());
    }
    EXPECT_EQ(sent.size(), 6u);
    const auto sampleTimeLines = [&] {
        const auto lines = drainLog(capture);
        return std::count_if(lines.begin(), lines.end(),
                             [](const std::string& line) { return line.starts_with("sample time: "); });
    };
    EXPECT_EQ(sampleTimeLines(), 1);
    EXPECT_TRUE(contains(capture.lines(), "sample time:  -4294967295"));

    block.reset();
    EXPECT_EQ(sampleTimeLines(), 1);
    EXPECT_TRUE(contains(capture.lines(), "OrvoTunedeckRenderBlock : 5 more \"sample time: \" lines not printed, one "
                                          "for each later event at an immediate time."));
}

TEST_F(RenderBlock, HostParameterEventsAreAppliedOnTheMainQueueInOrderAndNotSent) {
    EventListBuilder host;
    host.parameter(kStart, AURenderEventParameter, 0, 1032, 1.0f)
        .midi(kStart + 1, {0x90, 0x3C, 0x64})
        .parameter(kStart + 2, AURenderEventParameterRamp, 256, 1001, 0.25f);
    render(kStart, host.head());

    EXPECT_TRUE(applied.empty());
    EXPECT_EQ(sent.size(), 1u);
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(applied, (std::vector<std::pair<AUParameterAddress, AUValue>>{{1032, 1.0f}, {1001, 0.25f}}));
}

TEST_F(RenderBlock, TempoMarkersSetThePlayersTempoFactorAsTheirTempoOver120) {
    struct Case {
        double tempo;
        double factor;
    };
    for (const Case c : {Case{120.0, 1.0}, Case{60.0, 0.5}, Case{240.0, 2.0}, Case{300.0, 2.5}, Case{90.5, 90.5 / 120},
                         Case{6.0, 0.1}, Case{2000.0, 10.0}}) {
        const auto marker = makeTempoMarker(c.tempo, kStart + 3, kFirstTempoMarkerId);
        sequencer->specialEvents().append(*marker->pEvent());
        render(kStart);
        render(kStart + kFrames);
        EXPECT_NEAR(sequencer->getTempoFactor(), c.factor, 1e-5) << c.tempo << " beats per minute";
        EXPECT_TRUE(sequencer->specialEvents().empty());
    }
    EXPECT_TRUE(sent.empty()) << "markers are never sent out";
}

TEST_F(RenderBlock, ShortMetaRecordsAndOtherSpecialEventsLeaveTheTempoFactorAlone) {
    const AUMIDIEventEx shortMeta(AURenderEventMIDISysEx, {0xFD, 0x51, 0x00, 0x07, 0xA1, 0x20}, 6, kStart);
    const AUMIDIEventEx otherMeta(AURenderEventMIDISysEx, {0xFD, 0x01, 0x41, 0xFF, 0x51, 0x03, 0x7F, 0x7F, 0x7F},
                                  9, kStart);
    sequencer->specialEvents().append(*shortMeta.pEvent());
    sequencer->specialEvents().append(*otherMeta.pEvent());
    render(kStart);
    render(kStart + kFrames);
    EXPECT_DOUBLE_EQ(sequencer->getTempoFactor(), 1.0);
    EXPECT_TRUE(sequencer->specialEvents().empty());
}

TEST_F(RenderBlock, SystemMessagesGoOutInTheirOwnBufferEvenWithoutChannelTraffic) {
    EventListBuilder host;
    host.midi(kStart + 20, {0xF8}).sysex(kStart - 50, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7});
    render(kStart, host.head());

    EXPECT_EQ(sent, (std::vector<SentMessage>{{kAUEventSampleTimeImmediate + 20, 0, {0xF8}},
                                              {kAUEventSampleTimeImmediate, 0, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}}}));
    EXPECT_TRUE(mixer->specialEvents.empty());
    EXPECT_EQ(drainMonitor().size(), 2u);

    render(kStart + kFrames);
    EXPECT_EQ(sent.size(), 2u) << "each system message leaves once";
}

// Around the 256-byte scratch record and up to the longest message a render event carries: each leaves whole, once,
// and reaches the monitor whole. Six rounds take the monitor's byte store round more than once.
TEST_F(RenderBlock, SystemExclusiveOfAnyLengthGoesOutWholeOnce) {
    AUEventSampleTime start = kStart;
    std::vector<std::size_t> lengths;
    for (int round = 0; round < 6; ++round) lengths.insert(lengths.end(), {224, 255, 256, 257, 1000, 4000, 65535});
    for (const std::size_t length : lengths) {
        std::vector<std::uint8_t> sysex{0xF0};
        while (sysex.size() + 1 < length) sysex.push_back(static_cast<std::uint8_t>(sysex.size() % 128));
        sysex.push_back(0xF7);
        EventListBuilder host;
        host.sysex(start + 2, sysex).midi(start + 3, {0x90, 0x3C, 0x64});
        sent.clear();
        render(start, host.head());
        render(start + kFrames);
        start += 2 * kFrames;
        EXPECT_EQ(sent, (std::vector<SentMessage>{{kAUEventSampleTimeImmediate + 2, 0, sysex},
                                                  {kAUEventSampleTimeImmediate + 3, 0, {0x90, 0x3C, 0x64}}}))
            << length << " bytes";
        EXPECT_EQ(drainMonitor(), (std::vector<std::vector<std::uint8_t>>{sysex, {0x90, 0x3C, 0x64}}))
            << length << " bytes";
    }
    EXPECT_EQ(block->droppedHandoffCount(), 0u);
}

TEST_F(RenderBlock, SystemMessagesLeaveBeforeTheFirstChannelMessage) {
    EventListBuilder host;
    host.midi(kStart + 1, {0x90, 0x3C, 0x64}).midi(kStart + 30, {0xFA});
    render(kStart, host.head());
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].bytes, (std::vector<std::uint8_t>{0xFA}));
    EXPECT_EQ(sent[1].bytes, (std::vector<std::uint8_t>{0x90, 0x3C, 0x64}));
}

TEST_F(RenderBlock, WithoutOrWithAFailingMIDIOutputTheMonitorStillGetsEveryMessage) {
    foundation::LogCapture capture;
    EventListBuilder host;
    host.midi(kStart, {0x90, 0x3C, 0x64});
    midiOutputStatus = -1;
    render(kStart, host.head());
    EXPECT_TRUE(contains(drainLog(capture), "MIDI OUT ( Orvo Tunedeck ) send out failed!"));
    EXPECT_EQ(drainMonitor().size(), 1u);

    makeBlock(false);
    render(kStart + kFrames, host.head());
    EXPECT_EQ(drainMonitor().size(), 1u);
}

TEST_F(RenderBlock, TheRecorderGetsTheSentMessagesOnlyWhileRecording) {
    EventListBuilder host;
    host.midi(kStart + 4, {0x90, 0x3C, 0x64});
    render(kStart, host.head());
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(recorder->getCount(), 0u);

    recorder->start(kStart + kFrames);
    render(kStart + kFrames, host.head());
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(recorder->getCount(), 1u);
    EXPECT_EQ(monitor->getSize(), 2u);
}

TEST_F(RenderBlock, AFailingSynthesizerIsLoggedLeavesTheLimiterUnrunAndStillReportsSuccess) {
    foundation::LogCapture capture;
    synthLevel = 2.0f;
    synthStatus = foundation::kAudioUnitErr_TooManyFramesToProcess;
    EXPECT_EQ(render(kStart), foundation::noErr);
    EXPECT_EQ(render(kStart + kFrames), foundation::noErr);
    EXPECT_EQ(left.back(), 2.0f);
    EXPECT_TRUE(contains(drainLog(capture),
                         "OrvoTunedeck_AudioUnit::internalRenderBlock() : ERROR: We have a problem with the internal "
                         "synth! -10874"));

    synthStatus = foundation::noErr;
    render(kStart + 2 * kFrames);
    render(kStart + 3 * kFrames);
    EXPECT_LT(left.back(), 1.5f) << "the limiter pulls a lasting overshoot down";
}

}  // namespace
}  // namespace unit_test
