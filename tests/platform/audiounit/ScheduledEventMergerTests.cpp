#include <gtest/gtest.h>

#include <vector>

#include "platform/audiounit/ScheduledEventMerger.h"

namespace {

std::vector<std::pair<AUEventSampleTime, uint8_t>> walk(const AURenderEvent* head) {
    std::vector<std::pair<AUEventSampleTime, uint8_t>> seen;
    for (const AURenderEvent* e = head; e != nullptr; e = e->head.next) seen.emplace_back(e->head.eventSampleTime, e->MIDI.data[0]);
    return seen;
}

void push(ScheduledMIDIQueue& queue, AUEventSampleTime time, uint8_t status) {
    const uint8_t bytes[] = {status, 60, 100};
    ASSERT_TRUE(queue.push(time, 0, 3, bytes));
}

}  // namespace

TEST(ScheduledEventMerger, HostEventsBeyondItsStorageAreLinkedInUnchangedAndTheQueueWaits) {
    ScheduledMIDIQueue queue(8);
    ScheduledEventMerger merger(4);  // two scheduled messages and two host copies per call
    push(queue, 10, 0x90);
    push(queue, 30, 0x91);
    push(queue, 5, 0x92);

    AURenderEvent host[3]{};
    for (int i = 0; i < 3; ++i) {
        host[i].MIDI = {i < 2 ? &host[i + 1] : nullptr, 20 + 10 * i, AURenderEventMIDI, 0, 3, 0,
                        {static_cast<uint8_t>(0xA0 + i), 0, 0}};
    }
    const auto first = walk(merger.merge(queue, host));
    EXPECT_EQ(first, (std::vector<std::pair<AUEventSampleTime, uint8_t>>{
                         {10, 0x90}, {20, 0xA0}, {30, 0x91}, {30, 0xA1}, {40, 0xA2}}));
    EXPECT_EQ(host[0].MIDI.next, &host[1]);
    EXPECT_EQ(host[1].MIDI.next, &host[2]);

    const auto second = walk(merger.merge(queue, nullptr));
    EXPECT_EQ(second, (std::vector<std::pair<AUEventSampleTime, uint8_t>>{{5, 0x92}}));
    EXPECT_EQ(merger.merge(queue, host), host) << "nothing waits: the host's own list";
}

TEST(ScheduledEventMerger, AHostMessageTooLongToCopyStaysInPlace) {
    ScheduledMIDIQueue queue;
    ScheduledEventMerger merger;
    push(queue, 0, 0x90);
    struct alignas(AURenderEvent) LongSysEx {
        unsigned char bytes[sizeof(AURenderEvent) + 400];
    } storage{};
    auto* sysex = reinterpret_cast<AURenderEvent*>(&storage);
    sysex->MIDI = {nullptr, 50, AURenderEventMIDISysEx, 0, 300, 0, {0xF0, 1, 2}};
    const AURenderEvent* merged = merger.merge(queue, sysex);
    ASSERT_NE(merged, nullptr);
    EXPECT_EQ(merged->MIDI.data[0], 0x90);
    EXPECT_EQ(merged->head.next, sysex);
}
