// MIDI files for the reader and player tests: written by Debian's csvmidi from CSV text, or byte by byte for the
// corrupt cases, into the test's scratch folder. Also the recorder behind the player's capture hooks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace midi_fixture {

using Bytes = std::vector<std::uint8_t>;

// Writes the CSV text and converts it with csvmidi; the path of the MIDI file, or "" when csvmidi failed.
std::string from_csv(const std::string& name, const std::string& csv);
// Writes the bytes as they are; the path.
std::string write(const std::string& name, const Bytes& bytes);
Bytes read(const std::string& path);

// Standard MIDI File pieces: the 14-byte header and a chunk whose length field says `length` (the payload's size
// when negative).
Bytes header(int type, int ntracks, int division);
Bytes chunk(const char* id, const Bytes& payload, long length = -1);
Bytes cat(std::initializer_list<Bytes> parts);

// One event as the capture hooks received it.
struct Captured {
    std::int64_t sample_time;
    int offset;
    int channel;
    int type;
    int param1;
    int param2;
    Bytes data; // system exclusive only
    bool operator==(const Captured&) const = default;
};

// Set a synthesizer's capture context to a recorder to collect what its player sends.
struct Recorder {
    std::vector<Captured> events;
};

} // namespace midi_fixture
