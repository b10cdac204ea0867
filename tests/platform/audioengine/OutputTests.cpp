#include <gtest/gtest.h>

#include <fstream>

#include "platform/audioengine/AlsaOutput.h"
#include "platform/audioengine/Engine.h"
#include "platform/audioengine/WavFileOutput.h"
#include "tests/platform/audioengine/SoxTool.h"
#include "tests/platform/audioengine/TestSignals.h"

using namespace audioengine;
using namespace audioengine::testing;

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
        auto output = std::make_unique<WavFileOutput>(file, c.rate, c.format);
        WavFileOutput* wav = output.get();
        Engine engine(std::move(output));
        auto sine = std::make_shared<SineNode>(1000.0, 0.5f);
        engine.attach(sine);
        engine.connect(sine, engine.mainMixerNode(), engine.outputFormat());
        std::string error;
        ASSERT_TRUE(engine.start(&error)) << error;
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
        // A short file is a plain WAV file that keeps room for RF64's 64-bit sizes, which a file past 4 GiB takes.
        char header[16] = {};
        std::ifstream(file, std::ios::binary).read(header, sizeof header);
        EXPECT_EQ(std::string(header, 4), "RIFF");
        EXPECT_EQ(std::string(header + 8, 8), "WAVEJUNK");
    }
}

TEST(WavFileOutput, AFileThatCannotBeCreatedFailsTheStart) {
    Engine engine(std::make_unique<WavFileOutput>("/nonexistent-folder/out.wav", 48000.0));
    std::string error;
    EXPECT_FALSE(engine.start(&error));
    EXPECT_NE(error.find("cannot create WAV file '/nonexistent-folder/out.wav'"), std::string::npos) << error;
    EXPECT_FALSE(engine.isRunning());
}
