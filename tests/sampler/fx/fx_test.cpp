#include "sampler/src/fx/korvel_fx.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kBlock = 256;

std::vector<float> signal(double phase) {
  std::vector<float> x(kBlock);
  for (int i = 0; i < kBlock; ++i) x[i] = static_cast<float>(0.8 * std::sin(phase + 0.05 * i));
  return x;
}

TEST(EffectRecords, EmptySlotsLeaveTheBuffersBitIdentical) {
  korvel_channel_fx_t* channel = new_korvel_channel_fx(nullptr);
  korvel_send_fx_t* send = new_korvel_send_fx(nullptr);
  korvel_master_fx_t* master = new_korvel_master_fx(nullptr);
  ASSERT_TRUE(channel && send && master);
  std::vector<float> left = signal(0.0), right = signal(1.0), bus = signal(2.0);
  const std::vector<float> left0 = left, right0 = right, bus0 = bus;
  korvel_fx_process_stereo(channel, left.data(), right.data(), kBlock);
  korvel_fx_process_stereo(master, left.data(), right.data(), kBlock);
  korvel_send_fx_process(send, bus.data(), left.data(), right.data(), kBlock);
  EXPECT_EQ(left, left0);
  EXPECT_EQ(right, right0);
  EXPECT_EQ(bus, bus0);
  EXPECT_EQ(delete_korvel_channel_fx(channel), 0);
  EXPECT_EQ(delete_korvel_send_fx(send), 0);
  EXPECT_EQ(delete_korvel_master_fx(master), 0);
  EXPECT_EQ(delete_korvel_master_fx(nullptr), 0);
}

TEST(EffectRecords, ChannelSaturationSlotProcessesEachSideOnce) {
  korvel_channel_fx_t* channel = new_korvel_channel_fx(nullptr);
  ASSERT_EQ(korvel_fx_set_slot(channel, 1, KORVEL_FX_SATURATION, 48000.0f), 0);
  std::vector<float> left = signal(0.0), right = signal(1.0);
  std::vector<float> expectedLeft = left, expectedRight = right;
  korvel_saturation_t* reference = saturation_create();
  saturation_process1(reference, expectedLeft.data(), kBlock);
  saturation_reset(reference);
  saturation_process1(reference, expectedRight.data(), kBlock);
  saturation_destroy(reference);

  korvel_fx_process_stereo(channel, left.data(), right.data(), kBlock);
  EXPECT_EQ(left, expectedLeft);
  EXPECT_EQ(right, expectedRight);
  delete_korvel_channel_fx(channel);
}

TEST(EffectRecords, SendHighpassFiltersTheBusAndAddsItTwiceToTheMainMix) {
  korvel_send_fx_t* send = new_korvel_send_fx(nullptr);
  ASSERT_EQ(korvel_fx_set_slot(send, 0, KORVEL_FX_HPFILTER, 44100.0f), 0);
  std::vector<float> bus = signal(0.5), left(kBlock, 0.25f), right(kBlock, -0.25f);
  std::vector<float> filtered = bus;
  korvel_hpfilter_t* reference = hpfilter_create(44100.0f);
  hpfilter_set_amount(reference, 0.25f);
  hpfilter_process1(reference, filtered.data(), kBlock);
  hpfilter_destroy(reference);

  korvel_send_fx_process(send, bus.data(), left.data(), right.data(), kBlock);
  EXPECT_EQ(bus, filtered);
  for (int i = 0; i < kBlock; ++i) {
    EXPECT_EQ(left[i], 0.25f + 2.0f * filtered[i]) << i;
    EXPECT_EQ(right[i], -0.25f + 2.0f * filtered[i]) << i;
  }
  EXPECT_EQ(static_cast<korvel_hpfilter_t*>(send->first[0])->rate, 44100.0f);
  delete_korvel_send_fx(send);
}

// The variation bus is silent in most songs: once the filter has rung out the slot must add nothing, and the next
// burst must come out as from a filter that never stopped.
TEST(EffectRecords, SendHighpassSleepsOnASilentBusAndWakesWithTheNextBurst) {
  korvel_send_fx_t* send = new_korvel_send_fx(nullptr);
  ASSERT_EQ(korvel_fx_set_slot(send, 0, KORVEL_FX_HPFILTER, 48000.0f), 0);
  auto* filter = static_cast<korvel_hpfilter_t*>(send->first[0]);
  korvel_hpfilter_t* reference = hpfilter_create(48000.0f);
  hpfilter_set_amount(reference, 0.25f);
  double worst = 0.0;
  bool slept = false;
  for (int b = 0; b < 200; ++b) {
    const bool burst = b == 0 || b == 150;
    std::vector<float> bus = burst ? signal(0.1 * b) : std::vector<float>(kBlock, 0.0f);
    std::vector<float> expected = bus, left(kBlock, 0.0f), right(kBlock, 0.0f);
    hpfilter_process1(reference, expected.data(), kBlock);
    korvel_send_fx_process(send, bus.data(), left.data(), right.data(), kBlock);
    for (int i = 0; i < kBlock; ++i) worst = std::max(worst, std::fabs(left[i] - 2.0 * expected[i]));
    EXPECT_EQ(left, right);
    slept = slept || (b < 150 && filter->w1 == 0.0f && filter->w2 == 0.0f);
  }
  EXPECT_TRUE(slept);
  EXPECT_LT(worst, 1e-7);
  hpfilter_destroy(reference);
  delete_korvel_send_fx(send);
}

TEST(EffectRecords, SendSaturationRunsBothObjectsAtHalfAmount) {
  korvel_send_fx_t* send = new_korvel_send_fx(nullptr);
  ASSERT_EQ(korvel_fx_set_slot(send, 3, KORVEL_FX_SATURATION, 48000.0f), 0);
  std::vector<float> bus = signal(0.0), left(kBlock, 0.0f), right(kBlock, 0.0f);
  std::vector<float> expected = bus;
  for (int pass = 0; pass < 2; ++pass) {
    korvel_saturation_t* reference = saturation_create();
    saturation_set_amount(reference, 0.5f);
    saturation_process1(reference, expected.data(), kBlock);
    saturation_destroy(reference);
  }
  korvel_send_fx_process(send, bus.data(), left.data(), right.data(), kBlock);
  EXPECT_EQ(bus, expected);
  EXPECT_EQ(left, std::vector<float>(kBlock, 0.0f));
  delete_korvel_send_fx(send);
}

TEST(EffectRecords, SlotsChangeTypeAndRefuseUnknownSlots) {
  korvel_master_fx_t* master = new_korvel_master_fx(nullptr);
  EXPECT_EQ(korvel_fx_set_slot(master, 4, KORVEL_FX_SATURATION, 48000.0f), -1);
  EXPECT_EQ(korvel_fx_set_slot(master, -1, KORVEL_FX_SATURATION, 48000.0f), -1);
  EXPECT_EQ(korvel_fx_set_slot(master, 2, KORVEL_FX_HPFILTER, 48000.0f), 0);
  EXPECT_NE(master->first[2], nullptr);
  EXPECT_NE(master->second[2], nullptr);
  EXPECT_EQ(korvel_fx_set_slot(master, 2, KORVEL_FX_NONE, 48000.0f), 0);
  EXPECT_EQ(master->type[2], KORVEL_FX_NONE);
  EXPECT_EQ(master->first[2], nullptr);
  EXPECT_EQ(korvel_fx_set_slot(master, 2, KORVEL_FX_SATURATION, 48000.0f), 0);
  delete_korvel_master_fx(master);
}

TEST(VoiceEffectRecord, ResetPreparesANoteStartWithoutAllocating) {
  korvel_voice_fx_t* fx = new_korvel_voice_fx(nullptr);
  ASSERT_NE(fx, nullptr);
  for (int slot = 0; slot < KORVEL_FX_SLOTS; ++slot) {
    EXPECT_EQ(fx->type[slot], KORVEL_FX_NONE);
    ASSERT_NE(fx->saturation[slot], nullptr);
  }
  korvel_saturation_t* prepared = fx->saturation[0];
  saturation_set_amount(prepared, 0.1f);
  prepared->current = 0.1f;
  korvel_voice_fx_reset(fx);
  EXPECT_EQ(fx->saturation[0], prepared);
  EXPECT_EQ(prepared->amount, 1.0f);
  EXPECT_EQ(prepared->current, 0.0f);
  EXPECT_EQ(fx->type[0], KORVEL_FX_SATURATION);
  EXPECT_EQ(fx->type[1], KORVEL_FX_NONE);
  EXPECT_EQ(fx->level[0], 1.0f);
  EXPECT_EQ(fx->level[1], 0.0f);
  EXPECT_EQ(fx->level[2], 1.0f);
  EXPECT_EQ(delete_korvel_voice_fx(fx), 0);
  EXPECT_EQ(delete_korvel_voice_fx(nullptr), 0);
}

}  // namespace
