// Cost of the reverb and the chorus per internal block of 256 frames, on a noise send.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>

#include "sampler/src/fx/korvel_chorus.h"
#include "sampler/src/fx/korvel_rev.h"

namespace {

using Block = std::array<float, KORVEL_BUFSIZE>;

Block noise() {
  Block in;
  std::srand(1);
  for (float& s : in) s = static_cast<float>(std::rand()) / RAND_MAX - 0.5f;
  return in;
}

void BM_ReverbProcessMix(benchmark::State& state) {
  korvel_revmodel_t* rev = new_korvel_revmodel();
  korvel_revmodel_setroomsize(rev, 0.7);
  Block in = noise(), left{}, right{};
  for (auto _ : state) {
    korvel_revmodel_processmix(rev, in.data(), left.data(), right.data());
    benchmark::DoNotOptimize(left.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * KORVEL_BUFSIZE);
  delete_korvel_revmodel(rev);
}
BENCHMARK(BM_ReverbProcessMix);

void BM_ReverbProcessReplace(benchmark::State& state) {
  korvel_revmodel_t* rev = new_korvel_revmodel();
  Block in = noise(), left{}, right{};
  for (auto _ : state) {
    korvel_revmodel_processreplace(rev, in.data(), left.data(), right.data());
    benchmark::DoNotOptimize(left.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * KORVEL_BUFSIZE);
  delete_korvel_revmodel(rev);
}
BENCHMARK(BM_ReverbProcessReplace);

// Argument: number of chorus voices (3 is the default, 99 the most).
void BM_ChorusProcessMix(benchmark::State& state) {
  korvel_chorus_t* chorus = new_korvel_chorus(48000);
  korvel_chorus_set_nr(chorus, static_cast<int>(state.range(0)));
  korvel_chorus_update(chorus);
  Block in = noise(), left{}, right{};
  for (auto _ : state) {
    korvel_chorus_processmix(chorus, in.data(), left.data(), right.data());
    benchmark::DoNotOptimize(left.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * KORVEL_BUFSIZE);
  delete_korvel_chorus(chorus);
}
BENCHMARK(BM_ChorusProcessMix)->Arg(3)->Arg(99);

}  // namespace
