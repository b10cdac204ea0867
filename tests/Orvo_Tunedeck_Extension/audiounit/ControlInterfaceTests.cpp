// The control interface of the instrument's views: channel messages reach the MIDI output in the next buffer (and
// never with a channel or data byte out of range), the player's transport and speed, the monitor and the recorder.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "tests/Orvo_Tunedeck_Extension/audiounit/UnitFixture.h"

namespace unit_test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class ControlInterface : public UnitFixture {
protected:
    std::vector<Bytes> bytesOfNextRender() {
        std::vector<Bytes> bytes;
        for (const SentMessage& message : sentByNextRender(time_)) {
            bytes.push_back(message.bytes);
        }
        time_ += kFrames;
        return bytes;
    }

    // Format 0, 480 ticks per beat: one note held for a beat.
    std::filesystem::path writeOneNoteFile() {
        const Bytes file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0, 13,
                            0x00, 0x90, 0x45, 0x64, 0x83, 0x60, 0x80, 0x45, 0x40, 0x00, 0xFF, 0x2F, 0x00};
        const auto path = folder.path() / "one note.mid";
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        return path;
    }

    AUEventSampleTime time_ = kFrames;
};

TEST_F(ControlInterface, ChannelMessagesGoOutInTheNextBuffer) {
    bytesOfNextRender();
    struct Case {
        const char* name;
        std::function<void(OrvoTunedeck_AudioUnit&)> send;
        std::vector<Bytes> expected;
    };
    const Case cases[] = {
        {"note on", [](auto& u) { u.sendNoteOn(3, 60, 100, 999); }, {{0x93, 60, 100}}},
        {"note off", [](auto& u) { u.sendNoteOff(15, 60, 64, 0); }, {{0x8F, 60, 64}}},
        {"program",
         [](auto& u) { u.sendProgramChange(9, 127, 1, 40, 0); },
         {{0xB9, 0, 127}, {0xB9, 32, 1}, {0xC9, 40}}},
        {"event", [](auto& u) { u.sendEvent(2, 0xE0, 0, 64, 0); }, {{0xE2, 0, 64}}},
        {"notes off", [](auto& u) { u.sendAllNotesOff(4); }, {{0xB4, 123, 0}}},
        {"sounds off", [](auto& u) { u.sendAllSoundsOff(4); }, {{0xB4, 120, 0}}},
        {"controllers", [](auto& u) { u.resetAllControllers(5); }, {{0xB5, 121, 0}}},
        {"program 0", [](auto& u) { u.resetProgram(6); }, {{0xC6, 0}}},
        {"data bytes limited", [](auto& u) { u.sendNoteOn(0, 200, 128, 0); }, {{0x90, 127, 127}}},
        {"bank 128 limited",
         [](auto& u) { u.sendProgramChange(9, 0, 128, 0, 0); },
         {{0xB9, 0, 0}, {0xB9, 32, 127}, {0xC9, 0}}},
        {"channel 16 refused", [](auto& u) { u.sendNoteOn(16, 60, 100, 0); }, {}},
        {"status with channel bits refused", [](auto& u) { u.sendEvent(0, 0x93, 60, 100, 0); }, {}},
        {"system status refused", [](auto& u) { u.sendEvent(0, 0xF0, 1, 2, 0); }, {}},
    };
    for (const Case& c : cases) {
        c.send(*unit);
        EXPECT_EQ(bytesOfNextRender(), c.expected) << c.name;
    }
}

TEST_F(ControlInterface, PlayerQueriesWithoutAFile) {
    EXPECT_EQ(unit->getSequenceerDurationInSamples(), 0);
    EXPECT_EQ(unit->getPatchForChannel(16), 0);
    EXPECT_FALSE(unit->getCurrentFile());
    EXPECT_TRUE(unit->isEngineRunning());
    EXPECT_EQ(unit->getSamplerate(), 48000.0);
    unit->setRate(20.0);
    EXPECT_EQ(unit->getRate(), 10.0);
    unit->setRate(0.05);
    EXPECT_EQ(unit->getRate(), 0.1);
    unit->setInternalName("Left");
    EXPECT_EQ(unit->getInternalName(), "Left");
}

TEST_F(ControlInterface, LoadedFilePlaysAndToggleTwiceReturnsToPlaying) {
    const auto path = writeOneNoteFile();
    unit->loadMIDIFile(path);
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(unit->getCurrentFile(), path.string());

    unit->startSequencer();
    bytesOfNextRender();
    EXPECT_EQ(unit->getSequenceerDurationInSamples(), 24000) << "one beat at 48000 Hz";
    ASSERT_TRUE(unit->isSequencerPlaying());
    unit->toggleSequencer();
    bytesOfNextRender();
    EXPECT_FALSE(unit->isSequencerPlaying());
    unit->toggleSequencer();
    bytesOfNextRender();
    EXPECT_TRUE(unit->isSequencerPlaying());
}

TEST_F(ControlInterface, PlayPauseAlternatesWithEveryPressHoweverFewRendersComeBetween) {
    // Presses ('t') and render cycles ('r') after the file was started and one cycle rendered; a sequence without
    // 'r' is a host whose engine is paused.
    struct Case {
        const char* steps;
        bool playing;
    };
    const Case cases[] = {{"t", false},    {"tt", true},    {"ttt", false}, {"tttt", true}, {"tr", false},
                          {"ttr", true},   {"tttr", false}, {"ttttr", true}, {"trt", true}, {"trtt", false},
                          {"trtrtr", false}, {"ttrttr", true}};
    const auto path = writeOneNoteFile();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.steps);
        unit->loadMIDIFile(path);
        dispatch::MainQueue::shared().drain();
        unit->startSequencer();
        bytesOfNextRender();
        ASSERT_TRUE(unit->isSequencerPlaying());
        for (const char* step = c.steps; *step != '\0'; ++step) {
            if (*step == 't') {
                unit->toggleSequencer();
            } else {
                bytesOfNextRender();
            }
        }
        EXPECT_EQ(unit->isSequencerPlaying(), c.playing);
        // Once the engine renders again, the player does what the presses said: it moves on only when playing.
        bytesOfNextRender();
        const std::int64_t position = unit->sequencer()->sequencerPositionV();
        bytesOfNextRender();
        EXPECT_EQ(unit->isSequencerPlaying(), c.playing);
        EXPECT_EQ(unit->sequencer()->sequencerPositionV() > position, c.playing);
    }
}

TEST_F(ControlInterface, MonitorAndRecorderFollowTheRenderedBuffers) {
    bytesOfNextRender();
    unit->startRecorder();
    EXPECT_TRUE(unit->isRecording());
    EXPECT_EQ(unit->getRecorderTime(), 0);
    unit->sendNoteOn(1, 64, 90, 0);
    bytesOfNextRender();
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(unit->getRecorderTime(), static_cast<int64_t>(kFrames));
    EXPECT_EQ(unit->getRecorderCount(), 1u);
    ASSERT_EQ(unit->getRecorderEvents().size(), 1u);
    EXPECT_EQ(unit->getRecorderEvents().front()->array(), (Bytes{0x91, 64, 90}));

    std::shared_ptr<AUMIDIEventEx> monitored;
    while (auto event = unit->getMonitorEvents()) {
        monitored = event;
    }
    ASSERT_TRUE(monitored);
    EXPECT_EQ(monitored->array(), (Bytes{0x91, 64, 90}));
    unit->sendNoteOn(1, 65, 90, 0);
    bytesOfNextRender();
    dispatch::MainQueue::shared().drain();
    unit->clearMonitoring();
    EXPECT_FALSE(unit->getMonitorEvents());

    unit->stopRecorder();
    EXPECT_FALSE(unit->isRecording());
}

TEST_F(ControlInterface, ASecondRecorderStartBeginsAnEmptyRecording) {
    bytesOfNextRender();
    unit->startRecorder();
    bytesOfNextRender();
    unit->sendNoteOn(1, 64, 90, 0);
    bytesOfNextRender();
    dispatch::MainQueue::shared().drain();
    ASSERT_GT(unit->getRecorderLength(), 0);

    unit->startRecorder();
    EXPECT_EQ(unit->getRecorderLength(), 0);
    EXPECT_EQ(unit->getRecorderCount(), 0u);
    EXPECT_TRUE(unit->isRecording());
}

}  // namespace
}  // namespace unit_test
