// The built extension module makes its units through the view controller, which lives as long as the unit.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/audiounit/AudioComponentRegistry.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestFolder.h"

namespace {

constexpr AudioComponentDescription kInstrument{0x61756D75, 0x7142766E, 0x4B57424C, 0, 0};

TEST(ModuleFactory, UnitIsMadeByTheViewController) {
    testsupport::TestFolder folder;
    testsupport::ScopedEnvironment environment;
    environment.set("TUNEDECK_DOCUMENTS", (folder.path() / "Documents").string());
    AudioComponentRegistry registry;
    registry.addSearchFolder(TUNEDECK_AUDIO_MODULES_DIR);
    ASSERT_TRUE(registry.loadModules().empty());
    foundation::LogCapture log;

    std::shared_ptr<AUAudioUnit> unit;
    registry.instantiateAsync(kInstrument, [&unit](std::shared_ptr<AUAudioUnit> made, foundation::OSStatus status) {
        EXPECT_EQ(status, foundation::noErr);
        unit = std::move(made);
    });
    dispatch::MainQueue::shared().drain();
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(unit->audioUnitName(), "Orvo Tunedeck Extension");

    const auto lines = log.lines();
    const auto at = [&lines](const std::string& line) { return std::find(lines.begin(), lines.end(), line); };
    ASSERT_NE(at("AU Diagnostics: AUAudioUnit::didSet()"), lines.end());
    EXPECT_LT(at("AU Diagnostics: AUAudioUnit::didSet()"), at("AU Diagnostics: WARNING: Plugin view is not loaded."));
    EXPECT_NE(at("AU Diagnostics: WARNING: Plugin view is not loaded."), lines.end());

    unit.reset();
    dispatch::MainQueue::shared().drain();
}

}  // namespace
