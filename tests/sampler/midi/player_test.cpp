// The MIDI-file player driven by its audio clock, block by block, as a renderer would: which events reach the
// capture hooks in which block, at which frame offset and sample time. No wall time is involved.
#include "sampler/src/sys/korvel_log_limit.h"
#include "sampler/src/midi/korvel_player.h"
#include "sampler/src/synth/korvel_synth.h"
#include "tests/sampler/support/midi_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using midi_fixture::Captured;

// 48000 Hz at 120 bpm and 480 ticks per quarter note: 50 samples per tick.
const char* const NOTES = R"(0, 0, Header, 0, 1, 480
1, 0, Start_track
1, 0, Tempo, 1000000
1, 0, Note_on_c, 0, 60, 100
1, 1, Note_off_c, 0, 60, 0
1, 2, Control_c, 3, 7, 90
1, 240, Pitch_bend_c, 1, 8192
1, 480, System_exclusive, 2, 1, 247
1, 480, End_track
0, 0, End_of_file
)";

constexpr int BLOCK = 64;

class Player : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings = new_korvel_settings();
        synth = new_korvel_synth(settings);
        ASSERT_NE(synth, nullptr);
        ASSERT_EQ(synth->sample_rate, 48000.0);
        synth->capture_context = &recorder;
        player = new_korvel_player(synth);
        path = midi_fixture::from_csv("notes", NOTES);
        ASSERT_FALSE(path.empty());
        ASSERT_EQ(korvel_player_add(player, path.c_str()), 0);
        ASSERT_EQ(korvel_player_play(player), 0);
        ASSERT_EQ(player->status, KORVEL_PLAYER_PLAYING);
        ASSERT_EQ(korvel_player_load_next_file(player, 0), 1);
    }

    void TearDown() override
    {
        delete_korvel_player(player);
        delete_korvel_synth(synth);
        delete_korvel_settings(settings);
    }

    // Runs the clock over blocks [from, to) and gives what each block sent, with the block's number as the key.
    std::vector<std::pair<int, Captured>> run(int from, int to)
    {
        std::vector<std::pair<int, Captured>> sent;
        for (int block = from; block < to; block++) {
            recorder.events.clear();
            EXPECT_EQ(korvelsynth_audio_clock(player, static_cast<int64_t>(block) * BLOCK, BLOCK), 0);
            for (const Captured& c : recorder.events) {
                sent.emplace_back(block, c);
            }
        }
        return sent;
    }

    korvel_settings_t* settings = nullptr;
    korvel_synth_t* synth = nullptr;
    korvel_player_t* player = nullptr;
    midi_fixture::Recorder recorder;
    std::string path;
};

TEST_F(Player, SendsEachEventInTheFirstBlockThatReachesItsTick)
{
    // An event of sample time e goes out in the first block whose start s reaches e, at offset e minus the previous
    // block's start, at most the block's last frame. The file's tempo event does not change the speed.
    const std::vector<std::pair<int, Captured>> expected = {
        {0, {0, 0, 0, 0x51, 1000000 & 0xFF, 0, {}}},
        {0, {0, 0, 0, 0x90, 60, 100, {}}},
        {1, {50, 50, 0, 0x80, 60, 0, {}}},
        {2, {100, 36, 3, 0xB0, 7, 90, {}}},
        {188, {12000, 32, 1, 0xE0, 8192 & 0xFF, 0, {}}},
        {375, {24000, BLOCK - 1, 0, 0xF0, 0, 0, {1, 0xF7}}},
    };
    EXPECT_EQ(run(0, 400), expected);
    EXPECT_EQ(player->status, KORVEL_PLAYER_DONE);
    EXPECT_EQ(player->current_file, nullptr);
    EXPECT_EQ(korvel_player_callback(player, 1000), 1);
}

TEST_F(Player, TempoFactorStretchesTheClockAndTheOffsets)
{
    korvel_log_limits_reopen();
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(korvel_player_set_midi_tempo(player, 250000), 0);
    EXPECT_EQ(korvel_player_set_midi_tempo2(player, 60.0), 0);
    EXPECT_EQ(korvel_player_set_midi_tempo2(player, 0.0), 1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "TEMPO: 250000\nTEMPO: 60.000000\nTEMPO: 0.000000\n");
    EXPECT_EQ(player->factor, 0.5);
    EXPECT_EQ(player->bpm, 120.0);
    EXPECT_EQ(player->bpm2, 60.0);

    // At half speed the note-off at sample 50 is reached by the block at 128 (scaled 64), 36 frames after the
    // scaled start of the block before it (32), which is 18 samples of file time.
    const std::vector<std::pair<int, Captured>> sent = run(0, 3);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[2], (std::pair<int, Captured>{2, {50, 36, 0, 0x80, 60, 0, {}}}));
}

TEST_F(Player, WithoutCaptureContextNothingIsSentButTimeGoesOn)
{
    synth->capture_context = nullptr;
    EXPECT_TRUE(run(0, 400).empty());
    EXPECT_EQ(player->status, KORVEL_PLAYER_DONE);
}

// What a file's events come out as, type and first parameter in the order the hooks get them, when the clock runs
// in blocks long enough to hold several ticks.
std::vector<std::pair<int, int>> sentInOrder(const std::string& csv)
{
    korvel_settings_t* settings = new_korvel_settings();
    korvel_synth_t* synth = new_korvel_synth(settings);
    midi_fixture::Recorder recorder;
    synth->capture_context = &recorder;
    korvel_player_t* player = new_korvel_player(synth);
    const std::string path = midi_fixture::from_csv("order", csv);
    EXPECT_EQ(korvel_player_add(player, path.c_str()), 0);
    EXPECT_EQ(korvel_player_load_next_file(player, 0), 1);
    constexpr int LONG_BLOCK = 2048; // about 40 ticks
    for (int block = 0; block < 8; block++) {
        EXPECT_EQ(korvelsynth_audio_clock(player, static_cast<int64_t>(block) * LONG_BLOCK, LONG_BLOCK), 0);
    }
    delete_korvel_player(player);
    delete_korvel_synth(synth);
    delete_korvel_settings(settings);
    std::vector<std::pair<int, int>> sent;
    for (const Captured& c : recorder.events) {
        sent.emplace_back(c.type, c.param1);
    }
    return sent;
}

// Events go out tick by tick across the tracks, and the note-offs of a tick before its other events: a note whose
// note-off falls on its own note-on is released before it starts rather than the moment it starts, as the host
// plays it.
TEST(PlayerOrder, NoteOffsOfATickGoFirstAndTicksGoInOrderAcrossTracks)
{
    struct Case {
        const char* name;
        const char* tracks; // the events of tracks 1 and 2 of a two-track file, 480 ticks a quarter
        std::vector<std::pair<int, int>> sent;
    };
    const Case cases[] = {
        {"a note whose note-off shares its tick", "1, 10, Note_on_c, 0, 60, 100\n1, 10, Note_off_c, 0, 60, 0\n",
         {{0x80, 60}, {0x90, 60}}},
        {"a note-off of a later track at a note-on's tick",
         "1, 10, Note_on_c, 0, 60, 100\n2, 10, Note_off_c, 0, 60, 0\n", {{0x80, 60}, {0x90, 60}}},
        {"the rest of a tick keeps the file's order",
         "1, 10, Control_c, 0, 7, 90\n1, 10, Note_on_c, 0, 60, 100\n1, 10, Note_off_c, 0, 62, 0\n",
         {{0x80, 62}, {0xB0, 7}, {0x90, 60}}},
        {"events of one tick other than note-offs keep the order of their tracks",
         "1, 10, Program_c, 0, 40\n2, 10, Note_on_c, 0, 60, 100\n"
         "2, 12, Program_c, 1, 41\n1, 12, Note_on_c, 1, 62, 100\n",
         {{0xC0, 40}, {0x90, 60}, {0x90, 62}, {0xC0, 41}}},
        {"an earlier tick of a later track goes first",
         "1, 11, Note_on_c, 0, 60, 100\n2, 10, Note_on_c, 0, 64, 100\n", {{0x90, 64}, {0x90, 60}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string track1 = "1, 0, Start_track\n";
        std::string track2 = "2, 0, Start_track\n";
        for (std::string rest = c.tracks; !rest.empty();) {
            const size_t end = rest.find('\n') + 1;
            (rest[0] == '1' ? track1 : track2) += rest.substr(0, end);
            rest.erase(0, end);
        }
        EXPECT_EQ(sentInOrder("0, 0, Header, 1, 2, 480\n" + track1 + "1, 20, End_track\n" + track2 +
                              "2, 20, End_track\n0, 0, End_of_file\n"),
                  c.sent);
    }
}

} // namespace
