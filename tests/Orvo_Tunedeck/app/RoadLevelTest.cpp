// One song, one level: the demo song played the way the window plays it (the main screen over the hub, the
// instrument's own view starting the song in the instrument's own player, the host's chain pulled block by block)
// and rendered offline into a WAV file (the host scheduling the file's messages on the instrument) sound equally
// loud. And a song as loud as a file can be comes out of the chain below full scale.

#include <gtest/gtest.h>

#include <algorithm>
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

// Format 0, 480 ticks a quarter at 120 bpm: all sixteen channels at full volume strike a six-note chord at full
// velocity on every beat for two bars.
void writeLoudSong(const fs::path& path) {
    std::vector<uint8_t> track;
    for (uint8_t channel = 0; channel < 16; ++channel) track.insert(track.end(), {0x00, uint8_t(0xB0 | channel), 7, 127});
    constexpr uint8_t kChord[] = {48, 52, 55, 60, 64, 67};
    for (int beat = 0; beat < 8; ++beat) {
        for (const bool on : {true, false}) {
            for (uint8_t channel = 0; channel < 16; ++channel) {
                for (const uint8_t key : kChord) {
                    // Each beat's note-offs come 450 ticks (0x83 0x42) after its note-ons, and the next note-ons 30
                    // ticks after them; every other event of the beat follows at once.
                    const bool first = channel == 0 && key == kChord[0];
                    if (first && !on) track.insert(track.end(), {0x83, 0x42});
                    else if (first && beat > 0) track.push_back(30);
                    else track.push_back(0);
                    track.insert(track.end(), {uint8_t((on ? 0x90 : 0x80) | channel), key, uint8_t(on ? 127 : 0)});
                }
            }
        }
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k'};
    for (const int shift : {24, 16, 8, 0}) file.push_back(static_cast<uint8_t>(track.size() >> shift));
    file.insert(file.end(), track.begin(), track.end());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
                                                static_cast<std::streamsize>(file.size()));
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
        AudioComponentRegistry::shared().addSearchFolder(TUNEDECK_AUDIO_MODULES_DIR);
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

// Far past full scale inside the instrument, the song leaves the chain at the limiter's ceiling, a dB below full
// scale, and not above it.
TEST_F(RoadLevel, ALoudSongLeavesTheChainBelowFullScale) {
    OfflineRenderRequest request;
    request.midiFile = folder.path() / "loud.mid";
    writeLoudSong(request.midiFile);
    request.wavFile = folder.path() / "loud.wav";
    request.sampleRateHz = kRateHz;
    ASSERT_EQ(renderOffline(request), 0);
    float peak = 0.0f;
    for (const float sample : readFloatWav(request.wavFile)) peak = std::max(peak, std::abs(sample));
    EXPECT_LE(20.0 * std::log10(peak), -1.0 + 0.01);
    EXPECT_GT(20.0 * std::log10(peak), -2.0) << "the song reaches the limiter";
}

}  // namespace
