// Pulls from the synthesizer: blocks rendered as the position reaches a block's end, silence without voices, audio
// groups, 16-bit conversion, the multi-buffer pull and the reverb bus switch; and the pull driver on top.
#include "sampler/src/midi/korvel_audio_driver.h"
#include "sampler/src/midi/korvel_midi_driver.h"
#include "sampler/src/synth/korvel_mix.h"
#include "sampler/src/sys/korvel_settings.h"
#include "sampler/src/synth/korvel_synth.h"
#include "sampler/src/synth/korvel_synth_render.h"
#include "tests/sampler/support/korvel_log_capture.h"
#include "tests/sampler/support/sf2_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

constexpr int BLOCK = KORVEL_BUFSIZE;

using Signal = std::vector<float>;

bool silent(const float* buf, int n)
{
    return std::all_of(buf, buf + n, [](float x) { return x == 0.0f; });
}

class SynthRender : public ::testing::Test {
protected:
    void SetUp() override { settings = new_korvel_settings(); }

    void TearDown() override
    {
        delete_korvel_synth(synth);
        delete_korvel_settings(settings);
    }

    void create(int groups = 16, int midi_channels = 16)
    {
        korvel_settings_setint(settings, "synth.polyphony", 32);
        korvel_settings_setint(settings, "synth.audio-groups", groups);
        korvel_settings_register_int(settings, "synth.midi-channels", 16, 16, 256, 0, nullptr, nullptr);
        korvel_settings_setint(settings, "synth.midi-channels", midi_channels);
        synth = new_korvel_synth(settings);
        ASSERT_NE(synth, nullptr);
        const std::string path = sf2::scratch_path("general.sf2");
        ASSERT_TRUE(sf2::general_bank().write(path));
        ASSERT_EQ(korvel_synth_sfload(synth, path.c_str(), 1), 1);
        for (int c = 0; c < synth->midi_channels; c++) {
            ASSERT_EQ(korvel_synth_program_change(synth, c, 0), 0) << "every channel plays the sine";
        }
    }

    // A stereo pull of n frames.
    Signal pull(int n, Signal* right = nullptr)
    {
        Signal l(static_cast<size_t>(n)), r(static_cast<size_t>(n));
        EXPECT_EQ(korvel_synth_write_float(synth, n, l.data(), 0, 1, r.data(), 0, 1), 0);
        if (right != nullptr) {
            *right = r;
        }
        return l;
    }

    korvel_settings_t* settings = nullptr;
    korvel_synth_t* synth = nullptr;
};

TEST_F(SynthRender, APullRendersABlockWheneverThePositionReachesItsEnd)
{
    create();
    ASSERT_EQ(korvel_synth_noteon(synth, 0, 60, 100), 0);
    pull(BLOCK);
    EXPECT_EQ(synth->ticks, 256u) << "the first pull renders at once";
    EXPECT_EQ(synth->cur, 256u);
    pull(1);
    EXPECT_EQ(synth->ticks, 512u);
    EXPECT_EQ(synth->cur, 1u);
    pull(300);
    EXPECT_EQ(synth->ticks, 768u) << "255 frames from the block, 45 from the next";
    EXPECT_EQ(synth->cur, 45u);
}

TEST_F(SynthRender, ThePullsAgreeOnTheSignal)
{
    create();
    ASSERT_EQ(korvel_synth_noteon(synth, 0, 60, 100), 0);
    Signal right;
    Signal left = pull(4 * BLOCK, &right);
    EXPECT_FALSE(silent(left.data(), 4 * BLOCK));

    korvel_synth_t* first = synth;
    synth = nullptr;
    create();
    ASSERT_EQ(korvel_synth_noteon(synth, 0, 60, 100), 0);
    std::vector<float> l2(4 * BLOCK), r2(4 * BLOCK);
    float* out[2] = {l2.data(), r2.data()};
    for (int at = 0; at < 4 * BLOCK; at += 100) {
        const int n = std::min(100, 4 * BLOCK - at);
        float* part[2] = {out[0] + at, out[1] + at};
        ASSERT_EQ(korvel_synth_process(synth, n, 0, nullptr, 2, part), 0);
    }
    EXPECT_EQ(l2, left);
    EXPECT_EQ(r2, right);
    delete_korvel_synth(first);
}

TEST_F(SynthRender, WithoutSoundingVoicesThePullIsSilentAndTheTicksStay)
{
    create();
    ASSERT_EQ(korvel_synth_noteon(synth, 0, 60, 100), 0);
    pull(2 * BLOCK);
    const unsigned int ticks = synth->ticks;
    korvel_synth_all_sounds_off_all(synth);
    Signal right;
    Signal left = pull(2 * BLOCK, &right);
    EXPECT_TRUE(silent(left.data(), 2 * BLOCK));
    EXPECT_TRUE(silent(right.data(), 2 * BLOCK));
    EXPECT_EQ(synth->ticks, ticks);
}

TEST_F(SynthRender, AVoicePlaysInTheGroupOfItsChannel)
{
    struct Case {
        int groups;
        int midi_channels;
        int chan;
        int group;
    };
    const Case cases[] = {{16, 32, 17, 1}, {16, 16, 5, 5}, {1, 16, 5, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.groups << " groups, channel " << c.chan);
        delete_korvel_synth(synth);
        create(c.groups, c.midi_channels);
        ASSERT_EQ(korvel_synth_noteon(synth, c.chan, 60, 100), 0);
        Signal left = pull(2 * BLOCK);
        EXPECT_FALSE(silent(left.data(), 2 * BLOCK)) << "heard through the first group";
        for (int g = 0; g < synth->nbuf; g++) {
            EXPECT_EQ(!silent(synth->left_buf[g], BLOCK), g == c.group || g == 0) << "group " << g;
        }
    }
}

TEST_F(SynthRender, SixteenBitSamplesAreScaledLimitedAndTruncated)
{
    create();
    synth->cur = 0; // serve the current block, whose first frames are set below
    const float values[] = {1.5f, -1.5f, 0.5f, -0.5f, 0.0f};
    const short expected[] = {32767, -32768, 16383, -16383, 0};
    std::copy(std::begin(values), std::end(values), synth->left_buf[0]);
    std::copy(std::begin(values), std::end(values), synth->right_buf[0]);
    std::array<short, 10> out{};
    ASSERT_EQ(korvel_synth_write_s16(synth, 5, out.data(), 0, 2, out.data(), 1, 2), 0);
    for (int i = 0; i < 5; i++) {
        EXPECT_EQ(out[static_cast<size_t>(2 * i)], expected[i]) << "left " << values[i];
        EXPECT_EQ(out[static_cast<size_t>(2 * i + 1)], expected[i]) << "right " << values[i];
    }
}

TEST_F(SynthRender, TheMultiBufferPullContinuesTheCurrentBlock)
{
    create();
    ASSERT_EQ(korvel_synth_noteon(synth, 0, 60, 100), 0);
    std::vector<Signal> bufs(16 * 2 + 6 * 2, Signal(300, 0.0f));
    std::vector<float*> ptrs;
    for (Signal& b : bufs) {
        ptrs.push_back(b.data());
    }
    float** left = ptrs.data();
    float** right = left + 16;
    float** fx_left = right + 16;
    float** fx_right = fx_left + 6;

    ASSERT_EQ(korvel_synth_nwrite_float(synth, 100, left, right, fx_left, fx_right), 0);
    EXPECT_EQ(synth->cur, 100u);
    EXPECT_EQ(synth->ticks, 256u);
    const Signal block(synth->left_buf[0], synth->left_buf[0] + BLOCK);
    EXPECT_TRUE(std::equal(block.begin(), block.begin() + 100, left[0]));

    ASSERT_EQ(korvel_synth_nwrite_float(synth, 200, left, right, fx_left, fx_right), 0);
    EXPECT_EQ(synth->cur, 44u) << "156 frames from the block, 44 from a new one";
    EXPECT_EQ(synth->ticks, 512u);
    EXPECT_TRUE(std::equal(block.begin() + 100, block.end(), left[0]));
    EXPECT_TRUE(std::equal(synth->left_buf[0], synth->left_buf[0] + 44, left[0] + 156));
}

TEST_F(SynthRender, TheReverbRunsOnlyWhileItsSwitchIsOn)
{
    for (bool on : {true, false}) {
        SCOPED_TRACE(on);
        delete_korvel_synth(synth);
        create();
        korvel_synth_set_reverb_on(synth, on);
        ASSERT_EQ(korvel_synth_noteon(synth, 0, 60, 100), 0);
        ASSERT_EQ(korvel_synth_one_block(synth, KORVEL_MIX_REPLACE), 0);
        EXPECT_EQ(!silent(synth->fx_right_buf[KORVEL_BUS_REVERB], BLOCK), on) << "the reverb's output pair";
    }
}

TEST_F(SynthRender, AStoppedSynthesizerWritesNothing)
{
    create();
    ASSERT_EQ(korvel_synth_noteon(synth, 0, 60, 100), 0);
    synth->state = KORVEL_SYNTH_STOPPED;
    Signal left(BLOCK, 7.0f);
    Signal right(BLOCK, 7.0f);
    EXPECT_EQ(korvel_synth_write_float(synth, BLOCK, left.data(), 0, 1, right.data(), 0, 1), 0);
    EXPECT_EQ(left, Signal(BLOCK, 7.0f));
    EXPECT_EQ(synth->ticks, 0u);
    synth->state = KORVEL_SYNTH_PLAYING;
}

TEST_F(SynthRender, ThePullDriverCopiesWhatTheSynthesizerRenders)
{
    create();
    korvel_audio_driver_t* driver = new_korvel_audio_driver(settings, synth);
    ASSERT_NE(driver, nullptr);
    EXPECT_STREQ(driver->name, "iosaudio");
    ASSERT_EQ(korvel_synth_noteon(synth, 0, 60, 100), 0);

    Signal left(KORVEL_IOS_AUDIO_BUFSIZE + 1, 7.0f);
    Signal right(left.size(), 7.0f);
    EXPECT_EQ(korvel_ios_audio_callback(0, left.data(), right.data(), driver), 0);
    EXPECT_EQ(left[0], 7.0f) << "no frames, nothing copied";
    EXPECT_EQ(synth->ticks, 0u);
    EXPECT_EQ(korvel_ios_audio_callback(KORVEL_IOS_AUDIO_BUFSIZE + 1, left.data(), right.data(), driver), -1);
    EXPECT_EQ(left[0], 7.0f) << "more frames than the driver holds are refused";

    EXPECT_EQ(korvel_ios_audio_callback(KORVEL_IOS_AUDIO_BUFSIZE, left.data(), right.data(), driver), 0);
    EXPECT_EQ(synth->ticks, static_cast<unsigned int>(KORVEL_IOS_AUDIO_BUFSIZE));
    EXPECT_FALSE(silent(left.data(), KORVEL_IOS_AUDIO_BUFSIZE));
    EXPECT_EQ(left[KORVEL_IOS_AUDIO_BUFSIZE], 7.0f);
    auto* dev = reinterpret_cast<korvel_ios_audio_driver_t*>(driver);
    EXPECT_EQ(dev->frames, static_cast<unsigned int>(KORVEL_IOS_AUDIO_BUFSIZE));
    EXPECT_TRUE(std::equal(left.begin(), left.begin() + KORVEL_IOS_AUDIO_BUFSIZE, dev->left));
    delete_korvel_audio_driver(driver);
}

TEST_F(SynthRender, UnknownDriversAreRefused)
{
    create();
    korvel_test::LogCapture capture;
    ASSERT_EQ(korvel_settings_setstr(settings, "audio.driver", "alsa"), 1);
    EXPECT_EQ(new_korvel_audio_driver(settings, synth), nullptr);
    EXPECT_EQ(new_korvel_audio_driver2(settings, korvel_synth_process, synth), nullptr);
    EXPECT_EQ(new_korvel_ios_audio_driver(settings, nullptr), nullptr);
    EXPECT_EQ(new_korvel_midi_driver(settings, nullptr, nullptr), nullptr);
    EXPECT_EQ(capture.texts(KORVEL_ERR), (std::vector<std::string>{"Couldn't find the requested audio driver: alsa",
                                                                  "Couldn't find the requested audio driver: alsa",
                                                                  "Couldn't find the requested midi driver"}));
}

} // namespace
