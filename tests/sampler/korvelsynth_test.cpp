// The instance table and the lifecycle of the flat interface.
#include "sampler/src/korvelsynth.h"
#include "tests/sampler/support/sf2_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

class Instances : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = sf2::scratch_path("");
        bank = sf2::scratch_path("bank.sf2");
        ASSERT_TRUE(sf2::general_bank().write(bank));
    }

    // Initialises quietly; the progress lines are checked where they matter.
    int init(unsigned int id, const std::string& path)
    {
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        int result = KorvelInitialize(folder.c_str(), path.c_str(), id);
        out = ::testing::internal::GetCapturedStdout();
        err = ::testing::internal::GetCapturedStderr();
        return result;
    }

    int finalize(unsigned int id)
    {
        ::testing::internal::CaptureStdout();
        int result = KorvelFinalize(id);
        out = ::testing::internal::GetCapturedStdout();
        return result;
    }

    std::string folder;
    std::string bank;
    std::string out;
    std::string err;
};

TEST_F(Instances, SixteenSlotsAndTheSeventeenthWaits)
{
    for (unsigned int id = 1; id <= 16; id++) {
        ASSERT_EQ(init(id, bank), 0) << id;
    }
    EXPECT_EQ(init(17, bank), -1);
    EXPECT_NE(out.find("Soundfont Synthesizer: Instance initialization failed.\n"), std::string::npos);
    EXPECT_EQ(finalize(5), 0);
    EXPECT_EQ(init(17, bank), 0);
    for (unsigned int id = 1; id <= 17; id++) {
        if (id != 5) {
            EXPECT_EQ(finalize(id), 0) << id;
        }
    }
}

TEST_F(Instances, ALiveIdentifierIsNotGivenTwice)
{
    ASSERT_EQ(init(3, bank), 0);
    korvel_synth_t* first = KorvelGetSynth(3);
    EXPECT_EQ(init(3, bank), -1);
    EXPECT_NE(out.find("Soundfont Synthesizer: Instance initialization failed.\n"), std::string::npos);
    EXPECT_EQ(KorvelGetSynth(3), first);
    EXPECT_EQ(finalize(3), 0);
    EXPECT_EQ(KorvelGetSynth(3), nullptr);
    EXPECT_EQ(finalize(3), -1);
    EXPECT_NE(out.find("Soundfont Synthesizer: Instance finalization failed.\n"), std::string::npos);
}

TEST_F(Instances, TheSynthesizerIsReachableUntilItsInstanceIsFinalised)
{
    ASSERT_EQ(init(8, bank), 0);
    EXPECT_NE(out.find("Soundfont Synthesizer: Der Synthesizer wurde erfolgreich initialisiert. \n"),
              std::string::npos);
    korvel_synth_t* synth = KorvelGetSynth(8);
    ASSERT_NE(synth, nullptr);
    EXPECT_EQ(sharedInstance, synth);
    EXPECT_EQ(synth->instance_id, 8u);
    EXPECT_STREQ(synth->resource_path, folder.c_str());
    EXPECT_STREQ(korvel_resource_location(), folder.c_str());
    EXPECT_EQ(korvel_synth_sfcount(synth), 1);
    EXPECT_EQ(finalize(8), 0);
    EXPECT_EQ(sharedInstance, nullptr);
    EXPECT_NE(out.find("Soundfont Synthesizer: Der Synthesizer wurde erfolgreich finalisiert. \n"),
              std::string::npos);
}

TEST_F(Instances, AMissingSoundFontLeavesAWorkingInstanceWithoutPresets)
{
    std::string missing = sf2::scratch_path("missing.sf2");
    ASSERT_EQ(init(4, missing), 0);
    EXPECT_NE(err.find("FEHLER: Der Soundfont '" + missing + "' konnte nicht geladen werden.\n"), std::string::npos);
    korvel_synth_t* synth = KorvelGetSynth(4);
    ASSERT_NE(synth, nullptr);
    EXPECT_EQ(korvel_synth_sfcount(synth), 0);
    EXPECT_EQ(korvel_synth_noteon(synth, 0, 60, 100), -1);
    EXPECT_EQ(finalize(4), 0);
}

TEST_F(Instances, NotesOffReachTheInstanceOrSayItIsMissing)
{
    ASSERT_EQ(init(2, bank), 0);
    korvel_synth_t* synth = KorvelGetSynth(2);
    ASSERT_EQ(korvel_synth_noteon(synth, 0, 60, 100), 0);
    korvel_voice_t* voice = synth->voice[0];
    EXPECT_EQ(korvelsynth_all_notes_off(2, 0), 0);
    EXPECT_EQ(voice->volenv->section, KORVEL_ENV_RELEASE);
    EXPECT_EQ(korvelsynth_all_sounds_off(2), 0);
    EXPECT_EQ(voice->status, KORVEL_VOICE_OFF);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(korvelsynth_all_notes_off_all(99), -1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Soundfont Synthesizer: Instance assignment failed.\n");
    EXPECT_EQ(finalize(2), 0);
}

TEST_F(Instances, TheFirstSoundFontIsEditedThroughTheInstance)
{
    ASSERT_EQ(init(9, bank), 0);
    korvel_synth_t* synth = KorvelGetSynth(9);
    auto* loaded = static_cast<korvel_defsfont_t*>(korvel_synth_get_sfont(synth, 0)->data);
    unsigned int piano_uid = korvel_defsfont_get_preset(loaded, 0, 0)->uid;
    EXPECT_STREQ(KorvelGetPreset(9, piano_uid)->name, "Sine Piano");
    EXPECT_EQ(KorvelGetPreset(9, piano_uid + 1000), nullptr);
    unsigned int inst_uid = static_cast<korvel_inst_t*>(loaded->inst->data)->uid;
    EXPECT_STREQ(KorvelGetInstrument(9, inst_uid)->name, "Sine Inst");

    ::testing::internal::CaptureStdout();
    EXPECT_EQ(korvelsynth_create_soundbank(9), 2);
    int sample_uid = korvelsynth_create_sample(9);
    int preset_uid = korvelsynth_create_preset(9);
    EXPECT_EQ(korvelsynth_get_preset_on_channel(9), nullptr);
    EXPECT_EQ(korvelsynth_get_preset_on_channel_xml(9), nullptr);
    EXPECT_EQ(korvelsynth_create_instrument(42), -1);
    out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Soundfont Synthesizer: Ein Soundfont wurde erstellt. "), std::string::npos);
    EXPECT_NE(out.find("Soundfont Synthesizer: Not implemented yet.\n"), std::string::npos);
    EXPECT_NE(out.find("Soundfont Synthesizer: Instance assignment failed.\n"), std::string::npos);
    ASSERT_GT(sample_uid, 0);
    EXPECT_EQ(KorvelGetSample(9, static_cast<unsigned int>(sample_uid))->uid, static_cast<unsigned int>(sample_uid));
    EXPECT_NE(korvelsynth_get_preset_with_id(9, static_cast<unsigned int>(preset_uid)), nullptr);
    EXPECT_EQ(KorvelGetPreset(9, piano_uid), nullptr) << "the new empty bank is the first sound font now";
    EXPECT_EQ(korvel_synth_sfcount(synth), 2);
    EXPECT_EQ(finalize(9), 0);
}

TEST_F(Instances, TheChannelSetupNeedsAnInstance)
{
    ASSERT_EQ(init(10, bank), 0);
    const char* text = korvelsynth_get_channel_setup(10);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(korvelsynth_get_last_buffersize(10), static_cast<int>(std::string(text).size()) + 1);
    EXPECT_EQ(finalize(10), 0);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(korvelsynth_get_channel_setup(10), nullptr);
    EXPECT_EQ(korvelsynth_get_last_buffersize(10), -1);
    ::testing::internal::GetCapturedStdout();
}

int threads()
{
    int count = 0;
    for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        count++;
    }
    return count;
}

TEST_F(Instances, UnloadReloadAndFinaliseLeaveNoThreadBehind)
{
    const int before = threads();
    ASSERT_EQ(init(6, bank), 0);
    korvel_synth_t* synth = KorvelGetSynth(6);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(korvel_synth_sfreload(synth, 1), 1);
    ASSERT_EQ(korvel_synth_noteon(synth, 0, 60, 100), 0);
    EXPECT_EQ(korvel_synth_sfunload(synth, 1, 1), 0);
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(threads(), before + 1) << "the busy sound font waits on its release timer";
    EXPECT_EQ(finalize(6), 0);
    EXPECT_EQ(threads(), before);
}

} // namespace
