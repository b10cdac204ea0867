// The product profile: four-point interpolation on the channel default, the voice filter at the output rate, voice
// sends to reverb and chorus, effect tails, and the levels of common players (attenuation share, send gains). With
// the profile off the other sampler tests hold unchanged.
#include "sampler/src/bank/korvel_defsfont.h"
#include "sampler/src/formats/korvel_dls.h"
#include "sampler/src/voice/korvel_profile.h"
#include "sampler/src/synth/korvel_synth.h"
#include "sampler/src/synth/korvel_synth_midi.h"
#include "sampler/src/synth/korvel_synth_render.h"
#include "tests/sampler/support/sf2_fixture.h"
#include "tools/soundbank/dls_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr uint16_t FILTER_FC = 8;
constexpr int PULL = KORVEL_BUFSIZE;

// The attenuation of preset 0:2, in cB.
constexpr int16_t ATTENUATED_CB = 250;

// A second of white noise at a tenth of full scale, the same on every run.
std::vector<int16_t> noise_points()
{
    std::minstd_rand random(7);
    std::uniform_int_distribution<int> point(-3277, 3277);
    std::vector<int16_t> points(48000);
    for (int16_t& p : points) {
        p = static_cast<int16_t>(point(random));
    }
    return points;
}

// Preset 0:0 a looped half-scale sine sounding 440 Hz at key 69 (a 44 kHz sample, so that playback interpolates);
// preset 0:1 the same behind a low-pass at about 185 Hz; preset 0:2 the same as 0:0 with ATTENUATED_CB; preset 0:3
// looped white noise, a broadband tone for effect levels.
sf2::Bank profile_bank()
{
    sf2::Bank bank;
    bank.samples.push_back(sf2::looped_sample("A440", sf2::sine_wave(100, 40), 100, 69, 44000));
    bank.samples.push_back(sf2::looped_sample("Noise", noise_points(), 4800, 69));
    for (int16_t fc : {13500, 5400}) {
        sf2::Zone zone;
        zone.link = 0;
        zone.gen(sf2::SAMPLE_MODES, 1).gen(FILTER_FC, fc);
        bank.instruments.push_back(sf2::Instrument{"Sine " + std::to_string(fc), {zone}});
    }
    sf2::Zone attenuated;
    attenuated.link = 0;
    attenuated.gen(sf2::SAMPLE_MODES, 1).gen(sf2::ATTENUATION, ATTENUATED_CB);
    bank.instruments.push_back(sf2::Instrument{"Sine attenuated", {attenuated}});
    sf2::Zone noise;
    noise.link = 1;
    noise.gen(sf2::SAMPLE_MODES, 1);
    bank.instruments.push_back(sf2::Instrument{"Noise", {noise}});
    for (uint16_t program : {0, 1, 2, 3}) {
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

    // A synthesizer at the rate with the profile and the bank at path (default: the SoundFont 2 profile bank;
    // a DLS file loads through the DLS reader).
    void open(double rate, const korvel_profile_t& profile, const std::string& path = {})
    {
        close();
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        settings = new_korvel_settings();
        korvel_settings_setnum(settings, "synth.sample-rate", rate);
        synth = new_korvel_synth(settings);
        const int loaded = synth == nullptr ? -1 : path.empty() ? korvel_synth_sfload(synth, bank.c_str(), 1) : add_dls(path);
        ::testing::internal::GetCapturedStdout();
        ::testing::internal::GetCapturedStderr();
        ASSERT_GT(loaded, 0);
        korvel_synth_set_profile(synth, &profile);
        ASSERT_EQ(korvel_synth_cc(synth, 0, 7, 127), 0);
    }

    int add_dls(const std::string& path)
    {
        korvel_defsfont_t* dls = new_korvel_defsfont();
        korvel_sfont_t* sfont = korvel_dls_load(dls, path.c_str()) == 0 ? korvel_defsfont_new_sfont(dls) : nullptr;
        if (sfont == nullptr) {
            delete_korvel_defsfont(dls);
            return -1;
        }
        return korvel_synth_add_sfont(synth, sfont);
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
    float held_level(int program, int key, int velocity = 127)
    {
        EXPECT_EQ(korvel_synth_program_change(synth, 0, program), 0);
        EXPECT_EQ(korvel_synth_noteon(synth, 0, key, velocity), 0);
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

// Power of the difference of two renders over [from, to), in dB relative to the power of the second.
double difference_db(const Signal& a, const Signal& b, size_t from, size_t to)
{
    double difference = 0.0;
    double reference = 0.0;
    for (size_t i = from; i < to; i++) {
        for (auto [x, y] : {std::pair{a.left[i], b.left[i]}, std::pair{a.right[i], b.right[i]}}) {
            difference += (static_cast<double>(x) - y) * (static_cast<double>(x) - y);
            reference += static_cast<double>(y) * y;
        }
    }
    return 10.0 * std::log10(difference / reference);
}

// The profile bank's presets 0:0 and 0:2 as a DLS file: the same sine, the second with a gain of -ATTENUATED_CB.
std::string profile_dls()
{
    dls::Bank bank;
    bank.waves.push_back({"A440", sf2::sine_wave(100, 40), 44000, dls::SampleRecord{69, 0, 0, dls::Loop{0, 100, 3900}}});
    for (uint32_t program : {0u, 2u}) {
        dls::Region region;
        region.sample = dls::SampleRecord{69, 0, program == 0 ? 0 : -ATTENUATED_CB * 65536, dls::Loop{0, 100, 3900}};
        bank.instruments.push_back({"Sine " + std::to_string(program), 0, false, program, {region}, std::nullopt});
    }
    std::string path = sf2::scratch_path("profile.dls");
    EXPECT_TRUE(bank.write(path));
    return path;
}

// A SoundFont 2 zone's attenuation counts at the profile's share (the product's 0.4: 250 cB make 10 dB); a DLS
// gain means what it says under every profile.
TEST_F(Profile, ZoneAttenuationCountsAtTheProfilesShareExceptInDlsBanks)
{
    const std::string dls = profile_dls();
    const struct {
        const char* name;
        korvel_profile_t profile;
        std::string path;
        double drop_db;
    } cases[] = {{"SoundFont 2, as built", korvel_profile_t{}, {}, 25.0},
                 {"SoundFont 2, product", korvel_product_profile, {}, 10.0},
                 {"DLS, as built", korvel_profile_t{}, dls, 25.0},
                 {"DLS, product", korvel_product_profile, dls, 25.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        open(48000.0, c.profile, c.path);
        const double drop = 20.0 * std::log10(held_level(0, 69) / held_level(2, 69));
        EXPECT_NEAR(drop, c.drop_db, 0.2);
    }
}

// Velocity reaches the level through the default modulator's concave curve, depth x (40 / 96) log10(128 / velocity)
// dB below full: with the product's 960 cB a note at velocity 40 sits 15.9 dB below one at 100, with the library's
// own 200 cB only 3.3 dB.
TEST_F(Profile, VelocityLowersTheLevelByTheProfilesDepth)
{
    const struct {
        const char* name;
        korvel_profile_t profile;
        double depth_cb;
    } cases[] = {{"as built", korvel_profile_t{}, 200.0}, {"product", korvel_product_profile, 960.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        open(48000.0, c.profile);
        const double drop = 20.0 * std::log10(held_level(0, 69, 100) / held_level(0, 69, 40));
        EXPECT_NEAR(drop, c.depth_cb / 10.0 * 40.0 / 96.0 * std::log10(100.0 / 40.0), 0.5);
    }
}

// With the product's send gains a full reverb send (controller 91 at 127) leaves the reverb of a broadband tone some
// 4 dB below the dry sound, where common players have it; at gain 1 it stood above it. A full chorus send sits about
// 1 dB below the dry sound.
TEST_F(Profile, FullSendsLeaveTheEffectsBelowTheDrySound)
{
    korvel_profile_t full_gain = korvel_product_profile;
    full_gain.reverb_send_gain = 1.0f;
    const struct {
        const char* name;
        korvel_profile_t profile;
        int send_cc;
        double lowest_db;
        double highest_db;
    } cases[] = {{"product, reverb", korvel_product_profile, 91, -6.0, -2.0},
                 {"reverb send gain 1", full_gain, 91, 4.0, 12.0},
                 {"product, chorus", korvel_product_profile, 93, -3.0, 0.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        open(48000.0, c.profile);
        ASSERT_EQ(korvel_synth_program_change(synth, 0, 3), 0);
        ASSERT_EQ(korvel_synth_noteon(synth, 0, 69, 127), 0);
        const Signal dry = render(48000);
        korvel_synth_all_sounds_off_all(synth);
        render(10 * 48000);
        ASSERT_EQ(korvel_synth_cc(synth, 0, c.send_cc, 127), 0);
        ASSERT_EQ(korvel_synth_noteon(synth, 0, 69, 127), 0);
        const Signal wet = render(48000);
        const double effect_db = difference_db(wet, dry, 24000, 48000);
        EXPECT_GT(effect_db, c.lowest_db);
        EXPECT_LT(effect_db, c.highest_db);
    }
}

} // namespace
