#pragma once
// Helpers for the sequence tests: scratch folders, the Debian MIDI tools, and event listings.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/musicsequence/MusicSequence.h"

namespace sequencetest {

// Writes `csv` in the text form of csvmidi and turns it into a MIDI file with csvmidi.
std::filesystem::path midiFromCsv(const std::filesystem::path& folder, const std::string& name, const std::string& csv);
// midicsv's text form of a MIDI file; fails the test when midicsv rejects the file.
std::string csvFromMidi(const std::filesystem::path& file);
// Runs a Python program, written into folder, with mido available; `arguments` are passed on the command line.
std::string runPython(const std::filesystem::path& folder, const std::string& program, const std::string& arguments,
                      int& exitCode);

std::vector<std::uint8_t> readFile(const std::filesystem::path& file);
std::vector<std::string> lines(const std::string& text);

// One line per event of a track: "<beats> <kind> <fields>", for example "1 note 2 60 100 64 0.5",
// "0 channel C2 05 00", "0 raw F0 7E F7", "0 meta 03 50 69", "0 tempo 120", "0 user 01 02".
std::vector<std::string> eventLog(const MusicTrack& track);
// The event logs of the tempo track and every music track, the tempo track first.
std::vector<std::vector<std::string>> sequenceLog(const MusicSequence& sequence);

}  // namespace sequencetest
