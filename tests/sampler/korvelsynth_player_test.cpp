// The player through the instance interface: MIDI files given at initialisation or loaded later, the player calls
// with their answers for a missing player, and the tempo events of the dispatcher.
#include "sampler/src/sys/korvel_log_limit.h"
#include "sampler/src/korvelsynth.h"
#include "tests/sampler/support/midi_fixture.h"
#include "tests/sampler/support/sf2_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* const TUNE = R"(0, 0, Header, 0, 1, 96
1, 0, Start_track
1, 0, Note_on_c, 2, 64, 80
1, 48, Note_off_c, 2, 64, 0
1, 96, End_track
0, 0, End_of_file
)";

class InstancePlayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = sf2::scratch_path("");
        bank = sf2::scratch_path("bank.sf2");
        ASSERT_TRUE(sf2::general_bank().write(bank));
        tune = midi_fixture::from_csv("tune", TUNE);
        ASSERT_FALSE(tune.empty());
    }

    void TearDown() override
    {
        ::testing::internal::CaptureStdout();
        KorvelFinalize(ID);
        ::testing::internal::GetCapturedStdout();
    }

    int init(std::vector<std::string> args)
    {
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        const int result = korvelsynth_main_initialize(static_cast<int>(argv.size()), argv.data(), ID);
        out = ::testing::internal::GetCapturedStdout();
        ::testing::internal::GetCapturedStderr();
        return result;
    }

    static constexpr unsigned int ID = 4711;
    std::string folder;
    std::string bank;
    std::string tune;
    std::string out;
};

TEST_F(InstancePlayer, MidiFilesAmongTheArgumentsGoToAStartedPlayer)
{
    ASSERT_EQ(init({folder, bank, "-quiet", tune, bank, tune}), 0);
    korvel_player_t* player = KorvelGetPlayer(ID);
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->status, KORVEL_PLAYER_PLAYING);
    EXPECT_EQ(korvel_list_size(player->playlist), 2);
    const std::string added = "Soundfont Synthesizer: Eine MIDI Datei wurde dem Sequencer hinzugefügt. \n";
    const std::string expected_tail =
        "Soundfont Synthesizer: Die Argumente für den MIDI Sequencer werden geparst... \n" + added + added +
        "Soundfont Synthesizer: Der MIDI Sequenzer wird abgespielt... \n"
        "Soundfont Synthesizer: Der Synthesizer wurde erfolgreich initialisiert. \n";
    EXPECT_NE(out.find(expected_tail), std::string::npos) << out;

    // Nothing plays until the next file of the play list is loaded.
    EXPECT_EQ(korvelsynth_get_events(player), nullptr);
    EXPECT_EQ(korvelsynth_player_load_next(player), 1);
    ASSERT_NE(korvelsynth_get_events(player), nullptr);
    EXPECT_EQ(korvel_list_size(player->playlist), 1);

    ::testing::internal::CaptureStdout();
    EXPECT_EQ(KorvelFinalize(ID), 0);
    EXPECT_NE(::testing::internal::GetCapturedStdout().find(
                  "Soundfont Synthesizer: Der interne Sequenzer wurde gelöscht. \n"),
              std::string::npos);
}

TEST_F(InstancePlayer, WithoutMidiFilesThereIsNoPlayer)
{
    ASSERT_EQ(init({folder, bank}), 0);
    EXPECT_EQ(KorvelGetPlayer(ID), nullptr);
    EXPECT_EQ(KorvelGetPlayer(ID + 1), nullptr);
}

TEST_F(InstancePlayer, LoadFileReplacesThePlayerAndListsTheEvents)
{
    ASSERT_EQ(init({folder, bank}), 0);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(korvelsynth_load_file(ID, tune.c_str()), 0);
    korvel_player_t* first = KorvelGetPlayer(ID);
    EXPECT_EQ(korvelsynth_load_file(ID, tune.c_str()), 0);
    const std::string said = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("Soundfont Synthesizer: Der interne Sequenzer wurde finalisiert. \n"), std::string::npos);
    EXPECT_NE(first, nullptr);

    korvel_player_t* player = KorvelGetPlayer(ID);
    std::vector<std::vector<int>> events;
    for (const korvel_player_event_t* e = korvelsynth_get_events(player); e != nullptr; e = e->next) {
        events.push_back({static_cast<int>(e->global_index), static_cast<int>(e->time), e->type, e->channel,
                          static_cast<int>(e->param1), static_cast<int>(e->param2)});
    }
    const std::vector<std::vector<int>> expected = {{1, 0, 0x90, 2, 64, 80}, {2, 48, 0x80, 2, 64, 0}};
    EXPECT_EQ(events, expected);

    // 48000 Hz, 120 bpm, 96 ticks per quarter: 250 samples per tick.
    EXPECT_EQ(korvelsynth_audio_clock(player, 12000, 256), 0);
    EXPECT_EQ(korvelsynth_player_position(player), 48);
    EXPECT_EQ(korvelsynth_player_position2(player), 12000);
    korvelsynth_player_seek(player, 10);
    EXPECT_EQ(korvelsynth_player_position2(player), 2500);
}

TEST_F(InstancePlayer, AFileThatCannotBeReadIsAFailure)
{
    ASSERT_EQ(init({folder, bank}), 0);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(korvelsynth_load_file(ID, (folder + "/missing.mid").c_str()), 1);
    EXPECT_EQ(korvelsynth_load_file(ID + 1, tune.c_str()), 1);
    const std::string said = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("ERROR: Could not open MIDI file.\n"), std::string::npos);
    EXPECT_NE(said.find("Soundfont Synthesizer: Instance assignment failed.\n"), std::string::npos);
    ASSERT_NE(KorvelGetPlayer(ID), nullptr);
    EXPECT_EQ(korvelsynth_get_events(KorvelGetPlayer(ID)), nullptr);
}

TEST_F(InstancePlayer, PlayerCallsAnswerANullPlayer)
{
    EXPECT_EQ(korvelsynth_player_load_next(nullptr), -1);
    EXPECT_EQ(korvelsynth_player_get_tempo(nullptr), 120.0);
    EXPECT_EQ(korvelsynth_player_get_tempo2(nullptr), 120.0);
    EXPECT_EQ(korvelsynth_player_position(nullptr), -1);
    EXPECT_EQ(korvelsynth_player_position2(nullptr), -1);
    EXPECT_EQ(korvelsynth_get_events(nullptr), nullptr);
    korvelsynth_player_set_tempo(nullptr, 90.0f);
    korvelsynth_player_seek(nullptr, 5);

    korvel_log_limits_reopen();
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(korvelsynth_audio_clock(nullptr, 0, 64), -1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "ERROR: (audio clock) Player not initialized.\n");
}

TEST_F(InstancePlayer, TempoSetsTheSecondTempo)
{
    ASSERT_EQ(init({folder, bank, tune}), 0);
    korvel_player_t* player = KorvelGetPlayer(ID);
    ::testing::internal::CaptureStdout();
    korvelsynth_player_set_tempo(player, 90.0f);
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(korvelsynth_player_get_tempo(player), 120.0);
    EXPECT_EQ(korvelsynth_player_get_tempo2(player), 90.0);
    EXPECT_EQ(player->factor, 0.75);
}

TEST_F(InstancePlayer, TempoMessagesGoToThePlayerWhenThereIsOne)
{
    ASSERT_EQ(init({folder, bank}), 0);
    korvel_log_limits_reopen();
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(korvelsynth_midi_short_message(ID, 0x51, 100, 0), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");

    ::testing::internal::CaptureStdout();
    ASSERT_EQ(korvelsynth_load_file(ID, tune.c_str()), 0);
    ::testing::internal::GetCapturedStdout();
    korvel_player_t* player = KorvelGetPlayer(ID);
    EXPECT_EQ(player->tempo_locked, 0);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(korvelsynth_midi_short_message(ID, 0x50, 100, 0), 0);
    EXPECT_EQ(korvelsynth_midi_short_message(ID, 0x51, 101, 0), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "TEMPO: 100\nTEMPO: 101\n");
    EXPECT_EQ(player->tempo_locked, 1);
    EXPECT_EQ(player->bpm, 120.0);
}

} // namespace
