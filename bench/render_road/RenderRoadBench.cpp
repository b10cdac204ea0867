// The instrument's whole render road on a dense General MIDI file: the file player, the event mixer, the MIDI
// output, the hand-offs, the synthesizer stand-in on the generated sound bank of sound set "00" and the limiter. One
// 512-frame buffer per iteration; "realtime_factor" is seconds of audio rendered per second of wall time.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "Orvo_Tunedeck_Extension/audiounit/OrvoTunedeck_AudioUnit.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"

namespace {

constexpr std::uint32_t kFrames = 512;
constexpr int kTicksPerBeat = 480;

using Bytes = std::vector<std::uint8_t>;

void appendVariableLength(Bytes& out, std::uint32_t value) {
    Bytes reversed{static_cast<std::uint8_t>(value & 0x7F)};
    while ((value >>= 7) != 0) {
        reversed.push_back(static_cast<std::uint8_t>(0x80 | (value & 0x7F)));
    }
    out.insert(out.end(), reversed.rbegin(), reversed.rend());
}

// Sixteen bars at 120 beats per minute: fifteen melodic channels, each with its own program, playing a three-note
// chord on every eighth note, and the rhythm channel playing kick, snare and hi-hat on every sixteenth.
Bytes denseGeneralMidiFile() {
    struct Event {
        std::uint32_t tick;
        Bytes bytes;
    };
    std::vector<Event> events;
    constexpr int kBeats = 64;
    for (std::uint8_t channel = 0; channel < 16; ++channel) {
        if (channel != 9) {
            events.push_back({0, {static_cast<std::uint8_t>(0xC0 | channel), static_cast<std::uint8_t>(channel * 8)}});
        }
    }
    for (int step = 0; step < kBeats * 2; ++step) {
        const auto tick = static_cast<std::uint32_t>(step * kTicksPerBeat / 2);
        for (std::uint8_t channel = 0; channel < 16; ++channel) {
            if (channel == 9) {
                continue;
            }
            const auto root = static_cast<std::uint8_t>(36 + (channel * 5 + step * 7) % 48);
            for (const std::uint8_t interval : {0, 4, 7}) {
                const auto key = static_cast<std::uint8_t>(root + interval);
                events.push_back({tick, {static_cast<std::uint8_t>(0x90 | channel), key, 90}});
                events.push_back(
                    {tick + kTicksPerBeat / 2 - 10, {static_cast<std::uint8_t>(0x80 | channel), key, 64}});
            }
        }
    }
    for (int step = 0; step < kBeats * 4; ++step) {
        const auto tick = static_cast<std::uint32_t>(step * kTicksPerBeat / 4);
        const std::uint8_t kick = step % 4 == 0 ? 36 : 42;
        const std::uint8_t snare = step % 8 == 4 ? 38 : 44;
        for (const std::uint8_t key : {kick, snare}) {
            events.push_back({tick, {0x99, key, 100}});
            events.push_back({tick + kTicksPerBeat / 8, {0x89, key, 0}});
        }
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.tick < b.tick; });

    Bytes track = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20};
    std::uint32_t last = 0;
    for (const Event& event : events) {
        appendVariableLength(track, event.tick - last);
        track.insert(track.end(), event.bytes.begin(), event.bytes.end());
        last = event.tick;
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    Bytes file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, kTicksPerBeat >> 8, kTicksPerBeat & 0xFF,
                  'M', 'T', 'r', 'k'};
    const auto size = static_cast<std::uint32_t>(track.size());
    file.insert(file.end(), {static_cast<std::uint8_t>(size >> 24), static_cast<std::uint8_t>(size >> 16),
                             static_cast<std::uint8_t>(size >> 8), static_cast<std::uint8_t>(size)});
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

void renderDenseFile(benchmark::State& state) {
    foundation::LogCapture quiet;
    const auto scratch = std::filesystem::temp_directory_path() / "render_road_bench";
    std::filesystem::create_directories(scratch);
    ::setenv("TUNEDECK_DOCUMENTS", (scratch / "Documents").c_str(), 1);
    const auto midiFile = scratch / "dense.mid";
    const Bytes bytes = denseGeneralMidiFile();
    std::ofstream(midiFile, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));

    auto unit = std::make_shared<OrvoTunedeck_AudioUnit>();
    std::uint64_t sent = 0;
    unit->setMIDIOutputEventBlock([&sent](AUEventSampleTime, std::uint8_t, std::int64_t, const std::uint8_t*) {
        ++sent;
        return foundation::noErr;
    });
    unit->setMaximumFramesToRender(kFrames);
    unit->allocateRenderResources();
    unit->sequencer()->setLooping(true);
    unit->sequencer()->loadMIDIFile(midiFile, true);
    unit->sequencer()->start(kFrames);
    unit->initializeParameters();
    dispatch::MainQueue::shared().drain();

    const AURenderBlock render = unit->renderBlock();
    std::vector<float> left(kFrames), right(kFrames);
    AUEventSampleTime now = kFrames;
    for (auto _ : state) {
        AudioBufferList buffers = stereoBufferList(left.data(), right.data(), kFrames);
        AudioTimeStamp timestamp;
        timestamp.mSampleTime = static_cast<double>(now);
        AudioUnitRenderActionFlags flags = 0;
        render(&flags, &timestamp, kFrames, 0, &buffers, nullptr, nullptr);
        benchmark::DoNotOptimize(left.data());
        now += kFrames;
        state.PauseTiming();
        dispatch::MainQueue::shared().drain();
        while (unit->monitor()->popMonitoring()) {
        }
        state.ResumeTiming();
    }
    const double samplerate = unit->outputBusses()[0]->format().sampleRate;
    state.counters["realtime_factor"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kFrames / samplerate, benchmark::Counter::kIsRate);
    state.counters["sent_per_buffer"] =
        benchmark::Counter(static_cast<double>(sent) / static_cast<double>(state.iterations()));
    unit->deallocateRenderResources();
    dispatch::MainQueue::shared().drain();
    unit.reset();
    dispatch::MainQueue::shared().drain();
    std::filesystem::remove_all(scratch);
}

BENCHMARK(renderDenseFile)->UseRealTime()->Unit(benchmark::kMicrosecond)->MinTime(3.0);

}  // namespace
