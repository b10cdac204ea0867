// Voice-frames per second, and nanoseconds per voice-frame, through the synthesizer's stereo pull at 48 kHz on one
// core: a looped sample on every voice, 32 to 2,048 voices spread over the 16 channels, pulled 64 or 256 frames at a
// time, as built or with the product profile (four-point interpolation, the voice filter, reverb sends from every
// channel at controller value 40, pulls that render exactly the frames they hand out). With the product profile the
// voices' filters are either fully open (the bank's default cut-off, flat resonance) or closed to 2 kHz with 6 dB of
// resonance; the aim is at most 5 ns per voice-frame at 512 and 2,048 voices.
//
// Tolerance: the product profile renders within -90 dB of its earlier block loops (difference energy over signal
// energy, measured on the demo songs with the generated banks: -109 dB at worst), except for one deliberate
// change: a voice whose filter is fully open is no longer run through it but only scaled by its pass-band gain. The
// open filter's response is what such a voice loses: at 48 kHz within 0.12 dB up to 15 kHz and -3.2 dB at 20 kHz,
// with a phase lag of 1.5 degrees at 1 kHz and 35 at 15 kHz. On the demo songs the spectrum stays within 0.06 dB up
// to 15 kHz, within 0.5 dB up to 18 kHz and gains up to 5 dB above it, while the sample-by-sample difference, ruled
// by the phase, reaches -14.5 dB.
#include "sampler/src/bank/korvel_sample.h"
#include "sampler/src/voice/korvel_profile.h"
#include "sampler/src/sys/korvel_settings.h"
#include "sampler/src/synth/korvel_synth.h"
#include "sampler/src/synth/korvel_synth_midi.h"
#include "sampler/src/synth/korvel_synth_render.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

void voices(benchmark::State& state)
{
    const int nvoices = static_cast<int>(state.range(0));
    const int pull = static_cast<int>(state.range(1));
    const bool product = state.range(2) != 0;
    const bool closed = state.range(3) != 0;

    korvel_settings_t* settings = new_korvel_settings();
    korvel_settings_setint(settings, "synth.polyphony", nvoices);
    korvel_settings_setnum(settings, "synth.sample-rate", 48000.0);
    korvel_synth_t* synth = new_korvel_synth(settings);
    const korvel_profile_t as_built{};
    korvel_synth_set_profile(synth, product ? &korvel_product_profile : &as_built);
    for (int chan = 0; chan < 16; chan++) {
        korvel_synth_cc(synth, chan, 91, 40);
    }

    // One period of a sine over 64 points, eight periods long, looped from the second.
    std::vector<short> points(8 * 64 + 8);
    for (size_t i = 0; i < points.size(); i++) {
        points[i] = static_cast<short>(16000.0 * std::sin(2.0 * M_PI * static_cast<double>(i) / 64.0));
    }
    korvel_sample_t* sample = new_korvel_sample();
    sample->data = points.data();
    sample->pend = 8 * 64;
    sample->lstart = 64;
    sample->lend = 8 * 64;
    sample->rate = 48000;
    sample->pitch = 60;
    for (int i = 0; i < nvoices; i++) {
        korvel_voice_t* voice = korvel_synth_alloc_voice(synth, sample, i % 16, 36 + (i / 16) % 48, 100);
        korvel_voice_gen_set(voice, GEN_SAMPLEMODE, 1.0f);
        if (closed) {
            korvel_voice_gen_set(voice, GEN_FILTERFC, 9500.0f); // about 2 kHz
            korvel_voice_gen_set(voice, GEN_FILTERQ, 60.0f);
        }
        korvel_synth_start_voice(synth, voice);
    }

    std::vector<float> left(static_cast<size_t>(pull)), right(static_cast<size_t>(pull));
    for (int i = 0; i < 16; i++) {
        korvel_synth_write_float(synth, pull, left.data(), 0, 1, right.data(), 0, 1); // past the attack
    }
    for (auto _ : state) {
        korvel_synth_write_float(synth, pull, left.data(), 0, 1, right.data(), 0, 1);
        benchmark::DoNotOptimize(left.data());
    }
    int sounding = 0;
    for (int i = 0; i < synth->nvoice; i++) {
        sounding += korvel_voice_is_playing(synth->voice[i]);
    }
    state.counters["sounding"] = sounding;
    state.counters["voice_frames_per_s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * pull * sounding, benchmark::Counter::kIsRate);
    state.counters["ns_per_voice_frame"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * pull * sounding,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);

    delete_korvel_synth(synth);
    delete_korvel_settings(settings);
    delete_korvel_sample(sample);
}

void arguments(benchmark::internal::Benchmark* bench)
{
    for (int64_t nvoices : {32, 128, 512, 2048}) {
        for (int64_t pull : {64, 256}) {
            bench->Args({nvoices, pull, 0, 0});
            bench->Args({nvoices, pull, 1, 0});
            bench->Args({nvoices, pull, 1, 1});
        }
    }
}

BENCHMARK(voices)->Apply(arguments)->ArgNames({"voices", "pull", "product", "closed_filter"});

} // namespace
