// The program without a display: the offline render of a generated MIDI file through the whole instrument into a
// WAV file that sox reads, and live play on a sound output that is not there.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/TestFolder.h"

namespace {

namespace fs = std::filesystem;

void appendVariableLength(std::vector<uint8_t>& out, uint32_t value) {
    std::vector<uint8_t> groups{static_cast<uint8_t>(value & 0x7F)};
    while ((value >>= 7) != 0) groups.insert(groups.begin(), static_cast<uint8_t>(0x80 | (value & 0x7F)));
    out.insert(out.end(), groups.begin(), groups.end());
}

struct TrackEvent {
    uint32_t deltaTicks;
    std::vector<uint8_t> bytes;
};

// A format 0 file at 480 ticks per quarter note holding events (end of track added).
void writeMidiFile(const fs::path& path, std::vector<TrackEvent> events) {
    events.push_back({0, {0xFF, 0x2F, 0x00}});
    std::vector<uint8_t> track;
    for (const TrackEvent& event : events) {
        appendVariableLength(track, event.deltaTicks);
        track.insert(track.end(), event.bytes.begin(), event.bytes.end());
    }
    std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k'};
    const auto size = static_cast<uint32_t>(track.size());
    for (const int shift : {24, 16, 8, 0}) file.push_back(static_cast<uint8_t>(size >> shift));
    file.insert(file.end(), track.begin(), track.end());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
                                                static_cast<std::streamsize>(file.size()));
}

// 120 beats per minute, a program change and three quarter notes C4, E4, G4 followed by a quarter rest; the last
// note ends at beat 3 (1.5 seconds).
void writeArpeggio(const fs::path& path) {
    std::vector<TrackEvent> events = {{0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}}, {0, {0xC0, 0x00}}};
    for (const uint8_t note : {60, 64, 67}) {
        events.push_back({0, {0x90, note, 100}});
        events.push_back({480, {0x80, note, 0}});
    }
    events.push_back({480, {0xFF, 0x01, 0x01, 'x'}});
    writeMidiFile(path, events);
}

std::string render(const fs::path& folder, const fs::path& midi, const fs::path& wav, int& exitCode) {
    return testsupport::runCommand("TUNEDECK_DOCUMENTS='" + (folder / "Documents").string() + "' '" +
                                       std::string(ORVO_TUNEDECK_PROGRAM) + "' --headless --render '" +
                                       wav.string() + "' --midi '" + midi.string() + "' 2>&1",
                                   exitCode);
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(OfflineRender, GeneratedSongBecomesAWavFileSoxReads) {
    testsupport::TestFolder folder;
    const fs::path midi = folder.path() / "arpeggio.mid";
    writeArpeggio(midi);
    int exitCode = -1;
    const std::string output = render(folder.path(), midi, folder.path() / "first.wav", exitCode);
    ASSERT_EQ(exitCode, 0) << output;

    const fs::path wav = folder.path() / "first.wav";
    int soxiCode = -1;
    EXPECT_EQ(testsupport::runCommand("soxi -r '" + wav.string() + "' 2>/dev/null", soxiCode), "48000\n");
    EXPECT_EQ(testsupport::runCommand("soxi -c '" + wav.string() + "' 2>/dev/null", soxiCode), "2\n");
    // The notes' 1.5 seconds and the instrument's tail of 4.0 seconds.
    EXPECT_EQ(testsupport::runCommand("soxi -s '" + wav.string() + "' 2>/dev/null", soxiCode), "264000\n");
    const std::string songPeak = testsupport::runCommand(
        "sox '" + wav.string() + "' -n trim 0 1.5 stat 2>&1 | awk '/Maximum amplitude/ {print $3}'", soxiCode);
    EXPECT_GT(std::stod(songPeak), 0.01);
    EXPECT_LE(std::stod(songPeak), 1.0);

    // The same file renders to the same samples (the files' headers carry the time they were written).
    render(folder.path(), midi, folder.path() / "second.wav", exitCode);
    ASSERT_EQ(exitCode, 0);
    for (const char* name : {"first", "second"})
        testsupport::runCommand("sox '" + (folder.path() / name).string() + ".wav' -t f32 '" +
                                    (folder.path() / name).string() + ".raw' 2>/dev/null",
                                soxiCode);
    const std::string samples = readFile(folder.path() / "first.raw");
    EXPECT_EQ(samples.size(), 264000u * 2 * sizeof(float));
    EXPECT_TRUE(samples == readFile(folder.path() / "second.raw"));
}

TEST(OfflineRender, EveryMessageOfADenseChordReachesTheInstrument) {
    testsupport::TestFolder folder;
    const fs::path midi = folder.path() / "cluster.mid";
    // Sixteen channels striking forty keys each at once, released together a beat later.
    std::vector<TrackEvent> events;
    for (const uint8_t kind : {0x90, 0x80}) {
        for (uint8_t channel = 0; channel < 16; ++channel) {
            for (uint8_t key = 40; key < 80; ++key) {
                const bool first = channel == 0 && key == 40;
                events.push_back({kind == 0x80 && first ? 480u : 0u, {uint8_t(kind | channel), key, 90}});
            }
        }
    }
    writeMidiFile(midi, events);
    int exitCode = -1;
    const std::string output = render(folder.path(), midi, folder.path() / "cluster.wav", exitCode);
    ASSERT_EQ(exitCode, 0) << output;
    EXPECT_EQ(output.find("MIDI messages did not reach the instrument"), std::string::npos);
}

TEST(OfflineRender, BadMidiFileIsAClearErrorAndNoWavFile) {
    testsupport::TestFolder folder;
    const fs::path midi = folder.path() / "broken.mid";
    std::ofstream(midi) << "MThd but nothing after it";
    int exitCode = -1;
    const std::string output = render(folder.path(), midi, folder.path() / "out.wav", exitCode);
    EXPECT_EQ(exitCode, 1);
    EXPECT_NE(output.find("OfflineRender : ERROR: '" + midi.string() + "' is no standard MIDI file"),
              std::string::npos)
        << output;
    EXPECT_FALSE(fs::exists(folder.path() / "out.wav"));
}

TEST(HeadlessLive, MissingSoundOutputIsAClearError) {
    // Without --headless and without a display the program says so and goes on headless.
    struct Case {
        const char* environment;
        const char* mode;
        bool saysHeadless;
    };
    for (const Case& run : {Case{"", "--headless", false}, Case{"env -u DISPLAY -u WAYLAND_DISPLAY ", "", true}}) {
        testsupport::TestFolder folder;
        int exitCode = -1;
        const std::string output = testsupport::runCommand(
            std::string(run.environment) + "TUNEDECK_DOCUMENTS='" + (folder.path() / "Documents").string() + "' '" +
                std::string(ORVO_TUNEDECK_PROGRAM) + "' " + run.mode + " --device no-such-pcm 2>&1",
            exitCode);
        EXPECT_EQ(exitCode, 1) << output;
        EXPECT_EQ(output.find("running headless.") != std::string::npos, run.saysHeadless) << output;
        EXPECT_NE(output.find("Orvo-Tunedeck2 : ERROR: No sound output on ALSA PCM 'no-such-pcm'."),
                  std::string::npos)
            << output;
    }
}

TEST(HeadlessProgram, WrongArgumentsShowTheUsage) {
    for (const char* arguments : {"--render a.wav --midi b.mid", "--headless --render out.wav",
                                  "--headless --sound-set 6 --render a.wav --midi b.mid", "--headless --unknown"}) {
        int exitCode = -1;
        const std::string output =
            testsupport::runCommand("'" + std::string(ORVO_TUNEDECK_PROGRAM) + "' " + arguments + " 2>&1", exitCode);
        EXPECT_EQ(exitCode, 2) << arguments;
        EXPECT_NE(output.find("usage: Orvo-Tunedeck2"), std::string::npos) << arguments;
    }
}

}  // namespace
