// Notes and voices: the steal order of a full pool, exclusive classes, and notes started and stopped by identifier.
#include "sampler/src/sys/korvel_settings.h"
#include "sampler/src/synth/korvel_synth.h"
#include "sampler/src/synth/korvel_synth_midi.h"
#include "tests/sampler/support/sf2_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int POOL = 16; // the smallest polyphony the settings allow

class SynthNotes : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings = new_korvel_settings();
        korvel_settings_setint(settings, "synth.polyphony", POOL);
        synth = new_korvel_synth(settings);
        ASSERT_NE(synth, nullptr);
        const std::string path = sf2::scratch_path("general.sf2");
        ASSERT_TRUE(sf2::general_bank().write(path));
        ASSERT_EQ(korvel_synth_sfload(synth, path.c_str(), 1), 1);
    }

    void TearDown() override
    {
        delete_korvel_synth(synth);
        delete_korvel_settings(settings);
    }

    // The sounding voices of the key on the channel.
    std::vector<korvel_voice_t*> voices_of(int chan, int key)
    {
        std::vector<korvel_voice_t*> out;
        for (int i = 0; i < synth->nvoice; i++) {
            korvel_voice_t* v = synth->voice[i];
            if (korvel_voice_is_playing(v) && v->chan == chan && v->key == key) {
                out.push_back(v);
            }
        }
        return out;
    }

    korvel_settings_t* settings = nullptr;
    korvel_synth_t* synth = nullptr;
};

TEST_F(SynthNotes, AFullPoolGivesUpTheVoiceWithTheLowestScore)
{
    struct Case {
        const char* name;
        std::function<void(korvel_voice_t**)> arrange; // on the pool, voice i playing note i
        int stolen;
    };
    auto past_attack = [](korvel_voice_t** v, int i, float value) {
        v[i]->volenv->section = KORVEL_ENV_DECAY;
        v[i]->volenv->value = value;
    };
    const Case cases[] = {
        {"the oldest note", [](korvel_voice_t**) {}, 0},
        {"a sustained voice before older ones", [](korvel_voice_t** v) { v[5]->status = KORVEL_VOICE_SUSTAINED; }, 5},
        {"the drum channel last", [](korvel_voice_t** v) { v[0]->chan = KORVEL_DRUM_CHANNEL; }, 1},
        {"a voice without channel first", [](korvel_voice_t** v) { v[7]->chan = KORVEL_NO_CHANNEL; }, 7},
        {"an attack before a louder voice past it",
         [&](korvel_voice_t** v) {
             for (int i = 0; i < POOL; i++) {
                 past_attack(v, i, 1.0f);
             }
             v[3]->volenv->section = KORVEL_ENV_ATTACK;
         },
         3},
        {"a quiet voice past its attack",
         [&](korvel_voice_t** v) {
             for (int i = 0; i < POOL; i++) {
                 past_attack(v, i, 1.0f);
             }
             past_attack(v, 10, 0.2f);
         },
         10},
        {"the earlier of two equal scores",
         [](korvel_voice_t** v) {
             v[0]->chan = KORVEL_DRUM_CHANNEL;
             v[1]->chan = KORVEL_DRUM_CHANNEL;
             v[3]->id = v[2]->id;
         },
         2},
        {"a free voice at once", [](korvel_voice_t** v) { korvel_voice_off(v[4]); }, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        korvel_synth_all_sounds_off_all(synth);
        for (int key = 40; key < 40 + POOL; key++) {
            ASSERT_EQ(korvel_synth_noteon(synth, 0, key, 100), 0);
        }
        std::vector<korvel_voice_t*> pool;
        for (int key = 40; key < 40 + POOL; key++) {
            ASSERT_EQ(voices_of(0, key).size(), 1u);
            pool.push_back(voices_of(0, key)[0]);
        }
        c.arrange(pool.data());
        korvel_voice_t* stolen = korvel_synth_free_voice_by_kill(synth);
        EXPECT_EQ(stolen, pool[static_cast<size_t>(c.stolen)]);
        for (int i = 0; i < POOL; i++) {
            EXPECT_EQ(korvel_voice_is_playing(pool[static_cast<size_t>(i)]) != 0, i != c.stolen) << "voice " << i;
        }
    }
}

TEST_F(SynthNotes, ExclusiveClassesCutOtherNotesOfTheirChannel)
{
    struct Case {
        const char* name;
        int first_chan;
        int first_key;
        int second_chan;
        int second_key;
        bool cut;
    };
    const Case cases[] = {
        {"open hat cuts closed hat", 9, 42, 9, 46, true},
        {"closed hat cuts open hat", 9, 46, 9, 42, true},
        {"a hat again cuts the first", 9, 42, 9, 42, true},
        {"the kick has no class", 9, 42, 9, 36, false},
        {"another channel's hat", 9, 42, 3, 46, false},
    };
    ASSERT_EQ(korvel_synth_bank_select(synth, 3, 128), 0);
    ASSERT_EQ(korvel_synth_program_change(synth, 3, 0), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        korvel_synth_all_sounds_off_all(synth);
        ASSERT_EQ(korvel_synth_noteon(synth, c.first_chan, c.first_key, 100), 0);
        korvel_voice_t* first = voices_of(c.first_chan, c.first_key).at(0);
        ASSERT_EQ(korvel_synth_noteon(synth, c.second_chan, c.second_key, 100), 0);
        EXPECT_EQ(first->volenv->section == KORVEL_ENV_RELEASE, c.cut);
    }
}

TEST_F(SynthNotes, VoicesOfOneNoteNeverCutEachOther)
{
    korvel_preset_t* kit = korvel_synth_get_channel_preset(synth, 9);
    ASSERT_EQ(korvel_synth_start(synth, 500, kit, 0, 9, 42, 100), 0);
    ASSERT_EQ(korvel_synth_start(synth, 500, kit, 0, 9, 46, 100), 0);
    EXPECT_EQ(voices_of(9, 42).at(0)->volenv->section, KORVEL_ENV_DELAY) << "the same identifier";
    ASSERT_EQ(korvel_synth_start(synth, 501, kit, 0, 9, 46, 100), 0);
    EXPECT_EQ(voices_of(9, 42).at(0)->volenv->section, KORVEL_ENV_RELEASE);
}

TEST_F(SynthNotes, NotesStartedUnderAnIdentifierStopTogether)
{
    korvel_preset_t* piano = korvel_synth_get_channel_preset(synth, 0);
    const unsigned int counter = synth->noteid;
    ASSERT_EQ(korvel_synth_start(synth, 77, piano, 0, 0, 60, 100), 0);
    ASSERT_EQ(korvel_synth_start(synth, 77, piano, 0, 0, 64, 100), 0);
    ASSERT_EQ(korvel_synth_start(synth, 78, piano, 0, 0, 67, 100), 0);
    EXPECT_EQ(synth->noteid, counter) << "the counter is left alone";
    EXPECT_EQ(voices_of(0, 60).at(0)->id, 77u);
    EXPECT_EQ(korvel_synth_start(synth, 79, piano, 0, 0, 128, 100), -1);
    EXPECT_EQ(korvel_synth_start(synth, 79, piano, 0, 16, 60, 100), -1);
    EXPECT_EQ(korvel_synth_start(synth, 79, nullptr, 0, 0, 60, 100), -1);

    EXPECT_EQ(korvel_synth_stop(synth, 77), 0);
    EXPECT_EQ(voices_of(0, 60).at(0)->volenv->section, KORVEL_ENV_RELEASE);
    EXPECT_EQ(voices_of(0, 64).at(0)->volenv->section, KORVEL_ENV_RELEASE);
    EXPECT_LT(voices_of(0, 67).at(0)->volenv->section, KORVEL_ENV_RELEASE);
    EXPECT_EQ(korvel_synth_stop(synth, 77), -1) << "already released";
    EXPECT_EQ(korvel_synth_stop(synth, 90), -1);
}

TEST_F(SynthNotes, VelocityZeroIsANoteOff)
{
    EXPECT_EQ(korvel_synth_noteon(synth, 0, 60, 0), -1) << "nothing to release";
    ASSERT_EQ(korvel_synth_noteon(synth, 0, 60, 100), 0);
    EXPECT_EQ(korvel_synth_noteon(synth, 0, 60, 0), 0);
    EXPECT_EQ(voices_of(0, 60).at(0)->volenv->section, KORVEL_ENV_RELEASE);
}

} // namespace
