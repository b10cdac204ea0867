// An instrument whose internal synthesizer cannot be made: a program of its own, since the failing synthesizer
// component it registers would shadow the real one for every later unit of the process.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "Orvo_Tunedeck_Extension/audiounit/OrvoTunedeck_AudioUnit.h"
#include "platform/audiounit/AudioComponentRegistry.h"
#include "platform/audiounit/AudioUnitStatusError.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "platform/synth/MIDISynthUnit.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestFolder.h"

namespace {

bool logged(const std::vector<std::string>& lines, const std::string& text) {
    return std::find(lines.begin(), lines.end(), text) != lines.end();
}

class MissingSynth : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static const bool registered = [] {
            AudioComponentRegistry::shared().registerComponent(
                kMIDISynthDescription, "Test: Broken Synthesizer", 1,
                [](const AudioComponentDescription&) -> std::shared_ptr<AUAudioUnit> {
                    throw AudioUnitStatusError(foundation::kAudioUnitErr_FailedInitialization, "broken on purpose");
                });
            return true;
        }();
        (void)registered;
    }

    void SetUp() override {
        environment.set("TUNEDECK_DOCUMENTS", (folder.path() / "Documents").string());
        unit = std::make_shared<OrvoTunedeck_AudioUnit>();
        dispatch::MainQueue::shared().drain();
    }

    void TearDown() override {
        unit.reset();
        dispatch::MainQueue::shared().drain();
    }

    std::vector<std::string> linesOf(const std::function<void()>& action) {
        foundation::LogCapture capture;
        action();
        dispatch::MainQueue::shared().drain();
        return capture.lines();
    }

    testsupport::TestFolder folder;
    testsupport::ScopedEnvironment environment;
    std::shared_ptr<OrvoTunedeck_AudioUnit> unit;
};

TEST_F(MissingSynth, CreationLogsTheFailureAndTheUnitStillAnswersTheHost) {
    const auto lines = linesOf([this] { unit = std::make_shared<OrvoTunedeck_AudioUnit>(); });
    EXPECT_TRUE(logged(lines, "OrvoTunedeck_AudioUnit::createSynth() : ERROR: The internal synthesizer could not be "
                              "created."));
    EXPECT_EQ(unit->synth()->audioUnit(), nullptr);
    EXPECT_EQ(unit->outputBusses().count(), 1u);
    EXPECT_EQ(unit->tailTime(), 4.0);
}

TEST_F(MissingSynth, FrameLimitBypassAndResetReachWhatExistsAndLogTheMissingSynthesizer) {
    const auto lines = linesOf([this] {
        unit->setMaximumFramesToRender(1024);
        unit->setShouldBypassEffect(true);
        unit->reset();
    });
    EXPECT_EQ(unit->kernelAdapter()->maximumFramesToRender(), 1024u);
    EXPECT_TRUE(unit->kernelAdapter()->shouldBypassEffect());
    for (const char* operation : {"maximumFramesToRender (set)", "shouldBypassEffect (did set)", "reset()"}) {
        EXPECT_TRUE(logged(lines, std::string("OrvoTunedeck_AudioUnit::") + operation +
                                      " : ERROR: The internal synthesizer is nil."))
            << operation;
    }
}

TEST_F(MissingSynth, AllocationIsRefusedWithoutDoingAnything) {
    std::vector<std::string> lines;
    try {
        lines = linesOf([this] { unit->allocateRenderResources(); });
        FAIL() << "allocation went through";
    } catch (const AudioUnitStatusError& error) {
        EXPECT_EQ(error.status(), foundation::kAudioUnitErr_FailedInitialization);
    }
    dispatch::MainQueue::shared().drain();
    EXPECT_FALSE(unit->renderResourcesAllocated());
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "Documents" / "Presets" / "default.aupreset"));
}

TEST_F(MissingSynth, AFetchedRenderBlockRendersSilenceAndReportsTheSynthesizer) {
    const AUInternalRenderBlock block = unit->internalRenderBlock();
    ASSERT_TRUE(block);
    std::vector<float> left(256, 0.5f);
    std::vector<float> right(256, 0.5f);
    AudioBufferList buffers = stereoBufferList(left.data(), right.data(), 256);
    AudioTimeStamp timestamp;
    AudioUnitRenderActionFlags flags = 0;
    foundation::OSStatus status = -1;
    const auto lines = linesOf([&] { status = block(&flags, &timestamp, 256, 0, &buffers, nullptr, nullptr); });
    EXPECT_EQ(status, foundation::noErr);
    EXPECT_TRUE(std::all_of(left.begin(), left.end(), [](float x) { return x == 0.0f; }));
    EXPECT_TRUE(std::all_of(right.begin(), right.end(), [](float x) { return x == 0.0f; }));
    EXPECT_TRUE(logged(lines, "OrvoTunedeck_AudioUnit::internalRenderBlock() : ERROR: We have a problem with the "
                              "internal synth! -10867"));
}

}  // namespace
