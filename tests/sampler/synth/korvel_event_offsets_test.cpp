// Event offsets: with them in the profile, a pull renders exactly the frames it hands out, so that a note started
// between two pulls sounds from the frame where the first ended; without them the note waits for the next block.
// Reverb and chorus give the same signal whichever way the frames are pulled.
#include "sampler/src/voice/korvel_profile.h"
#include "sampler/src/sys/korvel_settings.h"
#include "sampler/src/synth/korvel_synth.h"
#include "sampler/src/synth/korvel_synth_midi.h"
#include "sampler/src/synth/korvel_synth_render.h"
#include "tests/sampler/support/sf2_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int BLOCK = KORVEL_BUFSIZE;

struct Signal {
    std::vector<float> left;
    std::vector<float> right;

    void append(const Signal& more)
    {
        left.insert(left.end(), more.left.begin(), more.left.end());
        right.insert(right.end(), more.right.begin(), more.right.end());
    }
};

// Index of the first sample that is not zero, or the length.
size_t first_sound(const std::vector<float>& samples)
{
    return static_cast<size_t>(
        std::find_if(samples.begin(), samples.end(), [](float x) { return x != 0.0f; }) - samples.begin());
}

// Index of the first frame where the two signals part, or the shorter length.
size_t first_difference(const Signal& a, const Signal& b)
{
    const size_t n = std::min(a.left.size(), b.left.size());
    for (size_t i = 0; i < n; i++) {
        if (std::fabs(a.left[i] - b.left[i]) > 1e-7f || std::fabs(a.right[i] - b.right[i]) > 1e-7f) {
            return i;
        }
    }
    return n;
}

korvel_profile_t offsets_only()
{
    korvel_profile_t profile{};
    profile.event_offsets = true;
    return profile;
}

korvel_profile_t product_without_offsets()
{
    korvel_profile_t profile = korvel_product_profile;
    profile.event_offsets = false;
    return profile;
}

class EventOffsets : public ::testing::Test {
protected:
    void SetUp() override
    {
        bank = sf2::scratch_path("general.sf2");
        ASSERT_TRUE(sf2::general_bank().write(bank));
    }

    void TearDown() override { close(); }

    void open(const korvel_profile_t& profile)
    {
        close();
        ::testing::internal::CaptureStdout();
        settings = new_korvel_settings();
        korvel_settings_setnum(settings, "synth.sample-rate", 48000.0);
        synth = new_korvel_synth(settings);
        const int loaded = synth != nullptr ? korvel_synth_sfload(synth, bank.c_str(), 1) : -1;
        ::testing::internal::GetCapturedStdout();
        ASSERT_GT(loaded, 0);
        korvel_synth_set_profile(synth, &profile);
    }

    void close()
    {
        delete_korvel_synth(synth);
        delete_korvel_settings(settings);
        synth = nullptr;
        settings = nullptr;
    }

    // One stereo pull of n frames.
    Signal pull(int n)
    {
        Signal s{std::vector<float>(static_cast<size_t>(n)), std::vector<float>(static_cast<size_t>(n))};
        korvel_synth_write_float(synth, n, s.left.data(), 0, 1, s.right.data(), 0, 1);
        return s;
    }

    // Pulls frames frames in pulls of the sizes given, over and over.
    Signal pull_in(int frames, const std::vector<int>& sizes)
    {
        Signal s;
        for (size_t i = 0; static_cast<int>(s.left.size()) < frames; i++) {
            s.append(pull(std::min(sizes[i % sizes.size()], frames - static_cast<int>(s.left.size()))));
        }
        return s;
    }

    // A note started after the first `at` frames, in 2048 frames pulled around it.
    Signal note_after(int at)
    {
        Signal s = pull(at);
        EXPECT_EQ(korvel_synth_noteon(synth, 0, 69, 100), 0);
        s.append(pull(2048 - at));
        return s;
    }

    std::string bank;
    korvel_settings_t* settings = nullptr;
    korvel_synth_t* synth = nullptr;
};

TEST_F(EventOffsets, ANoteStartedBetweenTwoPullsSoundsFromTheFrameWhereTheFirstEnded)
{
    open(offsets_only());
    const Signal reference = note_after(0);
    const size_t onset = first_sound(reference.left);
    ASSERT_LE(onset, 1u) << "the gain ramp of a note starts from silence at its first frame";

    for (const int at : {1, 100, 255, 256, 300}) {
        SCOPED_TRACE(at);
        for (const korvel_profile_t& profile : {offsets_only(), korvel_product_profile}) {
            open(profile);
            const Signal s = note_after(at);
            EXPECT_EQ(first_sound(s.left), at + onset);
            if (!profile.voice_sends) {
                for (size_t i = 0; i + at < s.left.size(); i++) {
                    ASSERT_EQ(s.left[i + at], reference.left[i]) << "frame " << i << " of the note";
                }
            }
        }
        open(product_without_offsets());
        const size_t next_block = static_cast<size_t>((at + BLOCK - 1) / BLOCK * BLOCK);
        EXPECT_EQ(first_sound(note_after(at).left), next_block + onset) << "without offsets, at the next block";
    }
}

TEST_F(EventOffsets, NoteOffsBendsAndControllersTakeEffectAtTheirOwnFrame)
{
    const struct {
        const char* name;
        std::function<int(korvel_synth_t*)> send;
    } events[] = {{"note-off", [](korvel_synth_t* s) { return korvel_synth_noteoff(s, 0, 69); }},
                  {"pitch bend", [](korvel_synth_t* s) { return korvel_synth_pitch_bend(s, 0, 12000 % 128, 12000 / 128); }},
                  {"volume", [](korvel_synth_t* s) { return korvel_synth_cc(s, 0, 7, 40); }},
                  {"expression", [](korvel_synth_t* s) { return korvel_synth_cc(s, 0, 11, 90); }}};
    constexpr int FRAMES = 4 * BLOCK;
    open(korvel_product_profile);
    ASSERT_EQ(korvel_synth_noteon(synth, 0, 69, 100), 0);
    const Signal reference = pull(FRAMES);
    for (const auto& event : events) {
        for (const int at : {1, 255, 257, 770}) {
            SCOPED_TRACE(::testing::Message() << event.name << " at frame " << at);
            open(korvel_product_profile);
            ASSERT_EQ(korvel_synth_noteon(synth, 0, 69, 100), 0);
            Signal s = pull(at);
            ASSERT_EQ(event.send(synth), 0);
            s.append(pull(FRAMES - at));
            const size_t parted = first_difference(reference, s);
            EXPECT_GE(parted, static_cast<size_t>(at));
            EXPECT_LE(parted, static_cast<size_t>(at + 1));
        }
    }
}

TEST_F(EventOffsets, ReverbAndChorusGiveTheSameSignalHoweverTheFramesArePulled)
{
    const struct {
        const char* name;
        korvel_profile_t profile;
        std::vector<int> sizes;
    } cases[] = {{"whole blocks without offsets", product_without_offsets(), {BLOCK}},
                 {"whole blocks", korvel_product_profile, {BLOCK}},
                 {"parts", korvel_product_profile, {100, 37, 300, 1, 255}}};
    constexpr int NOTE = 19 * BLOCK; // ends at a block boundary, where the note ends for every case
    Signal expected;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        open(c.profile);
        ASSERT_EQ(korvel_synth_cc(synth, 0, 91, 127), 0);
        ASSERT_EQ(korvel_synth_cc(synth, 0, 93, 127), 0);
        ASSERT_EQ(korvel_synth_noteon(synth, 0, 69, 100), 0);
        Signal s = pull_in(NOTE, c.sizes);
        korvel_synth_all_sounds_off_all(synth);
        s.append(pull_in(48000, c.sizes));
        const float tail = *std::max_element(s.left.begin() + NOTE + 24000, s.left.end());
        EXPECT_GT(tail, 0.0f) << "the reverb rings half a second after the last voice";
        if (expected.left.empty()) {
            expected = s;
            continue;
        }
        ASSERT_EQ(s.left.size(), expected.left.size());
        for (size_t i = 0; i < s.left.size(); i++) {
            ASSERT_EQ(s.left[i], expected.left[i]) << "left frame " << i;
            ASSERT_EQ(s.right[i], expected.right[i]) << "right frame " << i;
        }
    }
}

TEST_F(EventOffsets, NotesStartedInsideABlockSoundThroughItsLaterParts)
{
    // Two notes at frames 10 and 30, pulled around them in one part each or in parts of 10 frames.
    Signal expected;
    for (const int part : {2048, 10}) {
        SCOPED_TRACE(part);
        open(offsets_only());
        Signal s = pull(10);
        ASSERT_EQ(korvel_synth_noteon(synth, 0, 69, 100), 0);
        s.append(pull_in(20, {part}));
        ASSERT_EQ(korvel_synth_noteon(synth, 1, 76, 100), 0);
        s.append(pull_in(2048 - 30, {part}));
        if (expected.left.empty()) {
            expected = s;
            continue;
        }
        for (size_t i = 0; i < s.left.size(); i++) {
            ASSERT_EQ(s.left[i], expected.left[i]) << "frame " << i;
        }
    }
}

TEST_F(EventOffsets, TheMultiBufferPullRendersTheFramesItHandsOut)
{
    open(korvel_product_profile);
    ASSERT_EQ(korvel_synth_cc(synth, 0, 91, 127), 0);
    std::vector<std::vector<float>> dry(static_cast<size_t>(2 * synth->audio_channels), std::vector<float>(100));
    std::vector<std::vector<float>> fx(static_cast<size_t>(2 * synth->effects_channels), std::vector<float>(100));
    std::vector<float*> left, right, fx_left, fx_right;
    for (int i = 0; i < synth->audio_channels; i++) {
        left.push_back(dry[static_cast<size_t>(2 * i)].data());
        right.push_back(dry[static_cast<size_t>(2 * i + 1)].data());
    }
    for (int i = 0; i < synth->effects_channels; i++) {
        fx_left.push_back(fx[static_cast<size_t>(2 * i)].data());
        fx_right.push_back(fx[static_cast<size_t>(2 * i + 1)].data());
    }
    ASSERT_EQ(korvel_synth_nwrite_float(synth, 100, left.data(), right.data(), fx_left.data(), fx_right.data()), 0);
    ASSERT_EQ(korvel_synth_noteon(synth, 0, 69, 100), 0);
    ASSERT_EQ(korvel_synth_nwrite_float(synth, 100, left.data(), right.data(), fx_left.data(), fx_right.data()), 0);
    EXPECT_EQ(first_sound(dry[0]), 1u) << "the note starts at the first frame of the second pull";
}

} // namespace

// Voices started on different frames leave runs of different lengths in every part; their filters run side by side
// in vector lanes all the same, and each sounds as it does alone (the sum of separate renders, within float
// rounding). The filters are closed and resonant, differently on each channel.
TEST_F(EventOffsets, FilteredVoicesStartedOnDifferentFramesSoundAsEachAlone)
{
    korvel_profile_t profile = korvel_product_profile;
    profile.voice_sends = false;
    constexpr int VOICES = 9;
    const std::vector<int> pulls{37, 101, 190, 64, 256, 5, 77, 300};
    const auto play = [&](int only) {
        open(profile);
        // Reverb and chorus off: each unit's few-millionths of rounding noise would count once per render.
        korvel_synth_set_reverb_on(synth, 0);
        korvel_synth_set_chorus_on(synth, 0);
        for (int chan = 0; chan < VOICES; chan++) {
            korvel_synth_set_gen(synth, chan, GEN_FILTERFC, -3000.0f - 200.0f * static_cast<float>(chan));
            korvel_synth_set_gen(synth, chan, GEN_FILTERQ, 40.0f + 20.0f * static_cast<float>(chan % 3));
        }
        Signal s;
        for (int v = 0; v < VOICES; v++) {
            if (only < 0 || only == v) {
                EXPECT_EQ(korvel_synth_noteon(synth, v, 50 + 3 * v, 90), 0);
            }
            s.append(pull(pulls[static_cast<size_t>(v) % pulls.size()]));
        }
        s.append(pull_in(6000, pulls));
        return s;
    };
    const Signal together = play(-1);
    Signal alone = play(0);
    for (int v = 1; v < VOICES; v++) {
        const Signal one = play(v);
        for (size_t i = 0; i < alone.left.size(); i++) {
            alone.left[i] += one.left[i];
            alone.right[i] += one.right[i];
        }
    }
    float peak = 0.0f;
    for (float x : together.left) {
        peak = std::max(peak, std::fabs(x));
    }
    EXPECT_GT(peak, 0.01f);
    ASSERT_EQ(together.left.size(), alone.left.size());
    for (size_t i = 0; i < together.left.size(); i++) {
        ASSERT_NEAR(together.left[i], alone.left[i], 1e-6f * peak) << i;
        ASSERT_NEAR(together.right[i], alone.right[i], 1e-6f * peak) << i;
    }
}
