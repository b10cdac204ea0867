#include <benchmark/benchmark.h>

#include <cstdint>

#include "platform/dispatch/HandoffRing.h"
#include "platform/foundation/Log.h"

namespace {

struct MidiCopy {
    std::int64_t sampleTime;
    std::uint8_t bytes[3];
};

void ignore(void*, const MidiCopy&) {}

// One push and one pop: the render thread's cost of a hand-off plus the main queue's cost of taking it.
void pushAndRunEvent(benchmark::State& state) {
    dispatch::HandoffRing ring(1024);
    MidiCopy copy{1024, {0x90, 0x3C, 0x64}};
    for (auto _ : state) {
        ring.pushNoAlloc(&ignore, nullptr, copy);
        ring.runOne();
        ++copy.sampleTime;
    }
}
BENCHMARK(pushAndRunEvent);

// A log line through the ring: the render thread's copy, then the main queue handing it to a sink that drops it.
void logLineThroughRing(benchmark::State& state) {
    auto previous = foundation::setLogSink([](std::string_view) {});
    dispatch::HandoffRing ring(1024);
    for (auto _ : state) {
        foundation::queueLogLineNoAlloc(ring, "OrvoTunedeck_AudioUnit::internalRenderBlock() : ERROR: -10867");
        ring.runOne();
    }
    foundation::setLogSink(std::move(previous));
}
BENCHMARK(logLineThroughRing);

}  // namespace
