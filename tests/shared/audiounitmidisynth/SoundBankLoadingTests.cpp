// Loading sound banks into the synthesizer by number (from the resources folder) and by file.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/shared/audiounitmidisynth/WrapperFixture.h"

namespace midisynth_test {
namespace {

using ::testing::ElementsAre;

TEST_F(WrapperTest, EachBankNumberLoadsItsFileWithOneAndTwoCrossed) {
    const struct {
        int number;
        const char* file;
    } cases[] = {
        {0, "gs_instruments.dls"}, {1, "soundfont2.sf2"},     {2, "soundfont1.sf2"},     {3, "gs_instruments.dls"},
        {4, "gs_instruments.dls"}, {5, "gs_instruments.dls"}, {6, "soundfont6.sf2"},     {7, "soundfont7.sf2"},
        {8, "gs_instruments.dls"}, {9, "soundfont9.sf2"},     {10, "gs_instruments.dls"}, {-1, "gs_instruments.dls"},
    };
    for (const auto& c : cases) {
        synth().calls.clear();
        wrapper->loadSoundFont(c.number);
        EXPECT_THAT(synth().calls, ElementsAre(std::string("1100 ") + c.file)) << "bank number " << c.number;
    }
    EXPECT_FALSE(wrapper->currentSoundfont.has_value());
}

TEST_F(WrapperTest, LoadedBankIsLoggedWithItsURL) {
    wrapper->loadSoundFont(1);
    EXPECT_THAT(drainedLines(), ElementsAre("AudioUnitMIDISynth: The soundfont at file://" +
                                            (resources.path() / "soundfont2.sf2").string() +
                                            " was successfully loaded."));
    EXPECT_EQ(wrapper->lastSoundBankLoad.bank, resources.path() / "soundfont2.sf2");
    EXPECT_EQ(wrapper->lastSoundBankLoad.status, foundation::noErr);
}

TEST_F(WrapperTest, MissingBankFileIsLoggedAndReportedAndKeepsTheBankBefore) {
    std::filesystem::remove(resources.path() / "soundfont7.sf2");
    wrapper->loadSoundFont(1);
    wrapper->loadSoundFont(7);
    EXPECT_THAT(synth().calls, ElementsAre("1100 soundfont2.sf2"));
    EXPECT_EQ(drainedLines().back(), "AudioUnitMIDISynth::ERROR: The soundfont could not be found.");
    // The earlier bank still plays, and the missing one is what the last load reports.
    EXPECT_EQ(wrapper->lastSoundBankLoad.bank, resources.path() / "soundfont7.sf2");
    EXPECT_EQ(wrapper->lastSoundBankLoad.status, foundation::kAudio_FileNotFoundError);
}

TEST_F(WrapperTest, MissingResourcesFolderFindsNoBank) {
    environment.set("TUNEDECK_RESOURCES", (resources.path() / "absent").string());
    wrapper->loadSoundFont(0);
    EXPECT_TRUE(synth().calls.empty());
    EXPECT_THAT(drainedLines(), ElementsAre("AudioUnitMIDISynth::ERROR: The soundfont could not be found."));
    EXPECT_EQ(wrapper->lastSoundBankLoad.bank, "gs_instruments.dls");
    EXPECT_EQ(wrapper->lastSoundBankLoad.status, foundation::kAudio_FileNotFoundError);
}

TEST_F(WrapperTest, RefusedBankFileAnswersFalseAndLogsTheStatus) {
    synth().bankStatus = foundation::kAudio_FileNotFoundError;
    EXPECT_FALSE(wrapper->loadSoundFont(resources.path() / "none.sf2"));
    EXPECT_THAT(synth().calls, ElementsAre("1100 none.sf2"));
    EXPECT_THAT(drainedLines(), ElementsAre("error -43"));
    EXPECT_EQ(wrapper->lastSoundBankLoad.bank, resources.path() / "none.sf2");
    EXPECT_EQ(wrapper->lastSoundBankLoad.status, foundation::kAudio_FileNotFoundError);
}

}  // namespace
}  // namespace midisynth_test
