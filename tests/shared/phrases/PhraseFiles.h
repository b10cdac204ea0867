#pragma once
// Small MIDI files for the phrase tests, written as csvmidi text and turned into files with csvmidi: one track per
// list of events, at a chosen resolution.

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/platform/musicsequence/support/SequenceTestSupport.h"

namespace phrasetest {

// One event of a track, at a tick: a note (on and off), a controller or a marker.
struct FileEvent {
  enum Kind { note, controller, marker } kind;
  int tick;
  int channel = 0;
  int number = 0;  // note or controller number
  int value = 100;  // velocity or controller value
  int lengthTicks = 0;  // notes only
  int releaseVelocity = 0;
};

inline FileEvent note(int tick, int channel, int number, int lengthTicks, int velocity = 100, int release = 0) {
  return {FileEvent::note, tick, channel, number, velocity, lengthTicks, release};
}
inline FileEvent controller(int tick, int channel, int number, int value) {
  return {FileEvent::controller, tick, channel, number, value};
}
inline FileEvent marker(int tick) { return {FileEvent::marker, tick}; }

// A MIDI file of the tracks (each a list of events in any order) at ticksPerBeat.
inline std::filesystem::path midiFile(const std::filesystem::path& folder, const std::string& name,
                                      const std::vector<std::vector<FileEvent>>& tracks, int ticksPerBeat = 480) {
  struct Line {
    int tick;
    std::string text;
  };
  std::string csv = "0, 0, Header, 1, " + std::to_string(tracks.size()) + ", " + std::to_string(ticksPerBeat) + "\n";
  int number = 1;
  for (const auto& track : tracks) {
    const std::string prefix = std::to_string(number++) + ", ";
    std::vector<Line> lines;
    for (const FileEvent& e : track) {
      const std::string channel = std::to_string(e.channel);
      switch (e.kind) {
        case FileEvent::note:
          lines.push_back({e.tick, "Note_on_c, " + channel + ", " + std::to_string(e.number) + ", " +
                                       std::to_string(e.value)});
          lines.push_back({e.tick + e.lengthTicks, "Note_off_c, " + channel + ", " + std::to_string(e.number) +
                                                       ", " + std::to_string(e.releaseVelocity)});
          break;
        case FileEvent::controller:
          lines.push_back({e.tick, "Control_c, " + channel + ", " + std::to_string(e.number) + ", " +
                                       std::to_string(e.value)});
          break;
        case FileEvent::marker:
          lines.push_back({e.tick, "Marker_t, \"here\""});
          break;
      }
    }
    std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) { return a.tick < b.tick; });
    csv += prefix + "0, Start_track\n";
    int last = 0;
    for (const Line& line : lines) {
      csv += prefix + std::to_string(line.tick) + ", " + line.text + "\n";
      last = std::max(last, line.tick);
    }
    csv += prefix + std::to_string(last) + ", End_track\n";
  }
  csv += "0, 0, End_of_file\n";
  return sequencetest::midiFromCsv(folder, name, csv);
}

}  // namespace phrasetest
