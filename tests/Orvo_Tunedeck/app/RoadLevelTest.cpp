// One song, one level: the demo song played the way the window plays it (the main screen over the hub, the
// instrument's own view starting the song in the instrument's own player, the host's chain pulled block by block)
// and rendered offline into a WAV file (the host scheduling the file's messages on the instrument) sound equally
// loud.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "Orvo_Tunedeck/app/MainViewController.h"
#include "Orvo_Tunedeck/app/OfflineRender.h"
#include "Orvo_Tunedeck/midi/MIDIConnection.h"
#include "platform/audioengine/ManualRenderingOutput.h"
#include "platform/audiounit/AudioComponentRegistry.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Folders.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestFolder.h"

namespace {

namespace fs = std::filesystem;

constexpr double kRateHz = 48000.0;

// The samples of a 32-bit float WAV file (both channels, interleaved); empty when it is not one.
std::vector<float> readFloatWav(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    const auto word = [&](size_t at) {
        uint32_t value = 0;
        std::memcpy(&value, bytes.data() + at, sizeof value);
        return value;
    };
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) return {};
    bool isFloat = false;
    for (size_t at = 12; at + 8 <= bytes.size(); at += 8 + ((word(at + 4) + 1) & ~1u)) {
        const uint32_t size = word(at + 4);
        if (at + 8 + size > bytes.size()) return {};
        if (bytes.compare(at, 4, "fmt ") == 0) isFloat = (word(at + 8) & 0xFFFF) == 3;
        if (bytes.compare(at, 4, "data") == 0 && isFloat) {
            std::vector<float> samples(size / sizeof(float));
            std::memcpy(samples.data(), bytes.data() + at + 8, samples.size() * sizeof(float));
            return samples;
        }
    }
    return {};
}

double energyDecibels(const std::vector<float>& samples) {
    double sum = 0.0;
    for (const float sample : samples) sum += static_cast<double>(sample) * sample;
    return 10.0 * std::log10(sum);
}

class RoadLevel : public ::testing::Test {
protected:
    void SetUp() override {
        const auto built = foundation::resourcesFolder();
        ASSERT_TRUE(built);
        song = *built / "default.mid";
        ASSERT_TRUE(fs::exists(song));
        // The built resources, with the demo song as the only one the instrument's view can start.
        const fs::path resources = folder.path() / "Resources";
        fs::create_directories(resources / "MIDI" / "Selection");
        for (const fs::directory_entry& entry : fs::directory_iterator(*built))
            if (entry.path().filename() != "MIDI") fs::create_symlink(entry.path(), resources / entry.path().filename());
        fs::create_symlink(song, resources / "MIDI" / "Selection" / "default.mid");
        environment.set("TUNEDECK_RESOURCES", resources.string());
        for (const char* name : {"TUNEDECK_DOCUMENTS", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
            environment.set(name, (folder.path() / name).string());
        static const bool searched = [] {
            AudioComponentRegistry::shared().addSearchFolder(TUNEDECK_AUDIO_MODULES_DIR);
            return true;
        }();
        (void)searched;
    }
    void TearDown() override {
        MIDIConnection::shared().setDelegate(nullptr);
        dispatch::MainQueue::shared().drain();
    }

    testsupport::TestFolder folder;
    testsupport::ScopedEnvironment environment;
    fs::path song;
};

TEST_F(RoadLevel, TheWindowPlaysASongAsLoudAsTheOfflineRender) {
    OfflineRenderRequest request;
    request.midiFile = song;
    request.wavFile = folder.path() / "offline.wav";
    request.sampleRateHz = kRateHz;
    ASSERT_EQ(renderOffline(request), 0);
    const std::vector<float> offline = readFloatWav(request.wavFile);
    ASSERT_GT(offline.size(), static_cast<size_t>(2 * kRateHz));

    // The window's road. The main queue's clock stands still, so the instrument's view never sees the song end
    // (and never starts it again).
    auto& queue = dispatch::MainQueue::shared();
    queue.useManualClock();
    auto output = std::make_unique<audioengine::ManualRenderingOutput>(kRateHz);
    audioengine::ManualRenderingOutput& pull = *output;
    const auto hub = std::make_shared<ViewController>();
    hub->viewDidLoad(std::move(output));
    queue.drain();
    const auto screen = std::make_shared<MainViewController>(hub);
    screen->view();
    queue.drain();
    ASSERT_NE(hub->player->instrumentViewController, nullptr);

    // As long as the offline file, and a second more for the player's start.
    constexpr uint32_t kBlock = 256;
    std::vector<float> left(kBlock);
    std::vector<float> right(kBlock);
    std::vector<float> window;
    while (window.size() < offline.size() + static_cast<size_t>(2 * kRateHz)) {
        ASSERT_TRUE(pull.render(kBlock, left.data(), right.data()));
        for (uint32_t i = 0; i < kBlock; ++i) {
            window.push_back(left[i]);
            window.push_back(right[i]);
        }
        queue.drain();
    }
    hub->player->stopEngine();
    queue.drain();
    EXPECT_NEAR(energyDecibels(window), energyDecibels(offline), 1.0);
}

}  // namespace
