// Making a synthesizer with the default settings (1,024 voices, 48 kHz) and releasing it: the processor time and
// the page faults of one creation. Each iteration releases what it made and trims the heap, so that every creation
// meets fresh memory as a program's first one does. The host makes two synthesizers before its first note, so this
// is a fixed cost of every render.
#include "sampler/src/sys/korvel_settings.h"
#include "sampler/src/synth/korvel_synth.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

namespace {

double processSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

long minorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

void BM_SynthCreation(benchmark::State& state)
{
    // The synthesizer reports each step on standard output; the benchmark's own output stays readable.
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDOUT_FILENO);
    double seconds = 0.0;
    long faults = 0;
    for (auto _ : state) {
        korvel_settings_t* settings = new_korvel_settings();
        const double start = processSeconds();
        const long startFaults = minorFaults();
        korvel_synth_t* synth = new_korvel_synth(settings);
        benchmark::DoNotOptimize(synth);
        seconds += processSeconds() - start;
        faults += minorFaults() - startFaults;
        delete_korvel_synth(synth);
        delete_korvel_settings(settings);
        malloc_trim(0);
    }
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    close(quiet);
    const double count = static_cast<double>(state.iterations());
    state.counters["cpu_ms"] = seconds * 1000.0 / count;
    state.counters["faults"] = static_cast<double>(faults) / count;
}
BENCHMARK(BM_SynthCreation)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
