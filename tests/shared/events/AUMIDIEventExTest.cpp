#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shared/events/AUMIDIEventEx.h"
#include "shared/events/AUMIDIEventStack.h"
#include "tests/shared/events/EventListBuilder.h"
#include "tests/shared/events/LogLines.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const AUMIDIEventEx& record) {
    return record.array();
}

TEST(AUMIDIEventEx, NewRecordHasStartValuesAndHeader) {
    AUMIDIEventEx record(AURenderEventMIDI, Bytes{0x90, 0x3C, 0x64}, 3, 1034);
    EXPECT_EQ(record.id, 0);
    EXPECT_EQ(record.beats, 0.0);
    EXPECT_EQ(record.duration, 0.0);
    EXPECT_EQ(record.meta, 127);
    const AUMIDIEvent header = record.event();
    EXPECT_EQ(header.next, nullptr);
    EXPECT_EQ(header.eventSampleTime, 1034);
    EXPECT_EQ(header.eventType, AURenderEventMIDI);
    EXPECT_EQ(header.reserved, 0);
    EXPECT_EQ(header.length, 3);
    EXPECT_EQ(header.cable, 0);
    EXPECT_EQ(record.length(), 3u);
    EXPECT_EQ(record.size(), sizeof(AUMIDIEvent) + 3);
    EXPECT_EQ(bytesOf(record), (Bytes{0x90, 0x3C, 0x64}));
}

// The byte list decides the count; the length argument only feeds the warning when the list is shorter.
TEST(AUMIDIEventEx, ByteListCountWinsOverLengthArgument) {
    struct Case {
        Bytes data;
        std::uint32_t length;
        std::vector<std::string> expectedLog;
    };
    const Case cases[] = {
        {{0xFD, 0x51, 0x78, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}, 4, {}},
        {{0xC0, 0x05}, 3, {"WARNING: The length parameter 3 is not equal to the data length 2."}},
        {{0x90, 0x3C, 0x64}, 3, {}},
    };
    for (const Case& c : cases) {
        foundation::LogCapture capture;
        AUMIDIEventEx record(AURenderEventMIDISysEx, c.data, c.length, 0);
        EXPECT_EQ(record.length(), c.data.size());
        EXPECT_EQ(record.event().length, c.data.size());
        EXPECT_EQ(bytesOf(record), c.data);
        EXPECT_EQ(drainedLogLines(capture), c.expectedLog);
    }
}

TEST(AUMIDIEventEx, EmptyByteListRecord) {
    AUMIDIEventEx record(Bytes{});
    EXPECT_EQ(record.event().eventType, AURenderEventMIDISysEx);
    EXPECT_EQ(record.event().eventSampleTime, 0);
    EXPECT_EQ(record.length(), 0u);
    EXPECT_EQ(record.toHex(), "");
    EXPECT_EQ(record.toText(), "");
}

TEST(AUMIDIEventEx, PointerInitialiserCopiesLengthBytes) {
    const std::uint8_t source[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7, 0xAA};
    AUMIDIEventEx record(AURenderEventMIDISysEx, source, 6, -5);
    EXPECT_EQ(record.event().eventSampleTime, -5);
    EXPECT_EQ(bytesOf(record), (Bytes{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));
}

TEST(AUMIDIEventEx, HexAndText) {
    EXPECT_EQ(AUMIDIEventEx(8, Bytes{0x05, 0xAB}, 2, 0).toHex(), " 5AB");
    EXPECT_EQ(AUMIDIEventEx(8, Bytes{0x90, 0x3C, 0x00}, 3, 0).toHex(), "903C 0");
    EXPECT_EQ(AUMIDIEventEx(Bytes{'T', 'e', 'x', 't'}).toText(), "Text");
}

// The header setter changes the header's length but not the count of bytes the record holds.
TEST(AUMIDIEventEx, EventSetterKeepsDataCount) {
    AUMIDIEventEx record(AURenderEventMIDI, Bytes{0x90, 0x3C, 0x64}, 3, 0);
    AUMIDIEvent header = record.event();
    header.length = 2;
    header.cable = 4;
    header.data[2] = 0x10;
    record.setEvent(header);
    EXPECT_EQ(record.event().length, 2);
    EXPECT_EQ(record.event().cable, 4);
    EXPECT_EQ(record.length(), 3u);
    EXPECT_EQ(bytesOf(record), (Bytes{0x90, 0x3C, 0x10}));
}

TEST(AUMIDIEventEx, InitializeWithCopiesWholeMessagesIntoAStackRecord) {
    AUMIDIEventStack stack;
    AUMIDIEventEx& record = stack.next();

    EventListBuilder list;
    list.midi(100, {0x90, 0x3C, 0x64}, 2).sysex(200, {0xF0, 0x43, 0x10, 0x4C, 0x00, 0xF7});
    const AURenderEvent* note = list.head();
    const AURenderEvent* sysex = note->head.next;

    ASSERT_TRUE(record.InitializeWith(note->MIDI));
    EXPECT_EQ(record.length(), 3u);
    EXPECT_EQ(record.event().length, 3);
    EXPECT_EQ(record.event().cable, 2);
    EXPECT_EQ(record.event().eventSampleTime, 100);

    ASSERT_TRUE(record.InitializeWith(sysex->MIDI));
    EXPECT_EQ(record.length(), 6u);
    EXPECT_EQ(record.event().eventType, AURenderEventMIDISysEx);
    EXPECT_EQ(bytesOf(record), (Bytes{0xF0, 0x43, 0x10, 0x4C, 0x00, 0xF7}));
}

// An event that does not fit is refused whole: the record keeps its header and bytes.
TEST(AUMIDIEventEx, InitializeWithRefusesEventsThatDoNotFit) {
    struct Case {
        const char* what;
        std::size_t recordBytes;
        std::size_t eventBytes;
    };
    const Case cases[] = {
        {"longer than MAXBYTES", AUMIDIEventEx::MAXBYTES, 300},
        {"longer than the record's data area", 2, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes original(c.recordBytes, 0x11);
        original[0] = 0x90;
        AUMIDIEventEx record(AURenderEventMIDI, original, static_cast<std::uint32_t>(original.size()), 7);
        Bytes message(c.eventBytes, 0x22);
        message.front() = 0xF0;
        message.back() = 0xF7;
        EventListBuilder list;
        list.sysex(900, message);

        EXPECT_FALSE(record.InitializeWith(list.head()->MIDI));
        EXPECT_EQ(record.event().eventSampleTime, 7);
        EXPECT_EQ(record.event().length, original.size());
        EXPECT_EQ(bytesOf(record), original);
    }
}

TEST(AUMIDIEventStack, RecordsComeRoundAfterMaxEvents) {
    AUMIDIEventStack stack;
    AUMIDIEventEx* first = &stack.next();
    EXPECT_EQ(first->length(), AUMIDIEventEx::MAXBYTES);
    EXPECT_EQ(first->event().eventType, AURenderEventMIDI);
    for (std::size_t i = 1; i < AUMIDIEventStack::MAXEVENTS; ++i) {
        EXPECT_NE(&stack.next(), first);
    }
    EXPECT_EQ(&stack.next(), first);
}

}  // namespace
