// MIDI scheduled from other threads while the render thread renders: every message arrives once and whole, in each
// thread's order, in a render that began after it was queued.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/audiounit/ScheduledEventMerger.h"
#include "tests/platform/audiounit/RecordingInstrument.h"

using namespace audiounit_testing;

TEST(ScheduledMIDIThreads, MessagesFromTwoThreadsArriveOnceInOrder) {
    RecordingInstrument unit;
    unit.allocateRenderResources();
    const auto schedule = unit.scheduleMIDIEventBlock();
    constexpr int kPerThread = 3000;
    std::atomic<int> finished{0};

    auto producer = [&](uint8_t channel) {
        for (int i = 0; i < kPerThread; ++i) {
            const uint8_t message[] = {static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(i & 0x7F),
                                       static_cast<uint8_t>((i >> 7) & 0x7F)};
            schedule(kAUEventSampleTimeImmediate, 0, 3, message);
            if (i % 100 == 99) {
                // Let two renders pass so that the queue never fills.
                const int64_t renders = unit.renders();
                while (unit.renders() < renders + 2) std::this_thread::yield();
            }
        }
        finished.fetch_add(1);
    };
    std::thread first(producer, 0);
    std::thread second(producer, 1);

    std::vector<float> left(64), right(64);
    int64_t sampleTime = 0;
    auto renderOnce = [&] {
        AudioBufferList buffers = stereoBufferList(left.data(), right.data(), 64);
        AudioTimeStamp timestamp;
        timestamp.mSampleTime = static_cast<double>(sampleTime);
        AudioUnitRenderActionFlags flags = 0;
        ASSERT_EQ(unit.renderBlock()(&flags, &timestamp, 64, 0, &buffers, nullptr, {}), foundation::noErr);
        sampleTime += 64;
    };
    while (finished.load() < 2) renderOnce();
    first.join();
    second.join();
    renderOnce();  // whatever was queued last
    renderOnce();

    ASSERT_EQ(unit.droppedScheduledMIDICount(), 0U) << "the renders kept up with the queue";
    ASSERT_EQ(unit.seenCount(), 2U * kPerThread);
    int next[2] = {0, 0};
    for (size_t i = 0; i < unit.seenCount(); ++i) {
        const SeenEvent& seen = unit.seen(i);
        const int channel = seen.bytes[0] & 0x0F;
        ASSERT_LT(channel, 2);
        const int index = seen.bytes[1] | (seen.bytes[2] << 7);
        ASSERT_EQ(index, next[channel]) << "message " << i;
        ++next[channel];
    }
    EXPECT_EQ(next[0], kPerThread);
    EXPECT_EQ(next[1], kPerThread);
}

TEST(ScheduledMIDIThreads, LongSystemExclusiveFromOneThreadAndNotesFromAnotherArriveWholeInOrder) {
    ScheduledMIDIQueue queue(64);
    ScheduledEventMerger merger(32);
    constexpr int kPerThread = 400;
    // Message i of the sysex thread is 1 + (i * 37) % 3000 bytes long, every byte saying i (with the end byte last).
    const auto sysexOf = [](int i) {
        std::vector<uint8_t> bytes(1 + static_cast<size_t>(i * 37 % 3000), static_cast<uint8_t>(i & 0x7F));
        bytes.front() = 0xF0;
        if (bytes.size() > 1) bytes.back() = 0xF7;
        return bytes;
    };
    const auto pushUntilTaken = [&queue](const std::vector<uint8_t>& bytes) {
        while (!queue.push(0, 0, static_cast<int64_t>(bytes.size()), bytes.data())) std::this_thread::yield();
    };
    std::atomic<int> finished{0};
    std::thread sysexThread([&] {
        for (int i = 0; i < kPerThread; ++i) pushUntilTaken(sysexOf(i));
        finished.fetch_add(1);
    });
    std::thread noteThread([&] {
        for (int i = 0; i < kPerThread; ++i)
            pushUntilTaken({0x90, static_cast<uint8_t>(i & 0x7F), static_cast<uint8_t>((i >> 7) & 0x7F)});
        finished.fetch_add(1);
    });

    int nextSysex = 0;
    int nextNote = 0;
    const auto takeAll = [&] {
        for (const AURenderEvent* e = merger.merge(queue, nullptr); e != nullptr; e = e->head.next) {
            const std::vector<uint8_t> bytes(e->MIDI.data, e->MIDI.data + e->MIDI.length);
            if (bytes[0] == 0xF0) {
                ASSERT_EQ(bytes, sysexOf(nextSysex)) << "sysex " << nextSysex;
                ++nextSysex;
            } else {
                ASSERT_EQ(bytes[1] | (bytes[2] << 7), nextNote);
                ++nextNote;
            }
        }
    };
    while (finished.load() < 2) takeAll();
    sysexThread.join();
    noteThread.join();
    while (queue.frontLength() > 0) takeAll();
    EXPECT_EQ(nextSysex, kPerThread);
    EXPECT_EQ(nextNote, kPerThread);
}
