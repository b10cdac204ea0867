// Recordings saved as MIDI files: the note times that midicsv reads match the sample times played, at any rate.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shared/recorder/MIDIRecorder.h"
#include "tests/platform/musicsequence/support/SequenceTestSupport.h"
#include "tests/shared/midievents/CapturedLog.h"
#include "tests/support/TestFolder.h"

namespace {

using ::testing::ElementsAre;

// The records of a midicsv listing that are not framing, each without its track number.
std::vector<std::string> records(const std::string& csv) {
  std::vector<std::string> result;
  for (const std::string& line : sequencetest::lines(csv)) {
    if (line.find("Start_track") != std::string::npos || line.find("End_track") != std::string::npos ||
        line.find("Header") != std::string::npos || line.find("End_of_file") != std::string::npos) {
      continue;
    }
    result.push_back(line.substr(line.find(", ") + 2));
  }
  return result;
}

class MIDIRecorderFile : public ::testing::TestWithParam<double> {};

TEST_P(MIDIRecorderFile, NoteTimesInTheSavedFileMatchThePlayedSampleTimes) {
  const double sampleRate = GetParam();
  const double samplesPerBeat = sampleRate / 2;
  auto at = [&](double beats) { return static_cast<AUEventSampleTime>(beats * samplesPerBeat); };
  auto event = [](std::vector<std::uint8_t> bytes, AUEventSampleTime time) {
    const auto count = static_cast<std::uint32_t>(bytes.size());
    return std::make_shared<AUMIDIEventEx>(8, bytes, count, time);
  };
  auto marker = std::make_shared<AUMIDIEventEx>(
      9, std::vector<std::uint8_t>{0xFD, 0x51, 0x78, 0xFF, 0x51, 0x03, 0x03, 0x93, 0x87}, 4, at(0.0));
  const std::vector<std::shared_ptr<AUMIDIEventEx>> played{
      marker,
      event({0x90, 60, 100}, at(0.5)),
      event({0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}, at(1.0)),
      event({0x91, 64, 90}, at(1.0)),
      event({0x80, 60, 0}, at(2.0)),
      event({0x91, 64, 0}, at(3.5)),
  };

  testsupport::TestFolder folder;
  const auto file = folder.path() / "recording.mid";
  capturedLog([&] {
    const auto recorder = MIDIRecorder::create();
    recorder->setSampleRate(sampleRate);
    recorder->setRecorderTempo(120.0);
    recorder->start();
    recorder->addAUMIDIEvents(played);
    recorder->stop();
    recorder->saveToFile(file);
  });

  EXPECT_THAT(records(sequencetest::csvFromMidi(file)),
              ElementsAre("0, Tempo, 500000", "0, Sequencer_specific, 6, 255, 81, 3, 3, 147, 135",
                          "240, Note_on_c, 0, 60, 100", "480, System_exclusive, 5, 126, 127, 9, 1, 247",
                          "960, Note_off_c, 0, 60, 0", "480, Note_on_c, 1, 64, 90", "1680, Note_off_c, 1, 64, 64"));
}

INSTANTIATE_TEST_SUITE_P(SampleRates, MIDIRecorderFile, ::testing::Values(44100.0, 48000.0));

}  // namespace
