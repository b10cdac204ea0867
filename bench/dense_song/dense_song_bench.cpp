// The dense bench song (benchgen) rendered offline through the library with the product profile at 48 kHz, as the
// command-line program renders it without a file: processor time per song and, through a voice-count probe (the
// voices sounding after each part of a block, times the part's frames), nanoseconds per voice-frame and the mean
// count of voices sounding over the frames where anything sounded. About 3 ns per voice-frame on a quiet machine.
#include "sampler/src/sys/korvel_settings.h"
#include "sampler/src/synth/korvel_synth.h"
#include "sampler/src/voice/korvel_profile.h"
#include "tools/korvelshell/OfflineRender.h"
#include "tools/korvelshell/SongRender.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr double kRate = 48000.0;

void dense_song(benchmark::State& state)
{
    const std::string bank = std::string(BENCH_DATA_DIR) + "/bench.sf2";
    const std::string song = std::string(BENCH_DATA_DIR) + "/dense.mid";
    double voice_frames = 0.0;
    double frames = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        korvel_settings_t* settings = new_korvel_settings();
        korvel_settings_setnum(settings, "synth.sample-rate", kRate);
        korvel_synth_t* synth = new_korvel_synth(settings);
        korvel_synth_set_profile(synth, &korvel_product_profile);
        if (korvel_synth_sfload(synth, bank.c_str(), 1) == -1) {
            state.SkipWithError("cannot load the bench bank");
            break;
        }
        state.ResumeTiming();
        korvelshell::OfflineRender render(synth);
        std::string error;
        if (!korvelshell::renderSong(synth, render, song, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        state.PauseTiming();
        voice_frames += static_cast<double>(synth->voice_frames);
        frames += static_cast<double>(synth->ticks);
        delete_korvel_synth(synth);
        delete_korvel_settings(settings);
        state.ResumeTiming();
    }
    state.counters["voice_frames"] = benchmark::Counter(voice_frames, benchmark::Counter::kAvgIterations);
    state.counters["mean_voices"] = frames > 0.0 ? voice_frames / frames : 0.0;
    state.counters["ns_per_voice_frame"] =
        benchmark::Counter(voice_frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(dense_song)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->MeasureProcessCPUTime();

} // namespace
