#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dispatch/HandoffRing.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "shared/events/AUMIDIEventListMixer.h"
#include "shared/events/MIDIBytes.h"
#include "tests/shared/events/EventListBuilder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Events = std::vector<ListedEvent>;

ListedEvent midi(AUEventSampleTime time, Bytes bytes) {
    return {time, AURenderEventMIDI, 0, std::move(bytes)};
}

TEST(AUMIDIEventListMixer, MergesHostAndFileListsInTimeOrderHostFirst) {
    AUMIDIEventListMixer mixer;
    EventListBuilder host;
    host.midi(30, {0x90, 0x40, 0x50}, 3).midi(10, {0xB0, 0x07, 0x64}).midi(20, {0x80, 0x40, 0x00});
    EventListBuilder file;
    file.midi(10, {0x91, 0x3C, 0x64}).midi(20, {0xC1, 0x05}).midi(25, {0x81, 0x3C, 0x00});

    const Events merged = listed(mixer.mixEvents(host.head(), file.head(), 0, 0, false));
    const Events expected = {
        midi(10, {0xB0, 0x07, 0x64}), midi(10, {0x91, 0x3C, 0x64}), midi(20, {0x80, 0x40, 0x00}),
        midi(20, {0xC1, 0x05}),       midi(25, {0x81, 0x3C, 0x00}), midi(30, {0x90, 0x40, 0x50}),
    };
    EXPECT_EQ(merged, expected);  // cable 3 of the host note is not carried
    EXPECT_TRUE(mixer.specialEvents.empty());
}

// Long lists in scrambled order come out as std::stable_sort orders them: by time, host before file, each list in
// its own order at equal times.
TEST(AUMIDIEventListMixer, LongListsSortLikeAStableSort) {
    AUMIDIEventListMixer mixer;
    EventListBuilder host;
    EventListBuilder file;
    Events hostEvents;
    Events fileEvents;
    std::uint32_t seed = 12345;
    for (int i = 0; i < 300; ++i) {
        seed = seed * 1103515245u + 12345u;
        const AUEventSampleTime time = (seed >> 16) % 37;
        const Bytes bytes = {static_cast<std::uint8_t>(0x90 | (i % 2)), static_cast<std::uint8_t>(i % 128),
                             static_cast<std::uint8_t>(1 + i / 128)};
        (i % 3 == 0 ? file : host).midi(time, bytes);
        (i % 3 == 0 ? fileEvents : hostEvents).push_back(midi(time, bytes));
    }
    Events hostFirst = hostEvents;
    hostFirst.insert(hostFirst.end(), fileEvents.begin(), fileEvents.end());
    std::stable_sort(hostFirst.begin(), hostFirst.end(),
                     [](const ListedEvent& a, const ListedEvent& b) { return a.time < b.time; });
    EXPECT_EQ(listed(mixer.mixEvents(host.head(), file.head(), 0, 0, false)), hostFirst);
}

TEST(AUMIDIEventListMixer, OffsetsApplyPerList) {
    AUMIDIEventListMixer mixer;
    EventListBuilder host;
    host.midi(10, {0x90, 0x40, 0x50});
    EventListBuilder file;
    file.midi(10, {0x91, 0x3C, 0x64});
    EXPECT_EQ(listed(mixer.mixEvents(host.head(), file.head(), 100, -5, false)),
              (Events{midi(5, {0x91, 0x3C, 0x64}), midi(110, {0x90, 0x40, 0x50})}));
}

// With channel 2 muted, only "reset all controllers" and "all notes off" of channel 2 pass, from either list.
TEST(AUMIDIEventListMixer, MutedChannelsDropOutExceptControllers121And123) {
    AUMIDIEventListMixer mixer;
    mixer.mute(2);
    EventListBuilder host;
    host.midi(1, {0x92, 0x3C, 0x64}).midi(2, {0xB2, 0x7B, 0x00}).midi(3, {0xB2, 0x07, 0x64}).midi(4, {0x93, 1, 2});
    EventListBuilder file;
    file.midi(1, {0x92, 0x3E, 0x64}).midi(2, {0xB2, 0x79, 0x00}).midi(3, {0xE2, 0x00, 0x40});
    EXPECT_EQ(listed(mixer.mixEvents(host.head(), file.head(), 0, 0, false)),
              (Events{midi(2, {0xB2, 0x7B, 0x00}), midi(2, {0xB2, 0x79, 0x00}), midi(4, {0x93, 1, 2})}));
}

TEST(AUMIDIEventListMixer, NoteOnVelocitiesPassThroughTheTable) {
    AUMIDIEventListMixer mixer;
    VelocityTable table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = static_cast<std::uint8_t>(127 - i);
    }
    table[100] = 0;
    EventListBuilder host;
    host.midi(0, {0x90, 60, 1}).midi(1, {0x90, 60, 0}).midi(2, {0x80, 60, 1}).midi(3, {0xA0, 60, 1})
        .midi(4, {0x90, 61, 127});
    EventListBuilder file;
    file.midi(5, {0x95, 62, 10});

    // Default table: every velocity stays as it is, velocity 0 included.
    EXPECT_EQ(listed(mixer.mixEvents(host.head(), file.head(), 0, 0, false)),
              (Events{midi(0, {0x90, 60, 1}), midi(1, {0x90, 60, 0}), midi(2, {0x80, 60, 1}),
                      midi(3, {0xA0, 60, 1}), midi(4, {0x90, 61, 127}), midi(5, {0x95, 62, 10})}));

    mixer.setVelocities(table);
    EXPECT_EQ(mixer.velocities(), table);
    EXPECT_EQ(listed(mixer.mixEvents(host.head(), file.head(), 0, 0, false)),
              (Events{midi(0, {0x90, 60, 126}), midi(1, {0x90, 60, 0}), midi(2, {0x80, 60, 1}),
                      midi(3, {0xA0, 60, 1}), midi(4, {0x90, 61, 0}), midi(5, {0x95, 62, 117})}));

    mixer.reset();
    EXPECT_EQ(mixer.velocities(), kDefaultVelocityTable);
}

TEST(AUMIDIEventListMixer, DefaultVelocityTable) {
    EXPECT_EQ(kDefaultVelocityTable[0], 1);
    for (std::size_t i = 1; i < kDefaultVelocityTable.size(); ++i) {
        EXPECT_EQ(kDefaultVelocityTable[i], i);
    }
}

TEST(AUMIDIEventListMixer, HostNoteOnMappedToZeroIsLogged) {
    dispatch::MainQueue& mainQueue = dispatch::MainQueue::shared();
    dispatch::HandoffRing ring(8);
    mainQueue.attach(ring);
    foundation::LogCapture capture;

    AUMIDIEventListMixer mixer;
    mixer.setLogRing(&ring);
    VelocityTable silent{};
    mixer.setVelocities(silent);
    EventListBuilder host;
    host.midi(0, {0x90, 60, 100});
    EventListBuilder file;
    file.midi(0, {0x90, 61, 100});
    EXPECT_EQ(listed(mixer.mixEvents(host.head(), file.head(), 0, 0, false)),
              (Events{midi(0, {0x90, 60, 0}), midi(0, {0x90, 61, 0})}));

    mainQueue.drain();
    mainQueue.detach(ring);
    EXPECT_EQ(capture.lines(),
              std::vector<std::string>{"AUMIDIEvents::mixEvents() : WARNING: An ON velocity was mapped to zero!"});
}

// System messages go aside with their own time (no offset) and whole message; they never reach the merged list.
TEST(AUMIDIEventListMixer, SystemMessagesGoAside) {
    AUMIDIEventListMixer mixer;
    EventListBuilder host;
    host.midi(40, {0xF8}).sysex(41, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}).midi(42, {0x90, 60, 100});
    EventListBuilder file;
    file.sysex(43, {0xFD, 0x51, 0x78, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});

    EXPECT_EQ(listed(mixer.mixEvents(host.head(), file.head(), 1000, 2000, false)),
              (Events{midi(1042, {0x90, 60, 100})}));
    ASSERT_EQ(mixer.specialEvents.size(), 3u);
    const struct {
        AUEventSampleTime time;
        std::uint8_t type;
        Bytes bytes;
    } expected[] = {
        {40, AURenderEventMIDI, {0xF8}},
        {41, AURenderEventMIDISysEx, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}},
        {43, AURenderEventMIDISysEx, {0xFD, 0x51, 0x78, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}},
    };
    for (std::size_t i = 0; i < 3; ++i) {
        const AUMIDIEvent& special = mixer.specialEvents[i];
        EXPECT_EQ(special.eventSampleTime, expected[i].time);
        EXPECT_EQ(special.eventType, expected[i].type);
        EXPECT_EQ(special.next, nullptr);
        EXPECT_EQ(Bytes(midiBytes(special), midiBytes(special) + special.length), expected[i].bytes);
    }

    // The mixer only appends; its reader empties the list.
    mixer.mixEvents(host.head(), nullptr, 0, 0, false);
    EXPECT_EQ(mixer.specialEvents.size(), 5u);
    mixer.specialEvents.clear();
    EXPECT_TRUE(mixer.specialEvents.empty());
}

// A system-exclusive message of n bytes: F0, a counting body, F7.
Bytes sysexOf(std::size_t n) {
    Bytes bytes{0xF0};
    while (bytes.size() + 1 < n) bytes.push_back(static_cast<std::uint8_t>(bytes.size() % 128));
    bytes.push_back(0xF7);
    return bytes;
}

Bytes bytesOf(const AUMIDIEvent& event) {
    return Bytes(midiBytes(event), midiBytes(event) + event.length);
}

// Around the old 256-byte record and up to the longest message a render event carries.
TEST(AUMIDIEventListMixer, SystemExclusiveOfAnyLengthGoesAsideWhole) {
    AUMIDIEventListMixer mixer;
    for (const std::size_t length : {224u, 255u, 256u, 257u, 1000u, 65535u}) {
        EventListBuilder host;
        host.midi(5, {0x90, 60, 100}).sysex(6, sysexOf(length)).midi(7, {0xF8});
        EXPECT_EQ(listed(mixer.mixEvents(host.head(), nullptr, 0, 0, false)), (Events{midi(5, {0x90, 60, 100})}));
        ASSERT_EQ(mixer.specialEvents.size(), 2u) << length;
        EXPECT_EQ(bytesOf(mixer.specialEvents[0]), sysexOf(length)) << length;
        EXPECT_EQ(bytesOf(mixer.specialEvents[1]), Bytes{0xF8}) << length;
        mixer.specialEvents.clear();
    }
    EXPECT_EQ(mixer.specialEvents.droppedCount(), 0u);
}

// The list has room for kDefaultCapacity messages of 256 bytes and one longest message: here for two longest ones,
// not three, and for no more messages than its capacity. What finds no room is dropped with a line.
TEST(AUMIDIEventListMixer, ASystemMessageBeyondTheRoomIsDroppedWithALogLine) {
    dispatch::MainQueue& mainQueue = dispatch::MainQueue::shared();
    dispatch::HandoffRing ring(8);
    mainQueue.attach(ring);
    foundation::LogCapture capture;

    AUMIDIEventListMixer mixer;
    mixer.setLogRing(&ring);
    EventListBuilder longest;
    longest.sysex(0, sysexOf(65535)).sysex(1, sysexOf(65535)).sysex(2, sysexOf(65535));
    mixer.mixEvents(longest.head(), nullptr, 0, 0, false);
    ASSERT_EQ(mixer.specialEvents.size(), 2u);
    EXPECT_EQ(bytesOf(mixer.specialEvents[1]), sysexOf(65535));
    mixer.specialEvents.clear();

    EventListBuilder many;
    for (std::size_t i = 0; i <= AsideEventList::kDefaultCapacity; ++i) many.sysex(0, sysexOf(256));
    mixer.mixEvents(many.head(), nullptr, 0, 0, false);
    EXPECT_EQ(mixer.specialEvents.size(), AsideEventList::kDefaultCapacity);
    EXPECT_EQ(mixer.specialEvents.droppedCount(), 2u);

    mainQueue.drain();
    mainQueue.detach(ring);
    EXPECT_EQ(capture.lines(),
              (std::vector<std::string>{
                  "AUMIDIEvents::mixEvents() : ERROR: A system message of 65535 bytes was dropped: no room is left "
                  "for it in this render call.",
                  "AUMIDIEvents::mixEvents() : ERROR: A system message of 256 bytes was dropped: no room is left "
                  "for it in this render call."}));
}

// Parameter and ramp entries are never read as MIDI. Seen through the MIDI view, the ramp below reads as a note-on
// 90 3C 64 of length 3 and the parameter event as a clock message F8 of length 1.
TEST(AUMIDIEventListMixer, NonMIDIEntriesAreSkippedBeforeAnyMIDIField) {
    AUMIDIEventListMixer mixer;
    EventListBuilder host;
    host.parameter(5, AURenderEventParameterRamp, 0x643C9000, 1032, 1.0f, {0, 3, 0})
        .parameter(6, AURenderEventParameter, 0x0000F800, 1033, 0.5f, {0, 1, 0})
        .midi(7, {0x90, 60, 100});
    const AURenderEvent* ramp = host.head();
    ASSERT_EQ(ramp->MIDI.length, 3);
    ASSERT_EQ(ramp->MIDI.data[0], 0x90);
    ASSERT_EQ(ramp->head.next->MIDI.data[0], 0xF8);

    EXPECT_EQ(listed(mixer.mixEvents(host.head(), nullptr, 0, 0, false)), (Events{midi(7, {0x90, 60, 100})}));
    EXPECT_TRUE(mixer.specialEvents.empty());
}

TEST(AUMIDIEventListMixer, MessagesWithoutStatusByteAreSkipped) {
    AUMIDIEventListMixer mixer;
    EventListBuilder host;
    host.midi(1, {0x3C, 0x40}).midi(2, {}).midi(3, {0x7F, 0x00, 0x00});
    EXPECT_EQ(mixer.mixEvents(host.head(), nullptr, 0, 0, false), nullptr);
}

// A channel message longer than three bytes keeps all of its bytes in the merged node.
TEST(AUMIDIEventListMixer, MergedNodesCarryTheirWholeMessage) {
    AUMIDIEventListMixer mixer;
    EventListBuilder file;
    file.sysex(9, {0x90, 60, 100, 0x11, 0x22, 0x33, 0x44});
    EXPECT_EQ(listed(mixer.mixEvents(nullptr, file.head(), 0, 0, false)),
              (Events{{9, AURenderEventMIDISysEx, 0, {0x90, 60, 100, 0x11, 0x22, 0x33, 0x44}}}));
}

TEST(AUMIDIEventListMixer, EmptyOrSystemOnlyInputGivesNull) {
    AUMIDIEventListMixer mixer;
    EventListBuilder host;
    host.midi(0, {0x90, 60, 100});
    ASSERT_NE(mixer.mixEvents(host.head(), nullptr, 0, 0, false), nullptr);
    EXPECT_EQ(mixer.mixEvents(nullptr, nullptr, 0, 0, false), nullptr);
    EventListBuilder clock;
    clock.midi(0, {0xF8}).midi(1, {0xFA});
    EXPECT_EQ(mixer.mixEvents(clock.head(), clock.head(), 0, 0, false), nullptr);
    EXPECT_EQ(mixer.specialEvents.size(), 4u);
}

TEST(AUMIDIEventListMixer, NoteFilter) {
    AUMIDIEventListMixer mixer;
    std::vector<std::uint8_t> all(128);
    for (std::size_t i = 0; i < all.size(); ++i) {
        all[i] = static_cast<std::uint8_t>(i);
    }
    EXPECT_EQ(mixer.notes(), all);

    ASSERT_TRUE(mixer.makeNoteFilter(16, 3));
    std::vector<std::uint8_t> expected;
    for (int n = 3; n <= 127; n += 16) {
        expected.push_back(static_cast<std::uint8_t>(n));
    }
    EXPECT_EQ(mixer.notes(), expected);
    EXPECT_EQ(expected.back(), 115);

    EventListBuilder host;
    host.midi(0, {0x90, 3, 100}).midi(1, {0x90, 4, 100}).midi(2, {0x84, 19, 0}).midi(3, {0xB0, 4, 1})
        .midi(4, {0xA0, 4, 1});
    EXPECT_EQ(listed(mixer.mixEvents(host.head(), nullptr, 0, 0, true)),
              (Events{midi(0, {0x90, 3, 100}), midi(2, {0x84, 19, 0}), midi(3, {0xB0, 4, 1}),
                      midi(4, {0xA0, 4, 1})}));
    EXPECT_EQ(listed(mixer.mixEvents(host.head(), nullptr, 0, 0, false)).size(), 5u);

    ASSERT_TRUE(mixer.makeNoteFilter(1, 128));
    EXPECT_TRUE(mixer.notes().empty());
    EXPECT_EQ(listed(mixer.mixEvents(host.head(), nullptr, 0, 0, true)),
              (Events{midi(3, {0xB0, 4, 1}), midi(4, {0xA0, 4, 1})}));

    EXPECT_FALSE(mixer.makeNoteFilter(0, 3));
    EXPECT_FALSE(mixer.makeNoteFilter(4, -1));
    EXPECT_TRUE(mixer.notes().empty());
}

// Storage is fixed: events beyond it are dropped and counted, and the next call starts afresh.
TEST(AUMIDIEventListMixer, FullStorageDropsAndCounts) {
    AUMIDIEventListMixer mixer(4 * sizeof(AURenderEvent));
    EventListBuilder host;
    for (int i = 0; i < 6; ++i) {
        host.midi(i, {0x90, static_cast<std::uint8_t>(60 + i), 100});
    }
    EXPECT_EQ(listed(mixer.mixEvents(host.head(), nullptr, 0, 0, false)).size(), 4u);
    EXPECT_EQ(mixer.droppedCount(), 2u);
    EXPECT_EQ(listed(mixer.mixEvents(host.head(), nullptr, 0, 0, false)).size(), 4u);
    EXPECT_EQ(mixer.droppedCount(), 4u);
}

}  // namespace
