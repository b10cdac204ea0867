// The render-path operations of the voice blocks and effect records never allocate, counted by the shared
// counting allocator.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <cstdlib>
#include <new>
#include <vector>

#include "sampler/src/sys/korvel_conv.h"
#include "sampler/src/voice/korvel_envelope.h"
#include "sampler/src/voice/korvel_filter.h"
#include "sampler/src/fx/korvel_fx.h"
#include "sampler/src/voice/korvel_lfo.h"
#include "sampler/src/voice/korvel_oscillator.h"
#include "sampler/src/bank/korvel_sample.h"
#include "sampler/src/midi/korvel_audio_driver.h"
#include "sampler/src/sys/korvel_settings.h"
#include "sampler/src/synth/korvel_synth.h"
#include "sampler/src/synth/korvel_synth_render.h"
#include "sampler/src/midi/korvel_midi_router.h"
#include "sampler/src/midi/korvel_player.h"
#include "tests/support/AllocationCounter.h"

namespace {

// Allocations made by this thread since construction; the render calls below all run on the test's thread.
class CountAllocations {
 public:
  int count() const { return static_cast<int>(testsupport::allocationsOnThisThread() - start_); }

 private:
  std::uint64_t start_ = testsupport::allocationsOnThisThread();
};

TEST(RenderPath, VoiceBlocksAndEffectRecordsDoNotAllocate) {
  korvel_conversion_config();
  std::vector<short> points(4096);
  for (size_t i = 0; i < points.size(); ++i) points[i] = static_cast<short>((i * 37) % 2000 - 1000);
  korvel_sample_t* sample = new_korvel_sample();
  sample->data = points.data();
  sample->pend = static_cast<unsigned int>(points.size() - 1);
  sample->lstart = 100;
  sample->lend = 1000;
  sample->rate = 44100;

  korvel_oscillator_t* osc = new_korvel_oscillator(nullptr);
  korvel_filter_t* filter = new_korvel_filter(nullptr);
  korvel_envelope1_t* volenv = new_korvel_envelope1(nullptr);
  korvel_envelope2_t* modenv = new_korvel_envelope2(nullptr);
  korvel_lfo1_t* viblfo = new_korvel_lfo1(nullptr);
  korvel_lfo2_t* modlfo = new_korvel_lfo2(nullptr);
  korvel_voice_fx_t* voicefx = new_korvel_voice_fx(nullptr);
  korvel_channel_fx_t* channel = new_korvel_channel_fx(nullptr);
  korvel_send_fx_t* send = new_korvel_send_fx(nullptr);
  korvel_fx_set_slot(channel, 0, KORVEL_FX_SATURATION, 48000.0f);
  korvel_fx_set_slot(send, 0, KORVEL_FX_HPFILTER, 48000.0f);
  korvel_fx_set_slot(send, 1, KORVEL_FX_SATURATION, 48000.0f);
  std::vector<float> buf(256), left(256), right(256), bus(256);
  osc->root_freq_hz = korvel_act2hz(6000.0f) * 48000.0f / 44100.0f;
  filter->q = 1.0f;
  filter->gain = 1.0f;
  filter->cutoff_cents = 9000.0f;
  modlfo->increment = 0.01f;
  viblfo->increment = 0.02f;
  volenv->data[KORVEL_ENV_ATTACK] = {8, 1.0f, 0.125f, -1.0f, 1.0f};

  // Warm-up: the unsupported paths print their one warning here.
  for (int method = 0; method <= 7; ++method) {
    osc->interp_method = method;
    oscillator_process(osc, buf.data(), 256, 0.0f, 0.0f, 0);
  }
  oscillator_process0(osc, buf.data(), 256, 0.0f, 0.0f, 0);

  int counted = 0;
  {
    CountAllocations allocs;
    oscillator_set_sample(osc, sample);
    oscillator_set_loop(osc, 1);
    korvel_voice_fx_reset(voicefx);
    filter_reset(filter);
    for (int block = 0; block < 40; ++block) {
      osc->pitch_cents = 6000.0f + 10.0f * block;
      envelope1_preprocess(volenv);
      envelope2_preprocess(modenv);
      lfo1_preprocess(viblfo, 256u * block);
      lfo2_preprocess(modlfo, 256u * block);
      oscillator_preprocess(osc, viblfo, modlfo, modenv);
      filter_preprocess(filter, modlfo, modenv, 48000.0f);
      osc->interp_method = block % 8;
      osc->phase_int = 0;
      oscillator_process(osc, buf.data(), 256, 0.0f, 1.0f / 256.0f, 0);
      oscillator_process3(osc, buf.data(), 256, 1.0f, 0.0f, 0);
      filter_process2(filter, buf.data(), 256);
      filter_process1(filter, buf.data(), 256);
      float* lanes[] = {buf.data(), left.data(), right.data()};
      korvel_filter_t* filters[] = {filter, filter, filter};
      const int counts[] = {256, 200, 3};
      filter_process_lanes(filters, lanes, counts, 3);
      envelope1_process(volenv, left.data(), 256);
      lfo2_process(modlfo, right.data(), 256);
      left = buf;
      right = buf;
      bus = buf;
      korvel_fx_process_stereo(channel, left.data(), right.data(), 256);
      korvel_send_fx_process(send, bus.data(), left.data(), right.data(), 256);
    }
    counted = allocs.count();
  }
  EXPECT_EQ(counted, 0);

  delete_korvel_send_fx(send);
  delete_korvel_channel_fx(channel);
  delete_korvel_voice_fx(voicefx);
  delete_korvel_lfo2(modlfo);
  delete_korvel_lfo1(viblfo);
  delete_korvel_envelope2(modenv);
  delete_korvel_envelope1(volenv);
  delete_korvel_filter(filter);
  delete_korvel_oscillator(osc);
  delete_korvel_sample(sample);
}

// Pulls through 1024 looped voices, then blocks after they all ended, with the synthesizer on the profile.
void pulls_do_not_allocate(const korvel_profile_t& profile) {
  korvel_settings_t* settings = new_korvel_settings();
  korvel_synth_t* synth = new_korvel_synth(settings);
  ASSERT_NE(synth, nullptr);
  korvel_synth_set_profile(synth, &profile);
  ASSERT_EQ(synth->nvoice, 1024);
  korvel_audio_driver_t* driver = new_korvel_audio_driver(settings, synth);
  ASSERT_NE(driver, nullptr);

  std::vector<short> points(4096);
  for (size_t i = 0; i < points.size(); ++i) points[i] = static_cast<short>((i * 37) % 2000 - 1000);
  korvel_sample_t* sample = new_korvel_sample();
  sample->data = points.data();
  sample->pend = static_cast<unsigned int>(points.size() - 1);
  sample->lstart = 100;
  sample->lend = 1000;
  sample->rate = 44100;
  sample->pitch = 60;
  for (int i = 0; i < 1024; ++i) {
    korvel_voice_t* voice = korvel_synth_alloc_voice(synth, sample, i % 16, 24 + i / 16, 100);
    ASSERT_NE(voice, nullptr);
    korvel_voice_gen_set(voice, GEN_SAMPLEMODE, 1.0f);
    korvel_synth_start_voice(synth, voice);
  }

  std::vector<float> left(2048), right(2048);
  korvel_synth_write_float(synth, 2048, left.data(), 0, 1, right.data(), 0, 1);  // warm-up

  int counted = 0;
  {
    CountAllocations allocs;
    for (int pull = 0; pull < 32; ++pull) {
      korvel_synth_write_float(synth, 64, left.data(), 0, 1, right.data(), 0, 1);
      korvel_synth_write_float(synth, 256, left.data(), 0, 1, right.data(), 0, 1);
      korvel_ios_audio_callback(512, left.data(), right.data(), driver);
    }
    counted = allocs.count();
  }
  EXPECT_EQ(counted, 0);
  int sounding = 0;
  for (int i = 0; i < synth->nvoice; ++i) sounding += korvel_voice_is_playing(synth->voice[i]);
  EXPECT_EQ(sounding, 1024) << "every voice rendered through the counted pulls";
  korvel_synth_all_sounds_off_all(synth);
  {
    CountAllocations allocs;
    for (int pull = 0; pull < 32; ++pull) {
      korvel_synth_write_float(synth, 256, left.data(), 0, 1, right.data(), 0, 1);
    }
    EXPECT_EQ(allocs.count(), 0) << "blocks without voices, with effect tails when the profile has them";
  }

  delete_korvel_audio_driver(driver);
  delete_korvel_synth(synth);
  delete_korvel_settings(settings);
  delete_korvel_sample(sample);
}

TEST(RenderPath, PullsOfAFullPoolDoNotAllocate) {
  for (const korvel_profile_t& profile : {korvel_profile_t{}, korvel_product_profile}) {
    SCOPED_TRACE(profile.effect_tails ? "product profile" : "as built");
    pulls_do_not_allocate(profile);
  }
}

TEST(RenderPath, CounterSeesAllocations) {
  CountAllocations allocs;
  korvel_lfo1_t* lfo = new_korvel_lfo1(nullptr);
  EXPECT_GE(allocs.count(), 1);
  delete_korvel_lfo1(lfo);
}

int count_routed(void* data, const korvel_midi_message_t*) {
  ++*static_cast<int*>(data);
  return 0;
}

// A file player sending a format-0 file through the capture hooks, and the router passing messages on.
TEST(RenderPath, PlayerClockAndRouterDoNotAllocate) {
  const unsigned char file[] = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96,
                                'M', 'T', 'r', 'k', 0, 0, 0, 29,
                                0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // tempo
                                0x00, 0x90, 0x3C, 0x64,                    // note on
                                0x10, 0xB0, 0x07, 0x50,                    // controller
                                0x10, 0xF0, 0x03, 0x41, 0x10, 0xF7,        // system exclusive
                                0x60, 0x80, 0x3C, 0x00,                    // note off
                                0x00, 0xFF, 0x2F, 0x00};
  const char* tmp = std::getenv("TUNEDECK_TEST_TMP");
  const std::string path = std::string(tmp != nullptr ? tmp : "/tmp") + "/no_alloc_player.mid";
  std::FILE* out = std::fopen(path.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fwrite(file, 1, sizeof file, out);
  std::fclose(out);

  korvel_settings_t* settings = new_korvel_settings();
  korvel_synth_t* synth = new_korvel_synth(settings);
  int captured = 0;
  synth->capture_context = &captured;
  korvel_player_t* player = new_korvel_player(synth);
  ASSERT_EQ(korvel_player_add(player, path.c_str()), 0);
  ASSERT_EQ(korvel_player_load_next_file(player, 0), 1);
  int routed = 0;
  korvel_midi_router_t* router = new_korvel_midi_router(settings, &count_routed, &routed);
  korvel_midi_message_t note{};
  note.type = 0x90;
  note.param1 = 60;
  note.param2 = 100;
  {
    CountAllocations allocs;
    for (int block = 0; block < 400; ++block) {
      korvelsynth_audio_clock(player, static_cast<int64_t>(block) * 256, 256);
      korvel_midi_router_handle_midi_event(router, &note);
    }
    EXPECT_EQ(allocs.count(), 0);
  }
  EXPECT_EQ(player->status, KORVEL_PLAYER_DONE);
  EXPECT_EQ(routed, 400);
  delete_korvel_midi_router(router);
  delete_korvel_player(player);
  delete_korvel_synth(synth);
  delete_korvel_settings(settings);
}

}  // namespace
