// A voice on its own: from a generated sample through init, start and block rendering into the dry buses.
#include "sampler/src/synth/korvel_chan.h"
#include "sampler/src/sys/korvel_conv.h"
#include "sampler/src/bank/korvel_sample.h"
#include "sampler/src/voice/korvel_tuning.h"
#include "sampler/src/voice/korvel_voice.h"
#include "tests/sampler/support/sf2_fixture.h"
#include "tests/sampler/support/sf2_load_result.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr float RATE = 48000.0f;
constexpr int BLOCK = KORVEL_BUFSIZE;

korvel_mod_t* const default_mods[] = {
    &default_vel2reso_mod, &default_vel2att_mod, &default_vel2filter_mod, &default_at2viblfo_mod,
    &default_mod2viblfo_mod, &default_att_mod, &default_pan_mod, &default_expr_mod,
    &default_reverb_mod, &default_chorus_mod, &default_pitch_bend_mod};

class VoiceRender : public ::testing::Test {
protected:
    void SetUp() override
    {
        korvel_conversion_config();
        chan.pitch_bend = 8192;
        chan.pitch_wheel_sensitivity = 2;
        chan.cc[7] = 127;
        chan.cc[10] = 64;
        chan.cc[11] = 127;
        chan.cc[43] = 127;
        chan.interp_method = 4;
        voice = new_korvel_voice(nullptr, RATE);
        ASSERT_NE(voice, nullptr);
    }

    void TearDown() override
    {
        if (korvel_voice_is_playing(voice)) {
            korvel_voice_off(voice); // lets go of the sample, so that the bank can be deleted
        }
        delete_korvel_voice(voice);
    }

    void load(const sf2::Bank& bank)
    {
        loaded = std::make_unique<sf2::LoadResult>(bank.bytes());
        ASSERT_EQ(loaded->result, 0) << loaded->transcript();
    }

    korvel_sample_t* sample(int index)
    {
        korvel_list_t* cell = korvel_list_nth(loaded->bank->sample, index);
        return static_cast<korvel_sample_t*>(cell->data);
    }

    // Init, the default modulators, the given generators, start.
    void play(korvel_sample_t* s, int key, int vel, std::vector<std::pair<int, float>> gens = {},
              bool with_default_mods = true)
    {
        ASSERT_EQ(korvel_voice_init(voice, s, &chan, key, vel, 1, 0, 0.5f), 0);
        for (korvel_mod_t* m : default_mods) {
            if (with_default_mods) {
                korvel_voice_add_mod(voice, m, KORVEL_VOICE_DEFAULT);
            }
        }
        for (auto [gen, value] : gens) {
            korvel_voice_gen_set(voice, gen, value);
        }
        korvel_voice_start(voice);
    }

    // Renders blocks and returns the left bus (and the right one in right_out).
    std::vector<float> render(int blocks, std::vector<float>* right_out = nullptr)
    {
        std::vector<float> left(static_cast<size_t>(blocks) * BLOCK, 0.0f);
        std::vector<float> right(left.size(), 0.0f);
        for (int b = 0; b < blocks; b++) {
            if (korvel_voice_is_playing(voice)) {
                korvel_voice_write(voice, left.data() + b * BLOCK, right.data() + b * BLOCK, nullptr, nullptr);
            }
        }
        if (right_out != nullptr) {
            *right_out = right;
        }
        return left;
    }

    korvel_channel_t chan{};
    korvel_voice_t* voice = nullptr;
    std::unique_ptr<sf2::LoadResult> loaded;
};

sf2::Bank one_sample_bank(sf2::Sample s)
{
    sf2::Bank bank;
    bank.samples.push_back(std::move(s));
    return bank;
}

TEST_F(VoiceRender, ThePlainCaseIsTheSampleTimesGainAndPan)
{
    load(sf2::general_bank());
    korvel_sample_t* sine = sample(0);
    play(sine, 60, 127, {{GEN_SAMPLEMODE, 1.0f}});
    std::vector<float> right;
    std::vector<float> left = render(8, &right);
    const short* points = sine->data + sine->pstart;
    // Controller 10 at 64 pans by (2 x 64 / 127 - 1) x 500 tenths of a percent; the sine law takes whole steps.
    const float pan = (2.0f * 64.0f / 127.0f - 1.0f) * 500.0f;
    const float amp_left = static_cast<float>(std::sin(std::trunc(500.0f - pan) * M_PI / 2002.0)) * 0.5f;
    const float amp_right = static_cast<float>(std::sin(std::trunc(500.0f + pan) * M_PI / 2002.0)) * 0.5f;
    EXPECT_NEAR(amp_left, 0.5f * 0.7065f, 0.003f);
    EXPECT_EQ(left[0], 0.0f) << "the gain ramp starts from silence";
    for (int f = BLOCK; f < 8 * BLOCK; f++) {
        int index = f < 512 ? f : 64 + (f - 512) % 448; // the loop runs from point 64 to the end
        float point = 1.0f * (static_cast<float>(points[index]) * (1.0f / 32768.0f));
        ASSERT_EQ(left[static_cast<size_t>(f)], amp_left * point) << "frame " << f;
        ASSERT_EQ(right[static_cast<size_t>(f)], amp_right * point) << "frame " << f;
    }
}

// Frequency from rising zero crossings over the rendered signal.
double measured_frequency(const std::vector<float>& signal, int skip)
{
    double first = -1.0;
    double last = -1.0;
    int crossings = 0;
    for (size_t i = static_cast<size_t>(skip) + 1; i < signal.size(); i++) {
        if (signal[i - 1] < 0.0f && signal[i] >= 0.0f) {
            double at = static_cast<double>(i - 1) + signal[i - 1] / (signal[i - 1] - signal[i]);
            if (first < 0.0) {
                first = at;
            } else {
                crossings++;
            }
            last = at;
        }
    }
    return crossings * RATE / (last - first);
}

TEST_F(VoiceRender, NotesSoundAtTheirPitch)
{
    // 100 points per period at 44000 Hz is 440 Hz at the root key 69.
    load(one_sample_bank(sf2::looped_sample("A", sf2::sine_wave(100, 40), 100, 69, 44000)));
    struct Row {
        int key;
        double hz;
    };
    const Row rows[] = {{69, 440.0}, {81, 880.0}, {57, 220.0}};
    for (const Row& r : rows) {
        play(sample(0), r.key, 127, {{GEN_SAMPLEMODE, 1.0f}});
        std::vector<float> out = render(190);
        EXPECT_NEAR(measured_frequency(out, BLOCK), r.hz, 0.5) << r.key;
        korvel_voice_off(voice);
    }
}

TEST_F(VoiceRender, ThePitchCorrectionRaisesTheNoteByItsCentsWithOrWithoutARootKeyOverride)
{
    struct Row {
        int correction_cents;
        int override_root; // -1: the sample's own root key 69
    };
    const Row rows[] = {{-99, -1}, {0, -1}, {50, -1}, {99, -1}, {-99, 57}, {0, 57}, {50, 57}, {99, 57}};
    for (const Row& r : rows) {
        SCOPED_TRACE(::testing::Message() << r.correction_cents << " cents, root " << r.override_root);
        sf2::Sample a = sf2::looped_sample("A", sf2::sine_wave(100, 40), 100, 69, 44000);
        a.correction = static_cast<int8_t>(r.correction_cents);
        load(one_sample_bank(a));
        std::vector<std::pair<int, float>> gens{{GEN_SAMPLEMODE, 1.0f}};
        if (r.override_root >= 0) {
            gens.emplace_back(GEN_OVERRIDEROOTKEY, static_cast<float>(r.override_root));
        }
        // Key 69 on the sample's own root, key 57 on the override: both play the recording's 440 Hz, corrected.
        play(sample(0), r.override_root >= 0 ? r.override_root : 69, 127, gens);
        const double hz = measured_frequency(render(190), BLOCK);
        EXPECT_NEAR(1200.0 * std::log2(hz / 440.0), r.correction_cents, 1.0) << hz << " Hz";
        korvel_voice_off(voice);
    }
}

TEST_F(VoiceRender, VeryLowRootKeysKeepTheirPitch)
{
    // Root key 5 (about 11 Hz): a note an octave up doubles the rate, which a clamped conversion would not.
    load(one_sample_bank(sf2::looped_sample("Low", sf2::sine_wave(100, 40), 100, 5, 48000)));
    play(sample(0), 17, 127, {{GEN_SAMPLEMODE, 1.0f}});
    std::vector<float> out = render(190);
    EXPECT_NEAR(measured_frequency(out, BLOCK), 960.0, 0.5);
}

TEST_F(VoiceRender, AChannelTuningMovesThePitch)
{
    load(one_sample_bank(sf2::looped_sample("A", sf2::sine_wave(100, 40), 100, 69, 44000)));
    korvel_tuning_t* tuning = new_korvel_tuning("octave up", 0, 0);
    korvel_tuning_set_pitch(tuning, 69, 6900.0 + 1200.0);
    chan.tuning = tuning;
    play(sample(0), 69, 127, {{GEN_SAMPLEMODE, 1.0f}});
    EXPECT_NEAR(measured_frequency(render(190), BLOCK), 880.0, 0.5);
    korvel_voice_off(voice);
    chan.tuning = nullptr;
    delete_korvel_tuning(tuning);
}

TEST_F(VoiceRender, AnAttackOfOneSecondEndsWithinABlockOfOneSecond)
{
    load(sf2::general_bank());
    play(sample(0), 60, 127, {{GEN_SAMPLEMODE, 1.0f}, {GEN_VOLENVATTACK, 0.0f}});
    int blocks = 0;
    float left[BLOCK] = {};
    float right[BLOCK] = {};
    while (voice->volenv->section <= KORVEL_ENV_ATTACK && blocks < 400) {
        korvel_voice_write(voice, left, right, nullptr, nullptr);
        blocks++;
    }
    EXPECT_NEAR(blocks * BLOCK / RATE, 1.0, static_cast<double>(BLOCK) / RATE);
}

TEST_F(VoiceRender, ANoteOffInTheAttackReleasesFromTheSameLoudness)
{
    load(sf2::general_bank());
    play(sample(0), 60, 127, {{GEN_SAMPLEMODE, 1.0f}, {GEN_VOLENVATTACK, 0.0f}});
    float left[BLOCK] = {};
    float right[BLOCK] = {};
    while (voice->volenv->value < 0.5f) {
        korvel_voice_write(voice, left, right, nullptr, nullptr);
    }
    float value = voice->volenv->value;
    korvel_voice_noteoff(voice);
    EXPECT_EQ(voice->volenv->section, KORVEL_ENV_RELEASE);
    EXPECT_NEAR(voice->volenv->value, 1.0 + 200.0 * std::log10(value) / 960.0, 1e-5);
    EXPECT_NEAR(korvel_cb2amp(960.0f * (1.0f - voice->volenv->value)), value, 0.01f);
}

TEST_F(VoiceRender, TheSustainPedalHoldsTheNote)
{
    load(sf2::general_bank());
    play(sample(0), 60, 127, {{GEN_SAMPLEMODE, 1.0f}});
    chan.cc[64] = 127;
    korvel_voice_noteoff(voice);
    EXPECT_EQ(voice->status, KORVEL_VOICE_SUSTAINED);
    EXPECT_NE(voice->volenv->section, KORVEL_ENV_RELEASE);
}

TEST_F(VoiceRender, AOneShotEndsWhereItsSampleEnds)
{
    // 357 points: the second block has 100 frames left before the last point.
    load(one_sample_bank(sf2::one_shot_sample("Click", sf2::square_wave(17, 21, 0.5), 60)));
    korvel_sample_t* s = sample(0);
    ASSERT_EQ(s->pend - s->pstart, 356u);
    play(s, 60, 127);
    std::vector<float> out = render(3);
    EXPECT_EQ(voice->status, KORVEL_VOICE_OFF);
    EXPECT_EQ(voice->chan, KORVEL_NO_CHANNEL);
    EXPECT_NE(out[BLOCK + 99], 0.0f);
    for (int f = BLOCK + 100; f < 3 * BLOCK; f++) {
        ASSERT_EQ(out[static_cast<size_t>(f)], 0.0f) << f;
    }
    EXPECT_EQ(s->use_count.load(), 0u);
}

TEST_F(VoiceRender, PanNearTheCentreFeedsBothBusesAlike)
{
    load(sf2::general_bank());
    struct Row {
        float pan;
        bool same;
    };
    for (Row r : {Row{0.3f, true}, Row{0.6f, false}}) {
        play(sample(0), 60, 127, {{GEN_SAMPLEMODE, 1.0f}, {GEN_PAN, r.pan}}, false);
        std::vector<float> right;
        std::vector<float> left = render(2, &right);
        EXPECT_EQ(left[300] == right[300], r.same) << r.pan;
        korvel_voice_off(voice);
    }
}

TEST_F(VoiceRender, OwnGeneratorsLeaveTheSoundUnchanged)
{
    load(sf2::general_bank());
    play(sample(0), 60, 100, {{GEN_SAMPLEMODE, 1.0f}});
    std::vector<float> plain = render(4);
    korvel_voice_off(voice);
    play(sample(0), 60, 100, {{GEN_SAMPLEMODE, 1.0f}, {GEN_VELOCITYTOFILTER, 500.0f}, {GEN_VOICEFX1, 3.0f},
                              {GEN_VARIATIONFX1SEND, 800.0f}});
    EXPECT_EQ(render(4), plain);
}

TEST_F(VoiceRender, AReusedVoiceStartsItsRampFromSilence)
{
    load(sf2::general_bank());
    play(sample(0), 60, 127, {{GEN_SAMPLEMODE, 1.0f}});
    render(4);
    korvel_voice_off(voice);
    play(sample(0), 60, 127, {{GEN_SAMPLEMODE, 1.0f}});
    EXPECT_EQ(render(1)[0], 0.0f);
}

TEST_F(VoiceRender, ControllersAndThePitchWheelReachTheirGenerators)
{
    load(sf2::general_bank());
    play(sample(0), 60, 127, {{GEN_SAMPLEMODE, 1.0f}});
    EXPECT_EQ(voice->osc->attenuation_cb, 0.0f);
    chan.cc[7] = 64;
    korvel_voice_modulate(voice, 1, 7);
    EXPECT_NEAR(voice->osc->attenuation_cb, 960.0f * korvel_concave(127.0f - 64.0f), 1e-3f);
    chan.pitch_bend = 16383;
    korvel_voice_modulate(voice, 0, KORVEL_MOD_PITCHWHEEL);
    EXPECT_NEAR(voice->osc->pitch_cents, 6000.0f + (2.0f * 16383 / 16384 - 1) * 2.0f / 127.0f * 12700.0f, 0.01f);
    chan.cc[7] = 127;
    chan.pitch_bend = 8192;
    korvel_voice_modulate_all(voice);
    EXPECT_EQ(voice->osc->attenuation_cb, 0.0f);
    EXPECT_NEAR(voice->osc->pitch_cents, 6000.0f, 0.01f);
}

TEST_F(VoiceRender, NrpnValuesAddToOrReplaceTheGenerator)
{
    load(sf2::general_bank());
    play(sample(0), 60, 127, {{GEN_SAMPLEMODE, 1.0f}, {GEN_FILTERFC, 9000.0f}});
    korvel_voice_set_param(voice, GEN_FILTERFC, 0, -1000.0f);
    EXPECT_EQ(voice->filter->cutoff_cents, 8000.0f);
    korvel_voice_set_param(voice, GEN_FILTERFC, 1, 5000.0f);
    EXPECT_EQ(voice->filter->cutoff_cents, 5000.0f);
    EXPECT_EQ(voice->filter->last_fc_hz, -1.0f) << "a new cut-off forces new coefficients";
}

TEST_F(VoiceRender, ExclusiveClassCutReleasesQuickly)
{
    load(sf2::general_bank());
    play(sample(0), 60, 127, {{GEN_SAMPLEMODE, 1.0f}, {GEN_EXCLUSIVECLASS, 1.0f}, {GEN_VOLENVRELEASE, 3000.0f}});
    render(2);
    korvel_voice_kill_excl(voice);
    EXPECT_EQ(voice->gen[GEN_EXCLUSIVECLASS].val, 0.0);
    EXPECT_EQ(voice->volenv->section, KORVEL_ENV_RELEASE);
    unsigned int expected = static_cast<unsigned int>(RATE * std::pow(2.0, -200.0 / 1200.0) / BLOCK) + 1;
    EXPECT_EQ(voice->volenv->data[KORVEL_ENV_RELEASE].count, expected);
    render(static_cast<int>(expected) + 2);
    EXPECT_EQ(voice->status, KORVEL_VOICE_OFF);
}

} // namespace
