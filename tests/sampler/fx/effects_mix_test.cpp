#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <functional>

#include "sampler/src/fx/korvel_chorus.h"
#include "sampler/src/fx/korvel_rev.h"

namespace {

using Block = std::array<float, KORVEL_BUFSIZE>;

struct Unit {
  const char* name;
  std::function<void*()> make;
  std::function<void(void*)> release;
  std::function<void(void*, const float*, float*, float*)> mix, replace;
};

// Two fresh units of a kind fed the same send: one writes over a buffer full of garbage, one adds onto a buffer
// holding a known signal. The first must equal its output on silence, the second must be that output plus the signal.
TEST(EffectUnits, ProcessMixAddsAndProcessReplaceWrites) {
  const Unit units[] = {
      {"reverb", [] { return static_cast<void*>(new_korvel_revmodel()); },
       [](void* u) { delete_korvel_revmodel(static_cast<korvel_revmodel_t*>(u)); },
       [](void* u, const float* in, float* l, float* r) {
         korvel_revmodel_processmix(static_cast<korvel_revmodel_t*>(u), in, l, r);
       },
       [](void* u, const float* in, float* l, float* r) {
         korvel_revmodel_processreplace(static_cast<korvel_revmodel_t*>(u), in, l, r);
       }},
      {"chorus", [] { return static_cast<void*>(new_korvel_chorus(44100)); },
       [](void* u) { delete_korvel_chorus(static_cast<korvel_chorus_t*>(u)); },
       [](void* u, const float* in, float* l, float* r) {
         korvel_chorus_processmix(static_cast<korvel_chorus_t*>(u), in, l, r);
       },
       [](void* u, const float* in, float* l, float* r) {
         korvel_chorus_processreplace(static_cast<korvel_chorus_t*>(u), in, l, r);
       }},
  };
  for (const Unit& unit : units) {
    SCOPED_TRACE(unit.name);
    for (bool mix : {false, true}) {
      void* clean = unit.make();
      void* dirty = unit.make();
      ASSERT_NE(clean, nullptr);
      ASSERT_NE(dirty, nullptr);
      const auto& run = mix ? unit.mix : unit.replace;
      std::srand(3);
      bool produced = false;
      for (int b = 0; b < 12; ++b) {
        Block in, cleanL{}, cleanR{}, dirtyL, dirtyR;
        for (int k = 0; k < KORVEL_BUFSIZE; ++k) {
          in[k] = static_cast<float>(std::rand()) / RAND_MAX - 0.5f;
          dirtyL[k] = static_cast<float>(k) * 0.01f;
          dirtyR[k] = -static_cast<float>(k) * 0.02f;
        }
        run(clean, in.data(), cleanL.data(), cleanR.data());
        run(dirty, in.data(), dirtyL.data(), dirtyR.data());
        for (int k = 0; k < KORVEL_BUFSIZE; ++k) {
          float addL = mix ? static_cast<float>(k) * 0.01f : 0.0f;
          float addR = mix ? -static_cast<float>(k) * 0.02f : 0.0f;
          ASSERT_FLOAT_EQ(dirtyL[k], cleanL[k] + addL) << (mix ? "mix" : "replace") << " frame " << k;
          ASSERT_FLOAT_EQ(dirtyR[k], cleanR[k] + addR) << (mix ? "mix" : "replace") << " frame " << k;
          produced = produced || cleanL[k] != 0.0f;
        }
      }
      EXPECT_TRUE(produced);
      unit.release(clean);
      unit.release(dirty);
    }
  }
}

}  // namespace
