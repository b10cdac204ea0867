// The end test on a voice's true level (the profile's level_end_test): voices end sooner than by their envelope
// alone, what they still had to sound stays below -90 dB of full scale, and a note that its controllers, its sample
// mode or the master gain could still bring back is kept.
#include "sampler/src/bank/korvel_defsfont.h"
#include "sampler/src/bank/korvel_gen.h"
#include "sampler/src/bank/korvel_mod.h"
#include "sampler/src/bank/korvel_sample.h"
#include "sampler/src/formats/korvel_xml_edit.h"
#include "sampler/src/voice/korvel_profile.h"
#include "sampler/src/synth/korvel_synth.h"
#include "sampler/src/synth/korvel_synth_midi.h"
#include "sampler/src/synth/korvel_synth_render.h"
#include "tests/sampler/support/sf2_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr double RATE = 24000.0;
constexpr int PULL = 64;
constexpr int16_t RELEASE_8_SECONDS = 3600; // timecents
constexpr int PERIOD = 64;
constexpr int LOUD_PERIODS = 20;
constexpr int QUIET_PERIODS = 40;
constexpr double LOUD_LEVEL = 0.9;
constexpr double QUIET_LEVEL = 0.01;

// A struck tone: twenty loud periods, then forty 39 dB quieter, the quiet ones looped.
sf2::Sample struck_sample()
{
    std::vector<int16_t> loud = sf2::sine_wave(PERIOD, LOUD_PERIODS, LOUD_LEVEL);
    std::vector<int16_t> quiet = sf2::sine_wave(PERIOD, QUIET_PERIODS, QUIET_LEVEL);
    sf2::Sample sample;
    sample.name = "Struck";
    sample.data = loud;
    sample.data.insert(sample.data.end(), quiet.begin(), quiet.end());
    sample.loop_start = (LOUD_PERIODS + 1) * PERIOD;
    sample.loop_end = static_cast<uint32_t>(sample.data.size());
    for (int k = 0; k < sf2::LOOP_TAIL; k++) {
        sample.data.push_back(quiet[static_cast<size_t>(PERIOD + k)]);
    }
    sample.root_key = 60;
    return sample;
}

// Preset 0:0: the struck tone looped, released over 8 seconds, behind a resonant low-pass that the modulation
// envelope opens at the start of each note.
sf2::Bank struck_bank()
{
    sf2::Bank bank;
    bank.samples.push_back(struck_sample());
    sf2::Zone zone;
    zone.link = 0;
    zone.gen(sf2::SAMPLE_MODES, 1)
        .gen(sf2::RELEASE_VOL_ENV, RELEASE_8_SECONDS)
        .gen(GEN_FILTERFC, 7000)
        .gen(GEN_FILTERQ, 60)
        .gen(GEN_MODENVDECAY, 0)
        .gen(GEN_MODENVTOFILTERFC, 3600);
    bank.instruments.push_back(sf2::Instrument{"Struck", {zone}});
    sf2::Zone preset;
    preset.link = 0;
    bank.presets.push_back(sf2::Preset{"Struck", 0, 0, {preset}});
    return bank;
}

// A synthesizer at RATE with a profile and a bank loaded, released with the scope.
struct LoadedSynth {
    LoadedSynth(const std::string& bank, const korvel_profile_t& profile)
    {
        korvel_settings_setnum(settings, "synth.sample-rate", RATE);
        synth = new_korvel_synth(settings);
        korvel_synth_set_profile(synth, &profile);
        loaded = korvel_synth_sfload(synth, bank.c_str(), 1) > 0;
    }
    ~LoadedSynth()
    {
        delete_korvel_synth(synth);
        delete_korvel_settings(settings);
    }
    LoadedSynth(const LoadedSynth&) = delete;
    LoadedSynth& operator=(const LoadedSynth&) = delete;

    korvel_settings_t* settings = new_korvel_settings();
    korvel_synth_t* synth = nullptr;
    bool loaded = false;
};

struct Render {
    std::vector<float> left;
    std::vector<float> right;
    uint64_t voice_frames = 0;
};

// Channels at volumes from quiet to full, with their own expression and pan, strike the same keys again and
// again at several velocities for two seconds; then the song renders until every voice has ended.
Render play_phrase(const std::string& bank, const korvel_profile_t& profile)
{
    const LoadedSynth loaded(bank, profile);
    korvel_synth_t* synth = loaded.synth;
    Render out;
    if (!loaded.loaded) {
        ADD_FAILURE() << "cannot load " << bank;
        return out;
    }
    constexpr std::array<int, 6> volumes{30, 55, 80, 100, 127, 64};
    constexpr std::array<int, 6> expressions{127, 90, 60, 127, 40, 110};
    constexpr std::array<int, 6> pans{0, 32, 64, 96, 127, 20};
    for (int chan = 0; chan < 6; chan++) {
        korvel_synth_cc(synth, chan, 7, volumes[static_cast<size_t>(chan)]);
        korvel_synth_cc(synth, chan, 11, expressions[static_cast<size_t>(chan)]);
        korvel_synth_cc(synth, chan, 10, pans[static_cast<size_t>(chan)]);
    }
    const auto pull = [&] {
        const size_t at = out.left.size();
        out.left.resize(at + PULL);
        out.right.resize(at + PULL);
        korvel_synth_write_float(synth, PULL, out.left.data(), static_cast<int>(at), 1, out.right.data(),
                                 static_cast<int>(at), 1);
    };
    const int step_pulls = static_cast<int>(0.25 * RATE) / PULL;
    for (int step = 0; step < 8; step++) {
        for (int chan = 0; chan < 6; chan++) {
            const int key = 48 + 7 * chan + 12 * (step % 2);
            korvel_synth_noteoff(synth, chan, key);
            korvel_synth_noteon(synth, chan, key, 30 + 14 * ((step + chan) % 7));
        }
        for (int p = 0; p < step_pulls; p++) {
            pull();
        }
    }
    korvel_synth_all_notes_off_all(synth);
    const size_t longest = static_cast<size_t>(14.0 * RATE);
    while (out.left.size() < longest && synth->nsounding > 0) {
        pull();
    }
    out.voice_frames = synth->voice_frames;
    return out;
}

TEST(LevelEndTest, VoicesEndSoonerAndTheirDifferenceStaysBelowMinus90Decibels)
{
    const std::string bank = sf2::scratch_path("struck.sf2");
    ASSERT_TRUE(struck_bank().write(bank));
    korvel_profile_t by_envelope = korvel_product_profile;
    by_envelope.level_end_test = false;
    ::testing::internal::CaptureStdout();
    const Render before = play_phrase(bank, by_envelope);
    const Render after = play_phrase(bank, korvel_product_profile);
    ::testing::internal::GetCapturedStdout();

    ASSERT_GT(before.voice_frames, 0u);
    EXPECT_LT(static_cast<double>(after.voice_frames), 0.8 * static_cast<double>(before.voice_frames))
        << "the quiet loop ends voices well before their envelopes do";
    float difference = 0.0f;
    float peak = 0.0f;
    for (size_t i = 0; i < before.left.size(); i++) {
        const float l = i < after.left.size() ? after.left[i] : 0.0f;
        const float r = i < after.right.size() ? after.right[i] : 0.0f;
        difference = std::max({difference, std::fabs(before.left[i] - l), std::fabs(before.right[i] - r)});
        peak = std::max({peak, std::fabs(before.left[i]), std::fabs(before.right[i])});
    }
    EXPECT_GT(peak, 0.05f);
    EXPECT_LT(20.0 * std::log10(std::max(difference, 1e-12f)), -90.0);
}

TEST(LevelEndTest, SamplePeaksAreFoundAtLoad)
{
    const std::string bank = sf2::scratch_path("struck-peaks.sf2");
    ASSERT_TRUE(struck_bank().write(bank));
    const LoadedSynth loaded(bank, korvel_product_profile);
    ASSERT_TRUE(loaded.loaded);
    korvel_synth_t* synth = loaded.synth;
    korvel_voice_t* voice = nullptr;
    korvel_synth_noteon(synth, 0, 60, 100);
    for (int i = 0; i < synth->nvoice && voice == nullptr; i++) {
        if (korvel_voice_is_playing(synth->voice[i])) {
            voice = synth->voice[i];
        }
    }
    ASSERT_NE(voice, nullptr);
    const korvel_sample_t* sample = voice->osc->sample;
    ASSERT_EQ(sample->peaks_valid, 1);
    EXPECT_NEAR(sample->peak, 0.9f, 0.001f);
    EXPECT_NEAR(sample->loop_peak, QUIET_LEVEL, 0.0001);
}

// The loudest point on the left of a held note of preset 0:0 whose channel starts with controller `cc` at 0 and
// swells to 127 once the note is in its quiet loop.
float swell_peak(const std::string& bank, const korvel_profile_t& profile, int cc)
{
    const LoadedSynth loaded(bank, profile);
    EXPECT_TRUE(loaded.loaded);
    korvel_synth_t* synth = loaded.synth;
    korvel_synth_cc(synth, 0, cc, 0);
    korvel_synth_noteon(synth, 0, 60, 100);
    std::vector<float> left(PULL);
    std::vector<float> right(PULL);
    const int half_second = static_cast<int>(0.5 * RATE) / PULL;
    for (int p = 0; p < half_second; p++) {
        korvel_synth_write_float(synth, PULL, left.data(), 0, 1, right.data(), 0, 1);
    }
    korvel_synth_cc(synth, 0, cc, 127);
    float peak = 0.0f;
    for (int p = 0; p < half_second; p++) {
        korvel_synth_write_float(synth, PULL, left.data(), 0, 1, right.data(), 0, 1);
        for (const float point : left) {
            peak = std::max(peak, std::fabs(point));
        }
    }
    return peak;
}

TEST(LevelEndTest, AHeldNoteSwelledFromSilenceSoundsAsByItsEnvelope)
{
    const std::string bank = sf2::scratch_path("struck-swell.sf2");
    ASSERT_TRUE(struck_bank().write(bank));
    korvel_profile_t by_envelope = korvel_product_profile;
    by_envelope.level_end_test = false;
    for (const int cc : {7, 11}) {
        ::testing::internal::CaptureStdout();
        const float expected = swell_peak(bank, by_envelope, cc);
        const float heard = swell_peak(bank, korvel_product_profile, cc);
        ::testing::internal::GetCapturedStdout();
        EXPECT_GT(expected, 0.01f) << "controller " << cc;
        EXPECT_FLOAT_EQ(heard, expected) << "controller " << cc;
    }
}

TEST(LevelEndTest, AnEditedLoopHasItsPeakFoundAgain)
{
    const std::string bank = sf2::scratch_path("struck-edit.sf2");
    ASSERT_TRUE(struck_bank().write(bank));
    const LoadedSynth loaded(bank, korvel_product_profile);
    ASSERT_TRUE(loaded.loaded);
    korvel_synth_t* synth = loaded.synth;
    auto* sfont = static_cast<korvel_defsfont_t*>(korvel_synth_get_sfont(synth, 0)->data);
    auto* sample = static_cast<korvel_sample_t*>(sfont->sample->data);
    const std::string loud_loop = "<samples><sample lstart='" + std::to_string(sample->pstart + PERIOD) + "' lend='" +
                                  std::to_string(sample->pstart + (LOUD_PERIODS - 1) * PERIOD) + "'/></samples>";
    ::testing::internal::CaptureStdout();
    korvel_defsfont_set_sample(synth, sample->uid, loud_loop.c_str());
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(sample->peaks_valid, 1);
    EXPECT_NEAR(sample->loop_peak, 0.9f, 0.001f);
}

// A pad: a sine looped while the key is held, released over four seconds.
sf2::Bank pad_bank()
{
    sf2::Bank bank = sf2::looped_sample_bank(sf2::looped_sample("Pad", sf2::sine_wave(PERIOD, 8, 0.5), PERIOD, 60));
    bank.instruments[0].zones[0].gen(sf2::RELEASE_VOL_ENV, 2400);
    return bank;
}

// A tone that loops on silence while the key is held and, released (sample mode 3), plays on to a loud second
// after its loop: a release sound, kept clear of the loop by a few silent points.
sf2::Bank release_sound_bank()
{
    constexpr int SILENT_PERIODS = 4;
    constexpr int GAP = 8;
    sf2::Sample sample;
    sample.name = "Release";
    sample.rate = static_cast<uint32_t>(RATE);
    sample.data = sf2::sine_wave(PERIOD, 4, 0.5);
    sample.loop_start = static_cast<uint32_t>(sample.data.size());
    sample.data.resize(sample.data.size() + SILENT_PERIODS * PERIOD + GAP, 0);
    sample.loop_end = sample.loop_start + SILENT_PERIODS * PERIOD;
    const std::vector<int16_t> sound = sf2::sine_wave(PERIOD, static_cast<int>(RATE) / PERIOD, 0.8);
    sample.data.insert(sample.data.end(), sound.begin(), sound.end());
    sf2::Bank bank = sf2::looped_sample_bank(sample);
    bank.instruments[0].zones[0].gen(sf2::SAMPLE_MODES, 3).gen(sf2::RELEASE_VOL_ENV, 1200);
    return bank;
}

// A note on channel 0 of preset 0:0, played by a script that renders through `render(seconds)`; the case is heard
// in the last `heard_seconds` it renders.
struct SoundCase {
    const char* name;
    std::function<sf2::Bank()> bank;
    std::function<void(korvel_synth_t*, const std::function<void(double)>&)> play;
    double heard_seconds;
};

// The level in dB of full scale (root mean square over both sides) of the case's last heard_seconds.
double heard_level(const std::string& bank, const korvel_profile_t& profile, const SoundCase& sound)
{
    const LoadedSynth loaded(bank, profile);
    EXPECT_TRUE(loaded.loaded);
    std::vector<float> left;
    std::vector<float> right;
    const auto render = [&](double seconds) {
        for (int p = 0; p < static_cast<int>(seconds * RATE) / PULL; p++) {
            const size_t at = left.size();
            left.resize(at + PULL);
            right.resize(at + PULL);
            korvel_synth_write_float(loaded.synth, PULL, left.data(), static_cast<int>(at), 1, right.data(),
                                     static_cast<int>(at), 1);
        }
    };
    sound.play(loaded.synth, render);
    const size_t heard = std::min(left.size(), static_cast<size_t>(sound.heard_seconds * RATE));
    double energy = 0.0;
    for (size_t i = left.size() - heard; i < left.size(); i++) {
        energy += static_cast<double>(left[i]) * left[i] + static_cast<double>(right[i]) * right[i];
    }
    return 10.0 * std::log10(std::max(energy / static_cast<double>(2 * std::max<size_t>(heard, 1)), 1e-30));
}

TEST(LevelEndTest, NotesThatCanStillBeMadeAudibleSoundAsByTheirEnvelope)
{
    const SoundCase cases[] = {
        {"expression to 0 around a note-off and back 50 ms later", pad_bank,
         [](korvel_synth_t* synth, const std::function<void(double)>& render) {
             korvel_synth_noteon(synth, 0, 60, 100);
             render(0.5);
             korvel_synth_cc(synth, 0, 11, 0);
             render(0.01);
             korvel_synth_noteoff(synth, 0, 60);
             render(0.05);
             korvel_synth_cc(synth, 0, 11, 127);
             render(0.5);
         },
         0.4},
        {"a sample-mode-3 note released after looping on silence", release_sound_bank,
         [](korvel_synth_t* synth, const std::function<void(double)>& render) {
             korvel_synth_noteon(synth, 0, 60, 100);
             render(0.3);
             korvel_synth_noteoff(synth, 0, 60);
             render(0.3);
         },
         0.25},
        {"the master gain at 0 for 100 ms under a held note", pad_bank,
         [](korvel_synth_t* synth, const std::function<void(double)>& render) {
             const float gain = korvel_synth_get_gain(synth);
             korvel_synth_noteon(synth, 0, 60, 100);
             render(0.3);
             korvel_synth_set_gain(synth, 0.0f);
             render(0.1);
             korvel_synth_set_gain(synth, gain);
             render(0.3);
         },
         0.25},
    };
    korvel_profile_t by_envelope = korvel_product_profile;
    by_envelope.level_end_test = false;
    for (const SoundCase& sound : cases) {
        const std::string bank = sf2::scratch_path("audible.sf2");
        ASSERT_TRUE(sound.bank().write(bank)) << sound.name;
        ::testing::internal::CaptureStdout();
        const double expected = heard_level(bank, by_envelope, sound);
        const double heard = heard_level(bank, korvel_product_profile, sound);
        ::testing::internal::GetCapturedStdout();
        EXPECT_GT(expected, -40.0) << sound.name;
        EXPECT_NEAR(heard, expected, 1.0) << sound.name;
    }
}

// The pad with its level on the pitch wheel: 96 dB down at the bottom, full at the top.
sf2::Bank wheel_level_bank()
{
    sf2::Bank bank = pad_bank();
    const uint16_t wheel_falling = sf2::mod_source(KORVEL_MOD_PITCHWHEEL, false, true, false, 0);
    bank.instruments[0].zones[0].mod(sf2::Modulator{wheel_falling, GEN_ATTENUATION, 960, 0, 0});
    return bank;
}

TEST(LevelEndTest, ANoteTheWheelBringsUpFromSilenceSoundsAsOneHeldAtTheTop)
{
    const auto wheel_from = [](int msb) {
        return SoundCase{"wheel", wheel_level_bank,
                         [msb](korvel_synth_t* synth, const std::function<void(double)>& render) {
                             korvel_synth_pitch_bend(synth, 0, 0, msb);
                             korvel_synth_noteon(synth, 0, 60, 100);
                             render(0.5);
                             korvel_synth_pitch_bend(synth, 0, 127, 127);
                             render(0.3);
                         },
                         0.25};
    };
    const std::string bank = sf2::scratch_path("wheel.sf2");
    ASSERT_TRUE(wheel_level_bank().write(bank));
    ::testing::internal::CaptureStdout();
    const double at_the_top = heard_level(bank, korvel_product_profile, wheel_from(127));
    const double brought_up = heard_level(bank, korvel_product_profile, wheel_from(0));
    ::testing::internal::GetCapturedStdout();
    EXPECT_GT(at_the_top, -40.0);
    EXPECT_NEAR(brought_up, at_the_top, 1.0);
}

} // namespace
