#include <cstdint>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "shared/events/AUMIDIMonitor.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

AUMIDIEventEx event(Bytes bytes, AUEventSampleTime time = 0) {
    const auto length = static_cast<std::uint32_t>(bytes.size());
    return AUMIDIEventEx(AURenderEventMIDI, bytes, length, time);
}

std::vector<Bytes> runningBytes(const AUMIDIMonitor& monitor) {
    std::vector<Bytes> result;
    for (const auto& note : monitor.getRunningNotes()) {
        result.push_back(note->array());
    }
    return result;
}

TEST(AUMIDIMonitor, AutoClearEmptiesOnThe513thEvent) {
    auto monitor = AUMIDIMonitor::create();
    ASSERT_TRUE(monitor->autoClear());
    for (int i = 0; i < 512; ++i) {
        monitor->addMonitoring(event({0x90, static_cast<std::uint8_t>(i % 128), 100}, i));
    }
    EXPECT_EQ(monitor->getSize(), 512u);
    EXPECT_GT(monitor->getRunningNotesCount(), 0u);
    monitor->addMonitoring(event({0x90, 1, 100}, 512));
    EXPECT_EQ(monitor->getSize(), 0u);
    EXPECT_EQ(monitor->getRunningNotesCount(), 0u);
}

TEST(AUMIDIMonitor, WithoutAutoClearTheListGrows) {
    auto monitor = AUMIDIMonitor::create(false);
    for (int i = 0; i < 1000; ++i) {
        monitor->addMonitoring(event({0xB0, 7, 100}, i));
    }
    EXPECT_EQ(monitor->getSize(), 1000u);
    monitor->clearMonitoring();
    EXPECT_EQ(monitor->getSize(), 0u);
}

TEST(AUMIDIMonitor, PopReturnsEventsInAddOrderAsPlainCopies) {
    auto monitor = AUMIDIMonitor::create();
    EXPECT_EQ(monitor->popMonitoring(), nullptr);

    AUMIDIEventEx first = event({0x90, 60, 100}, 1034);
    first.id = 7;
    first.beats = 2.5;
    first.meta = 3;
    AUMIDIEvent header = first.event();
    header.cable = 3;
    first.setEvent(header);
    monitor->addMonitoring(first);
    monitor->addMonitoring(event({0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}, 1000));

    const auto a = monitor->popMonitoring();
    ASSERT_NE(a, nullptr);
    EXPECT_NE(a.get(), &first);
    EXPECT_EQ(a->array(), (Bytes{0x90, 60, 100}));
    EXPECT_EQ(a->event().eventSampleTime, 1034);
    EXPECT_EQ(a->event().cable, 0);
    EXPECT_EQ(a->id, 0);
    EXPECT_EQ(a->beats, 0.0);
    EXPECT_EQ(a->meta, 127);
    const auto b = monitor->popMonitoring();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->array(), (Bytes{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));
    EXPECT_EQ(monitor->popMonitoring(), nullptr);
}

TEST(AUMIDIMonitor, SortIsStableByTime) {
    auto monitor = AUMIDIMonitor::create(false);
    monitor->addMonitoring(event({0x90, 1, 1}, 20));
    monitor->addMonitoring(event({0x90, 2, 1}, 10));
    monitor->addMonitoring(event({0x90, 3, 1}, 20));
    monitor->addMonitoring(event({0x90, 4, 1}, 10));
    monitor->sort();
    std::vector<std::uint8_t> keys;
    for (const auto& e : monitor->getEvents()) {
        keys.push_back(e->data()[1]);
    }
    EXPECT_EQ(keys, (std::vector<std::uint8_t>{2, 4, 1, 3}));
}

// Running notes are kept per channel and key: only note-ons add, note-offs remove their own channel's note.
TEST(AUMIDIMonitor, RunningNotesPerChannelAndKey) {
    struct Case {
        const char* what;
        std::vector<Bytes> played;
        std::vector<Bytes> running;
    };
    const Case cases[] = {
        {"note-off", {{0x90, 0x3C, 0x64}, {0x80, 0x3C, 0x40}}, {}},
        {"note-on with velocity 0", {{0x90, 0x3C, 0x64}, {0x90, 0x3C, 0x00}}, {}},
        {"on after off", {{0x90, 0x3C, 0x64}}, {{0x90, 0x3C, 0x64}}},
        {"note-off on another channel",
         {{0x90, 0x3C, 0x64}, {0x91, 0x3C, 0x64}, {0x81, 0x3C, 0x00}},
         {{0x90, 0x3C, 0x64}}},
        {"note-off of another key", {{0x90, 0x3C, 0x64}, {0x80, 0x3D, 0x00}}, {{0x90, 0x3C, 0x64}}},
        {"key pressure changes nothing", {{0xA0, 0x3C, 0x10}, {0x90, 0x3E, 0x50}, {0xA0, 0x3E, 0x00}},
         {{0x90, 0x3E, 0x50}}},
        {"controllers change nothing", {{0xB0, 0x40, 0x7F}, {0xB0, 0x7B, 0x00}}, {}},
        {"started order", {{0x95, 70, 1}, {0x90, 10, 2}, {0x9F, 40, 3}}, {{0x95, 70, 1}, {0x90, 10, 2}, {0x9F, 40, 3}}},
        {"a key started twice needs two note-offs",
         {{0x90, 60, 10}, {0x90, 60, 20}, {0x80, 60, 0}},
         {{0x90, 60, 20}}},
        {"short messages change nothing", {{0x90, 60}, {0x90}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto monitor = AUMIDIMonitor::create();
        for (const Bytes& b : c.played) {
            monitor->addMonitoring(event(b));
        }
        EXPECT_EQ(runningBytes(*monitor), c.running);
        EXPECT_EQ(monitor->getRunningNotesCount(), c.running.size());
    }
}

// The player asks before it walks the whole table for every buffer: a started note must always be seen.
TEST(AUMIDIMonitor, RunningNotesTellWhetherAnyMayBeRunning) {
    auto monitor = AUMIDIMonitor::create();
    EXPECT_FALSE(monitor->runningNotes().mayHaveNotes());
    monitor->trackEvents(event({0xB0, 0x40, 0x7F}));
    monitor->trackEvents(event({0x80, 60, 0}));
    EXPECT_FALSE(monitor->runningNotes().mayHaveNotes()) << "controllers and stray note-offs start nothing";
    monitor->trackEvents(event({0x95, 60, 90}));
    EXPECT_TRUE(monitor->runningNotes().mayHaveNotes());
    monitor->clearRunningNotes();
    EXPECT_FALSE(monitor->runningNotes().mayHaveNotes());
    EXPECT_EQ(monitor->getRunningNotesCount(), 0u);
}

TEST(AUMIDIMonitor, ResetAndTrackEventsWithoutTheList) {
    auto monitor = AUMIDIMonitor::create();
    monitor->trackEvents(event({0x92, 50, 80}, 77));
    EXPECT_EQ(monitor->getSize(), 0u);
    const auto running = monitor->getRunningNotes();
    ASSERT_EQ(running.size(), 1u);
    EXPECT_EQ(running[0]->event().eventSampleTime, 77);
    EXPECT_EQ(running[0]->array(), (Bytes{0x92, 50, 80}));

    monitor->addMonitoring(event({0x93, 51, 80}));
    monitor->reset();
    EXPECT_EQ(monitor->getSize(), 0u);
    EXPECT_EQ(monitor->getRunningNotesCount(), 0u);
}

TEST(AUMIDIMonitor, NoteAndControllerQueries) {
    struct Case {
        Bytes bytes;
        bool note;
        bool controller;
        bool controller64;
    };
    const Case cases[] = {
        {{0x80, 60, 0}, true, false, false}, {{0x9F, 60, 1}, true, false, false},
        {{0xAF, 60, 1}, true, false, false}, {{0xB3, 64, 127}, false, true, true},
        {{0xB3, 7, 127}, false, true, false}, {{0xC0, 5}, false, false, false},
        {{0xF8}, false, false, false},        {{}, false, false, false},
    };
    for (const Case& c : cases) {
        const AUMIDIEventEx e = event(c.bytes);
        EXPECT_EQ(AUMIDIMonitor::isNote(e), c.note);
        EXPECT_EQ(AUMIDIMonitor::isNote(*e.pEvent()), c.note);
        EXPECT_EQ(AUMIDIMonitor::isController(e), c.controller);
        EXPECT_EQ(AUMIDIMonitor::isController(*e.pEvent()), c.controller);
        EXPECT_EQ(AUMIDIMonitor::isController(e, 64), c.controller64);
        EXPECT_EQ(AUMIDIMonitor::isController(*e.pEvent(), 64), c.controller64);
    }
}

// A subclass's reset() runs when it is created, through the second creation phase.
class CountingMonitor : public AUMIDIMonitor {
public:
    static std::shared_ptr<CountingMonitor> create() {
        return finishCreate(std::shared_ptr<CountingMonitor>(new CountingMonitor));
    }
    void reset() override {
        ++resets;
        AUMIDIMonitor::reset();
    }
    int resets = 0;

private:
    CountingMonitor() : AUMIDIMonitor(false) {}
};

TEST(AUMIDIMonitor, SubclassResetRunsAtCreation) {
    auto monitor = CountingMonitor::create();
    EXPECT_EQ(monitor->resets, 1);
    EXPECT_FALSE(monitor->autoClear());
}

}  // namespace
