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

namespace {

std::vector<uint8_t> sysexOf(size_t length, uint8_t seed) {
    std::vector<uint8_t> bytes(length);
    for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>((i * 7 + seed) & 0x7F);
    bytes.front() = 0xF0;
    if (length > 1) bytes.back() = 0xF7;
    return bytes;
}

std::vector<std::vector<uint8_t>> messagesOf(const AURenderEvent* head) {
    std::vector<std::vector<uint8_t>> seen;
    for (const AURenderEvent* e = head; e != nullptr; e = e->head.next)
        seen.emplace_back(e->MIDI.data, e->MIDI.data + e->MIDI.length);
    return seen;
}

}  // namespace

TEST(ScheduledEventMerger, SystemExclusiveOfEveryLengthArrivesWholeBetweenTheNotes) {
    ScheduledMIDIQueue queue;
    ScheduledEventMerger merger;
    const uint8_t note[] = {0x90, 60, 100};
    std::vector<std::vector<uint8_t>> expected;
    for (const size_t length : {1, 3, 255, 256, 257, 1000, 4096}) {
        const std::vector<uint8_t> sysex = sysexOf(length, static_cast<uint8_t>(length));
        ASSERT_TRUE(queue.push(0, 0, static_cast<int64_t>(length), sysex.data())) << length;
        ASSERT_TRUE(queue.push(0, 0, 3, note));
        expected.push_back(sysex);
        expected.emplace_back(note, note + 3);
    }
    const AURenderEvent* merged = merger.merge(queue, nullptr);
    EXPECT_EQ(messagesOf(merged), expected);
    EXPECT_EQ(merged->head.eventType, AURenderEventMIDISysEx);
    EXPECT_EQ(merged->head.next->head.eventType, AURenderEventMIDI);
    EXPECT_EQ(queue.droppedCount(), 0U);
}

TEST(ScheduledEventMerger, TheLongestMessagesWaitTheirTurnAndLongerOnesAreDropped) {
    ScheduledMIDIQueue queue;
    ScheduledEventMerger merger;
    const std::vector<uint8_t> longest = sysexOf(ScheduledMIDIQueue::kMaximumMessageBytes, 1);
    const std::vector<uint8_t> second = sysexOf(ScheduledMIDIQueue::kMaximumMessageBytes, 2);
    ASSERT_TRUE(queue.push(0, 0, static_cast<int64_t>(longest.size()), longest.data()));
    ASSERT_TRUE(queue.push(0, 0, static_cast<int64_t>(second.size()), second.data()));
    const std::vector<uint8_t> tooLong = sysexOf(ScheduledMIDIQueue::kMaximumMessageBytes + 1, 0);
    EXPECT_FALSE(queue.push(0, 0, static_cast<int64_t>(tooLong.size()), tooLong.data()));
    const uint8_t note[] = {0x90, 60, 100};
    EXPECT_FALSE(queue.push(0, 0, 3, note)) << "the two fill every slot";
    EXPECT_EQ(queue.droppedCount(), 2U);

    AURenderEvent host{};
    host.MIDI = {nullptr, 7, AURenderEventMIDI, 0, 3, 0, {0x80, 60, 0}};
    EXPECT_EQ(messagesOf(merger.merge(queue, &host)),
              (std::vector<std::vector<uint8_t>>{longest, {0x80, 60, 0}}));
    EXPECT_EQ(messagesOf(merger.merge(queue, nullptr)), std::vector<std::vector<uint8_t>>{second});
    EXPECT_EQ(merger.merge(queue, &host), &host);

    ScheduledMIDIQueue small(4);
    const std::vector<uint8_t> fiveSlots = sysexOf(4 * ScheduledMIDIQueue::kSlotBytes + 1, 3);
    EXPECT_FALSE(small.push(0, 0, static_cast<int64_t>(fiveSlots.size()), fiveSlots.data()));
    EXPECT_TRUE(small.push(0, 0, static_cast<int64_t>(fiveSlots.size() - 1), fiveSlots.data()));
}
