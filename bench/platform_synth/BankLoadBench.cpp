// Loading big banks: an XML bank of presets through the library's reader and a DLS bank of instruments through
// the host's bank loader, each at 10,000 and 40,000 entries. Load time should grow with the entry count, so the
// printed ratio of the two times is near 4 (a walk per entry would make it near 16). And program changes on such
// banks: the time of one preset lookup should hardly grow from the smaller bank to the larger. And a SoundFont 2
// bank shaped like the demo bank (1.5 MB of sample data, 512 samples, 912 instrument zones), with the processor
// time and the page faults of one load.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "platform/synth/SoundBankFile.h"
#include "sampler/src/bank/korvel_defsfont.h"
#include "sampler/src/bank/korvel_sfloader.h"
#include "sampler/src/formats/korvel_xml_reader.h"
#include "tools/soundbank/dls_writer.h"
#include "tools/soundbank/sf2_writer.h"

namespace {

constexpr int kSmallBank = 10000;
constexpr int kLargeBank = 40000;

std::filesystem::path scratchFile(const std::string& name) {
    return std::filesystem::temp_directory_path() / ("bank_load_bench_" + std::to_string(::getpid()) + "_" + name);
}

// Presets in ascending bank and program order, each with one zone on the one instrument.
std::filesystem::path writeXmlBank(int presets) {
    const auto path = scratchFile(std::to_string(presets) + ".xml");
    std::ofstream out(path);
    out << "<?xml version='1.0'?><soundbank><instruments><instrument uid='1' name='one'/></instruments><presets>";
    for (int i = 0; i < presets; ++i) {
        out << "<preset uid='" << 100 + i << "' name='p" << i << "' bank='" << i / 128 << "' number='" << i % 128
            << "'><pzone id='1'><linstrument uid='1'/></pzone></preset>";
    }
    out << "</presets></soundbank>";
    return path;
}

// Instruments in ascending bank and program order, each with one region on the one wave.
std::filesystem::path writeDlsBank(int instruments) {
    dls::Bank bank;
    dls::Wave wave;
    wave.name = "wave";
    wave.points.assign(64, 1000);
    bank.waves.push_back(std::move(wave));
    for (int i = 0; i < instruments; ++i) {
        dls::Instrument instrument;
        instrument.name = "i" + std::to_string(i);
        instrument.bank = static_cast<uint32_t>((i / 128) % 128) << 8 | static_cast<uint32_t>(i / 16384);
        instrument.program = static_cast<uint32_t>(i % 128);
        instrument.regions.push_back(dls::Region{});
        bank.instruments.push_back(std::move(instrument));
    }
    const auto path = scratchFile(std::to_string(instruments) + ".dls");
    bank.write(path.string());
    return path;
}

// 512 looped samples of 1,536 points; 138 instruments, 136 of them with 7 key-split zones of 10 generators and two
// with 4, each instrument under one preset.
std::filesystem::path writeDemoShapedSf2() {
    constexpr int kSamples = 512;
    constexpr int kInstruments = 138;
    sf2::Bank bank;
    for (int i = 0; i < kSamples; ++i) {
        bank.samples.push_back(sf2::looped_sample("s" + std::to_string(i), sf2::sine_wave(64, 24), 64, 60));
    }
    for (int i = 0; i < kInstruments; ++i) {
        sf2::Instrument instrument;
        instrument.name = "i" + std::to_string(i);
        const int zones = i < 2 ? 4 : 7;
        for (int z = 0; z < zones; ++z) {
            sf2::Zone zone;
            zone.key_range(static_cast<uint8_t>(z * 18), static_cast<uint8_t>(z * 18 + 17));
            zone.gen(sf2::ATTENUATION, 20).gen(sf2::PAN, -100).gen(sf2::RELEASE_VOL_ENV, -2000);
            zone.gen(sf2::SAMPLE_MODES, 1).gen(sf2::OVERRIDING_ROOT_KEY, 60).gen(sf2::COARSE_TUNE, 0);
            zone.gen(8, 9000).gen(34, -3000).gen(36, 1200);
            zone.link = static_cast<uint16_t>((i * 7 + z) % kSamples);
            instrument.zones.push_back(std::move(zone));
        }
        bank.instruments.push_back(std::move(instrument));
        sf2::Preset preset;
        preset.name = "p" + std::to_string(i);
        preset.bank = static_cast<uint16_t>(i < 128 ? 0 : 128);
        preset.program = static_cast<uint16_t>(i % 128);
        sf2::Zone zone;
        zone.link = static_cast<uint16_t>(i);
        preset.zones.push_back(std::move(zone));
        bank.presets.push_back(std::move(preset));
    }
    const auto path = scratchFile("demo_shaped.sf2");
    bank.write(path.string());
    return path;
}

// The readers print what they load; the benchmark's output stays readable.
void withoutStandardOutput(const std::function<void()>& work) {
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    const int sink = ::open("/dev/null", O_WRONLY);
    ::dup2(sink, STDOUT_FILENO);
    work();
    std::fflush(stdout);
    ::dup2(saved, STDOUT_FILENO);
    ::close(sink);
    ::close(saved);
}

void loadXml(const std::filesystem::path& path) {
    withoutStandardOutput([&] {
        korvel_defsfont_t* bank = new_korvel_defsfont();
        korvel_defsfont_load_xml(bank, path.c_str());
        delete_korvel_defsfont(bank);
    });
}

void loadDls(const std::filesystem::path& path) {
    withoutStandardOutput([&] { synth::loadSoundBank(path); });
}

double secondsFor(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Times one load of each size per iteration and reports both and their ratio.
void runScaling(benchmark::State& state, const std::function<std::filesystem::path(int)>& write,
                const std::function<void(const std::filesystem::path&)>& load) {
    const auto small = write(kSmallBank);
    const auto large = write(kLargeBank);
    // A first load grows the heap to the large bank's size and the heap keeps it, so the timed loads reuse memory
    // rather than measure how fast the system hands out fresh pages (slow and uneven on virtual machines).
    mallopt(M_TRIM_THRESHOLD, INT_MAX);
    mallopt(M_MMAP_THRESHOLD, INT_MAX);
    load(large);
    double smallSeconds = 0;
    double largeSeconds = 0;
    for (auto _ : state) {
        smallSeconds += secondsFor([&] { load(small); });
        largeSeconds += secondsFor([&] { load(large); });
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["small_s"] = smallSeconds / runs;
    state.counters["large_s"] = largeSeconds / runs;
    state.counters["ratio"] = largeSeconds / smallSeconds;
    std::filesystem::remove(small);
    std::filesystem::remove(large);
}

void BM_XmlBankLoadScaling(benchmark::State& state) {
    runScaling(state, writeXmlBank, loadXml);
}
BENCHMARK(BM_XmlBankLoadScaling)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DlsBankLoadScaling(benchmark::State& state) {
    runScaling(state, writeDlsBank, loadDls);
}
BENCHMARK(BM_DlsBankLoadScaling)->Unit(benchmark::kMillisecond)->Iterations(3);

double processSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

long minorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// Each iteration loads the bank and releases it, and the heap hands its free pages back, so each load meets fresh
// memory as a program's first load does; cpu_ms and faults are per load.
void BM_Sf2DemoShapedLoad(benchmark::State& state) {
    const auto path = writeDemoShapedSf2();
    double seconds = 0;
    long faults = 0;
    for (auto _ : state) {
        withoutStandardOutput([&] {
            const double start = processSeconds();
            const long startFaults = minorFaults();
            korvel_sfont_t* sfont = korvel_defsfloader_load(nullptr, path.c_str());
            benchmark::DoNotOptimize(sfont);
            seconds += processSeconds() - start;
            faults += minorFaults() - startFaults;
            if (sfont != nullptr) sfont->free(sfont);
            malloc_trim(0);
        });
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["cpu_ms"] = seconds * 1e3 / runs;
    state.counters["faults"] = static_cast<double>(faults) / runs;
    std::filesystem::remove(path);
}
BENCHMARK(BM_Sf2DemoShapedLoad)->Unit(benchmark::kMillisecond)->Iterations(20);

// Lookups by bank and program, also of banks past the last (they fall back) and drum requests (they look for kits).
void BM_ProgramChangeLookup(benchmark::State& state) {
    korvel_defsfont_t* bank = new_korvel_defsfont();
    for (int i = 0; i < state.range(0); ++i) {
        korvel_defpreset_t* preset = new_korvel_defpreset(bank);
        preset->bank = static_cast<unsigned int>(i / 128);
        preset->num = static_cast<unsigned int>(i % 128);
        korvel_defsfont_add_preset(bank, preset);
    }
    unsigned int request = 1;
    for (auto _ : state) {
        request = request * 1103515245u + 12345u;
        const unsigned int bankNumber = ((request >> 8) % 512) | (request & 0x80000000u);
        benchmark::DoNotOptimize(korvel_defsfont_get_preset(bank, bankNumber, (request >> 20) % 128));
    }
    delete_korvel_defsfont(bank);
}
BENCHMARK(BM_ProgramChangeLookup)->Arg(kSmallBank)->Arg(kLargeBank);

}  // namespace
