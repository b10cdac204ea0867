#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Orvo_Tunedeck_Extension/lists/EventTableView.h"
#include "Orvo_Tunedeck_Extension/lists/EventText.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"

namespace {

struct EventLineCase {
    std::uint8_t status, data1, data2;
    const char* line;
};

TEST(EventText, LinesByStatus) {
    const std::vector<EventLineCase> cases{
        {0x90, 0x3C, 100, "NOTE ON     3C VEL 100"},
        {0x91, 0x3C, 0, "NOTE ON (0) 3C VEL 0"},
        {0x80, 0x3C, 64, "NOTE OFF    3C VEL 64"},
        {0xB0, 7, 127, "VOLUME       7 VAL 127"},
        {0xB3, 0x20, 5, "CONTROLLER  20 VAL 5"},
        {0xB0, 0x7C, 0, "CONTROLLER  7C VAL 0"},
        {0xB0, 121, 0, "RESET ALL   79 VAL 0"},
        {0xB0, 75, 9, "DECAY       4B VAL 9"},
        {0xA2, 0x40, 3, "POLY PRESS     40 VAL 3"},
        {0xC5, 0x19, 0, "PROGRAM        19 VAL 0"},
        {0xD0, 0x7F, 0, "CHAN PRESS     7F VAL 0"},
        {0xEF, 0x00, 64, "PITCHBEND       0 VAL 64"},
        {0xF0, 0x7E, 9, "SYSEX        7E VAL ..."},
        {0xFF, 0x00, 0, "SYS RESET     0 VAL 0"},
        {0xF8, 0x01, 2, "OTHER EVENT     1 VAL 2"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatEvent(c.status, c.data1, c.data2), c.line) << std::hex << int(c.status) << " " << int(c.data1);
    }
}

std::shared_ptr<AUMIDIEventEx> event(std::int64_t time, std::vector<std::uint8_t> bytes) {
    const auto size = static_cast<std::uint32_t>(bytes.size());
    return std::make_shared<AUMIDIEventEx>(8, bytes, size, time);
}

TEST(EventTableView, RowsShowTimeChannelStatusDataAndLine) {
    EventTableView list;
    list.channelColors[9] = ui::Color::orange();
    list.events = {event(480, {0x99, 0x24, 100}), event(-1, {0xB2, 0x07, 90})};
    ASSERT_EQ(list.itemCount(), 2u);
    EXPECT_EQ(list.count, 2u);

    const EventRow note = list.eventRow(0);
    EXPECT_EQ(note.identifier, "Note");
    EXPECT_EQ(note.labels, (std::array<std::string, 6>{"t: 480", "ch: 9", "s: 144", "d1: 36", "d2: 100",
                                                       "NOTE ON     24 VEL 100"}));
    EXPECT_EQ(note.textColor, ui::Color::orange());

    const EventRow controller = list.eventRow(1);
    EXPECT_EQ(controller.identifier, "Event");
    EXPECT_EQ(controller.labels[0], "t: -1");
    EXPECT_EQ(controller.labels[1], "ch: 2");
    EXPECT_EQ(controller.labels[2], "s: 176");
    EXPECT_EQ(controller.labels[5], "VOLUME       7 VAL 90");
    EXPECT_EQ(controller.textColor, ui::Color::black());
}

TEST(EventTableView, RowAtOrBeyondTheReportedCountIsEmptyWithAWarning) {
    EventTableView list;
    list.events = {event(0, {0x90, 60, 1})};
    foundation::LogCapture log;
    // Nothing reported to the table yet: count is 0 although an event is there.
    EXPECT_TRUE(list.eventRow(0).identifier.empty());
    list.itemCount();
    list.events.clear();
    EXPECT_TRUE(list.eventRow(0).identifier.empty());
    EXPECT_TRUE(list.eventRow(-1).identifier.empty());
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(log.lines(), std::vector<std::string>(3, "WARNING: Index exceeds table bounds."));
}

}  // namespace
