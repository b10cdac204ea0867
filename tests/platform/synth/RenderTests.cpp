// Rendering: pitch, the frame at which events take effect, and the unit's shape as a host sees it.

#include <gtest/gtest.h>

#include "platform/synth/MIDISynthComponent.h"
#include "sampler/src/sys/korvel_block.h"
#include "tests/platform/synth/SynthHarness.h"
#include "tests/platform/synth/SynthTestBanks.h"
#include "tests/support/TestFolder.h"

namespace synth_test {
namespace {

TEST(MIDISynthShape, InstrumentWithOneStereoOutputAndNoMIDIOutput) {
    MIDISynthUnit unit;
    EXPECT_EQ(unit.inputBusses().count(), 0u);
    ASSERT_EQ(unit.outputBusses().count(), 1u);
    EXPECT_EQ(unit.outputBusses()[0]->format().channelCount, 2u);
    EXPECT_TRUE(unit.MIDIOutputNames().empty());
    EXPECT_TRUE(unit.isMusicDeviceOrEffect());

    AudioComponentRegistry registry;
    registerMIDISynth(registry);
    const auto found = registry.components(kMIDISynthDescription);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_NE(std::dynamic_pointer_cast<MIDISynthUnit>(found[0].instantiate()), nullptr);
}

class Rendering : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        const std::filesystem::path bank = folder.path() / GetParam();
        ASSERT_TRUE(std::string(GetParam()) == "sine.dls" ? writeSineDLS(bank) : writeSineSoundFont(bank));
        bankPath = bank;
    }

    testsupport::TestFolder folder;
    std::filesystem::path bankPath;
};

TEST_P(Rendering, Key69OfProgram0SoundsAt440HzAtEveryOutputRate) {
    for (const double rateHz : {48000.0, 44100.0, 96000.0, 22050.0, 176400.0, 192000.0}) {
        SCOPED_TRACE(rateHz);
        SynthHarness harness(rateHz);
        ASSERT_EQ(harness.loadBank(bankPath), foundation::noErr);
        EventList events;
        events.midi(0, 0x90, 69, 100);
        std::vector<float> note = harness.render(512, events.head());
        const std::vector<float> rest = harness.renderFor(static_cast<uint32_t>(rateHz / 2));
        note.insert(note.end(), rest.begin(), rest.end());
        EXPECT_NEAR(fundamentalHz(note, 2048, note.size(), rateHz), kRootFrequencyHz, 1.0);
    }
}

TEST_P(Rendering, NothingSoundsBeforeTheFrameOfTheNoteOn) {
    SynthHarness harness;
    ASSERT_EQ(harness.loadBank(bankPath), foundation::noErr);
    for (const uint32_t offset : {0u, 256u, 100u, 511u}) {
        SCOPED_TRACE(offset);
        EventList events;
        events.midi(offset, 0x90, 69, 100);
        std::vector<float> buffer = harness.render(512, events.head());
        const std::vector<float> next = harness.render(512);
        buffer.insert(buffer.end(), next.begin(), next.end());
        const size_t start = firstSound(buffer);
        EXPECT_GE(start, offset);
        // A voice's gain ramp starts from silence, so the first audible frame follows the note-on's frame.
        EXPECT_LE(start, offset + 1);
        EventList off;
        off.midi(0, 0x80, 69, 0);
        harness.render(512, off.head());
        harness.renderFor(48000);
    }
}

TEST_P(Rendering, ANoteSoundsFromTheFrameOfItsNoteOn) {
    const auto onset = [&](uint32_t offset) {
        SynthHarness harness;
        EXPECT_EQ(harness.loadBank(bankPath), foundation::noErr);
        EventList events;
        events.midi(offset, 0x90, 69, 100);
        return firstSound(harness.render(512, events.head()));
    };
    const size_t ramp = onset(0);
    ASSERT_LE(ramp, 1u) << "the gain ramp of a note starts from silence at its first frame";
    for (const uint32_t offset : {1u, 100u, 255u, 300u}) EXPECT_EQ(onset(offset), offset + ramp) << offset;
}

TEST_P(Rendering, DataBytesAbove127AreMaskedNotRefused) {
    SynthHarness harness;
    ASSERT_EQ(harness.loadBank(bankPath), foundation::noErr);
    EXPECT_EQ(harness.unit().musicDeviceMIDIEvent(0x90, 69 + 128, 100 + 256, 0), foundation::noErr);
    const std::vector<float> note = harness.renderFor(14336);
    EXPECT_NEAR(fundamentalHz(note, 2048, note.size()), kRootFrequencyHz, 1.0);
}

INSTANTIATE_TEST_SUITE_P(BothFormats, Rendering, ::testing::Values("sine.sf2", "sine.dls"));

TEST(RenderEvents, AnEventAfterTheBufferTakesEffectInIt) {
    testsupport::TestFolder folder;
    const std::filesystem::path bank = folder.path() / "sine.sf2";
    ASSERT_TRUE(writeSineSoundFont(bank));
    SynthHarness harness;
    ASSERT_EQ(harness.loadBank(bank), foundation::noErr);
    EventList events;
    events.midi(100000, 0x90, 69, 100);
    harness.render(512, events.head());
    const std::vector<float> next = harness.render(512);
    EXPECT_GT(rms(next, 0, next.size()), 0.01);
}

// However a host splits the output into buffers, the samples are the same: the filter keeps its history, and doubling
// keeps the second frame of a pair that an odd buffer could not take.
TEST(OutputRates, BufferSizesDoNotChangeTheOutput) {
    testsupport::TestFolder folder;
    const std::filesystem::path bank = folder.path() / "sine.sf2";
    ASSERT_TRUE(writeSineSoundFont(bank));
    const auto play = [&](double rateHz, uint32_t bufferFrames) {
        SynthHarness harness(rateHz);
        EXPECT_EQ(harness.loadBank(bank), foundation::noErr);
        EXPECT_EQ(harness.unit().musicDeviceMIDIEvent(0x90, 69, 100, 0), foundation::noErr);
        std::vector<float> played;
        while (played.size() < 8192) {
            const std::vector<float> part = harness.render(bufferFrames);
            played.insert(played.end(), part.begin(), part.end());
        }
        played.resize(8192);
        return played;
    };
    for (const double rateHz : {22050.0, 48000.0, 192000.0}) {
        SCOPED_TRACE(rateHz);
        const std::vector<float> whole = play(rateHz, 4096);
        for (const uint32_t bufferFrames : {1u, 7u, 331u}) EXPECT_EQ(play(rateHz, bufferFrames), whole) << bufferFrames;
    }
}

// Rates the library cannot render at are reached through the half-band filter, whose delay the unit reports.
TEST(OutputRates, From12000To192000HzWithTheFilterDelayAsLatency) {
    struct Case {
        double rateHz;
        bool allocates;
        double latencyFrames;
    };
    const Case cases[] = {
        {11025.0, false, 0.0}, {12000.0, true, 15.5},  {22050.0, true, 15.5},   {24000.0, true, 0.0},
        {96000.0, true, 0.0},  {176400.0, true, 31.0}, {192000.0, true, 31.0}, {192001.0, false, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rateHz);
        MIDISynthUnit unit;
        ASSERT_TRUE(unit.outputBusses()[0]->setFormat(AudioFormat::standard(c.rateHz, 2)));
        if (!c.allocates) {
            EXPECT_THROW(unit.allocateRenderResources(), AudioUnitStatusError);
            continue;
        }
        unit.allocateRenderResources();
        EXPECT_DOUBLE_EQ(unit.latency() * c.rateHz, c.latencyFrames);
    }
}

TEST(RenderEvents, RenderingBeforeAllocationIsRefused) {
    MIDISynthUnit unit;
    std::vector<float> left(64), right(64);
    AudioBufferList buffers = stereoBufferList(left.data(), right.data(), 64);
    AudioTimeStamp timestamp;
    AudioUnitRenderActionFlags flags = 0;
    EXPECT_EQ(unit.renderBlock()(&flags, &timestamp, 64, 0, &buffers, nullptr, nullptr),
              foundation::kAudioUnitErr_Uninitialized);
}

}  // namespace
}  // namespace synth_test
