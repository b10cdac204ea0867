#include "tests/platform/musicsequence/support/SequenceTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/musicsequence/MusicEventIterator.h"
#include "tests/support/TestFolder.h"

namespace sequencetest {

namespace fs = std::filesystem;

static std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

fs::path midiFromCsv(const fs::path& folder, const std::string& name, const std::string& csv) {
  const fs::path csvFile = folder / (name + ".csv");
  const fs::path midiFile = folder / (name + ".mid");
  std::ofstream(csvFile) << csv;
  int exitCode = 0;
  testsupport::runCommand("csvmidi " + quoted(csvFile) + " " + quoted(midiFile) + " 2>&1", exitCode);
  EXPECT_EQ(exitCode, 0) << "csvmidi failed on " << csvFile;
  return midiFile;
}

std::string csvFromMidi(const fs::path& file) {
  int exitCode = 0;
  const fs::path errors = file.string() + ".midicsv-errors";
  std::string csv = testsupport::runCommand("midicsv " + quoted(file) + " 2>" + quoted(errors), exitCode);
  std::ifstream in(errors);
  std::string complaints((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(exitCode, 0) << complaints;
  EXPECT_EQ(complaints, "");
  return csv;
}

std::string runPython(const fs::path& folder, const std::string& program, const std::string& arguments,
                      int& exitCode) {
  static std::atomic<int> counter{0};
  const fs::path script = folder / ("script" + std::to_string(counter++) + ".py");
  std::ofstream(script) << program;
  // Debian's interpreter carries Debian's python3-mido, whatever interpreter comes first on the path.
  const std::string python = fs::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
  return testsupport::runCommand(python + " " + quoted(script) + " " + arguments + " 2>&1", exitCode);
}

std::vector<std::uint8_t> readFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    result.push_back(line);
  }
  return result;
}

namespace {

void appendHex(std::ostringstream& out, const std::uint8_t* bytes, std::uint32_t count) {
  char hex[4];
  for (std::uint32_t i = 0; i < count; ++i) {
    std::snprintf(hex, sizeof hex, " %02X", bytes[i]);
    out << hex;
  }
}

template <typename Record>
Record head(const void* data) {
  Record record;
  std::memcpy(&record, data, sizeof record);
  return record;
}

std::string describe(MusicTimeStamp time, MusicEventType type, const void* data) {
  std::ostringstream out;
  out << time << ' ';
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  switch (type) {
    case kMusicEventType_MIDINoteMessage: {
      const auto note = head<MIDINoteMessage>(data);
      out << "note " << int{note.channel} << ' ' << int{note.note} << ' ' << int{note.velocity} << ' '
          << int{note.releaseVelocity} << ' ' << note.duration;
      break;
    }
    case kMusicEventType_MIDIChannelMessage:
      out << "channel";
      appendHex(out, bytes, 3);
      break;
    case kMusicEventType_MIDIRawData:
      out << "raw";
      appendHex(out, bytes + offsetof(MIDIRawData, data), head<MIDIRawData>(data).length);
      break;
    case kMusicEventType_User:
      out << "user";
      appendHex(out, bytes + offsetof(MusicEventUserData, data), head<MusicEventUserData>(data).length);
      break;
    case kMusicEventType_Meta:
      out << "meta";
      appendHex(out, bytes, 1);
      appendHex(out, bytes + offsetof(MIDIMetaEvent, data), head<MIDIMetaEvent>(data).dataLength);
      break;
    case kMusicEventType_ExtendedTempo:
      out << "tempo " << head<ExtendedTempoEvent>(data).bpm;
      break;
    default:
      out << "type " << type;
  }
  return out.str();
}

}  // namespace

std::vector<std::string> eventLog(const MusicTrack& track) {
  std::vector<std::string> log;
  MusicEventIterator iterator;
  if (NewMusicEventIterator(track, &iterator) != noErr) return {"(no iterator)"};
  bool hasCurrent = false;
  while (MusicEventIteratorHasCurrentEvent(iterator, &hasCurrent) == noErr && hasCurrent) {
    MusicTimeStamp time = 0;
    MusicEventType type = 0;
    const void* data = nullptr;
    std::uint32_t size = 0;
    if (MusicEventIteratorGetEventInfo(iterator, &time, &type, &data, &size) != noErr) return {"(no event info)"};
    log.push_back(describe(time, type, data));
    MusicEventIteratorNextEvent(iterator);
  }
  return log;
}

std::vector<std::vector<std::string>> sequenceLog(const MusicSequence& sequence) {
  std::vector<std::vector<std::string>> logs;
  MusicTrack track;
  MusicSequenceGetTempoTrack(sequence, &track);
  logs.push_back(eventLog(track));
  std::uint32_t count = 0;
  MusicSequenceGetTrackCount(sequence, &count);
  for (std::uint32_t i = 0; i < count; ++i) {
    MusicSequenceGetIndTrack(sequence, i, &track);
    logs.push_back(eventLog(track));
  }
  return logs;
}

}  // namespace sequencetest
