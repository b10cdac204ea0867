// The MIDI file reader: files written by csvmidi read into the expected events, and corrupt or truncated files
// refused (or read safely) with the reader's error lines.
#include "sampler/src/midi/korvel_midi_file.h"
#include "sampler/src/midi/korvel_player.h"
#include "tests/sampler/support/korvel_log_capture.h"
#include "tests/sampler/support/midi_fixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using midi_fixture::Bytes;
using midi_fixture::chunk;
using midi_fixture::header;

struct Entry {
    unsigned int global_index;
    uint32_t time;
    int type;
    int channel;
    uint32_t param1;
    uint32_t param2;
    bool operator==(const Entry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Entry& e)
{
    return out << "{" << e.global_index << ", " << e.time << ", 0x" << std::hex << e.type << std::dec << ", "
               << e.channel << ", " << e.param1 << ", " << e.param2 << "}";
}

using Player = std::unique_ptr<korvel_player_t, decltype(&delete_korvel_player)>;

Player make_player()
{
    return Player(new_korvel_player(nullptr), &delete_korvel_player);
}

std::vector<Entry> entries(const korvel_player_t* player)
{
    std::vector<Entry> list;
    for (const korvel_player_event_t* e = player->events; e != nullptr; e = e->next) {
        list.push_back({e->global_index, e->time, e->type, e->channel, e->param1, e->param2});
    }
    return list;
}

// Loads quietly (the reader prints its warnings and refusals on standard output).
int load(korvel_player_t* player, const std::string& path)
{
    ::testing::internal::CaptureStdout();
    const int result = korvel_player_load(player, path.c_str());
    ::testing::internal::GetCapturedStdout();
    return result;
}

const char* const SONG = R"(0, 0, Header, 1, 2, 480
1, 0, Start_track
1, 0, Title_t, "Conductor"
1, 0, Tempo, 1000000
1, 0, End_track
2, 0, Start_track
2, 0, Instrument_name_t, "Lead"
2, 0, Program_c, 0, 5
2, 0, Note_on_c, 0, 60, 100
2, 1, Control_c, 0, 7, 90
2, 2, Pitch_bend_c, 0, 9000
2, 100, Time_signature, 3, 2, 24, 8
2, 240, Note_off_c, 0, 60, 0
2, 480, System_exclusive, 3, 65, 16, 247
2, 480, Marker_t, "Verse"
2, 481, Lyric_t, "la"
2, 500, Note_on_c, 9, 36, 0
2, 600, End_track
0, 0, End_of_file
)";

TEST(MidiFileReader, ReadsACsvmidiFileIntoItsEvents)
{
    const std::string path = midi_fixture::from_csv("song", SONG);
    ASSERT_FALSE(path.empty());
    Player player = make_player();
    ASSERT_EQ(load(player.get(), path), 0);

    EXPECT_EQ(player->division, 480u);
    ASSERT_EQ(korvel_player_count_tracks(player.get()), 2);
    const korvel_track_t* conductor = korvel_player_get_track(player.get(), 0);
    const korvel_track_t* lead = korvel_player_get_track(player.get(), 1);
    EXPECT_STREQ(korvel_track_get_name(conductor), "Conductor");
    EXPECT_STREQ(lead->instrument, "Lead");
    EXPECT_EQ(lead->numerator, 3);
    EXPECT_EQ(lead->denominator, 4u);
    EXPECT_EQ(lead->metronome, 24);
    EXPECT_EQ(lead->notes32, 8);

    // The time signature at tick 100 keeps nothing, and the note-off after it still falls on tick 240.
    const std::vector<Entry> expected = {
        {1, 0, 0x51, 0, 1000000, 0}, {2, 0, 0xC0, 0, 5, 0},      {3, 0, 0x90, 0, 60, 100},
        {4, 1, 0xB0, 0, 7, 90},      {5, 2, 0xE0, 0, 9000, 0},   {6, 240, 0x80, 0, 60, 0},
        {7, 480, 0xF0, 0, 240, 0},   {8, 480, 6, 0, 0, 0},       {9, 481, 5, 0, 0, 0},
        {10, 500, 0x90, 9, 36, 0},
    };
    EXPECT_EQ(entries(player.get()), expected);
    EXPECT_EQ(player->event_count, 10);
    EXPECT_EQ(korvel_track_get_duration(lead), 500u);

    const korvel_midi_event_t* sysex = lead->first;
    while (sysex->type != 0xF0) {
        sysex = sysex->next;
    }
    EXPECT_EQ(Bytes(sysex->data, sysex->data + sysex->data_len), (Bytes{65, 16, 0xF7}));
    EXPECT_EQ(sysex->index, 6u);
    const korvel_midi_event_t* marker = sysex->next;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(marker->data), marker->data_len), "Verse");

    // Loading again replaces the tracks.
    ASSERT_EQ(load(player.get(), path), 0);
    EXPECT_EQ(korvel_player_count_tracks(player.get()), 2);
    EXPECT_EQ(entries(player.get()), expected);
}

// A track of one note and its end, as the corrupt cases below vary it.
Bytes note_track()
{
    return {0x00, 0x90, 0x3C, 0x64, 0x60, 0x80, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00};
}

Bytes one_track_file(const Bytes& track)
{
    return midi_fixture::cat({header(0, 1, 96), chunk("MTrk", track)});
}

TEST(MidiFileReader, RunningStatusCarriesOverMetaEventsButNotAcrossTracks)
{
    const Bytes track = {0x00, 0x90, 0x3C, 0x64, 0x10, 0x3E, 0x64, 0x00, 0xFF, 0x01, 0x01, 'x',
                         0x10, 0x40, 0x64, 0x00, 0xFF, 0x2F, 0x00};
    Player player = make_player();
    ASSERT_EQ(load(player.get(), midi_fixture::write("running.mid", one_track_file(track))), 0);
    const std::vector<Entry> expected = {
        {1, 0, 0x90, 0, 0x3C, 0x64}, {2, 16, 0x90, 0, 0x3E, 0x64}, {3, 16, 127, 0, 0, 0}, {4, 32, 0x90, 0, 0x40, 0x64}};
    EXPECT_EQ(entries(player.get()), expected);

    const Bytes second = {0x00, 0x3C, 0x64, 0x00, 0xFF, 0x2F, 0x00};
    const Bytes file = midi_fixture::cat({header(1, 2, 96), chunk("MTrk", note_track()), chunk("MTrk", second)});
    Player refused = make_player();
    korvel_test::LogCapture log;
    EXPECT_EQ(load(refused.get(), midi_fixture::write("carried.mid", file)), -1);
    EXPECT_EQ(log.texts(KORVEL_ERR), std::vector<std::string>{"Undefined status and invalid running status."});
    EXPECT_EQ(refused->ntracks, 0);
    EXPECT_EQ(refused->events, nullptr);
}

TEST(MidiFileReader, PassesOverUnknownChunksAndKeepsTheFirst1024Tracks)
{
    const Bytes file = midi_fixture::cat({header(1, 2, 96), chunk("MTrk", note_track()), chunk("XYZW", {1, 2, 3}),
                                          chunk("MTrk", note_track())});
    Player player = make_player();
    ASSERT_EQ(load(player.get(), midi_fixture::write("chunks.mid", file)), 0);
    EXPECT_EQ(player->ntracks, 2);
    EXPECT_EQ(player->event_count, 4);

    std::string csv = "0, 0, Header, 1, 1030, 96\n";
    for (int t = 1; t <= 1030; t++) {
        csv += std::to_string(t) + ", 0, Start_track\n" + std::to_string(t) + ", 0, Note_on_c, 0, " +
               std::to_string(t % 128) + ", 1\n" + std::to_string(t) + ", 0, End_track\n";
    }
    csv += "0, 0, End_of_file\n";
    const std::string many = midi_fixture::from_csv("many", csv);
    ASSERT_FALSE(many.empty());
    Player full = make_player();
    ASSERT_EQ(load(full.get(), many), 0);
    EXPECT_EQ(korvel_player_count_tracks(full.get()), KORVEL_MAX_TRACKS);
    EXPECT_EQ(korvel_player_get_track(full.get(), 1023)->first->param1, 1024u % 128);
    EXPECT_EQ(korvel_player_get_track(full.get(), 1024), nullptr);
}

struct Corrupt {
    const char* name;
    Bytes file;
    int result;
    std::vector<std::string> errors;
};

std::ostream& operator<<(std::ostream& out, const Corrupt& c)
{
    return out << c.name;
}

class CorruptFiles : public ::testing::TestWithParam<Corrupt> {};

TEST_P(CorruptFiles, AreRefusedWithTheirErrorOrReadSafely)
{
    const Corrupt& c = GetParam();
    Player player = make_player();
    korvel_test::LogCapture log;
    EXPECT_EQ(load(player.get(), midi_fixture::write("corrupt.mid", c.file)), c.result);
    EXPECT_EQ(log.texts(KORVEL_ERR), c.errors);
    if (c.result != 0) {
        EXPECT_EQ(player->ntracks, 0);
    }
}

const std::string EOF_LINE = "Unexpected end of file";

INSTANTIATE_TEST_SUITE_P(
    MidiFileReader, CorruptFiles,
    ::testing::Values(
        Corrupt{"empty", {}, -1, {"Doesn't look like a MIDI file: invalid MThd header"}},
        Corrupt{"not_a_header", midi_fixture::cat({chunk("RIFF", {0, 0, 0, 0, 0, 0})}), -1,
                {"Doesn't look like a MIDI file: invalid MThd header"}},
        Corrupt{"header_length_7", midi_fixture::cat({chunk("MThd", {0, 0, 0, 1, 0, 96, 0})}), -1,
                {"Doesn't look like a MIDI file: invalid MThd header"}},
        Corrupt{"format_3", midi_fixture::cat({header(3, 1, 96), chunk("MTrk", note_track())}), -1,
                {"Doesn't look like a MIDI file: invalid MThd header"}},
        Corrupt{"smpte_division", midi_fixture::cat({header(0, 1, 0xE728), chunk("MTrk", note_track())}), -1,
                {"File uses SMPTE timing -- Not implemented yet"}},
        Corrupt{"more_tracks_announced", midi_fixture::cat({header(1, 3, 96), chunk("MTrk", note_track())}), -1,
                {EOF_LINE}},
        Corrupt{"non_ascii_chunk", midi_fixture::cat({header(0, 1, 96), chunk("MT\xF2k", note_track())}), -1,
                {"An non-ascii track header found, currupt file"}},
        Corrupt{"unknown_chunk_past_the_end",
                midi_fixture::cat({header(0, 1, 96), chunk("JUNK", {1, 2}, 0x7FFFFFF0)}), -1,
                {"Failed to seek position in file"}},
        Corrupt{"unknown_chunk_length_above_2g",
                midi_fixture::cat({header(0, 1, 96), chunk("JUNK", {1, 2}, 0xFFFFFFF0)}), -1,
                {"Failed to seek position in file"}},
        Corrupt{"track_length_past_the_end",
                midi_fixture::cat({header(0, 1, 96), chunk("MTrk", note_track(), 0x7FFFFFFF)}), 0, {}},
        Corrupt{"track_without_end", one_track_file({0x00, 0x90, 0x3C, 0x64}), 0, {}},
        Corrupt{"track_length_too_short", midi_fixture::cat({header(0, 1, 96), chunk("MTrk", note_track(), 4)}), 0,
                {}},
        Corrupt{"running_status_without_status", one_track_file({0x00, 0x3C, 0x64, 0x00, 0xFF, 0x2F, 0x00}), -1,
                {"Undefined status and invalid running status."}},
        Corrupt{"five_byte_delta", one_track_file({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 0x3C, 0x64}), -1,
                {"Invalid variable length number"}},
        Corrupt{"huge_meta_length", one_track_file({0x00, 0xFF, 0x01, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}), -1, {EOF_LINE}},
        Corrupt{"meta_length_past_the_end", one_track_file({0x00, 0xFF, 0x03, 0x20, 'a', 'b'}), -1, {EOF_LINE}},
        Corrupt{"huge_sysex_length", one_track_file({0x00, 0xF0, 0xFF, 0xFF, 0xFF, 0x7F, 0x01}), -1, {EOF_LINE}},
        Corrupt{"sysex_length_past_the_end", one_track_file({0x00, 0xF0, 0x05, 0x01, 0xF7}), -1, {EOF_LINE}},
        Corrupt{"note_cut_short", one_track_file({0x00, 0x90, 0x3C}), -1, {EOF_LINE}},
        Corrupt{"tempo_of_two_bytes", one_track_file({0x00, 0xFF, 0x51, 0x02, 0x07, 0xA1, 0x00, 0xFF, 0x2F, 0x00}), -1,
                {"Invalid length for SetTempo meta event."}},
        Corrupt{"end_of_track_with_data", one_track_file({0x00, 0xFF, 0x2F, 0x01, 0x00}), -1,
                {"Invalid length for EndOfTrack event."}},
        Corrupt{"time_signature_of_three", one_track_file({0x00, 0xFF, 0x58, 0x03, 4, 2, 24, 0x00, 0xFF, 0x2F, 0x00}),
                -1, {"Invalid length for TimeSignature meta event."}},
        Corrupt{"key_signature_of_one", one_track_file({0x00, 0xFF, 0x59, 0x01, 0, 0x00, 0xFF, 0x2F, 0x00}), -1,
                {"Invalid length for KeySignature meta event."}},
        Corrupt{"smpte_offset_of_four", one_track_file({0x00, 0xFF, 0x54, 0x04, 0, 0, 0, 0, 0x00, 0xFF, 0x2F, 0x00}), -1,
                {"Invalid length for SMPTE Offset meta event."}},
        Corrupt{"system_common_in_a_track", one_track_file({0x00, 0xF2, 0x00, 0x00, 0x00, 0xFF, 0x2F, 0x00}), -1,
                {"Unrecognized MIDI event."}},
        Corrupt{"huge_denominator_exponent",
                one_track_file({0x00, 0xFF, 0x58, 0x04, 4, 200, 24, 8, 0x00, 0xFF, 0x2F, 0x00}), 0, {}},
        Corrupt{"sysex_escape_read_like_sysex", one_track_file({0x00, 0xF7, 0x02, 0xF8, 0xFA, 0x00, 0xFF, 0x2F, 0x00}), 0,
                {}}),
    [](const ::testing::TestParamInfo<Corrupt>& info) { return std::string(info.param.name); });

TEST(MidiFileReader, EveryTruncationIsRefusedAndEveryByteFlipIsReadSafely)
{
    const std::string path = midi_fixture::from_csv("whole", SONG);
    ASSERT_FALSE(path.empty());
    const Bytes whole = midi_fixture::read(path);
    ASSERT_GT(whole.size(), 100u);
    korvel_test::LogCapture log;
    for (size_t size = 0; size < whole.size(); size++) {
        Player player = make_player();
        const Bytes cut(whole.begin(), whole.begin() + static_cast<long>(size));
        EXPECT_EQ(load(player.get(), midi_fixture::write("cut.mid", cut)), -1) << size;
        EXPECT_EQ(player->ntracks, 0) << size;
    }
    // Whatever a flipped byte makes of the file, the reader gives an answer without reading past its end.
    for (size_t at = 0; at < whole.size(); at++) {
        for (std::uint8_t value : {std::uint8_t{0x00}, std::uint8_t{0x7F}, std::uint8_t{0x80}, std::uint8_t{0xFF}}) {
            Bytes flipped = whole;
            flipped[at] = value;
            Player player = make_player();
            const int result = load(player.get(), midi_fixture::write("flipped.mid", flipped));
            EXPECT_TRUE(result == 0 || result == -1);
        }
    }
}

TEST(MidiFileReader, MissingFileAndDivisionZero)
{
    Player player = make_player();
    korvel_test::LogCapture log;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(korvel_player_load(player.get(), "/nonexistent/none.mid"), -1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "ERROR: Could not open MIDI file.\n");
    EXPECT_EQ(log.texts(KORVEL_ERR), std::vector<std::string>{"Couldn't open the MIDI file"});

    ASSERT_EQ(load(player.get(), midi_fixture::write("zero.mid",
                                                     midi_fixture::cat({header(0, 1, 0), chunk("MTrk", note_track())}))),
              0);
    EXPECT_EQ(player->division, 1u);
}

} // namespace
