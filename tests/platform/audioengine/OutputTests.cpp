#include <gtest/gtest.h>

#include <fstream>

#include "platform/audioengine/AlsaOutput.h"
#include "platform/audioengine/Engine.h"
#include "platform/audioengine/WavFileOutput.h"
#include "tests/platform/audioengine/SoxTool.h"
#include "tests/platform/audioengine/TestSignals.h"

using namespace audioengine;
using namespace audioengine::testing;

namespace {

// An engine playing a 1 kHz sine at half scale into a WAV file, started.
struct SineIntoWav {
    SineIntoWav(const std::string& file, double rateHz, WavFileOutput::SampleFormat format)
        : SineIntoWav(std::make_unique<WavFileOutput>(file, rateHz, format)) {}
    bool started() const { return engine.isRunning(); }

    WavFileOutput* wav;
    Engine engine;
    std::string error;

private:
    explicit SineIntoWav(std::unique_ptr<WavFileOutput> output) : wav(output.get()), engine(std::move(output)) {
        auto sine = std::make_shared<SineNode>(1000.0, 0.5f);
        engine.attach(sine);
        engine.connect(sine, engine.mainMixerNode(), engine.outputFormat());
        engine.start(&error);
    }
};

}  // namespace

TEST(WavFileOutput, AnOfflineRenderReadsBackInSoxWithRateLengthAndPeak) {
    struct Case {
        double rate;
        WavFileOutput::SampleFormat format;
        const char* bits;
        bool flushFirst;  // else stopping the engine writes the frames still gathered
    };
    for (const Case& c : {Case{48000.0, WavFileOutput::SampleFormat::float32, "32", true},
                          Case{44100.0, WavFileOutput::SampleFormat::pcm16, "16", false}}) {
        testsupport::TestFolder folder;
        const auto file = (folder.path() / "out.wav").string();
        SineIntoWav render(file, c.rate, c.format);
        ASSERT_TRUE(render.started()) << render.error;
        Engine& engine = render.engine;
        WavFileOutput* wav = render.wav;
        const uint32_t frames = static_cast<uint32_t>(c.rate) + 1234;  // more than one chunk, not a multiple
        ASSERT_TRUE(wav->render(frames)) << wav->error();
        if (c.flushFirst) {
            ASSERT_TRUE(wav->flush()) << wav->error();
            EXPECT_EQ(wav->framesWritten(), frames);
        }
        engine.stop();
        EXPECT_EQ(wav->framesWritten(), frames);

        EXPECT_EQ(std::stod(commandOutput("soxi -r '" + file + "'")), c.rate);
        EXPECT_EQ(std::stoul(commandOutput("soxi -s '" + file + "'")), frames);
        EXPECT_EQ(std::stoul(commandOutput("soxi -c '" + file + "'")), 2U);
        EXPECT_EQ(commandOutput("soxi -b '" + file + "'"), std::string(c.bits) + "\n");
        EXPECT_NEAR(soxStat(file, "Maximum amplitude"), 0.5, 1e-3);
    }
}

TEST(WavFileOutput, AFileToldItWillPassFourGibibytesIsRF64AndAnyOtherPlainWav) {
    struct Case {
        uint64_t expectedFrames;
        WavFileOutput::SampleFormat format;
        const char* form;
        uint16_t formatTag;  // 3: float, 1: integer PCM, 0xFFFE: extensible (as RF64 has it)
    };
    constexpr uint64_t kFourGibibytes = uint64_t{1} << 32;
    const Case cases[] = {
        {48000, WavFileOutput::SampleFormat::float32, "RIFF", 3},
        {kFourGibibytes / 8 - 1000, WavFileOutput::SampleFormat::float32, "RIFF", 3},
        {kFourGibibytes / 8, WavFileOutput::SampleFormat::float32, "RF64", 0xFFFE},
        {kFourGibibytes / 8, WavFileOutput::SampleFormat::pcm16, "RIFF", 1},
        {kFourGibibytes / 4, WavFileOutput::SampleFormat::pcm16, "RF64", 0xFFFE},
        // So long that the file's size no longer fits in 64 bits: such a size must not wrap round to a small one.
        {uint64_t{1} << 61, WavFileOutput::SampleFormat::float32, "RF64", 0xFFFE},
        {uint64_t{1} << 62, WavFileOutput::SampleFormat::pcm16, "RF64", 0xFFFE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expectedFrames);
        testsupport::TestFolder folder;
        const auto file = (folder.path() / "out.wav").string();
        SineIntoWav render(file, 48000.0, c.format);
        ASSERT_TRUE(render.started()) << render.error;
        Engine& engine = render.engine;
        WavFileOutput* wav = render.wav;
        ASSERT_TRUE(wav->expectFrames(c.expectedFrames)) << wav->error();
        ASSERT_TRUE(wav->render(4800)) << wav->error();
        engine.stop();

        std::string header(64, '\0');
        std::ifstream(file, std::ios::binary).read(header.data(), static_cast<std::streamsize>(header.size()));
        EXPECT_EQ(header.substr(0, 4), c.form);
        const size_t fmt = header.find("fmt ");
        ASSERT_NE(fmt, std::string::npos);
        EXPECT_EQ(static_cast<uint8_t>(header[fmt + 8]) | static_cast<uint8_t>(header[fmt + 9]) << 8, c.formatTag);
        EXPECT_EQ(std::stoul(commandOutput("soxi -s '" + file + "'")), 4800U);
    }
}

TEST(WavFileOutput, AFileThatCannotBeCreatedFailsTheStart) {
    Engine engine(std::make_unique<WavFileOutput>("/nonexistent-folder/out.wav", 48000.0));
    std::string error;
    EXPECT_FALSE(engine.start(&error));
    EXPECT_NE(error.find("cannot create WAV file '/nonexistent-folder/out.wav'"), std::string::npos) << error;
    EXPECT_FALSE(engine.isRunning());
}
