#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "shared/events/AUMIDIEventListSorter.h"
#include "shared/events/AUMIDIEventListSplitter.h"
#include "tests/shared/events/EventListBuilder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Events = std::vector<ListedEvent>;

ListedEvent midi(AUEventSampleTime time, Bytes bytes) {
    return {time, AURenderEventMIDI, 0, std::move(bytes)};
}

EventListBuilder mixedList() {
    EventListBuilder list;
    list.midi(30, {0x92, 60, 100})
        .parameter(31, AURenderEventParameter, 0, 1032, 1.0f)
        .midi(10, {0xF8})
        .midi(20, {0x91, 62, 100}, 4)
        .midi(10, {0xB2, 7, 100})
        .midi(5, {0x40, 1, 2})
        .sysex(15, {0xF0, 0x41, 0x10, 0xF7});
    return list;
}

TEST(AUMIDIEventListSorter, KeepsChannelMessagesOfPassingChannelsSortedWithOffset) {
    AUMIDIEventListSorter sorter;
    const EventListBuilder list = mixedList();
    EXPECT_EQ(listed(sorter.sortEvents(list.head(), 100)),
              (Events{midi(110, {0xB2, 7, 100}), {120, AURenderEventMIDI, 4, {0x91, 62, 100}},
                      midi(130, {0x92, 60, 100})}));
    sorter.mute(1);
    EXPECT_EQ(listed(sorter.sortEvents(list.head(), 100)),
              (Events{midi(110, {0xB2, 7, 100}), midi(130, {0x92, 60, 100})}));
    sorter.muteAll();
    EXPECT_EQ(sorter.sortEvents(list.head(), 0), nullptr);
}

// The sorter frees its previous output at its next call: repeated calls never run out of storage.
TEST(AUMIDIEventListSorter, RepeatedCallsReuseTheirStorage) {
    AUMIDIEventListSorter sorter(8 * sizeof(AURenderEvent));
    const EventListBuilder list = mixedList();
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(listed(sorter.sortEvents(list.head(), 0)).size(), 3u);
    }
    EXPECT_EQ(sorter.droppedCount(), 0u);
}

TEST(AUMIDIEventListSplitter, SplitsPerInstanceInListOrder) {
    AUMIDIEventListSplitter splitter;
    const EventListBuilder list = mixedList();
    struct Case {
        int instance;
        Events expected;
    };
    const Case cases[] = {
        {2, {midi(30, {0x92, 60, 100}), midi(10, {0xB2, 7, 100})}},
        {1, {{20, AURenderEventMIDI, 4, {0x91, 62, 100}}}},
        {8, {midi(10, {0xF8})}},
        {0, {{15, AURenderEventMIDISysEx, 0, {0xF0, 0x41, 0x10, 0xF7}}}},
        {-1,
         {midi(30, {0x92, 60, 100}), midi(10, {0xF8}), {20, AURenderEventMIDI, 4, {0x91, 62, 100}},
          midi(10, {0xB2, 7, 100}),
          {15, AURenderEventMIDISysEx, 0, {0xF0, 0x41, 0x10, 0xF7}}}},
        {5, {}},
        {16, {}},
        {-2, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.instance);
        EXPECT_EQ(listed(splitter.splitRealtimeEventListHead(list.head(), c.instance)), c.expected);
    }
}

TEST(AUMIDIEventListSplitter, MutedChannelsAreLeftOut) {
    AUMIDIEventListSplitter splitter;
    splitter.mute(2);
    const EventListBuilder list = mixedList();
    EXPECT_EQ(splitter.splitRealtimeEventListHead(list.head(), 2), nullptr);
    EXPECT_EQ(listed(splitter.splitRealtimeEventListHead(list.head(), -1)).size(), 3u);
}

// The splitter keeps what it builds: an earlier list of an instance stays intact after later splits, until that
// instance is deallocated; then its storage is free again.
TEST(AUMIDIEventListSplitter, KeepsListsUntilDeallocated) {
    AUMIDIEventListSplitter splitter(4 * sizeof(AURenderEvent));
    const EventListBuilder list = mixedList();
    const AURenderEvent* first = splitter.splitRealtimeEventListHead(list.head(), 2);
    const AURenderEvent* second = splitter.splitRealtimeEventListHead(list.head(), 2);
    const Events expected = {midi(30, {0x92, 60, 100}), midi(10, {0xB2, 7, 100})};
    EXPECT_EQ(listed(first), expected);
    EXPECT_EQ(listed(second), expected);
    EXPECT_EQ(splitter.splitRealtimeEventListHead(list.head(), 2), nullptr);
    EXPECT_EQ(splitter.droppedCount(), 2u);

    splitter.deallocateRealtimeEventListHead(2);
    EXPECT_EQ(listed(splitter.splitRealtimeEventListHead(list.head(), 2)), expected);
}

}  // namespace
