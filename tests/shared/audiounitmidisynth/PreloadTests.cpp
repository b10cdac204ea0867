// Preloading programs: the preload switch around bank selects and program changes, in order, with their log lines.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/shared/audiounitmidisynth/WrapperFixture.h"

namespace midisynth_test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr const char* kMelodicDone = "AudioUnitMIDISynth::Sound patch(es) (melodic) was/where preloaded.";
constexpr const char* kRhythmicDone = "AudioUnitMIDISynth::Sound patch(es) (rhythmic) was/where preloaded.";
constexpr const char* kPatchFailed = "AudioUnitMIDISynth::ERROR: A patch could not be preloaded. -50";

TEST_F(WrapperTest, PreloadPatchesSelectsTheBankBeforeEveryProgram) {
    wrapper->preloadPatches(3, {0, 5, 300}, 1, 2);
    EXPECT_THAT(synth().calls, ElementsAre("4119 1",                               //
                                           "B3 00 01", "B3 20 02", "C3 00 00",     //
                                           "B3 00 01", "B3 20 02", "C3 05 00",     //
                                           "B3 00 01", "B3 20 02", "C3 12C 00",    // the number is passed whole
                                           "4119 0"));
    EXPECT_THAT(drainedLines(), ElementsAre(kMelodicDone));
}

TEST_F(WrapperTest, PreloadPatches2SendsProgramChangesOnTheRhythmChannel) {
    wrapper->preloadPatches2({0, 25});
    EXPECT_THAT(synth().calls, ElementsAre("4119 1", "C9 00 00", "C9 19 00", "4119 0"));
    EXPECT_THAT(drainedLines(), ElementsAre(kRhythmicDone));
}

TEST_F(WrapperTest, EmptyPatchListStillSwitchesPreloadingOnAndOff) {
    wrapper->preloadPatches(0, {}, 0, 0);
    wrapper->preloadPatches2({});
    EXPECT_THAT(synth().calls, ElementsAre("4119 1", "4119 0", "4119 1", "4119 0"));
    EXPECT_THAT(drainedLines(), ElementsAre(kMelodicDone, kRhythmicDone));
}

TEST_F(WrapperTest, AFailingProgramIsLoggedAndTheOthersAreStillPreloaded) {
    synth().failingProgram = 5;
    wrapper->preloadPatches(0, {4, 5, 6}, 0, 0);
    wrapper->preloadPatches2({5, 6});
    EXPECT_EQ(synth().calls.back(), "4119 0");
    EXPECT_EQ(std::count(synth().calls.begin(), synth().calls.end(), "C0 06 00"), 1);
    EXPECT_EQ(std::count(synth().calls.begin(), synth().calls.end(), "C9 06 00"), 1);
    EXPECT_THAT(drainedLines(), ElementsAre(kPatchFailed, kMelodicDone, kPatchFailed, kRhythmicDone));
}

// The bank select goes on the channel of the program change it belongs to, so that a kit preloaded on the rhythm
// channel is looked up in the bank selected for it.
TEST_F(WrapperTest, PreloadPatchSendsItsBankSelectOnTheProgramChangeChannel) {
    const struct {
        uint8_t msb, lsb, patch, channel;
        std::vector<std::string> messages;
        const char* line;
    } cases[] = {
        {120, 0, 0, 9, {"B9 00 78", "B9 20 00", "C9 00 00"}, "AudioUnitMIDISynth::Sound patch 120, 0, 0 was preloaded."},
        {0, 127, 25, 9, {"B9 00 00", "B9 20 7F", "C9 19 00"}, "AudioUnitMIDISynth::Sound patch 0, 127, 25 was preloaded."},
        {8, 1, 4, 0, {"B0 00 08", "B0 20 01", "C0 04 00"}, "AudioUnitMIDISynth::Sound patch 8, 1, 4 was preloaded."},
        {0, 0, 1, 0x1A, {"BA 00 00", "BA 20 00", "CA 01 00"}, "AudioUnitMIDISynth::Sound patch 0, 0, 1 was preloaded."},
    };
    for (const auto& c : cases) {
        synth().calls.clear();
        log.clear();
        wrapper->preloadPatch(c.msb, c.lsb, c.patch, c.channel);
        std::vector<std::string> expected{"4119 1"};
        expected.insert(expected.end(), c.messages.begin(), c.messages.end());
        expected.push_back("4119 0");
        EXPECT_THAT(synth().calls, ElementsAreArray(expected)) << c.line;
        EXPECT_THAT(drainedLines(), ElementsAre(c.line));
    }
}

TEST_F(WrapperTest, AFailingPreloadPatchIsLoggedAndPreloadingIsSwitchedOffAllTheSame) {
    synth().failingProgram = 7;
    wrapper->preloadPatch(0, 0, 7, 0);
    EXPECT_EQ(synth().calls.back(), "4119 0");
    EXPECT_THAT(drainedLines(), ElementsAre(kPatchFailed));
}

TEST_F(WrapperTest, PreloadSwitchFailuresAreLoggedWithTheirStatus) {
    synth().enableStatus = foundation::kAudioUnitErr_InvalidProperty;
    wrapper->preloadPatches(0, {1}, 0, 0);
    wrapper->preloadPatches2({1});
    wrapper->preloadPatch(0, 0, 1, 0);
    EXPECT_THAT(synth().calls, ElementsAre("4119 1", "4119 1", "4119 1"));
    const std::string enabling = "AudioUnitMIDISynth::ERROR: Preloading patches could not be enabled. -10879";
    EXPECT_THAT(drainedLines(), ElementsAre(enabling, enabling, enabling));

    synth().enableStatus = foundation::noErr;
    synth().disableStatus = foundation::kAudioUnitErr_InvalidProperty;
    log.clear();
    wrapper->preloadPatches(0, {1}, 0, 0);
    wrapper->preloadPatches2({1});
    wrapper->preloadPatch(0, 0, 1, 0);
    const std::string disabling = "AudioUnitMIDISynth::ERROR: Preloading patches could not be disabled. -10879";
    EXPECT_THAT(drainedLines(), ElementsAre(disabling, disabling, disabling));
}

TEST_F(WrapperTest, InitializeLoadsBankZeroAndPreloadsEveryProgramAndKit) {
    wrapper->initialize();
    const auto& calls = synth().calls;
    ASSERT_EQ(calls.size(), 1u + (2 + 3 * 128) + (2 + 128));
    EXPECT_EQ(calls[0], "1100 gs_instruments.dls");
    EXPECT_EQ(calls[1], "4119 1");
    EXPECT_THAT(std::vector<std::string>(calls.begin() + 2, calls.begin() + 5),
                ElementsAre("B0 00 00", "B0 20 00", "C0 00 00"));
    EXPECT_EQ(calls[2 + 3 * 127 + 2], "C0 7F 00");
    EXPECT_EQ(calls[2 + 3 * 128], "4119 0");
    EXPECT_EQ(calls[3 + 3 * 128], "4119 1");
    EXPECT_EQ(calls[4 + 3 * 128], "C9 00 00");
    EXPECT_EQ(calls[calls.size() - 2], "C9 7F 00");
    EXPECT_EQ(calls.back(), "4119 0");
}

}  // namespace
}  // namespace midisynth_test
