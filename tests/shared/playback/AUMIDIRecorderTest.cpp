#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "shared/playback/AUMIDIRecorder.h"

namespace {

AUMIDIEventEx message(std::vector<std::uint8_t> bytes, AUEventSampleTime time) {
    return AUMIDIEventEx(8, bytes, static_cast<std::uint32_t>(bytes.size()), time);
}

TEST(AUMIDIRecorder, RecordsCopiesRelativeToTheStartWhileStarted) {
    foundation::LogCapture capture;
    auto recorder = AUMIDIRecorder::create();
    recorder->record(message({0x90, 60, 100}, 10));
    EXPECT_EQ(recorder->getCount(), 0U);
    recorder->start(480000);
    recorder->record(message({0x90, 60, 100}, 504000));
    recorder->record(message({0x90, 0, 100}, 505000));  // note number 0 is not recorded
    recorder->record(message({0x80, 0, 0}, 506000));
    recorder->record(message({0x90, 1, 100}, 507000));
    EXPECT_EQ(recorder->getPosition(), 27000);
    const auto events = recorder->getEvents();
    ASSERT_EQ(events.size(), 2U);
    EXPECT_EQ(events[0]->pEvent()->eventSampleTime, 24000);
    EXPECT_EQ(events[1]->data()[1], 1);
    dispatch::MainQueue::shared().drain();
    const auto lines = capture.lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "AUMIDIRecorder::record() : Recorded MIDI event: AUMIDIEvent(next: nil, eventSampleTime: 24000, "
                        "eventType: 8, reserved: 0, length: 3, cable: 0, data: (144, 60, 100))"),
              lines.end());
}

TEST(AUMIDIRecorder, KeepsEverythingUntilTheNextStartAndCountsBeatsAtHalfTheRate) {
    foundation::LogCapture capture;
    auto recorder = AUMIDIRecorder::create();
    recorder->setSamplerate(44100.0);
    EXPECT_DOUBLE_EQ(recorder->samplesPerBeat(), 22050.0);
    recorder->start(0);
    for (int i = 0; i < 600; ++i) {
        recorder->record(message({0xB0, 7, static_cast<std::uint8_t>(i % 128)}, i));
    }
    EXPECT_EQ(recorder->getCount(), 600U);
    recorder->stop();
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_EQ(recorder->getCount(), 600U);
    recorder->start(100);
    EXPECT_EQ(recorder->getCount(), 0U);
    EXPECT_EQ(recorder->getStartTime(), 100);
    recorder->reset();
    EXPECT_FALSE(recorder->isRecording());
    dispatch::MainQueue::shared().drain();
}

}  // namespace
