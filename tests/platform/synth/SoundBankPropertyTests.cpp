// The sound-bank property: SoundFont 2 and DLS banks told apart by content, and files that cannot be used refused
// with the bank played so far kept.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "tests/platform/synth/SynthHarness.h"
#include "tests/platform/synth/SynthTestBanks.h"
#include "tests/support/TestFolder.h"

namespace synth_test {
namespace {

void writeBytes(const std::filesystem::path& path, const std::vector<char>& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<char> readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Level of key 69 on program 0 over a quarter second after the note starts.
double noteLevel(SynthHarness& harness) {
    EventList events;
    events.midi(0, 0x90, 69, 100);
    const std::vector<float> start = harness.render(512, events.head());
    const std::vector<float> rest = harness.renderFor(12000);
    EventList off;
    off.midi(0, 0x80, 69, 0);
    harness.render(512, off.head());
    harness.renderFor(24000);
    return rms(rest, 0, rest.size());
}

TEST(SoundBankProperty, LoadsSoundFont2AndDLSByContentWhateverTheirNames) {
    testsupport::TestFolder folder;
    struct Case {
        const char* fileName;
        std::function<bool(const std::filesystem::path&)> write;
    };
    const std::vector<Case> cases = {
        {"sine.sf2", [](const auto& path) { return writeSineSoundFont(path); }},
        {"sine.dls", [](const auto& path) { return writeSineDLS(path); }},
        {"dls-named.sf2", [](const auto& path) { return writeSineDLS(path); }},
        {"sf2-without-extension", [](const auto& path) { return writeSineSoundFont(path); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileName);
        const std::filesystem::path path = folder.path() / c.fileName;
        ASSERT_TRUE(c.write(path));
        SynthHarness harness;
        EXPECT_EQ(noteLevel(harness), 0.0) << "no bank, no sound";
        ASSERT_EQ(harness.loadBank(path), foundation::noErr);
        EXPECT_EQ(harness.unit().soundBankPath(), path);
        EXPECT_GT(noteLevel(harness), 0.01);
    }
}

TEST(SoundBankProperty, UnusableFilesAreRefusedAndTheBankPlayedSoFarStays) {
    testsupport::TestFolder folder;
    const std::filesystem::path good = folder.path() / "good.sf2";
    ASSERT_TRUE(writeSineSoundFont(good));
    const std::filesystem::path goodDLS = folder.path() / "good.dls";
    ASSERT_TRUE(writeSineDLS(goodDLS));
    const std::vector<char> soundFont = readBytes(good);
    const std::vector<char> dls = readBytes(goodDLS);

    struct Case {
        const char* name;
        std::function<void(const std::filesystem::path&)> make;  // leaves nothing at the path when empty
        foundation::OSStatus expected;
    };
    const std::vector<Case> cases = {
        {"missing", nullptr, foundation::kAudio_FileNotFoundError},
        {"empty", [](const auto& path) { writeBytes(path, {}); }, foundation::kAudioUnitErr_InvalidFile},
        {"text", [](const auto& path) { writeBytes(path, {'n', 'o', ' ', 'b', 'a', 'n', 'k'}); },
         foundation::kAudioUnitErr_InvalidFile},
        {"truncated SoundFont 2",
         [&](const auto& path) { writeBytes(path, {soundFont.begin(), soundFont.begin() + soundFont.size() / 2}); },
         foundation::kAudioUnitErr_InvalidFile},
        {"truncated DLS", [&](const auto& path) { writeBytes(path, {dls.begin(), dls.begin() + dls.size() / 2}); },
         foundation::kAudioUnitErr_InvalidFile},
        {"DLS with a corrupted chunk size",
         [&](const auto& path) {
             std::vector<char> corrupted = dls;
             for (size_t i = 12; i < 40 && i < corrupted.size(); ++i) corrupted[i] = static_cast<char>(0xFF);
             writeBytes(path, corrupted);
         },
         foundation::kAudioUnitErr_InvalidFile},
        {"folder", [](const auto& path) { std::filesystem::create_directory(path); },
         foundation::kAudioUnitErr_InvalidFile},
    };

    SynthHarness harness;
    ASSERT_EQ(harness.loadBank(good), foundation::noErr);
    const double level = noteLevel(harness);
    ASSERT_GT(level, 0.01);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path path = folder.path() / (std::string("bad-") + c.name);
        if (c.make) c.make(path);
        EXPECT_EQ(harness.loadBank(path), c.expected);
        EXPECT_EQ(harness.unit().soundBankPath(), good);
        EXPECT_NEAR(noteLevel(harness), level, level * 0.01);
    }
}

TEST(SoundBankProperty, CorruptedBanksLoadOrAreRefusedWithoutHarm) {
    testsupport::TestFolder folder;
    const std::filesystem::path soundFont = folder.path() / "sine.sf2";
    const std::filesystem::path dls = folder.path() / "sine.dls";
    ASSERT_TRUE(writeSineSoundFont(soundFont));
    ASSERT_TRUE(writeSineDLS(dls));
    SynthHarness harness;
    ASSERT_EQ(harness.loadBank(soundFont), foundation::noErr);
    std::mt19937 random(12);
    for (const std::filesystem::path& original : {soundFont, dls}) {
        const std::vector<char> bytes = readBytes(original);
        for (int round = 0; round < 100; ++round) {
            std::vector<char> corrupted = bytes;
            // A few bytes anywhere, most often in the chunk headers and records before the sample data.
            for (int i = 0; i < 4; ++i) {
                const size_t range = round % 2 == 0 ? corrupted.size() : std::min<size_t>(200, corrupted.size());
                const size_t at = random() % range;
                corrupted[at] = static_cast<char>(random());
            }
            const std::filesystem::path path = folder.path() / "corrupted";
            writeBytes(path, corrupted);
            const foundation::OSStatus status = harness.loadBank(path);
            EXPECT_TRUE(status == foundation::noErr || status == foundation::kAudioUnitErr_InvalidFile) << status;
            EventList events;
            events.midi(0, 0x90, 69, 100).midi(200, 0x80, 69, 0);
            harness.render(512, events.head());
        }
    }
}

TEST(SoundBankProperty, RefusesOtherScopesElementsAndValueSizes) {
    testsupport::TestFolder folder;
    const std::filesystem::path path = folder.path() / "sine.sf2";
    ASSERT_TRUE(writeSineSoundFont(path));
    SynthHarness harness;
    MIDISynthUnit& unit = harness.unit();
    EXPECT_EQ(unit.setProperty(kMusicDeviceProperty_SoundBankURL, kAudioUnitScope_Output, 0, &path, sizeof path),
              foundation::kAudioUnitErr_InvalidScope);
    EXPECT_EQ(unit.setProperty(kMusicDeviceProperty_SoundBankURL, kAudioUnitScope_Global, 1, &path, sizeof path),
              foundation::kAudioUnitErr_InvalidElement);
    EXPECT_EQ(unit.setProperty(kMusicDeviceProperty_SoundBankURL, kAudioUnitScope_Global, 0, &path, 4),
              foundation::kAudioUnitErr_InvalidPropertyValue);
    EXPECT_EQ(unit.setProperty(kMusicDeviceProperty_SoundBankURL, kAudioUnitScope_Global, 0, nullptr, sizeof path),
              foundation::kAudioUnitErr_InvalidPropertyValue);
    EXPECT_TRUE(unit.soundBankPath().empty());
}

}  // namespace
}  // namespace synth_test
