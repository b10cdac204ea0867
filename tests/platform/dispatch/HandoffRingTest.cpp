#include "platform/dispatch/HandoffRing.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "platform/dispatch/MainQueue.h"

namespace {

using dispatch::HandoffRing;
using dispatch::MainQueue;

struct Note {
    std::int64_t sampleTime;
    std::uint8_t key;
};

void recordNote(void* context, const Note& note) {
    static_cast<std::vector<std::int64_t>*>(context)->push_back(note.sampleTime * 1000 + note.key);
}

void recordBytes(void* context, const std::byte* payload, std::size_t size) {
    static_cast<std::vector<std::string>*>(context)->emplace_back(reinterpret_cast<const char*>(payload), size);
}

TEST(HandoffRing, MainQueueRunsEntriesInPushOrderMixedWithTasks) {
    MainQueue queue;
    HandoffRing ring(8);
    queue.attach(ring);
    std::vector<std::int64_t> notes;
    ASSERT_TRUE(ring.pushNoAlloc(&recordNote, &notes, Note{1, 60}));
    ASSERT_TRUE(ring.pushNoAlloc(&recordNote, &notes, Note{2, 61}));
    std::vector<std::string> texts;
    ASSERT_TRUE(ring.pushBytesNoAlloc(&recordBytes, &texts, "abc", 3));
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(queue.drain(), 3u);
    EXPECT_EQ(notes, (std::vector<std::int64_t>{1060, 2061}));
    EXPECT_EQ(texts, (std::vector<std::string>{"abc"}));
    queue.detach(ring);
}

TEST(HandoffRing, FullRingOrOversizedPayloadDropsAndCounts) {
    HandoffRing ring(2);
    std::vector<std::string> texts;
    EXPECT_TRUE(ring.pushBytesNoAlloc(&recordBytes, &texts, "1", 1));
    EXPECT_TRUE(ring.pushBytesNoAlloc(&recordBytes, &texts, "2", 1));
    EXPECT_FALSE(ring.pushBytesNoAlloc(&recordBytes, &texts, "3", 1));
    const std::string tooLong(HandoffRing::kPayloadBytes + 1, 'x');
    EXPECT_TRUE(ring.runOne());
    EXPECT_FALSE(ring.pushBytesNoAlloc(&recordBytes, &texts, tooLong.data(), tooLong.size()));
    EXPECT_EQ(ring.droppedCount(), 2u);
    EXPECT_TRUE(ring.pushBytesNoAlloc(&recordBytes, &texts, "4", 1));
    while (ring.runOne()) {
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"1", "2", "4"}));
}

TEST(HandoffRing, ProducerThreadAndMainQueueKeepOrderAcrossWrapAround) {
    MainQueue queue;
    HandoffRing ring(16);
    queue.attach(ring);
    constexpr int kCount = 5000;
    std::vector<std::int64_t> received;
    std::thread producer([&] {
        for (int i = 0; i < kCount;) {
            // A real producer drops when full; this one retries so that every entry is checked.
            if (ring.pushNoAlloc(&recordNote, &received, Note{i, 0})) ++i;
        }
    });
    while (received.size() < kCount) {
        queue.drain();
    }
    producer.join();
    queue.detach(ring);
    for (int i = 0; i < kCount; ++i) {
        ASSERT_EQ(received[i], static_cast<std::int64_t>(i) * 1000);
    }
}

TEST(HandoffRing, DetachedRingIsNoLongerDrained) {
    MainQueue queue;
    HandoffRing ring(4);
    queue.attach(ring);
    queue.detach(ring);
    std::vector<std::string> texts;
    ring.pushBytesNoAlloc(&recordBytes, &texts, "x", 1);
    EXPECT_EQ(queue.drain(), 0u);
    EXPECT_TRUE(texts.empty());
}

}  // namespace
