// Display names of MIDI numbers. No operation of the model reads them; views and diagnostics show them.
// Compile-time data (string views into static storage); any thread.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace midi_names_detail {

// One generated name: the characters and their count.
struct GeneratedName {
  char chars[24] = {};
  std::size_t size = 0;

  constexpr void append(std::string_view text) {
    for (char c : text) chars[size++] = c;
  }
  constexpr void appendDecimal(int number) {
    if (number < 0) {
      chars[size++] = '-';
      number = -number;
    }
    if (number >= 10) appendDecimal(number / 10);
    chars[size++] = static_cast<char>('0' + number % 10);
  }
  constexpr std::string_view view() const { return {chars, size}; }
};

// Key k: pitch class of k mod 12 (sharps only) and the octave k div 12 - 2; key 60 is "C3".
constexpr std::array<GeneratedName, 128> makeKeyNames() {
  constexpr std::array<std::string_view, 12> pitchClasses = {"C",  "C#", "D",  "D#", "E",  "F",
                                                             "F#", "G",  "G#", "A",  "A#", "B"};
  std::array<GeneratedName, 128> names{};
  for (int key = 0; key < 128; ++key) {
    names[key].append(pitchClasses[key % 12]);
    names[key].appendDecimal(key / 12 - 2);
  }
  return names;
}

// The fallback names of controllers without a name of their own: "Controller LSB n" for 32 + n (n = 0 to 31),
// "Controller No. n" for the others.
constexpr std::array<GeneratedName, 128> makeControllerFallbackNames() {
  std::array<GeneratedName, 128> names{};
  for (int number = 0; number < 128; ++number) {
    if (number >= 32 && number < 64) {
      names[number].append("Controller LSB ");
      names[number].appendDecimal(number - 32);
    } else {
      names[number].append("Controller No. ");
      names[number].appendDecimal(number);
    }
  }
  return names;
}

inline constexpr std::array<GeneratedName, 128> keyNames = makeKeyNames();
inline constexpr std::array<GeneratedName, 128> controllerFallbackNames = makeControllerFallbackNames();

constexpr std::array<std::string_view, 128> viewsOf(const std::array<GeneratedName, 128>& names) {
  std::array<std::string_view, 128> views{};
  for (std::size_t i = 0; i < names.size(); ++i) views[i] = names[i].view();
  return views;
}

struct NamedRow {
  int number;
  std::string_view name;
};

// Controllers of the MIDI 1.0 list that have a name; "Sustenuto" is the system's own spelling.
inline constexpr NamedRow namedControllers[] = {
    {0, "Bank Select"},           {1, "Modulation"},
    {2, "Breath Controller"},     {4, "Foot Controller"},
    {5, "Portamento Time"},       {6, "Data Entry (MSB)"},
    {7, "Volume"},                {8, "Balance"},
    {10, "Pan"},                  {11, "Expression"},
    {12, "Effect Controller 1"},  {13, "Effect Controller 2"},
    {16, "General Purpose 1"},    {17, "General Purpose 2"},
    {18, "General Purpose 3"},    {19, "General Purpose 4"},
    {64, "Damper/Sustain Pedal"}, {65, "Portamento On/Off"},
    {66, "Sustenuto On/Off"},     {67, "Soft Pedal On/Off"},
    {68, "Legato Switch"},        {69, "Hold 2"},
    {70, "Sound Controller 1"},   {71, "Sound Controller 2"},
    {72, "Sound Controller 3"},   {73, "Sound Controller 4"},
    {74, "Sound Controller 5"},   {75, "Sound Controller 6"},
    {76, "Sound Controller 7"},   {77, "Sound Controller 8"},
    {78, "Sound Controller 9"},   {79, "Sound Controller 10"},
    {80, "General Purpose 5"},    {81, "General Purpose 6"},
    {82, "General Purpose 7"},    {83, "General Purpose 8"},
    {84, "Portamento Control"},   {91, "Effect 1 Depth"},
    {92, "Effect 2 Depth"},       {93, "Effect 3 Depth"},
    {94, "Effect 4 Depth"},       {95, "Effect 5 Depth"},
    {96, "Data Increment"},       {97, "Data Decrement"},
    {98, "NRPN LSB"},             {99, "NRPN MSB"},
    {100, "RPN LSB"},             {101, "RPN MSB"},
    {120, "All Sound Off"},       {121, "Reset All Controllers"},
    {122, "Local On/Off"},        {123, "All Notes Off"},
    {124, "Omni Mode Off"},       {125, "Omni Mode On"},
    {126, "Mono Mode"},           {127, "Poly Mode"},
};

constexpr std::array<std::string_view, 128> makeControllerNames() {
  std::array<std::string_view, 128> names = viewsOf(controllerFallbackNames);
  for (const NamedRow& row : namedControllers) names[row.number] = row.name;
  return names;
}

// The General MIDI Level 1 percussion map, keys 35 to 81.
inline constexpr int firstPercussionKey = 35;
inline constexpr std::array<std::string_view, 47> percussionNames = {
    "Acoustic Bass Drum", "Bass Drum 1", "Side Stick", "Acoustic Snare", "Hand Clap", "Electric Snare",
    "Low Floor Tom", "Closed Hi Hat", "High Floor Tom", "Pedal Hi-Hat", "Low Tom", "Open Hi-Hat", "Low-Mid Tom",
    "Hi-Mid Tom", "Crash Cymbal 1", "High Tom", "Ride Cymbal 1", "Chinese Cymbal", "Ride Bell", "Tambourine",
    "Splash Cymbal", "Cowbell", "Crash Cymbal 2", "Vibraslap", "Ride Cymbal 2", "Hi Bongo", "Low Bongo",
    "Mute Hi Conga", "Open Hi Conga", "Low Conga", "High Timbale", "Low Timbale", "High Agogo", "Low Agogo", "Cabasa",
    "Maracas", "Short Whistle", "Long Whistle", "Short Guiro", "Long Guiro", "Claves", "Hi Wood Block",
    "Low Wood Block", "Mute Cuica", "Open Cuica", "Mute Triangle", "Open Triangle",
};

constexpr std::array<std::string_view, 128> makeDrumNames() {
  std::array<std::string_view, 128> names = viewsOf(keyNames);
  for (std::size_t i = 0; i < percussionNames.size(); ++i) names[firstPercussionKey + i] = percussionNames[i];
  return names;
}

}  // namespace midi_names_detail

inline constexpr std::array<std::string_view, 18> MIDIStatusNames = {
    "NOTE OFF",      "NOTE ON",         "POLYPHONIC PRESSURE", "CONTROL CHANGE", "PROGRAM CHANGE",
    "CHANNEL PRESSURE", "PITCH BEND",   "MIDI TIME CODE",      "SONG POSITION POINTER", "SONG SELECT",
    "TUNE REQUEST",  "SYSTEM EXCLUSIVE", "TIMING CLOCK",       "START SEQUENCE", "CONTINUE SEQUENCE",
    "STOP SEQUENCE", "ACTIVE SENSING",  "SYSTEM RESET",
};

// Indexed by controller number.
inline constexpr std::array<std::string_view, 128> MIDIControllerNames = midi_names_detail::makeControllerNames();

// Indexed by key number: the same names as NoteNames holds at start.
inline constexpr std::array<std::string_view, 128> MIDIKeyNames =
    midi_names_detail::viewsOf(midi_names_detail::keyNames);

// The General MIDI Level 1 sound set, indexed by program number.
inline constexpr std::array<std::string_view, 128> MIDIPatchNames = {
    "Acoustic Grand Piano", "Bright Acoustic Piano", "Electric Grand Piano", "Honky-tonk Piano", "Electric Piano 1",
    "Electric Piano 2", "Harpsichord", "Clavi", "Celesta", "Glockenspiel", "Music Box", "Vibraphone", "Marimba",
    "Xylophone", "Tubular Bells", "Dulcimer", "Drawbar Organ", "Percussive Organ", "Rock Organ", "Church Organ",
    "Reed Organ", "Accordion", "Harmonica", "Tango Accordion", "Acoustic Guitar (nylon)", "Acoustic Guitar (steel)",
    "Electric Guitar (jazz)", "Electric Guitar (clean)", "Electric Guitar (muted)", "Overdriven Guitar",
    "Distortion Guitar", "Guitar harmonics", "Acoustic Bass", "Electric Bass (finger)", "Electric Bass (pick)",
    "Fretless Bass", "Slap Bass 1", "Slap Bass 2", "Synth Bass 1", "Synth Bass 2", "Violin", "Viola", "Cello",
    "Contrabass", "Tremolo Strings", "Pizzicato Strings", "Orchestral Harp", "Timpani", "String Ensemble 1",
    "String Ensemble 2", "SynthStrings 1", "SynthStrings 2", "Choir Aahs", "Voice Oohs", "Synth Voice",
    "Orchestra Hit", "Trumpet", "Trombone", "Tuba", "Muted Trumpet", "French Horn", "Brass Section", "SynthBrass 1",
    "SynthBrass 2", "Soprano Sax", "Alto Sax", "Tenor Sax", "Baritone Sax", "Oboe", "English Horn", "Bassoon",
    "Clarinet", "Piccolo", "Flute", "Recorder", "Pan Flute", "Blown Bottle", "Shakuhachi", "Whistle", "Ocarina",
    "Lead 1 (square)", "Lead 2 (sawtooth)", "Lead 3 (calliope)", "Lead 4 (chiff)", "Lead 5 (charang)",
    "Lead 6 (voice)", "Lead 7 (fifths)", "Lead 8 (bass + lead)", "Pad 1 (new age)", "Pad 2 (warm)",
    "Pad 3 (polysynth)", "Pad 4 (choir)", "Pad 5 (bowed)", "Pad 6 (metallic)", "Pad 7 (halo)", "Pad 8 (sweep)",
    "FX 1 (rain)", "FX 2 (soundtrack)", "FX 3 (crystal)", "FX 4 (atmosphere)", "FX 5 (brightness)", "FX 6 (goblins)",
    "FX 7 (echoes)", "FX 8 (sci-fi)", "Sitar", "Banjo", "Shamisen", "Koto", "Kalimba", "Bag pipe", "Fiddle", "Shanai",
    "Tinkle Bell", "Agogo", "Steel Drums", "Woodblock", "Taiko Drum", "Melodic Tom", "Synth Drum", "Reverse Cymbal",
    "Guitar Fret Noise", "Breath Noise", "Seashore", "Bird Tweet", "Telephone Ring", "Helicopter", "Applause",
    "Gunshot",
};

// Indexed by key: the percussion names for keys 35 to 81, the key name for every other key.
inline constexpr std::array<std::string_view, 128> MIDIDrumNames = midi_names_detail::makeDrumNames();

inline constexpr std::array<std::string_view, 18> MIDIMetaNames = {
    "SEQUENCE NUMBER", "TEXT",          "COPYRIGHT",      "TRACK NAME",     "INSTRUMENT NAME",
    "LYRICS",          "MARKER",        "CUE POINT",      "PROGRAM NAME",   "DEVICE NAME",
    "CHANNEL PREFIX",  "MIDI PORT",     "END OF TRACK",   "TEMPO",          "SMTP OFFSET",
    "TIME SIGNATURE",  "KEY SIGNATURE", "SEQUENCER SPECIFIC",
};
