#include "sampler/src/fx/korvel_fx.h"

#include <cmath>
#include <initializer_list>
#include <new>

#include "sampler/src/sys/korvel_sys.h"

namespace {

constexpr float kSendHighpassAmount = 0.25f;
constexpr float kSendHighpassMix = 2.0f;
constexpr float kSendSaturationAmount = 0.5f;
// A high-pass filter fed silence whose state has fallen below this gives out less than -140 dB of full scale.
constexpr float kRestingState = 1e-9f;
constexpr float kVoiceLevels[KORVEL_VOICE_FX_LEVELS] = {1.0f, 0.0f, 1.0f};
constexpr int kVoiceSlotTypes[KORVEL_FX_SLOTS] = {KORVEL_FX_SATURATION, KORVEL_FX_NONE, KORVEL_FX_NONE,
                                                  KORVEL_FX_NONE};

void releaseObject(int type, void* object) {
  if (type == KORVEL_FX_SATURATION) saturation_destroy(static_cast<korvel_saturation_t*>(object));
  if (type == KORVEL_FX_HPFILTER) hpfilter_destroy(static_cast<korvel_hpfilter_t*>(object));
}

void releaseSlot(korvel_fx_t* fx, int slot) {
  releaseObject(fx->type[slot], fx->first[slot]);
  releaseObject(fx->type[slot], fx->second[slot]);
  fx->type[slot] = KORVEL_FX_NONE;
  fx->first[slot] = nullptr;
  fx->second[slot] = nullptr;
}

korvel_fx_t* newFx(korvel_synth_t* synth, const char* outOfMemory) {
  auto* fx = new (std::nothrow) korvel_fx_t{};
  if (!fx) {
    korvel_log(KORVEL_ERR, "%s", outOfMemory);
    return nullptr;
  }
  fx->synth = synth;
  return fx;
}

int deleteFx(korvel_fx_t* fx) {
  if (!fx) return 0;
  for (int slot = 0; slot < KORVEL_FX_SLOTS; ++slot) releaseSlot(fx, slot);
  delete fx;
  return 0;
}

bool allZero(const float* buf, int n) {
  for (int i = 0; i < n; ++i)
    if (buf[i] != 0.0f) return false;
  return true;
}

// A high-pass slot on a silent bus whose filter has come to rest would add nothing: its state is set to zero (as
// the filter would bring it there) and the bus is left as it is.
bool highpassSleeps(korvel_hpfilter_t* filter, const float* bus, int n) {
  if (!(std::fabs(filter->w1) < kRestingState && std::fabs(filter->w2) < kRestingState) || !allZero(bus, n))
    return false;
  filter->w1 = filter->w2 = 0.0f;
  return true;
}

void* newObject(int type, float sampleRate) {
  if (type == KORVEL_FX_SATURATION) return saturation_create();
  return hpfilter_create(sampleRate);
}

}  // namespace

extern "C" {

korvel_voice_fx_t* new_korvel_voice_fx(korvel_voice_t* voice) {
  auto* fx = new (std::nothrow) korvel_voice_fx_t{};
  bool ok = fx != nullptr;
  for (int slot = 0; ok && slot < KORVEL_FX_SLOTS; ++slot) ok = (fx->saturation[slot] = saturation_create());
  if (!ok) {
    delete_korvel_voice_fx(fx);
    korvel_log(KORVEL_ERR, "NewVoiceFx(): Out of memory");
    return nullptr;
  }
  fx->voice = voice;
  return fx;
}

void korvel_voice_fx_setup(korvel_voice_fx_t* fx, korvel_voice_t* voice, korvel_saturation_t* saturation) {
  fx->voice = voice;
  for (int slot = 0; slot < KORVEL_FX_SLOTS; ++slot) {
    saturation_reset(&saturation[slot]);
    fx->saturation[slot] = &saturation[slot];
  }
}

int delete_korvel_voice_fx(korvel_voice_fx_t* fx) {
  if (!fx) return 0;
  for (korvel_saturation_t* saturation : fx->saturation) saturation_destroy(saturation);
  delete fx;
  return 0;
}

void korvel_voice_fx_reset(korvel_voice_fx_t* fx) {
  for (int slot = 0; slot < KORVEL_FX_SLOTS; ++slot) {
    fx->type[slot] = kVoiceSlotTypes[slot];
    saturation_reset(fx->saturation[slot]);
  }
  for (int i = 0; i < KORVEL_VOICE_FX_LEVELS; ++i) fx->level[i] = kVoiceLevels[i];
}

korvel_channel_fx_t* new_korvel_channel_fx(korvel_synth_t* synth) {
  return newFx(synth, "NewChannelFx(): Out of memory");
}
korvel_send_fx_t* new_korvel_send_fx(korvel_synth_t* synth) { return newFx(synth, "NewSendFx(): Out of memory"); }
korvel_master_fx_t* new_korvel_master_fx(korvel_synth_t* synth) {
  return newFx(synth, "NewMasterFx(): Out of memory");
}

int delete_korvel_channel_fx(korvel_channel_fx_t* fx) { return deleteFx(fx); }
int delete_korvel_send_fx(korvel_send_fx_t* fx) { return deleteFx(fx); }
int delete_korvel_master_fx(korvel_master_fx_t* fx) { return deleteFx(fx); }

int korvel_fx_set_slot(korvel_fx_t* fx, int slot, int type, float sample_rate) {
  if (slot < 0 || slot >= KORVEL_FX_SLOTS) return -1;
  releaseSlot(fx, slot);
  if (type != KORVEL_FX_SATURATION && type != KORVEL_FX_HPFILTER) {
    fx->type[slot] = type;
    return 0;
  }
  void* first = newObject(type, sample_rate);
  void* second = newObject(type, sample_rate);
  if (!first || !second) {
    releaseObject(type, first);
    releaseObject(type, second);
    return korvel_log(KORVEL_ERR, "Out of memory");
  }
  fx->type[slot] = type;
  fx->first[slot] = first;
  fx->second[slot] = second;
  return 0;
}

void korvel_fx_process_stereo(korvel_fx_t* fx, float* left, float* right, int n) {
  for (int slot = 0; slot < KORVEL_FX_SLOTS; ++slot) {
    if (fx->type[slot] != KORVEL_FX_SATURATION) continue;
    saturation_process1(static_cast<korvel_saturation_t*>(fx->first[slot]), left, n);
    saturation_process1(static_cast<korvel_saturation_t*>(fx->second[slot]), right, n);
  }
}

void korvel_send_fx_process(korvel_send_fx_t* fx, float* bus, float* main_left, float* main_right, int n) {
  for (int slot = 0; slot < KORVEL_FX_SLOTS; ++slot) {
    if (fx->type[slot] == KORVEL_FX_HPFILTER) {
      auto* filter = static_cast<korvel_hpfilter_t*>(fx->first[slot]);
      hpfilter_set_amount(filter, kSendHighpassAmount);
      if (highpassSleeps(filter, bus, n)) continue;
      hpfilter_process1(filter, bus, n);
      for (int i = 0; i < n; ++i) {
        main_left[i] += kSendHighpassMix * bus[i];
        main_right[i] += kSendHighpassMix * bus[i];
      }
    } else if (fx->type[slot] == KORVEL_FX_SATURATION) {
      for (void* object : {fx->first[slot], fx->second[slot]}) {
        auto* saturation = static_cast<korvel_saturation_t*>(object);
        saturation_set_amount(saturation, kSendSaturationAmount);
        saturation_process1(saturation, bus, n);
      }
    }
  }
}

}  // extern "C"
