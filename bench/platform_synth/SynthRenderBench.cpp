// The stand-in's render block at 48 kHz: 512-frame buffers with 32 sounding notes, and the cost of applying a
// number of MIDI events spread over each buffer (each one splits the pull).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/synth/MIDISynthUnit.h"
#include "tools/soundbank/sf2_writer.h"

namespace {

constexpr uint32_t kFrames = 512;
constexpr int kSoundingNotes = 32;

std::filesystem::path writeBank() {
    const sf2::Bank bank = sf2::looped_sample_bank(sf2::looped_sample("saw", sf2::saw_wave(100, 100), 100, 69, 44000));
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("synth_bench_" + std::to_string(::getpid()) + ".sf2");
    bank.write(path.string());
    return path;
}

void BM_RenderWithEvents(benchmark::State& state) {
    const auto eventsPerBuffer = static_cast<uint32_t>(state.range(0));
    const std::filesystem::path bank = writeBank();
    MIDISynthUnit unit;
    unit.setMaximumFramesToRender(kFrames);
    unit.allocateRenderResources();
    unit.setProperty(kMusicDeviceProperty_SoundBankURL, kAudioUnitScope_Global, 0, &bank, sizeof bank);
    std::filesystem::remove(bank);
    for (int i = 0; i < kSoundingNotes; ++i)
        unit.musicDeviceMIDIEvent(0x90 | (i % 8), static_cast<uint32_t>(40 + i), 100, 0);

    // Controller messages that change nothing audible, spread evenly over the buffer.
    std::vector<AURenderEvent> events(eventsPerBuffer);
    for (uint32_t i = 0; i < eventsPerBuffer; ++i) {
        AURenderEvent& event = events[i];
        event = AURenderEvent{};
        event.MIDI.next = i + 1 < eventsPerBuffer ? &events[i + 1] : nullptr;
        event.MIDI.eventSampleTime = kAUEventSampleTimeImmediate + i * kFrames / eventsPerBuffer;
        event.MIDI.eventType = AURenderEventMIDI;
        event.MIDI.length = 3;
        event.MIDI.data[0] = 0xB0;
        event.MIDI.data[1] = 1;
        event.MIDI.data[2] = static_cast<uint8_t>(i & 0x7F);
    }

    std::vector<float> left(kFrames), right(kFrames);
    AudioBufferList buffers = stereoBufferList(left.data(), right.data(), kFrames);
    AudioTimeStamp timestamp;
    AudioUnitRenderActionFlags flags = 0;
    const AURenderBlock render = unit.renderBlock();
    for (auto _ : state) {
        render(&flags, &timestamp, kFrames, 0, &buffers, events.empty() ? nullptr : events.data(), nullptr);
        timestamp.mSampleTime += kFrames;
        benchmark::DoNotOptimize(left.data());
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(BM_RenderWithEvents)->Arg(0)->Arg(16)->Arg(64)->Unit(benchmark::kMicrosecond);

}  // namespace
