// An instance driven only through the flat interface: MIDI in by short and long messages, audio out by pulls.
#include "sampler/src/sys/korvel_log_limit.h"
#include "sampler/src/korvelsynth.h"
#include "tests/sampler/support/sf2_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr unsigned int ID = 77;
constexpr int PULL = KORVEL_IOS_AUDIO_BUFSIZE;
constexpr double RATE = 48000.0;

// One preset 0:0 on a looped sine of half scale that sounds 440 Hz at key 69, released over half a second.
sf2::Bank sine_bank()
{
    sf2::Bank bank = sf2::looped_sample_bank(sf2::looped_sample("A440", sf2::sine_wave(100, 40), 100, 69, 44000));
    bank.instruments[0].zones[0].gen(sf2::RELEASE_VOL_ENV, -1200);
    return bank;
}

struct Signal {
    std::vector<float> left;
    std::vector<float> right;
};

// Frequency from the rising zero crossings, each placed between its two frames.
double frequency(const std::vector<float>& s)
{
    double first = -1.0;
    double last = -1.0;
    int crossings = 0;
    for (size_t i = 1; i < s.size(); i++) {
        if (s[i - 1] < 0.0f && s[i] >= 0.0f) {
            const double at = static_cast<double>(i - 1) + s[i - 1] / (s[i - 1] - s[i]);
            first = first < 0.0 ? at : first;
            last = at;
            crossings++;
        }
    }
    return crossings > 1 ? (crossings - 1) * RATE / (last - first) : 0.0;
}

double peak(const std::vector<float>& s, size_t from, size_t to)
{
    float p = 0.0f;
    for (size_t i = from; i < to && i < s.size(); i++) {
        p = std::max(p, std::fabs(s[i]));
    }
    return p;
}

class InstanceEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string bank = sf2::scratch_path("sine.sf2");
        ASSERT_TRUE(sine_bank().write(bank));
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        const int result = KorvelInitialize(sf2::scratch_path("").c_str(), bank.c_str(), ID);
        init_out = ::testing::internal::GetCapturedStdout();
        init_err = ::testing::internal::GetCapturedStderr();
        ASSERT_EQ(result, 0);
        korvel_log_limits_reopen(); // the lines that calls on the render path print are checked here
    }

    void TearDown() override
    {
        ::testing::internal::CaptureStdout();
        EXPECT_EQ(KorvelFinalize(ID), 0);
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_NE(out.find("Soundfont Synthesizer: Der Audio Treiber wurde gelöscht. \n"), std::string::npos);
    }

    // At least the given time, in whole pulls of the largest size.
    Signal render(double seconds)
    {
        Signal s;
        const int pulls = static_cast<int>(std::ceil(seconds * RATE / PULL));
        s.left.resize(static_cast<size_t>(pulls * PULL));
        s.right.resize(s.left.size());
        for (int p = 0; p < pulls; p++) {
            EXPECT_EQ(korvelsynth_process(ID, PULL, s.left.data() + p * PULL, s.right.data() + p * PULL), 0);
        }
        return s;
    }

    std::string init_out;
    std::string init_err;
};

TEST_F(InstanceEndToEnd, InitialisationMakesThePullDriver)
{
    EXPECT_NE(init_out.find("Soundfont Synthesizer: Der Audio Treiber wird initialisiert... \n"
                            "Soundfont Synthesizer: Der Audio Treiber wurde initialisiert. \n"),
              std::string::npos);
    EXPECT_EQ(init_err.find("FEHLER"), std::string::npos);
}

TEST_F(InstanceEndToEnd, ANoteSoundsAtItsPitchAndLevelAndIsReleasedByNoteOff)
{
    // Full channel volume, so the level is the sample's times the synthesizer gain times the centre pan.
    ASSERT_EQ(korvelsynth_midi_short_message(ID, 0xB0, 7, 127), 0);
    const struct {
        int key;
        double hz;
    } notes[] = {{69, 440.0}, {81, 880.0}, {57, 220.0}};
    for (const auto& note : notes) {
        ASSERT_EQ(korvelsynth_midi_short_message(ID, 0x90, static_cast<unsigned char>(note.key), 127), 0);
        const Signal held = render(1.0);
        const size_t settled = 4800;
        EXPECT_NEAR(frequency(held.left), note.hz, 0.5) << note.key;
        EXPECT_NEAR(frequency(held.right), note.hz, 0.5) << note.key;
        const double level = 0.5 * 0.5 * std::sin(500.0 * M_PI / 2002.0);
        EXPECT_NEAR(peak(held.left, settled, held.left.size()), level, level * 0.01) << note.key;
        EXPECT_NEAR(peak(held.right, settled, held.right.size()), level, level * 0.01) << note.key;

        ASSERT_EQ(korvelsynth_midi_short_message(ID, 0x80, static_cast<unsigned char>(note.key), 0), 0);
        const Signal released = render(0.6);
        const double early = peak(released.left, 480, 960);
        EXPECT_LT(early, level * 0.95) << note.key << " decays at once";
        EXPECT_GT(early, level * 0.5) << note.key << " is released, not cut";
        EXPECT_LT(peak(released.left, 24000, released.left.size()), level * 1e-3) << note.key;
    }
}

TEST_F(InstanceEndToEnd, AllSoundsOffSilencesTheNextPull)
{
    ASSERT_EQ(korvelsynth_midi_short_message(ID, 0x93, 60, 100), 0);
    korvel_synth_t* synth = KorvelGetSynth(ID);
    ASSERT_EQ(synth->voice[0]->status, KORVEL_VOICE_ON);
    EXPECT_EQ(synth->voice[0]->chan, 3);
    EXPECT_EQ(synth->voice[0]->key, 60);
    EXPECT_EQ(synth->voice[0]->vel, 100);
    const Signal held = render(0.1);
    EXPECT_GT(peak(held.left, 0, held.left.size()), 0.05);

    EXPECT_EQ(korvelsynth_all_sounds_off(ID), 0);
    const Signal after = render(0.1);
    EXPECT_EQ(peak(after.left, 0, after.left.size()), 0.0);
    EXPECT_EQ(peak(after.right, 0, after.right.size()), 0.0);
}

TEST_F(InstanceEndToEnd, OversizedPullsAndMessagesAreRefusedWithoutEffect)
{
    ASSERT_EQ(korvelsynth_midi_short_message(ID, 0x90, 69, 127), 0);
    std::vector<float> left(PULL + 1, 7.0f);
    std::vector<float> right(PULL + 1, 7.0f);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(korvelsynth_process(ID, PULL + 1, left.data(), right.data()), -1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "FEHLER: Die Größe des Audio Buffers ist nicht ausreichend.");
    EXPECT_TRUE(std::all_of(left.begin(), left.end(), [](float v) { return v == 7.0f; }));
    EXPECT_TRUE(std::all_of(right.begin(), right.end(), [](float v) { return v == 7.0f; }));
    EXPECT_EQ(korvelsynth_process(ID, PULL, left.data(), right.data()), 0);
    EXPECT_NE(left[100], 7.0f);
    EXPECT_EQ(left[PULL], 7.0f);

    std::vector<unsigned char> sysex(255, 0x7F);
    EXPECT_EQ(korvelsynth_midi_long_message(ID, sysex.data(), 254), 0);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(korvelsynth_midi_long_message(ID, sysex.data(), 255), -1);
    EXPECT_EQ(korvelsynth_midi_long_message(ID, sysex.data(), -1), -1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "SYSEX message too long!");
}

TEST_F(InstanceEndToEnd, AMissingInstanceIsNamedAndNothingHappens)
{
    float left[16] = {};
    float right[16] = {};
    const unsigned char sysex[] = {0x7E, 0x7F};
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(korvelsynth_midi_short_message(ID + 1, 0x90, 60, 100), -1);
    EXPECT_EQ(korvelsynth_midi_long_message(ID + 1, sysex, 2), -1);
    EXPECT_EQ(korvelsynth_process(ID + 1, 16, left, right), -1);
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Soundfont Synthesizer: Instance assignment failed.\n"
                   "Soundfont Synthesizer: Instance assignment failed.\n"
                   "Soundfont Synthesizer: Instance assignment failed.\n");
    EXPECT_EQ(KorvelGetSynth(ID)->voice[0]->status, KORVEL_VOICE_CLEAN);
}

} // namespace
