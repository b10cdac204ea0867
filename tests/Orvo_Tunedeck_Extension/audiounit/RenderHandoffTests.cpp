// The render block's hand-off with little room, so that the main queue falls behind within a few pushes: parameter
// changes arrive in their place among the sent messages while there is room and with their latest values when there
// is none, also when the render side pushes while the main queue is half-way through applying them; message copies
// and log lines that find no room are counted and logged once, and an address table that is full loses changes only
// with a report.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "Orvo_Tunedeck_Extension/audiounit/RenderHandoff.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"

namespace {

struct Change {
    AUParameterAddress address;
    AUValue value;
};

struct Applied {
    AUParameterAddress address;
    AUValue value;
    std::size_t monitoredBefore;  // messages the monitor held when the change was applied
    bool operator==(const Applied&) const = default;
};

class Handoff : public ::testing::Test {
protected:
    void make(RenderHandoff::Room room) {
        handoff = std::make_unique<RenderHandoff>(&Handoff::apply, this, monitor, recorder, room);
    }
    static void apply(void* context, AUParameterAddress address, AUValue value) {
        auto* self = static_cast<Handoff*>(context);
        self->applied.push_back({address, value, self->monitor->getSize()});
        // The render thread stands in here: its pushes land between two steps of the main queue's work.
        if (address == self->trigger.address && value == self->trigger.value) {
            for (const Change& change : std::exchange(self->pushedWhenTriggered, {})) self->push(change);
        }
    }
    void push(const Change& change) {
        handoff->pushParameter(change.address, change.value);
        lastSent[change.address] = change.value;
    }
    bool note(std::uint8_t key) {
        const std::uint8_t bytes[3] = {0x90, key, 100};
        return handoff->pushMonitored(8, bytes, 3, key);
    }
    std::vector<int> monitoredKeys() const {
        std::vector<int> keys;
        for (const auto& event : monitor->getEvents()) keys.push_back(event->data()[1]);
        return keys;
    }
    std::vector<std::string> handoffLines() const {
        std::vector<std::string> lines;
        for (const std::string& line : log.lines())
            if (line.rfind("RenderHandoff", 0) == 0) lines.push_back(line);
        return lines;
    }
    void TearDown() override {
        dispatch::MainQueue::shared().drain();
        handoff.reset();
    }

    foundation::LogCapture log;
    std::shared_ptr<AUMIDIMonitor> monitor = AUMIDIMonitor::create(false);
    std::shared_ptr<AUMIDIRecorder> recorder = AUMIDIRecorder::create();
    std::unique_ptr<RenderHandoff> handoff;
    std::vector<Applied> applied;
    Change trigger{0, 0.0f};
    std::vector<Change> pushedWhenTriggered;
    std::map<AUParameterAddress, AUValue> lastSent;
};

TEST_F(Handoff, WithRoomEveryChangeArrivesInItsPlaceAmongTheMessages) {
    make({.records = 64, .bytes = 256, .parameterAddresses = 16});
    handoff->pushParameter(1001, 0.1f);
    EXPECT_TRUE(note(1));
    handoff->pushParameter(1002, 0.2f);
    handoff->pushParameter(1001, 0.3f);
    EXPECT_TRUE(note(2));
    handoff->pushParameter(1001, 0.4f);
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(applied, (std::vector<Applied>{{1001, 0.1f, 0}, {1002, 0.2f, 1}, {1001, 0.3f, 1}, {1001, 0.4f, 2}}));
    EXPECT_EQ(monitoredKeys(), (std::vector<int>{1, 2}));
    EXPECT_EQ(handoff->droppedCount(), 0u);
}

TEST_F(Handoff, ChangesThatFindNoRoomArriveWithTheirLatestValuesAfterTheMessagesBeforeThem) {
    make({.records = 2, .bytes = 256, .parameterAddresses = 16});
    EXPECT_TRUE(note(1));
    EXPECT_TRUE(note(2));
    for (int step = 1; step <= 50; ++step) {
        handoff->pushParameter(1128 + step % 8, static_cast<AUValue>(step));
    }
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(monitoredKeys(), (std::vector<int>{1, 2}));
    ASSERT_EQ(applied.size(), 8u);
    for (const Applied& change : applied) {
        EXPECT_EQ(change.monitoredBefore, 2u) << "after the messages sent before them";
        EXPECT_EQ(static_cast<int>(change.value) % 8, static_cast<int>(change.address - 1128));
        EXPECT_GT(change.value, 42.0f) << "the last value of address " << change.address;
    }
    EXPECT_EQ(handoff->droppedCount(), 0u);
    EXPECT_TRUE(handoffLines().empty());
}

TEST_F(Handoff, ChangesPushedWhileOthersAreAppliedEndAtTheLastValueAndNeverGoBack) {
    struct Case {
        const char* name;
        std::vector<Change> before;  // pushed while the main queue waits; the ring holds one record
        Change trigger;              // the main queue applying this change...
        std::vector<Change> during;  // ...is when the render side pushes these
    };
    const Case cases[] = {
        {"in the sweep, the ring has room for the first and the slot takes the second",
         {{1000, 1}, {1001, 1}}, {1001, 1}, {{1002, 2}, {1002, 3}}},
        {"the same with the addresses' slots the other way round", {{1000, 1}, {1002, 1}}, {1002, 1},
         {{1001, 2}, {1001, 3}}},
        {"in the sweep, the swept address changes again", {{1000, 1}, {1001, 1}}, {1001, 1},
         {{1001, 2}, {1001, 3}, {1002, 4}, {1002, 5}}},
        {"from the ring, the same address overflows into its slot", {{1001, 1}}, {1001, 1},
         {{1001, 2}, {1001, 3}, {1001, 4}}},
        {"from the ring, the address that waits changes again",
         {{1000, 1}, {1001, 1}}, {1000, 1}, {{1001, 2}, {1001, 3}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        applied.clear();
        lastSent.clear();
        make({.records = 1, .bytes = 256, .parameterAddresses = 16});
        for (const Change& change : c.before) push(change);
        trigger = c.trigger;
        pushedWhenTriggered = c.during;
        dispatch::MainQueue::shared().drain();
        EXPECT_TRUE(pushedWhenTriggered.empty()) << "the trigger was applied";

        std::map<AUParameterAddress, AUValue> latest;
        for (const Applied& change : applied) {
            const auto [previous, first] = latest.try_emplace(change.address, change.value);
            EXPECT_TRUE(first || previous->second < change.value)
                << change.address << "=" << change.value << " applied after " << previous->second;
            previous->second = change.value;
        }
        EXPECT_EQ(latest, lastSent);
        EXPECT_EQ(handoff->droppedCount(), 0u);
    }
}

TEST_F(Handoff, CopiesWithoutRoomAreCountedAndLoggedOnce) {
    struct Case {
        const char* name;
        RenderHandoff::Room room;
    };
    const Case cases[] = {
        {"records full", {.records = 3, .bytes = 256, .parameterAddresses = 16}},
        {"bytes full", {.records = 64, .bytes = 9, .parameterAddresses = 16}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        monitor->reset();
        make(c.room);
        EXPECT_TRUE(note(1));
        EXPECT_TRUE(note(2));
        EXPECT_TRUE(note(3));
        EXPECT_FALSE(note(4));
        EXPECT_FALSE(note(5));
        dispatch::MainQueue::shared().drain();
        EXPECT_EQ(monitoredKeys(), (std::vector<int>{1, 2, 3}));
        EXPECT_EQ(handoff->droppedCount(), 2u);
        EXPECT_EQ(handoffLines(),
                  (std::vector<std::string>{"RenderHandoff : 2 copies of sent MIDI messages found no room on their way "
                                            "to the monitor and the recorder and were dropped."}));
        EXPECT_TRUE(note(6)) << "room again once the main queue took the rest";
        dispatch::MainQueue::shared().drain();
        EXPECT_EQ(handoffLines().size(), 1u);
    }
}

TEST_F(Handoff, LogLinesWithoutRoomAreCountedAndLoggedOnce) {
    make({.records = 4, .bytes = 256, .parameterAddresses = 16});
    const std::string line = "a line of the render thread";
    for (std::size_t kept = 0; kept < RenderHandoff::kLineCapacity; ++kept) ASSERT_TRUE(handoff->pushLine(line));
    EXPECT_FALSE(handoff->pushLine(line));
    EXPECT_FALSE(handoff->pushLine(line));
    dispatch::MainQueue::shared().drain();
    const std::vector<std::string> lines = log.lines();
    EXPECT_EQ(static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line)), RenderHandoff::kLineCapacity);
    EXPECT_EQ(handoff->droppedCount(), 2u);
    EXPECT_EQ(handoffLines(), (std::vector<std::string>{"RenderHandoff : 2 log lines of the render thread found no "
                                                        "room and were dropped."}));
    EXPECT_TRUE(handoff->pushLine(line)) << "room again once the main queue wrote the rest";
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(handoffLines().size(), 1u);
}

TEST_F(Handoff, AChangeFindingEveryAddressSlotTakenIsReported) {
    make({.records = 1, .bytes = 256, .parameterAddresses = 2});
    EXPECT_TRUE(note(1));
    EXPECT_TRUE(handoff->pushParameter(1, 0.5f));
    EXPECT_TRUE(handoff->pushParameter(2, 0.5f));
    EXPECT_FALSE(handoff->pushParameter(3, 0.5f));
    EXPECT_TRUE(handoff->pushParameter(2, 0.75f));
    dispatch::MainQueue::shared().drain();
    std::sort(applied.begin(), applied.end(), [](const Applied& a, const Applied& b) { return a.address < b.address; });
    EXPECT_EQ(applied, (std::vector<Applied>{{1, 0.5f, 1}, {2, 0.75f, 1}}));
    EXPECT_EQ(handoff->droppedCount(), 1u);
    EXPECT_EQ(handoffLines(), (std::vector<std::string>{"RenderHandoff : 1 host parameter changes were lost: every "
                                                        "address slot held another address."}));
}

}  // namespace
