#include "Orvo_Tunedeck_Extension/dsp/OrvoTunedeck_DSPKernel.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "sampler/src/korvelsynth.h"
#include "tests/Orvo_Tunedeck_Extension/dsp/SoundfontResources.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

namespace {

using testing::Contains;

std::vector<std::string> drainedLogLines(foundation::LogCapture& capture) {
    dispatch::MainQueue::shared().drain();
    return capture.lines();
}

TEST(LibraryInstance, KernelHoldsAnInstanceWithTheResourcesSoundfont) {
    SoundfontResources resources;
    ASSERT_TRUE(resources.written());
    foundation::LogCapture capture;
    {
        OrvoTunedeck_DSPKernel kernel;
        korvel_synth_t* synth = KorvelGetSynth(kernel.instanceId());
        ASSERT_NE(synth, nullptr);
        EXPECT_EQ(kernel.librarySynth(), synth);
        EXPECT_EQ(std::string(synth->resource_path), resources.folder());
        EXPECT_EQ(std::string(synth->soundfont_path), resources.folder() + "/soundfont6.sf2");
        EXPECT_THAT(drainedLogLines(capture), Contains("Resource location is: " + resources.folder()));
    }
    EXPECT_EQ(OrvoTunedeck_DSPKernel::instanceCount(), 0u);
}

TEST(LibraryInstance, KernelWithoutResourcesFolderWorksOnWithoutLibrary) {
    testsupport::ScopedEnvironment environment;
    environment.set("TUNEDECK_RESOURCES", "/nonexistent/tunedeck/resources");
    foundation::LogCapture capture;
    OrvoTunedeck_DSPKernel kernel;
    EXPECT_EQ(kernel.librarySynth(), nullptr);
    EXPECT_EQ(KorvelGetSynth(kernel.instanceId()), nullptr);
    EXPECT_THAT(drainedLogLines(capture), Contains("Failed to get app path!"));
}

// Finalising one kernel's instance must never take another live kernel's instance with it.
TEST(LibraryInstance, DestroyingAKernelLeavesTheOthersInstances) {
    SoundfontResources resources;
    auto first = std::make_unique<OrvoTunedeck_DSPKernel>();
    auto second = std::make_unique<OrvoTunedeck_DSPKernel>();
    first.reset();
    auto third = std::make_unique<OrvoTunedeck_DSPKernel>();
    auto fourth = std::make_unique<OrvoTunedeck_DSPKernel>();

    const std::set<korvel_synth_t*> synths = {KorvelGetSynth(second->instanceId()),
                                              KorvelGetSynth(third->instanceId()),
                                              KorvelGetSynth(fourth->instanceId())};
    EXPECT_EQ(synths.size(), 3u);
    EXPECT_EQ(synths.count(nullptr), 0u);

    const std::uint32_t thirdId = third->instanceId();
    third.reset();
    EXPECT_EQ(KorvelGetSynth(thirdId), nullptr);
    EXPECT_EQ(KorvelGetSynth(second->instanceId()), second->librarySynth());
    EXPECT_EQ(KorvelGetSynth(fourth->instanceId()), fourth->librarySynth());
}

}  // namespace
