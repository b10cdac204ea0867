#include <atomic>
#include <cstdint>
#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "shared/events/AUMIDIEventListMixer.h"
#include "shared/events/AUMIDIMonitor.h"
#include "tests/shared/events/EventListBuilder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

AUMIDIEventEx event(Bytes bytes, AUEventSampleTime time) {
    const auto length = static_cast<std::uint32_t>(bytes.size());
    return AUMIDIEventEx(AURenderEventMIDI, bytes, length, time);
}

// Two producers add while a consumer pops: every event arrives exactly once, and each producer's events in order.
TEST(MonitorThreads, TwoProducersAndAConsumer) {
    auto monitor = AUMIDIMonitor::create(false);
    constexpr int kPerProducer = 2000;
    auto produce = [&monitor](std::uint8_t channel) {
        for (int i = 0; i < kPerProducer; ++i) {
            monitor->addMonitoring(event({static_cast<std::uint8_t>(0x90 | channel), 60, 100}, i));
            monitor->addMonitoring(event({static_cast<std::uint8_t>(0x80 | channel), 60, 0}, i));
        }
    };
    std::vector<AUEventSampleTime> lastSeen(2, -1);
    int popped = 0;
    std::atomic<bool> producing{true};
    std::thread consumer([&] {
        while (producing.load() || monitor->getSize() > 0) {
            if (auto e = monitor->popMonitoring()) {
                const std::size_t producer = e->data()[0] & 0x0F;
                EXPECT_GE(e->event().eventSampleTime, lastSeen[producer]);
                lastSeen[producer] = e->event().eventSampleTime;
                ++popped;
            }
        }
    });
    std::thread first(produce, 0);
    std::thread second(produce, 1);
    first.join();
    second.join();
    producing = false;
    consumer.join();
    EXPECT_EQ(popped, 4 * kPerProducer);
    EXPECT_EQ(monitor->getRunningNotesCount(), 0u);
}

// Two producers fill a monitor with automatic clearing: the list never holds more than MAXEVENTS events.
TEST(MonitorThreads, AutoClearUnderTwoProducers) {
    auto monitor = AUMIDIMonitor::create(true);
    auto produce = [&monitor](std::uint8_t key) {
        for (int i = 0; i < 3000; ++i) {
            monitor->addMonitoring(event({0x90, key, 100}, i));
            EXPECT_LE(monitor->getSize(), AUMIDIMonitor::MAXEVENTS);
        }
    };
    std::thread first(produce, 1);
    std::thread second(produce, 2);
    first.join();
    second.join();
    EXPECT_LE(monitor->getSize(), AUMIDIMonitor::MAXEVENTS);
}

// The file player tracks its notes on the render thread while the main queue reads and clears them.
TEST(MonitorThreads, RenderThreadTracksWhileMainReadsAndClears) {
    auto monitor = AUMIDIMonitor::create();
    std::atomic<bool> rendering{true};
    std::thread render([&] {
        const AUMIDIEventEx on = event({0x93, 64, 90}, 0);
        const AUMIDIEventEx off = event({0x83, 64, 0}, 1);
        while (rendering.load(std::memory_order_relaxed)) {
            monitor->trackEvents(on);
            monitor->trackEvents(off);
        }
        monitor->trackEvents(on);
    });
    for (int i = 0; i < 2000; ++i) {
        EXPECT_LE(monitor->getRunningNotesCount(), 1u);
        for (const auto& note : monitor->getRunningNotes()) {
            EXPECT_EQ(note->array(), (Bytes{0x93, 64, 90}));
        }
        if (i % 100 == 0) {
            monitor->reset();
        }
    }
    rendering = false;
    render.join();
    EXPECT_EQ(monitor->getRunningNotesCount(), 1u);
}

// The main queue changes mutes and the velocity table while the render thread mixes; each mix sees whole values.
TEST(MixerThreads, MutesAndVelocitiesChangeWhileMixing) {
    AUMIDIEventListMixer mixer;
    EventListBuilder host;
    for (std::uint8_t channel = 0; channel < 16; ++channel) {
        host.midi(channel, {static_cast<std::uint8_t>(0x90 | channel), 60, 100});
    }
    VelocityTable loud{};
    loud.fill(127);
    std::atomic<bool> rendering{true};
    std::thread render([&] {
        while (rendering.load(std::memory_order_relaxed)) {
            for (const AURenderEvent* e = mixer.mixEvents(host.head(), nullptr, 0, 0, false); e; e = e->head.next) {
                const std::uint8_t velocity = e->MIDI.data[2];
                EXPECT_TRUE(velocity == 100 || velocity == 127);
            }
        }
    });
    for (int i = 0; i < 2000; ++i) {
        mixer.mute(static_cast<std::uint8_t>(i % 16));
        mixer.setVelocities(i % 2 == 0 ? loud : kDefaultVelocityTable);
        mixer.unmute(static_cast<std::uint8_t>(i % 16));
    }
    rendering = false;
    render.join();
}

}  // namespace
