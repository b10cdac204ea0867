#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "shared/playback/AUMIDIRecorder.h"
#include "shared/playback/AUMIDISequencer.h"
#include "tests/shared/playback/PlayerFixture.h"
#include "tests/support/TestFolder.h"

namespace {

constexpr AUAudioFrameCount kFrames = 512;

// A standard MIDI file written by csvmidi from csv lines (480 ticks per quarter note).
std::filesystem::path writeMidi(const std::filesystem::path& folder, const std::string& name,
                                const std::vector<std::string>& rows) {
    const auto csv = folder / (name + ".csv");
    std::ofstream(csv) << [&] {
        std::string text;
        for (const std::string& row : rows) {
            text += row + "\n";
        }
        return text;
    }();
    const auto midi = folder / name;
    int exitCode = 0;
    testsupport::runCommand("csvmidi '" + csv.string() + "' '" + midi.string() + "'", exitCode);
    EXPECT_EQ(exitCode, 0);
    return midi;
}

std::vector<std::string> midicsvRows(const std::filesystem::path& midi) {
    int exitCode = 0;
    const std::string text = testsupport::runCommand("midicsv '" + midi.string() + "'", exitCode);
    EXPECT_EQ(exitCode, 0);
    std::vector<std::string> rows;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        rows.push_back(text.substr(start, end - start));
    }
    return rows;
}

bool hasRow(const std::vector<std::string>& rows, const std::string& row) {
    return std::find(rows.begin(), rows.end(), row) != rows.end();
}

TEST(FileRoad, AFileLoadedBeforeTheRateIsSetPlaysAtTheNewRate) {
    testsupport::TestFolder folder;
    foundation::LogCapture capture;
    const auto midi = writeMidi(folder.path(), "song.mid",
                                {"0, 0, Header, 0, 1, 480", "1, 0, Start_track", "1, 0, Program_c, 0, 5",
                                 "1, 480, Note_on_c, 0, 60, 100", "1, 960, Note_off_c, 0, 60, 0",
                                 "1, 960, End_track", "0, 0, End_of_file"});
    auto player = AUMIDISequencer::create();
    player->loadMIDIFile(midi, true);
    EXPECT_FALSE(player->isEmpty());
    player->setSamplerate(44100.0);
    player->start(0);
    AUEventSampleTime now = kFrames;
    const AUEventSampleTime first = now;
    std::vector<Out> notes;
    for (int i = 0; i < 200; ++i) {
        for (const Out& event : songEventsOnly(collect(player->process(now, kFrames)))) {
            if ((event.bytes[0] & 0xF0) == 0x90) {
                notes.push_back(event);
            }
        }
        now += kFrames;
    }
    ASSERT_EQ(notes.size(), 1U);
    EXPECT_EQ(notes[0].time - first, 22050);  // beat 1 at 44100 Hz
    EXPECT_EQ(player->getPatchForChannel(0), 5);
    EXPECT_DOUBLE_EQ(player->getDurationInSeconds(), 1.0);
}

TEST(FileRoad, AMissingFileKeepsTheLoadedSong) {
    testsupport::TestFolder folder;
    foundation::LogCapture capture;
    auto player = AUMIDISequencer::create();
    player->load(songConversion({{0.0, b({0x90, 60, 100})}, {1.0, b({0x80, 60, 0})}}), std::nullopt, true);
    const auto missing = folder.path() / "missing.mid";
    player->loadMIDIFile(missing, true);
    player->process(kFrames, kFrames);
    EXPECT_TRUE(player->isEmpty());
    EXPECT_EQ(player->getEventList().size(), 2U);
    dispatch::MainQueue::shared().drain();
    EXPECT_TRUE(hasRow(capture.lines(),
                       "AUMIDISequencer::ERROR: The given MIDI file (" + missing.string() + " does not exist."));
}

// At either rate a note played from 0.5 s to 1.5 s stands at beats 1 to 3 of the saved file (track 3: channel 1).
TEST(FileRoad, ARecordingReadsBackWithThePlayedTimes) {
    testsupport::TestFolder folder;
    foundation::LogCapture capture;
    for (const double rate : {44100.0, 48000.0}) {
        auto recorder = AUMIDIRecorder::create();
        recorder->setSamplerate(rate);
        const auto start = static_cast<AUEventSampleTime>(10 * rate);
        recorder->start(start);
        const auto at = [&](double seconds) { return start + static_cast<AUEventSampleTime>(seconds * rate); };
        recorder->record(AUMIDIEventEx(8, b({0xC1, 9}), 2, at(-0.01)));  // before the start: written at beat 0
        recorder->record(AUMIDIEventEx(8, b({0xB1, 7, 90}), 3, at(0.25)));
        recorder->record(AUMIDIEventEx(8, b({0x81, 64, 0}), 3, at(1.5)));
        recorder->record(AUMIDIEventEx(8, b({0x91, 64, 100}), 3, at(0.5)));
        recorder->record(AUMIDIEventEx(8, b({0x92, 67, 100}), 3, at(0.75)));  // never released: not written
        const auto file = folder.path() / ("take" + std::to_string(static_cast<int>(rate)) + ".mid");
        recorder->save(file);
        recorder->save(file);  // a second save writes the same events
        const auto rows = midicsvRows(file);
        EXPECT_TRUE(hasRow(rows, "3, 0, Program_c, 1, 9")) << rate;
        EXPECT_TRUE(hasRow(rows, "3, 240, Control_c, 1, 7, 90")) << rate;
        EXPECT_TRUE(hasRow(rows, "3, 480, Note_on_c, 1, 64, 100")) << rate;
        EXPECT_TRUE(hasRow(rows, "3, 1440, Note_off_c, 1, 64, 0")) << rate;
        EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                                [](const std::string& row) { return row.find(", 67, ") != std::string::npos; }),
                  0)
            << rate;
        EXPECT_EQ(recorder->getCount(), 5U);
    }
    auto empty = AUMIDIRecorder::create();
    empty->save(folder.path() / "empty.mid");
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "empty.mid"));
    dispatch::MainQueue::shared().drain();
    EXPECT_TRUE(hasRow(capture.lines(), "AUMIDIRecorder::save() : ERROR: The recorder list is empty."));
}

}  // namespace
