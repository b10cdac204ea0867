// The block mixer over a pool of voices playing a generated sine: group routing and summation, the early end of a
// silent block, send buses that open with their switches, insert and master effects once per block.
#include "sampler/src/synth/korvel_chan.h"
#include "sampler/src/sys/korvel_conv.h"
#include "sampler/src/synth/korvel_mix.h"
#include "sampler/src/fx/korvel_saturation.h"
#include "sampler/src/voice/korvel_voice.h"
#include "tests/sampler/support/sf2_fixture.h"
#include "tests/sampler/support/sf2_load_result.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr float RATE = 48000.0f;
constexpr int BLOCK = KORVEL_BUFSIZE;
constexpr int BUFFER = 260;
constexpr int VOICES = 4;

korvel_mod_t* const default_mods[] = {
    &default_vel2reso_mod, &default_vel2att_mod, &default_vel2filter_mod, &default_at2viblfo_mod,
    &default_mod2viblfo_mod, &default_att_mod, &default_pan_mod, &default_expr_mod,
    &default_reverb_mod, &default_chorus_mod, &default_pitch_bend_mod};

using Signal = std::vector<float>;

// Voices, 32 channels, the buffers and effect records of a synthesizer as created: reverb, chorus and variation 1
// switched on, variation 1 with a high-pass in its first slot, every other slot empty.
class Rig {
public:
    explicit Rig(int ngroups = 16)
    {
        korvel_conversion_config();
        loaded = std::make_unique<sf2::LoadResult>(sf2::general_bank().bytes());
        sine = static_cast<korvel_sample_t*>(korvel_list_nth(loaded->bank->sample, 0)->data);
        for (int c = 0; c < 32; c++) {
            korvel_channel_t& ch = channels[static_cast<size_t>(c)];
            ch.channum = static_cast<unsigned int>(c);
            ch.pitch_bend = 8192;
            ch.pitch_wheel_sensitivity = 2;
            ch.cc[7] = 127;
            ch.cc[10] = 64;
            ch.cc[11] = 127;
            ch.cc[43] = 127;
            ch.interp_method = 4;
        }
        for (int v = 0; v < VOICES; v++) {
            voices.push_back(new_korvel_voice(nullptr, RATE));
        }
        for (auto& b : dry) {
            b.assign(BUFFER, 0.0f);
        }
        for (auto& b : wet) {
            b.assign(BUFFER, 0.0f);
        }
        for (int i = 0; i < 16; i++) {
            left[i] = dry[2 * i].data();
            right[i] = dry[2 * i + 1].data();
            group_fx[i] = new_korvel_channel_fx(nullptr);
        }
        for (int i = 0; i < 6; i++) {
            fx_left[i] = wet[2 * i].data();
            fx_right[i] = wet[2 * i + 1].data();
        }
        for (auto& v : variation_fx) {
            v = new_korvel_send_fx(nullptr);
        }
        korvel_fx_set_slot(variation_fx[0], 0, KORVEL_FX_HPFILTER, RATE);
        master_fx = new_korvel_master_fx(nullptr);
        reverb = new_korvel_revmodel();
        chorus = new_korvel_chorus(RATE);

        mix.voices = voices.data();
        mix.nvoices = VOICES;
        mix.ngroups = ngroups;
        mix.nbuf = 16;
        mix.neffects = 6;
        mix.left = left.data();
        mix.right = right.data();
        mix.fx_left = fx_left.data();
        mix.fx_right = fx_right.data();
        mix.group_fx = group_fx.data();
        mix.reverb = reverb;
        mix.chorus = chorus;
        mix.variation_fx = variation_fx.data();
        mix.master_fx = master_fx;
        mix.bus_on[KORVEL_BUS_REVERB] = 1;
        mix.bus_on[KORVEL_BUS_CHORUS] = 1;
        mix.bus_on[KORVEL_BUS_VARIATION1] = 1;
    }

    ~Rig()
    {
        for (korvel_voice_t* v : voices) {
            korvel_voice_off(v); // lets go of the sample before the bank goes
            delete_korvel_voice(v);
        }
        for (auto* fx : group_fx) {
            delete_korvel_channel_fx(fx);
        }
        for (auto* fx : variation_fx) {
            delete_korvel_send_fx(fx);
        }
        delete_korvel_master_fx(master_fx);
        delete_korvel_revmodel(reverb);
        delete_korvel_chorus(chorus);
    }

    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    void play(int voice, int chan, int key)
    {
        korvel_voice_t* v = voices[static_cast<size_t>(voice)];
        ASSERT_EQ(korvel_voice_init(v, sine, &channels[static_cast<size_t>(chan)], key, 100,
                                    static_cast<unsigned int>(voice + 1), 0, 0.5f),
                  0);
        for (korvel_mod_t* m : default_mods) {
            korvel_voice_add_mod(v, m, KORVEL_VOICE_DEFAULT);
        }
        korvel_voice_start(v);
    }

    // Renders blocks and returns what the first group's pair (or the named buffer) held after each.
    Signal render(int blocks, int mode = KORVEL_MIX_INTO_DRY, float* const* watch = nullptr)
    {
        Signal out;
        for (int b = 0; b < blocks; b++) {
            korvel_mix_block(&mix, mode);
            const float* buf = watch != nullptr ? *watch : left[0];
            out.insert(out.end(), buf, buf + BLOCK);
        }
        return out;
    }

    std::unique_ptr<sf2::LoadResult> loaded;
    korvel_sample_t* sine = nullptr;
    std::array<korvel_channel_t, 32> channels{};
    std::vector<korvel_voice_t*> voices;
    std::array<Signal, 32> dry;
    std::array<Signal, 12> wet;
    std::array<float*, 16> left{};
    std::array<float*, 16> right{};
    std::array<float*, 6> fx_left{};
    std::array<float*, 6> fx_right{};
    std::array<korvel_channel_fx_t*, 16> group_fx{};
    std::array<korvel_send_fx_t*, 4> variation_fx{};
    korvel_master_fx_t* master_fx = nullptr;
    korvel_revmodel_t* reverb = nullptr;
    korvel_chorus_t* chorus = nullptr;
    korvel_mix_t mix{};
};

bool silent(const Signal& s)
{
    for (float x : s) {
        if (x != 0.0f) {
            return false;
        }
    }
    return true;
}

bool silent(const float* buf)
{
    return silent(Signal(buf, buf + BLOCK));
}

// Saturates a signal block by block with one fresh object, as an insert slot does.
Signal saturated(Signal s)
{
    korvel_saturation_t* sat = saturation_create();
    for (size_t at = 0; at < s.size(); at += BLOCK) {
        saturation_process1(sat, s.data() + at, BLOCK);
    }
    saturation_destroy(sat);
    return s;
}

TEST(BlockMixer, TheFirstGroupHoldsTheSumOfTheUsedGroups)
{
    auto alone = [](int chan, int key) {
        Rig rig;
        rig.mix.bus_on[KORVEL_BUS_REVERB] = 0; // its lines start at 1e-8, which would add to every output
        rig.play(0, chan, key);
        return rig.render(6);
    };
    Signal low = alone(0, 60);
    Signal high = alone(1, 67);

    Rig both;
    both.mix.bus_on[KORVEL_BUS_REVERB] = 0;
    both.play(0, 0, 60);
    both.play(1, 1, 67);
    Signal sum = both.render(6);
    ASSERT_FALSE(silent(low));
    ASSERT_FALSE(silent(high));
    for (size_t i = 0; i < sum.size(); i++) {
        ASSERT_EQ(sum[i], low[i] + high[i]) << "frame " << i;
    }
}

TEST(BlockMixer, AVoicePlaysInTheGroupOfItsChannel)
{
    struct Case {
        int groups;
        int chan;
        int group; // where the voice renders
    };
    const Case cases[] = {{16, 3, 3}, {16, 17, 1}, {4, 6, 2}, {1, 17, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.groups << " groups, channel " << c.chan);
        Rig rig(c.groups);
        rig.mix.bus_on[KORVEL_BUS_REVERB] = 0;
        rig.play(0, c.chan, 60);
        rig.render(2);
        for (int g = 0; g < 16; g++) {
            const bool expect_sound = g == c.group || g == 0;
            EXPECT_EQ(!silent(rig.left[g]), expect_sound) << "group " << g;
        }
        EXPECT_EQ(Signal(rig.left[0], rig.left[0] + BLOCK), Signal(rig.left[c.group], rig.left[c.group] + BLOCK));
    }
}

TEST(BlockMixer, ABlockWithoutSoundingVoicesStaysSilentAndRunsNoEffect)
{
    Rig rig;
    EXPECT_EQ(korvel_mix_block(&rig.mix, KORVEL_MIX_INTO_DRY), 0);
    rig.play(0, 0, 60);
    EXPECT_EQ(korvel_mix_block(&rig.mix, KORVEL_MIX_INTO_DRY), 1);
    EXPECT_EQ(korvel_mix_block(&rig.mix, KORVEL_MIX_REPLACE), 1);
    ASSERT_FALSE(silent(rig.fx_right[KORVEL_BUS_REVERB])) << "the reverb has a tail";

    korvel_voice_off(rig.voices[0]);
    for (int mode : {KORVEL_MIX_INTO_DRY, KORVEL_MIX_REPLACE}) {
        EXPECT_EQ(korvel_mix_block(&rig.mix, mode), 0);
        for (int i = 0; i < 16; i++) {
            EXPECT_TRUE(silent(rig.left[i]) && silent(rig.right[i])) << "dry pair " << i;
        }
        for (int i = 0; i < 6; i++) {
            EXPECT_TRUE(silent(rig.fx_left[i]) && silent(rig.fx_right[i])) << "effect pair " << i;
        }
    }
}

TEST(BlockMixer, TheReverbRunsOnlyWhileItsBusIsOpen)
{
    struct Case {
        bool reverb_on;
        int effects;
        bool runs;
    };
    const Case cases[] = {{true, 6, true}, {false, 6, false}, {true, 1, true}, {true, 0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "switch " << c.reverb_on << ", " << c.effects << " effect pairs");
        Rig replaced;
        replaced.mix.bus_on[KORVEL_BUS_REVERB] = c.reverb_on;
        replaced.mix.neffects = c.effects;
        replaced.play(0, 0, 60);
        Signal tail = replaced.render(2, KORVEL_MIX_REPLACE, &replaced.fx_right[KORVEL_BUS_REVERB]);
        EXPECT_EQ(!silent(tail), c.runs) << "replace mode writes the reverb over effect pair 0";

        Rig mixed;
        mixed.mix.bus_on[KORVEL_BUS_REVERB] = c.reverb_on;
        mixed.mix.neffects = c.effects;
        mixed.play(0, 0, 60);
        Rig dry;
        dry.mix.bus_on[KORVEL_BUS_REVERB] = 0;
        dry.play(0, 0, 60);
        EXPECT_EQ(mixed.render(2) != dry.render(2), c.runs) << "mix mode adds the reverb to the first group";
    }
}

TEST(BlockMixer, InsertAndMasterEffectsRunOncePerBlock)
{
    auto group_one = [](bool insert, bool master) {
        Rig rig;
        rig.mix.bus_on[KORVEL_BUS_REVERB] = 0;
        if (insert) {
            korvel_fx_set_slot(rig.group_fx[1], 2, KORVEL_FX_SATURATION, RATE);
        }
        if (master) {
            korvel_fx_set_slot(rig.master_fx, 0, KORVEL_FX_SATURATION, RATE);
        }
        rig.play(0, 1, 60);
        return rig.render(4);
    };
    const Signal plain = group_one(false, false);
    EXPECT_EQ(group_one(true, false), saturated(plain));
    EXPECT_EQ(group_one(false, true), saturated(plain));
    EXPECT_EQ(group_one(true, true), saturated(saturated(plain)));
}

TEST(BlockMixer, AnInsertOnAnUnusedGroupDoesNotRun)
{
    Rig rig;
    rig.mix.bus_on[KORVEL_BUS_REVERB] = 0;
    korvel_fx_set_slot(rig.group_fx[5], 0, KORVEL_FX_SATURATION, RATE);
    rig.play(0, 0, 60);
    rig.render(1);
    auto* sat = static_cast<korvel_saturation_t*>(rig.group_fx[5]->first[0]);
    EXPECT_EQ(sat->current, 0.0f) << "a saturation that ran has glided towards its amount";
}

} // namespace
