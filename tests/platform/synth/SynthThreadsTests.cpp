// The render thread and the control thread at work at the same time: banks swapped, instruments preloaded,
// parameters set and MIDI sent while another thread renders.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "tests/platform/synth/SynthHarness.h"
#include "tests/platform/synth/SynthTestBanks.h"
#include "tests/support/TestFolder.h"

namespace synth_test {
namespace {

TEST(SynthThreads, ControlCallsWhileAnotherThreadRenders) {
    testsupport::TestFolder folder;
    const std::filesystem::path soundFont = folder.path() / "sine.sf2";
    const std::filesystem::path dls = folder.path() / "sine.dls";
    ASSERT_TRUE(writeSineSoundFont(soundFont));
    ASSERT_TRUE(writeSineDLS(dls));
    SynthHarness harness;
    MIDISynthUnit& unit = harness.unit();
    ASSERT_EQ(harness.loadBank(soundFont), foundation::noErr);

    std::atomic<bool> stop{false};
    std::atomic<int> renders{0};
    std::atomic<bool> finite{true};
    std::thread renderer([&] {
        while (!stop.load()) {
            for (const float sample : harness.render(256))
                if (!std::isfinite(sample)) finite = false;
            ++renders;
        }
    });

    const auto gain = unit.parameterTree()->parameterWithAddress(kMIDISynthParameter_GainDecibels);
    const auto tuning = unit.parameterTree()->parameterWithAddress(kMIDISynthParameter_CoarseTuneSemitones);
    for (int round = 0; round < 20; ++round) {
        EXPECT_EQ(harness.loadBank(round % 2 == 0 ? dls : soundFont), foundation::noErr);
        EXPECT_EQ(harness.loadBank(folder.path() / "missing.sf2"), foundation::kAudio_FileNotFoundError);
        unit.musicDeviceMIDIEvent(0x90, 60 + round % 12, 100, 0);
        ASSERT_EQ(harness.setPreload(true), foundation::noErr);
        EXPECT_EQ(unit.musicDeviceMIDIEvent(0xB0, 0, 0, 0), foundation::noErr);
        EXPECT_EQ(unit.musicDeviceMIDIEvent(0xC0, static_cast<uint32_t>(round % 2), 0, 0), foundation::noErr);
        ASSERT_EQ(harness.setPreload(false), foundation::noErr);
        gain->setValue(static_cast<AUValue>(-round));
        tuning->setValue(static_cast<AUValue>(round % 5));
        unit.reset();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    stop = true;
    renderer.join();
    EXPECT_GT(renders.load(), 0);
    EXPECT_TRUE(finite.load());
}

}  // namespace
}  // namespace synth_test
