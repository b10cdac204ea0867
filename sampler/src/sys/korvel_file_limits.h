// The largest file each of the library's readers takes. A reader checks the file's size against its limit before
// it reads any content, and the sizes the file's headers declare against the file's size, so that a huge or
// lying file is refused without taking memory for it.
#pragma once

// SoundFont 2 and DLS banks: 1 GiB, also the most sample data a bank holds in memory.
constexpr long KORVEL_BANK_FILE_LIMIT = 1L << 30;
// XML banks: 256 MiB of text.
constexpr long KORVEL_XML_FILE_LIMIT = 256L << 20;
// Raw sample files an XML bank names: 512 MiB.
constexpr long KORVEL_SAMPLE_FILE_LIMIT = 512L << 20;
// AIFF files: 512 MiB.
constexpr long KORVEL_AIFF_FILE_LIMIT = 512L << 20;
// Standard MIDI files for the file player: 64 MiB.
constexpr long KORVEL_MIDI_FILE_LIMIT = 64L << 20;
