// The voice's generator and modulator slots.
#include "sampler/src/voice/korvel_voice.h"
#include "tests/sampler/support/korvel_log_capture.h"
#include "tests/sampler/support/voice_record.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::unique_ptr<VoiceRecord> fresh_voice()
{
    auto record = std::make_unique<VoiceRecord>();
    korvel_gen_set_default_values(record->voice.gen);
    return record;
}

korvel_mod_t make_mod(int src1, int flags1, int dest, double amount)
{
    korvel_mod_t m{};
    korvel_mod_set_source1(&m, src1, flags1);
    korvel_mod_set_dest(&m, dest);
    korvel_mod_set_amount(&m, amount);
    return m;
}

TEST(VoiceSlots, GeneratorValuesSumUnlessTheNrpnValueIsAbsolute)
{
    auto record = fresh_voice();
    korvel_voice_t* voice = &record->voice;
    korvel_voice_gen_set(voice, GEN_ATTENUATION, 100.0f);
    korvel_voice_gen_incr(voice, GEN_ATTENUATION, 20.0f);
    voice->gen[GEN_ATTENUATION].mod = 5.0;
    voice->gen[GEN_ATTENUATION].nrpn = 1.0;
    EXPECT_EQ(voice->gen[GEN_ATTENUATION].flags, GEN_SET);
    EXPECT_EQ(korvel_voice_gen_get(voice, GEN_ATTENUATION), 120.0f);
    EXPECT_EQ(korvel_voice_gen_value(voice, GEN_ATTENUATION), 126.0f);
    voice->gen[GEN_ATTENUATION].flags = GEN_ABS_NRPN;
    EXPECT_EQ(korvel_voice_gen_value(voice, GEN_ATTENUATION), 1.0f);
}

TEST(VoiceSlots, AddingModulatorsByMode)
{
    auto record = fresh_voice();
    korvel_voice_t* voice = &record->voice;
    korvel_mod_t att = make_mod(7, KORVEL_MOD_CC, GEN_ATTENUATION, 100.0);
    korvel_voice_add_mod(voice, &att, KORVEL_VOICE_DEFAULT);
    korvel_voice_add_mod(voice, &att, KORVEL_VOICE_ADD);
    EXPECT_EQ(voice->mod_count, 1);
    EXPECT_EQ(voice->mod[0].amount, 200.0);
    att.amount = 30.0;
    korvel_voice_add_mod(voice, &att, KORVEL_VOICE_OVERWRITE);
    EXPECT_EQ(voice->mod_count, 1);
    EXPECT_EQ(voice->mod[0].amount, 30.0);
    korvel_voice_add_mod(voice, &att, KORVEL_VOICE_DEFAULT);
    EXPECT_EQ(voice->mod_count, 2);
    EXPECT_EQ(voice->mod[1].id, -1);
}

TEST(VoiceSlots, InvalidGeneralSourcesAreRefusedAndTheListIsBounded)
{
    auto record = fresh_voice();
    korvel_voice_t* voice = &record->voice;
    korvel_test::LogCapture capture;
    korvel_mod_t bad = make_mod(5, 0, GEN_PAN, 1.0);
    korvel_voice_add_mod(voice, &bad, KORVEL_VOICE_DEFAULT);
    EXPECT_EQ(voice->mod_count, 0);
    EXPECT_EQ(capture.texts(KORVEL_WARN),
              (std::vector<std::string>{"Ignoring invalid controller, using non-CC source 5."}));
    for (int i = 0; i < 70; i++) {
        korvel_mod_t m = make_mod(i, KORVEL_MOD_CC, GEN_PAN, 1.0);
        korvel_voice_add_mod(voice, &m, KORVEL_VOICE_DEFAULT);
    }
    EXPECT_EQ(voice->mod_count, KORVEL_VOICE_MAX_MODS);
}

// A voice of a pool, built in parts that a single allocation holds, starts as a voice that new_korvel_voice makes:
// its block objects belong to it and stand as their own creators leave them.
TEST(VoiceCreation, PoolVoicesStartAsLoneVoices)
{
    korvel_voice_t* lone = new_korvel_voice(nullptr, 44100.0f);
    ASSERT_NE(lone, nullptr);
    korvel_voice_parts_t* parts = new_korvel_voice_parts(3);
    ASSERT_NE(parts, nullptr);
    std::vector<korvel_voice_arrays_t> arrays(3);
    for (int i = 0; i < 3; i++) {
        korvel_voice_t* voice = new_korvel_voice_in(nullptr, 44100.0f, &parts[i], &arrays[static_cast<size_t>(i)]);
        SCOPED_TRACE(i);
        for (korvel_voice_t* v : {lone, voice}) {
            EXPECT_EQ(v->status, KORVEL_VOICE_CLEAN);
            EXPECT_EQ(v->chan, KORVEL_NO_CHANNEL);
            EXPECT_EQ(v->output_rate, 44100.0f);
            EXPECT_EQ(v->viblfo->owner, v);
            EXPECT_EQ(v->modlfo->owner, v);
            EXPECT_EQ(v->volenv->owner, v);
            EXPECT_EQ(v->modenv->owner, v);
            EXPECT_EQ(v->osc->owner, v);
            EXPECT_EQ(v->filter->owner, v);
            EXPECT_EQ(v->fx->voice, v);
        }
        EXPECT_EQ(voice, &parts[i].voice);
        EXPECT_EQ(voice->gen, arrays[static_cast<size_t>(i)].gen);
        EXPECT_EQ(voice->osc->sampler, &parts[i].sampler);
        EXPECT_EQ(voice->osc->sampler->getPitch(), lone->osc->sampler->getPitch());
        EXPECT_EQ(voice->osc->sampler->getTempo(), lone->osc->sampler->getTempo());
        EXPECT_EQ(voice->osc->sampler->getRepeatTime(), lone->osc->sampler->getRepeatTime());
        for (int section = 0; section < KORVEL_ENV_SECTIONS; section++) {
            for (auto envelope : {&korvel_voice_t::volenv, &korvel_voice_t::modenv}) {
                const korvel_env_section_t& got = (voice->*envelope)->data[section];
                const korvel_env_section_t& want = (lone->*envelope)->data[section];
                EXPECT_EQ(got.count, want.count);
                EXPECT_EQ(got.coeff, want.coeff);
                EXPECT_EQ(got.incr, want.incr);
                EXPECT_EQ(got.min, want.min);
                EXPECT_EQ(got.max, want.max);
            }
        }
        for (int slot = 0; slot < KORVEL_FX_SLOTS; slot++) {
            EXPECT_EQ(voice->fx->saturation[slot], &parts[i].saturation[slot]);
            EXPECT_EQ(voice->fx->saturation[slot]->amount, lone->fx->saturation[slot]->amount);
            EXPECT_EQ(voice->fx->saturation[slot]->drive, lone->fx->saturation[slot]->drive);
        }
    }
    delete_korvel_voice_parts(parts, 3);
    EXPECT_EQ(delete_korvel_voice(lone), 0);
}

} // namespace
