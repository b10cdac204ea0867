// The host side's file readers (the program's MIDI file schedule, the MIDI-file browser's folder description, the
// pattern-sequence loader) refuse a 2 GB file without reading it: the reader's peak resident memory grows by less
// than 100 MB.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "Orvo_Tunedeck/app/MidiFileSchedule.h"
#include "Orvo_Tunedeck_Extension/lists/MIDIFileRow.h"
#include "shared/patterns/MIDIPatternSequence.h"
#include "tests/support/OversizedFile.h"
#include "tests/support/TestFolder.h"

namespace {

std::string be32(uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

TEST(OversizedHostFiles, EveryHostReaderRefusesATwoGigabyteFileWithoutReadingIt) {
    testsupport::TestFolder folder;
    const std::string midiHeader = "MThd" + be32(6) + std::string("\0\1\0\1\1\xE0", 6) + "MTrk" + be32(0x7FFFFF00);
    struct Case {
        const char* reader;
        std::string fileName;
        std::string header;
        std::function<bool(const std::filesystem::path&)> read;  // true when the file was taken
    };
    const std::vector<Case> cases = {
        {"MIDI file schedule", "song.mid", midiHeader,
         [](const std::filesystem::path& path) {
             MidiFileSchedule schedule;
             std::string error;
             return loadMidiFileSchedule(path, 48000.0, schedule, error);
         }},
        {"folder description", std::string(kFolderDescriptionName), "A folder of songs",
         [](const std::filesystem::path& path) {
             File entry;
             entry.rootpath = path.parent_path().string();
             entry.setSubpath(path.filename().string());
             return !makeMIDIFileRow(entry, kUserMode).title.empty();
         }},
        {"pattern sequence", "patterns.mid", midiHeader,
         [](const std::filesystem::path& path) {
             auto sequence = MIDIPatternSequence::create();
             const auto sectionsBefore = sequence->sections.size();
             sequence->loadFromFile(path);
             return sequence->sections.size() != sectionsBefore;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reader);
        const auto path = folder.path() / c.fileName;
        ASSERT_TRUE(testsupport::makeSparseFile(path, c.header, std::uint64_t{2} << 30));
        const testsupport::ChildRead result = testsupport::readInChild([&] {
            std::freopen("/dev/null", "w", stdout);
            return c.read(path);
        });
        EXPECT_TRUE(result.ran);
        EXPECT_TRUE(result.refused);
        EXPECT_LT(result.residentGrowthBytes, 100 << 20);
        std::filesystem::remove(path);
    }
}

}  // namespace
