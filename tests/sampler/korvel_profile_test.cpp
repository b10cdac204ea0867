// The product profile: four-point interpolation on the channel default, the voice filter at the output rate, voice
// sends to reverb and chorus, and effect tails. With the profile off the other sampler tests hold unchanged.
#include "sampler/src/korvel_profile.h"
#include "sampler/src/korvel_synth.h"
#include "sampler/src/korvel_synth_midi.h"
#include "sampler/src/korvel_synth_render.h"
#include "tests/sampler/support/sf2_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr uint16_t FILTER_FC = 8;
constexpr int PULL = KORVEL_BUFSIZE;

// Preset 0:0 a looped half-scale sine sounding 440 Hz at key 69 (a 44 kHz sample, so that playback interpolates);
// preset 0:1 the same behind a low-pass at about 185 Hz.
sf2::Bank profile_bank()
{
    sf2::Bank bank;
    bank.samples.push_back(sf2::looped_sample("A440", sf2::sine_wave(100, 40), 100, 69, 44000));
    for (int16_t fc : {13500, 5400}) {
        sf2::Zone zone;
        zone.link = 0;
        zone.gen(sf2::SAMPLE_MODES, 1).gen(FILTER_FC, fc);
        bank.instruments.push_back(sf2::Instrument{"Sine " + std::to_string(fc), {zone}});
    }
    for (uint16_t program : {0, 1}) {
        sf2::Zone zone;
        zone.link = program;
        bank.presets.push_back(sf2::Preset{"Sine " + std::to_string(program), program, 0, {zone}});
    }
    return bank;
}

struct Signal {
    std::vector<float> left;
    std::vector<float> right;

    float peak(size_t from, size_t to) const
    {
        float p = 0.0f;
        for (size_t i = from; i < std::min(to, left.size()); i++) {
            p = std::max({p, std::fabs(left[i]), std::fabs(right[i])});
        }
        return p;
    }
};

class Profile : public ::testing::Test {
protected:
    void SetUp() override
    {
        bank = sf2::scratch_path("profile.sf2");
        ASSERT_TRUE(profile_bank().write(bank));
    }

    void TearDown() override { close(); }

    void open(double rate, const korvel_profile_t& profile)
    {
        close();
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        settings = new_korvel_settings();
        korvel_settings_setnum(settings, "synth.sample-rate", rate);
        synth = new_korvel_synth(settings);
        const int loaded = synth != nullptr ? korvel_synth_sfload(synth, bank.c_str(), 1) : -1;
        ::testing::internal::GetCapturedStdout();
        ::testing::internal::GetCapturedStderr();
        ASSERT_GT(loaded, 0);
        korvel_synth_set_profile(synth, &profile);
        ASSERT_EQ(korvel_synth_cc(synth, 0, 7, 127), 0);
    }

    void close()
    {
        delete_korvel_synth(synth);
        delete_korvel_settings(settings);
        synth = nullptr;
        settings = nullptr;
    }

    // Whole blocks of at least the given number of frames.
    Signal render(int frames)
    {
        Signal s;
        const int blocks = (frames + PULL - 1) / PULL;
        s.left.resize(static_cast<size_t>(blocks * PULL));
        s.right.resize(s.left.size());
        for (int b = 0; b < blocks; b++) {
            korvel_synth_write_float(synth, PULL, s.left.data(), b * PULL, 1, s.right.data(), b * PULL, 1);
        }
        return s;
    }

    // Steady level of a held note of the preset, past the attack and the filter's first glide.
    float held_level(int program, int key)
    {
        EXPECT_EQ(korvel_synth_program_change(synth, 0, program), 0);
        EXPECT_EQ(korvel_synth_noteon(synth, 0, key, 127), 0);
        const Signal s = render(24000);
        korvel_synth_all_sounds_off_all(synth);
        return s.peak(4800, s.left.size());
    }

    std::string bank;
    korvel_settings_t* settings = nullptr;
    korvel_synth_t* synth = nullptr;
};

// Largest second difference of the left signal over its peak: a pure 440 Hz tone at 48 kHz stays near 0.0017,
// while repeated and skipped points of nearest-point playback jump by far more.
double roughness(const Signal& s, size_t from)
{
    double worst = 0.0;
    for (size_t i = from + 1; i + 1 < s.left.size(); i++) {
        worst = std::max(worst, std::fabs(static_cast<double>(s.left[i - 1]) - 2.0 * s.left[i] + s.left[i + 1]));
    }
    return worst / s.peak(from, s.left.size());
}

TEST_F(Profile, TheChannelDefaultInterpolatesOverFourPoints)
{
    korvel_profile_t four_point{};
    four_point.four_point_default = true;
    for (const korvel_profile_t& profile : {korvel_profile_t{}, four_point}) {
        open(48000.0, profile);
        ASSERT_EQ(korvel_synth_noteon(synth, 0, 69, 127), 0);
        const double rough = roughness(render(9600), 4800);
        if (profile.four_point_default) {
            EXPECT_LT(rough, 0.005);
        } else {
            EXPECT_GT(rough, 0.02);
        }
    }
}

TEST_F(Profile, TheVoiceFilterRunsAtTheOutputRate)
{
    korvel_profile_t filtered{};
    filtered.voice_filter = true;
    std::vector<double> ratios;
    for (double rate : {44100.0, 48000.0, 96000.0}) {
        open(rate, korvel_profile_t{});
        const float plain = held_level(1, 81);
        EXPECT_NEAR(plain, held_level(0, 81), plain * 0.02) << "as built, the filter is not run";
        open(rate, filtered);
        const float top = held_level(0, 81);
        EXPECT_NEAR(top / plain, 1.19, 0.05) << rate << ": a cut-off at the top passes the tone, with the gain of Q";
        const double ratio = held_level(1, 81) / top;
        EXPECT_LT(ratio, 0.1) << rate;
        ratios.push_back(ratio);
    }
    EXPECT_NEAR(ratios[0], ratios[2], ratios[1] * 0.15) << "the same cut-off at every output rate";
}

TEST_F(Profile, VoiceSendsReachTheOutputAndTheirTailsRingOut)
{
    korvel_profile_t sends_only{};
    sends_only.voice_sends = true;
    const struct {
        const char* name;
        korvel_profile_t profile;
        bool sends;
        bool tails;
    } cases[] = {{"as built", korvel_profile_t{}, false, false},
                 {"sends without tails", sends_only, true, false},
                 {"product", korvel_product_profile, true, true}};
    for (const auto& c : cases) {
        for (int send_cc : {91, 93}) {
            SCOPED_TRACE(std::string(c.name) + ", controller " + std::to_string(send_cc));
            open(48000.0, c.profile);
            const Signal dry = [&] {
                EXPECT_EQ(korvel_synth_noteon(synth, 0, 69, 127), 0);
                Signal s = render(9600);
                korvel_synth_all_sounds_off_all(synth);
                render(48000);
                return s;
            }();
            ASSERT_EQ(korvel_synth_cc(synth, 0, send_cc, 127), 0);
            ASSERT_EQ(korvel_synth_noteon(synth, 0, 69, 127), 0);
            const Signal wet = render(9600);
            double difference = 0.0;
            for (size_t i = 0; i < wet.left.size(); i++) {
                difference = std::max(difference, std::fabs(static_cast<double>(wet.left[i]) - dry.left[i]));
            }
            EXPECT_EQ(difference > 0.001, c.sends);

            korvel_synth_all_sounds_off_all(synth);
            const Signal after = render(10 * 48000);
            EXPECT_EQ(after.peak(0, PULL) > 0.0f, c.tails) << "the block after the last voice";
            EXPECT_EQ(after.peak(9 * 48000, after.left.size()), 0.0f) << "tails end";
            if (c.tails && send_cc == 91) {
                EXPECT_GT(after.peak(4800, 9600), 0.0f) << "the reverb still rings after 100 ms";
            }
        }
    }
}

} // namespace
