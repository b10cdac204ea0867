// The demo MIDI files as an independent reader sees them: each one parses in midicsv with its tempo changes, program
// changes and balanced notes, and the folders hold what the file browser and the player look for.

#include "tests/support/TestFolder.h"
#include "tools/midigen/DemoFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

// What midicsv lists for one file.
struct Listing {
    int tracks = 0;
    int endsOfTrack = 0;
    int tempos = 0;
    std::set<std::pair<int, int>> programs;  // channel, program
    std::set<std::pair<int, int>> noteKeys;  // channel, key
    std::map<std::pair<int, int>, int> held; // notes on minus notes off per channel and key
    int notes = 0;
};

std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> out;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, ',')) {
        std::size_t start = field.find_first_not_of(' ');
        out.push_back(start == std::string::npos ? "" : field.substr(start));
    }
    return out;
}

Listing parse(const std::string& csv)
{
    Listing listing;
    std::stringstream stream(csv);
    std::string line;
    while (std::getline(stream, line)) {
        std::vector<std::string> f = fields(line);
        if (f.size() < 3) {
            continue;
        }
        const std::string& type = f[2];
        if (type == "Start_track") {
            ++listing.tracks;
        } else if (type == "End_track") {
            ++listing.endsOfTrack;
        } else if (type == "Tempo") {
            ++listing.tempos;
        } else if (type == "Program_c") {
            listing.programs.emplace(std::stoi(f[3]), std::stoi(f[4]));
        } else if (type == "Note_on_c" || type == "Note_off_c") {
            std::pair<int, int> note{std::stoi(f[3]), std::stoi(f[4])};
            bool on = type == "Note_on_c" && std::stoi(f[5]) > 0;
            listing.held[note] += on ? 1 : -1;
            if (on) {
                listing.noteKeys.insert(note);
                ++listing.notes;
            }
        }
    }
    return listing;
}

int midiFilesIn(const std::filesystem::path& folder)
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        count += entry.path().extension() == ".mid" ? 1 : 0;
    }
    return count;
}

class DemoFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const midigen::DemoFile& file : midigen::demoFiles()) {
            ASSERT_EQ(midigen::writeDemoFile(file, folder.path()), "");
        }
    }

    Listing listing(std::string_view path)
    {
        int exitCode = -1;
        std::string csv = testsupport::runCommand("midicsv '" + (folder.path() / path).string() + "'", exitCode);
        EXPECT_EQ(exitCode, 0) << path;
        return parse(csv);
    }

    testsupport::TestFolder folder;
};

TEST_F(DemoFiles, FillTheSelectionAndTestFoldersAndTheDefaultFile)
{
    EXPECT_GE(midiFilesIn(folder.path() / "MIDI" / "Selection"), 3);
    EXPECT_GE(midiFilesIn(folder.path() / "MIDI" / "Test"), 2);
    EXPECT_TRUE(std::filesystem::is_regular_file(folder.path() / "default.mid"));
}

TEST_F(DemoFiles, ParseInMidicsvWithTempoChangesProgramsAndBalancedNotes)
{
    for (const midigen::DemoFile& file : midigen::demoFiles()) {
        SCOPED_TRACE(std::string(file.path));
        Listing l = listing(file.path);
        EXPECT_GE(l.tracks, 2);
        EXPECT_EQ(l.endsOfTrack, l.tracks);
        EXPECT_GE(l.tempos, 2);
        EXPECT_FALSE(l.programs.empty());
        EXPECT_GT(l.notes, 0);
        for (const auto& [note, held] : l.held) {
            EXPECT_EQ(held, 0) << "channel " << note.first << " key " << note.second;
        }
    }
}

// The test pieces exist to reach every program and every drum key; none may go missing on the way to the file.
TEST_F(DemoFiles, TestPiecesReachEveryProgramAndEveryDrumKey)
{
    Listing tour = listing("MIDI/Test/Program Tour.mid");
    EXPECT_EQ(tour.programs.size(), 128u);
    Listing drums = listing("MIDI/Test/Drum Keys.mid");
    std::set<std::pair<int, int>> keys;
    for (int key = 35; key <= 81; ++key) {
        keys.emplace(9, key);
    }
    EXPECT_EQ(drums.noteKeys, keys);
    Listing channels = listing("MIDI/Test/All Channels.mid");
    std::set<int> used;
    for (const auto& [channel, key] : channels.noteKeys) {
        used.insert(channel);
    }
    EXPECT_EQ(used.size(), 16u);
}

} // namespace
