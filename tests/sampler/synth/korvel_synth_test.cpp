// The synthesizer object: settings, the sound-font stack, preset resolution for channels, and notes that start
// voices from a generated bank.
#include "sampler/src/synth/korvel_synth.h"
#include "sampler/src/sys/korvel_settings.h"
#include "tests/sampler/support/korvel_log_capture.h"
#include "tests/sampler/support/sf2_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Synth : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings = new_korvel_settings();
        ASSERT_NE(settings, nullptr);
    }

    void TearDown() override
    {
        EXPECT_EQ(delete_korvel_synth(synth), 0);
        delete_korvel_settings(settings);
    }

    void create(int polyphony = 64)
    {
        korvel_settings_setint(settings, "synth.polyphony", polyphony);
        synth = new_korvel_synth(settings);
        ASSERT_NE(synth, nullptr);
    }

    int load(const sf2::Bank& bank, const std::string& name)
    {
        std::string path = sf2::scratch_path(name);
        EXPECT_TRUE(bank.write(path));
        return korvel_synth_sfload(synth, path.c_str(), 1);
    }

    std::string channel_preset(int chan)
    {
        korvel_preset_t* preset = korvel_synth_get_channel_preset(synth, chan);
        return preset != nullptr ? preset->get_name(preset) : "(none)";
    }

    std::vector<korvel_voice_t*> sounding(int id = -1)
    {
        std::vector<korvel_voice_t*> list(static_cast<size_t>(synth->nvoice) + 1);
        korvel_synth_get_voicelist(synth, list.data(), static_cast<int>(list.size()), id);
        std::vector<korvel_voice_t*> out;
        for (korvel_voice_t* v : list) {
            if (v == nullptr) {
                break;
            }
            out.push_back(v);
        }
        return out;
    }

    korvel_settings_t* settings = nullptr;
    korvel_synth_t* synth = nullptr;
};

TEST_F(Synth, DefaultSettingsGiveTheDocumentedShape)
{
    synth = new_korvel_synth(settings);
    ASSERT_NE(synth, nullptr);
    EXPECT_EQ(synth->nvoice, 1024);
    EXPECT_EQ(korvel_synth_count_midi_channels(synth), 16);
    EXPECT_EQ(korvel_synth_count_audio_groups(synth), 16);
    EXPECT_EQ(synth->nbuf, 16);
    EXPECT_EQ(korvel_synth_count_effects_channels(synth), 6);
    EXPECT_EQ(synth->sample_rate, 48000.0);
    EXPECT_EQ(korvel_synth_get_gain(synth), 0.5f);
    EXPECT_EQ(korvel_synth_get_internal_bufsize(synth), 256);
    EXPECT_EQ(synth->state, KORVEL_SYNTH_PLAYING);
    EXPECT_EQ(synth->with_variation[0], 1);
    EXPECT_EQ(synth->variation_fx[0]->type[0], KORVEL_FX_HPFILTER);
    EXPECT_EQ(reinterpret_cast<char*>(synth), synth->resource_path) << "the path buffers come first";
    EXPECT_EQ(synth->soundfont_path - synth->resource_path, KORVEL_PATH_SIZE);
}

TEST_F(Synth, MidiChannelsGrowToAMultipleOfSixteen)
{
    korvel_settings_register_int(settings, "synth.midi-channels", 16, 16, 256, 0, nullptr, nullptr);
    korvel_settings_setint(settings, "synth.midi-channels", 20);
    korvel_test::LogCapture capture;
    create();
    EXPECT_EQ(korvel_synth_count_midi_channels(synth), 32);
    int written = 0;
    korvel_settings_getint(settings, "synth.midi-channels", &written);
    EXPECT_EQ(written, 32);
    EXPECT_EQ(capture.texts(KORVEL_WARN).at(0), "Requested number of MIDI channels is not a multiple of 16. I'll "
                                                "increase the number of channels to the next multiple.");
}

TEST_F(Synth, GainAndReverbPresetsStayInRange)
{
    create();
    korvel_synth_set_gain(synth, 12.0f);
    EXPECT_EQ(korvel_synth_get_gain(synth), 10.0f);
    korvel_synth_setnum(synth, "synth.gain", 2.0);
    EXPECT_EQ(korvel_synth_get_gain(synth), 2.0f) << "the gain setting reaches the synthesizer";
    double room = korvel_synth_get_reverb_roomsize(synth);
    EXPECT_EQ(korvel_synth_set_reverb_preset(synth, 5), -1);
    EXPECT_EQ(korvel_synth_get_reverb_roomsize(synth), room);
    EXPECT_EQ(korvel_synth_set_reverb_preset(synth, 1), 0);
    EXPECT_NEAR(korvel_synth_get_reverb_roomsize(synth), 0.4, 1e-6);
}

TEST_F(Synth, CreationRegistersTheGainAgainWithItsOwnDefaultAndCallback)
{
    create();
    EXPECT_EQ(korvel_synth_get_gain(synth), 0.5f) << "the value read before the new registration";
    EXPECT_EQ(korvel_settings_getnum_default(settings, "synth.gain"), 0.20000000298023224) << "the float 0.2, widened";
    double low = -1.0;
    double high = -1.0;
    korvel_settings_getnum_range(settings, "synth.gain", &low, &high);
    EXPECT_EQ(low, 0.0);
    EXPECT_EQ(high, 10.0);
    korvel_settings_setnum(settings, "synth.gain", 3.5);
    EXPECT_EQ(korvel_synth_get_gain(synth), 3.5f) << "writes of the key go to korvel_synth_update_gain";
}

TEST_F(Synth, ChorusGettersAnswerTheValuesInEffect)
{
    create();
    EXPECT_EQ(korvel_synth_get_chorus_nr(synth), 3);
    EXPECT_EQ(korvel_synth_get_chorus_type(synth), KORVEL_CHORUS_MOD_SINE);
    korvel_synth_set_chorus(synth, 5, KORVEL_CHORUS_MOD_TRIANGLE, 1.5, 2.0, 4.0);
    EXPECT_EQ(korvel_synth_get_chorus_nr(synth), 5);
    EXPECT_DOUBLE_EQ(korvel_synth_get_chorus_level(synth), 1.5);
    EXPECT_DOUBLE_EQ(korvel_synth_get_chorus_speed_Hz(synth), 2.0);
    EXPECT_DOUBLE_EQ(korvel_synth_get_chorus_depth_ms(synth), 4.0);
    EXPECT_EQ(korvel_synth_get_chorus_type(synth), KORVEL_CHORUS_MOD_TRIANGLE);
    korvel_synth_set_chorus(synth, 200, KORVEL_CHORUS_MOD_SINE, 1.0, 9.0, 1.0);
    EXPECT_EQ(korvel_synth_get_chorus_nr(synth), 99) << "the chorus's own limits apply";
    EXPECT_DOUBLE_EQ(korvel_synth_get_chorus_speed_Hz(synth), 5.0);
}

TEST_F(Synth, ChannelsResolveTheirPresetsAndChannelNineChoosesAnyKit)
{
    create();
    EXPECT_EQ(channel_preset(0), "(none)");
    ASSERT_EQ(load(sf2::general_bank(), "general.sf2"), 1);
    EXPECT_EQ(channel_preset(0), "Sine Piano");
    EXPECT_EQ(channel_preset(1), "Split Lead");
    EXPECT_EQ(channel_preset(3), "Sine Piano") << "a missing program falls back to the first preset";
    EXPECT_EQ(channel_preset(9), "Standard Kit");
    EXPECT_EQ(korvel_synth_program_change(synth, 9, 25), 0);
    EXPECT_EQ(channel_preset(9), "Brush Kit");
    EXPECT_EQ(korvel_synth_program_change(synth, 9, 7), 0);
    EXPECT_EQ(channel_preset(9), "Standard Kit");
    EXPECT_EQ(korvel_synth_program_change(synth, 2, 10), 0);
    EXPECT_EQ(channel_preset(2), "Velocity Box");
    EXPECT_EQ(korvel_synth_program_change(synth, 2, 128), 0);
    korvel_test::LogCapture capture;
    EXPECT_EQ(korvel_synth_program_change(synth, 2, 129), -1);
    EXPECT_EQ(capture.texts(KORVEL_ERR), (std::vector<std::string>{"Index out of range (chan=2, prog=129)"}));
}

TEST_F(Synth, TheStackAnswersMostRecentFirstAndKeepsIdentifiersOnReload)
{
    create();
    sf2::Bank other = sf2::general_bank();
    other.presets[1].name = "Other Piano";
    ASSERT_EQ(load(sf2::general_bank(), "first.sf2"), 1);
    ASSERT_EQ(load(other, "second.sf2"), 2);
    EXPECT_EQ(korvel_synth_sfcount(synth), 2);
    EXPECT_EQ(channel_preset(0), "Other Piano");
    EXPECT_EQ(korvel_synth_get_channel_preset(synth, 0)->sfont->id, 2u);
    EXPECT_EQ(korvel_synth_sfunload(synth, 2, 1), 0);
    EXPECT_EQ(channel_preset(0), "Sine Piano");
    EXPECT_EQ(korvel_synth_sfreload(synth, 1), 1);
    EXPECT_EQ(korvel_synth_get_sfont(synth, 0)->id, 1u);
    EXPECT_EQ(channel_preset(0), "Sine Piano");
    EXPECT_EQ(korvel_synth_get_sfont_by_name(synth, sf2::scratch_path("first.sf2").c_str())->id, 1u);
    korvel_test::LogCapture capture;
    EXPECT_EQ(korvel_synth_sfunload(synth, 7, 1), -1);
    EXPECT_EQ(korvel_synth_sfload(synth, sf2::scratch_path("missing.sf2").c_str(), 1), -1);
    std::vector<std::string> errors = capture.texts(KORVEL_ERR);
    EXPECT_EQ(errors.front(), "No SoundFont with id = 7\n");
    EXPECT_EQ(errors.back(), "Failed to load SoundFont \"" + sf2::scratch_path("missing.sf2") + "\"\n");
}

TEST_F(Synth, ABankOffsetShiftsTheBanksOfOneSoundFont)
{
    create();
    ASSERT_EQ(load(sf2::general_bank(), "general.sf2"), 1);
    korvel_synth_set_bank_offset(synth, 1, 10);
    EXPECT_EQ(korvel_synth_get_bank_offset(synth, 1), 10);
    korvel_preset_t* preset = korvel_synth_get_preset(synth, 1, 10, 1);
    ASSERT_NE(preset, nullptr);
    EXPECT_EQ(preset->get_banknum(preset), 0);
    EXPECT_EQ(preset->get_num(preset), 1);
    korvel_synth_remove_bank_offset(synth, 1);
    EXPECT_EQ(korvel_synth_get_bank_offset(synth, 1), 0);
}

TEST_F(Synth, ANoteStartsOneVoicePerSoundingZonePair)
{
    create();
    sf2::Bank bank = sf2::general_bank();
    bank.instruments[1].zones[0].gens[0] = {sf2::KEY_RANGE, static_cast<uint16_t>(0 | (60 << 8))};
    ASSERT_EQ(load(bank, "overlap.sf2"), 1);
    EXPECT_EQ(korvel_synth_noteon(synth, 1, 60, 100), 0);
    std::vector<korvel_voice_t*> voices = sounding();
    ASSERT_EQ(voices.size(), 2u);
    EXPECT_EQ(voices[0]->id, voices[1]->id);
    EXPECT_EQ(voices[0]->key, 60);
    EXPECT_EQ(voices[0]->gen[GEN_SAMPLEMODE].val, 1.0);
    EXPECT_EQ(voices[0]->mod_count, KORVEL_DEFAULT_MOD_COUNT);

    EXPECT_EQ(korvel_synth_noteon(synth, 1, 60, 100), 0) << "the same key again";
    for (korvel_voice_t* v : voices) {
        EXPECT_EQ(v->volenv->section, KORVEL_ENV_RELEASE) << "the first note is released";
    }
    EXPECT_EQ(korvel_synth_noteoff(synth, 1, 60), 0);
    EXPECT_EQ(korvel_synth_noteoff(synth, 1, 61), -1);
}

TEST_F(Synth, HiHatsOfOneExclusiveClassCutEachOther)
{
    create();
    ASSERT_EQ(load(sf2::general_bank(), "general.sf2"), 1);
    ASSERT_EQ(korvel_synth_noteon(synth, 9, 42, 100), 0);
    korvel_voice_t* closed = sounding().at(0);
    ASSERT_EQ(korvel_synth_noteon(synth, 9, 46, 100), 0);
    EXPECT_EQ(closed->volenv->section, KORVEL_ENV_RELEASE);
    EXPECT_EQ(closed->gen[GEN_EXCLUSIVECLASS].val, 0.0);
    EXPECT_EQ(sounding().size(), 2u);
}

TEST_F(Synth, NotesOutOfRangeAreRefused)
{
    create();
    ASSERT_EQ(load(sf2::general_bank(), "general.sf2"), 1);
    korvel_test::LogCapture capture;
    unsigned int before = synth->noteid;
    EXPECT_EQ(korvel_synth_noteon(synth, 16, 60, 100), -1);
    EXPECT_EQ(korvel_synth_noteon(synth, 0, 128, 100), -1);
    EXPECT_EQ(synth->noteid, before + 1) << "the identifier grows all the same";
    EXPECT_EQ(korvel_synth_noteon(synth, 0, 60, 128), -1);
    EXPECT_EQ(capture.texts(KORVEL_WARN),
              (std::vector<std::string>{"Channel out of range", "Key out of range", "Velocity out of range"}));
}

TEST_F(Synth, AFullPoolStealsTheOldestVoice)
{
    create(16);
    ASSERT_EQ(load(sf2::general_bank(), "general.sf2"), 1);
    for (int key = 40; key < 56; key++) {
        ASSERT_EQ(korvel_synth_noteon(synth, 0, key, 100), 0);
    }
    korvel_voice_t* oldest = synth->voice[0];
    EXPECT_EQ(oldest->key, 40);
    ASSERT_EQ(korvel_synth_noteon(synth, 0, 70, 100), 0);
    EXPECT_EQ(oldest->key, 70) << "the oldest note's voice plays the new note";
    EXPECT_EQ(sounding().size(), 16u);
}

TEST_F(Synth, UnloadingASoundingFontReleasesItWithTheSynthesizer)
{
    create();
    ASSERT_EQ(load(sf2::general_bank(), "general.sf2"), 1);
    ASSERT_EQ(korvel_synth_noteon(synth, 0, 60, 100), 0);
    EXPECT_EQ(korvel_synth_sfunload(synth, 1, 1), 0);
    EXPECT_EQ(korvel_synth_sfcount(synth), 0);
    EXPECT_EQ(channel_preset(0), "(none)");
    EXPECT_NE(synth->release_timers, nullptr) << "its sample still sounds";
}

TEST_F(Synth, ChannelGeneratorsReachTheSoundingVoices)
{
    create();
    ASSERT_EQ(load(sf2::general_bank(), "general.sf2"), 1);
    ASSERT_EQ(korvel_synth_noteon(synth, 0, 60, 100), 0);
    ASSERT_EQ(korvel_synth_noteon(synth, 0, 64, 100), 0);
    korvel_voice_t* low = sounding().at(0);
    korvel_voice_t* high = sounding().at(1);
    EXPECT_EQ(korvel_synth_set_gen3(synth, 0, GEN_ATTENUATION, 64, 100.0f), 0);
    EXPECT_EQ(high->gen[GEN_ATTENUATION].nrpn, 100.0);
    EXPECT_EQ(low->gen[GEN_ATTENUATION].nrpn, 0.0);
    EXPECT_EQ(korvel_synth_get_gen(synth, 0, GEN_ATTENUATION), 0.0f) << "per-key values leave the channel alone";
    EXPECT_EQ(korvel_synth_set_gen(synth, 0, GEN_ATTENUATION, 50.0f), 0);
    EXPECT_EQ(low->gen[GEN_ATTENUATION].nrpn, 50.0);
    EXPECT_EQ(high->gen[GEN_ATTENUATION].nrpn, 50.0);
    EXPECT_EQ(korvel_synth_get_gen(synth, 0, GEN_ATTENUATION), 50.0f);
    ASSERT_EQ(korvel_synth_noteon(synth, 0, 67, 100), 0);
    EXPECT_EQ(sounding().at(2)->gen[GEN_ATTENUATION].nrpn, 50.0) << "later notes take the channel's offset";
}

TEST_F(Synth, TuningsAndGeneratorsCheckTheirArguments)
{
    create();
    korvel_test::LogCapture capture;
    EXPECT_EQ(korvel_synth_select_tuning(synth, 0, 0, 0), -1);
    EXPECT_EQ(korvel_synth_set_gen(synth, 0, 106, 1.0f), -1);
    EXPECT_EQ(korvel_synth_set_gen(synth, 16, 8, 1.0f), -1);
    EXPECT_EQ(capture.texts(KORVEL_WARN), (std::vector<std::string>{"No tuning at bank 0, prog 0",
                                                                   "Parameter number out of range",
                                                                   "Channel out of range"}));
    ASSERT_EQ(korvel_synth_create_key_tuning(synth, 0, 0, "t", nullptr), 0);
    EXPECT_EQ(korvel_synth_select_tuning(synth, 3, 0, 0), 0);
    EXPECT_NE(synth->channel[3]->tuning, nullptr);
    EXPECT_EQ(korvel_synth_reset_tuning(synth, 3), 0);
    EXPECT_EQ(synth->channel[3]->tuning, nullptr);
    EXPECT_EQ(korvel_synth_set_gen2(synth, 2, GEN_FILTERFC, 1, 1, 0.5f), 0);
    EXPECT_EQ(korvel_synth_get_gen(synth, 2, GEN_FILTERFC), 7500.0f);
    EXPECT_EQ(synth->channel[2]->gen_abs[GEN_FILTERFC], 1);
}

} // namespace
