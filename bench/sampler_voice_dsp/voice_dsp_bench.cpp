// Cost of the per-voice blocks per internal block of 256 frames: the oscillator's interpolation paths at a
// non-integer step, the voice filter with its coefficient glide (alone and eight side by side), and the
// once-per-block steps.
#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include "sampler/src/sys/korvel_block.h"
#include "sampler/src/sys/korvel_conv.h"
#include "sampler/src/voice/korvel_envelope.h"
#include "sampler/src/voice/korvel_filter.h"
#include "sampler/src/voice/korvel_lfo.h"
#include "sampler/src/voice/korvel_oscillator.h"
#include "sampler/src/bank/korvel_sample.h"

namespace {

using Block = std::array<float, KORVEL_BUFSIZE>;
using Process = void (*)(korvel_oscillator_t*, float*, int, float, float, int);

struct Voice {
  std::vector<short> points = std::vector<short>(1 << 20);
  korvel_sample_t* sample = new_korvel_sample();
  korvel_oscillator_t* osc = new_korvel_oscillator(nullptr);
  korvel_filter_t* filter = new_korvel_filter(nullptr);
  korvel_envelope1_t* volenv = new_korvel_envelope1(nullptr);
  korvel_envelope2_t* modenv = new_korvel_envelope2(nullptr);
  korvel_lfo1_t* viblfo = new_korvel_lfo1(nullptr);
  korvel_lfo2_t* modlfo = new_korvel_lfo2(nullptr);

  Voice() {
    korvel_conversion_config();
    for (size_t i = 0; i < points.size(); ++i) points[i] = static_cast<short>((i * 2654435761u) >> 16);
    sample->data = points.data();
    sample->pend = static_cast<unsigned int>(points.size() - 1);
    sample->rate = 44100;
    oscillator_set_sample(osc, sample);
    osc->incr_int = 1;
    osc->incr_fract = 0x2F5C28F6u;  // about 1.185
    osc->root_freq_hz = korvel_act2hz(6000.0f);
    osc->pitch_cents = 6300.0f;
    filter->q = 2.0f;
    filter->gain = 0.7f;
    filter->cutoff_cents = 9000.0f;
    filter_reset(filter);
    viblfo->increment = 0.02f;
    modlfo->increment = 0.01f;
    modlfo->fc_depth_cents = 1200.0f;
  }
  ~Voice() {
    delete_korvel_lfo2(modlfo);
    delete_korvel_lfo1(viblfo);
    delete_korvel_envelope2(modenv);
    delete_korvel_envelope1(volenv);
    delete_korvel_filter(filter);
    delete_korvel_oscillator(osc);
    delete_korvel_sample(sample);
  }
  // Keeps the phase inside the points without branching in the measured loop.
  void rewind() {
    if (osc->phase_int > static_cast<int>(points.size()) - 4096) osc->phase_int = 0;
  }
};

void runOscillator(benchmark::State& state, Process process) {
  Voice voice;
  Block buf{};
  process(voice.osc, buf.data(), KORVEL_BUFSIZE, 0.0f, 0.0f, 0);
  for (auto _ : state) {
    voice.rewind();
    process(voice.osc, buf.data(), KORVEL_BUFSIZE, 0.5f, 1e-4f, 0);
    benchmark::DoNotOptimize(buf.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * KORVEL_BUFSIZE);
}

void BM_OscillatorNearest(benchmark::State& state) { runOscillator(state, oscillator_process1); }
void BM_OscillatorLinear(benchmark::State& state) { runOscillator(state, oscillator_process2); }
void BM_OscillatorFourPoint(benchmark::State& state) { runOscillator(state, oscillator_process3); }
void BM_OscillatorSevenPoint(benchmark::State& state) { runOscillator(state, oscillator_process4); }
BENCHMARK(BM_OscillatorNearest);
BENCHMARK(BM_OscillatorLinear);
BENCHMARK(BM_OscillatorFourPoint);
BENCHMARK(BM_OscillatorSevenPoint);

void BM_FilterGlide(benchmark::State& state) {
  Voice voice;
  Block buf;
  buf.fill(0.1f);
  unsigned int block = 0;
  for (auto _ : state) {
    voice.modlfo->value = (block++ % 2) ? 0.5f : -0.5f;
    filter_preprocess(voice.filter, voice.modlfo, voice.modenv, 48000.0f);
    filter_process2(voice.filter, buf.data(), KORVEL_BUFSIZE);
    benchmark::DoNotOptimize(buf.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * KORVEL_BUFSIZE);
}
BENCHMARK(BM_FilterGlide);

// Eight gliding filters side by side in vector lanes, per voice-frame, over runs of one length (arg 0) or of the
// different lengths that voices started on different frames leave (arg 1).
void BM_FilterLanes(benchmark::State& state) {
  std::array<Voice, KORVEL_FILTER_LANES> voices;
  std::array<Block, KORVEL_FILTER_LANES> bufs;
  korvel_filter_t* filters[KORVEL_FILTER_LANES];
  float* lanes[KORVEL_FILTER_LANES];
  const int unequal[KORVEL_FILTER_LANES] = {256, 193, 64, 130, 256, 200, 17, 90};
  int counts[KORVEL_FILTER_LANES];
  int frames = 0;
  for (int l = 0; l < KORVEL_FILTER_LANES; ++l) {
    bufs[l].fill(0.1f);
    filters[l] = voices[l].filter;
    lanes[l] = bufs[l].data();
    counts[l] = state.range(0) != 0 ? unequal[l] : KORVEL_BUFSIZE;
    frames += counts[l];
  }
  unsigned int block = 0;
  for (auto _ : state) {
    for (Voice& voice : voices) {
      voice.modlfo->value = (block % 2) ? 0.5f : -0.5f;
      filter_preprocess(voice.filter, voice.modlfo, voice.modenv, 48000.0f);
    }
    ++block;
    filter_process_lanes(filters, lanes, counts, KORVEL_FILTER_LANES);
    benchmark::DoNotOptimize(bufs.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * frames);
}
BENCHMARK(BM_FilterLanes)->Arg(0)->Arg(1);

// The once-per-block work of one voice: both envelopes, both LFOs, the pitch and the filter coefficients.
void BM_BlockSteps(benchmark::State& state) {
  Voice voice;
  unsigned int ticks = 0;
  for (auto _ : state) {
    envelope1_preprocess(voice.volenv);
    envelope2_preprocess(voice.modenv);
    lfo1_preprocess(voice.viblfo, ticks);
    lfo2_preprocess(voice.modlfo, ticks);
    oscillator_preprocess(voice.osc, voice.viblfo, voice.modlfo, voice.modenv);
    filter_preprocess(voice.filter, voice.modlfo, voice.modenv, 48000.0f);
    ticks += KORVEL_BUFSIZE;
    benchmark::DoNotOptimize(voice.osc->incr_fract);
  }
}
BENCHMARK(BM_BlockSteps);

}  // namespace
