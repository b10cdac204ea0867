#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/FixedLogLine.h"
#include "tests/support/AllocationCounter.h"

namespace {

using dispatch::HandoffRing;
using dispatch::MainQueue;
using foundation::LogCapture;

std::vector<std::string> numberedLines(const std::string& prefix, int count) {
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) lines.push_back(prefix + std::to_string(i));
    return lines;
}

std::vector<std::string> linesStartingWith(const std::vector<std::string>& lines, const std::string& prefix) {
    std::vector<std::string> selected;
    for (const auto& line : lines) {
        if (line.rfind(prefix, 0) == 0) selected.push_back(line);
    }
    return selected;
}

TEST(Log, QueuedLinesAreWrittenWhenTheMainQueueRuns) {
    LogCapture capture;
    foundation::queueLogLine("Klasse::f() : ERROR: eins");
    foundation::writeLogLine("direct");
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{"direct"}));
    MainQueue::shared().drain();
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{"direct", "Klasse::f() : ERROR: eins"}));
}

TEST(Log, CaptureRestoresThePreviousSink) {
    LogCapture outer;
    {
        LogCapture inner;
        foundation::writeLogLine("inner");
        EXPECT_EQ(inner.lines(), (std::vector<std::string>{"inner"}));
    }
    foundation::writeLogLine("outer");
    EXPECT_EQ(outer.lines(), (std::vector<std::string>{"outer"}));
}

TEST(Log, LinesFromTwoThreadsKeepEachThreadsOrder) {
    LogCapture capture;
    constexpr int kLines = 500;
    std::thread a([] {
        for (const auto& line : numberedLines("A ", kLines)) foundation::queueLogLine(line);
    });
    std::thread b([] {
        for (const auto& line : numberedLines("B ", kLines)) foundation::queueLogLine(line);
    });
    while (capture.lines().size() < 2 * kLines) MainQueue::shared().drain();
    a.join();
    b.join();
    const auto lines = capture.lines();
    EXPECT_EQ(linesStartingWith(lines, "A "), numberedLines("A ", kLines));
    EXPECT_EQ(linesStartingWith(lines, "B "), numberedLines("B ", kLines));
}

TEST(Log, RenderThreadLineGoesThroughTheRingWithoutAllocating) {
    LogCapture capture;
    HandoffRing ring(8);
    MainQueue::shared().attach(ring);
    std::uint64_t allocations = 1;
    bool queued = false;
    std::thread render([&] {
        const auto before = testsupport::allocationsOnThisThread();
        foundation::FixedLogLine line;
        line << "OrvoTunedeck_AudioUnit::render() : ERROR: " << std::int32_t{-10867};
        queued = foundation::queueLogLineNoAlloc(ring, line.view());
        line = {};
        line << "sample time: " << std::int64_t{-4294967291};
        queued = queued && foundation::queueLogLineNoAlloc(ring, line.view());
        allocations = testsupport::allocationsOnThisThread() - before;
    });
    render.join();
    EXPECT_TRUE(queued);
    EXPECT_EQ(allocations, 0u);
    EXPECT_TRUE(capture.lines().empty());
    MainQueue::shared().drain();
    MainQueue::shared().detach(ring);
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{"OrvoTunedeck_AudioUnit::render() : ERROR: -10867",
                                                         "sample time: -4294967291"}));
}

TEST(Log, FixedLogLineDropsWhatDoesNotFit) {
    foundation::FixedLogLine line;
    line << std::string(HandoffRing::kPayloadBytes - 2, 'x') << 12345u;
    EXPECT_EQ(line.view(), std::string(HandoffRing::kPayloadBytes - 2, 'x') + "12");
}

TEST(Log, OverlongRenderThreadLineIsCutAtACharacterBoundary) {
    LogCapture capture;
    HandoffRing ring(2);
    MainQueue::shared().attach(ring);
    // "ä" is two bytes; an odd start makes the cut fall inside one of them.
    const std::string line = "x" + [] {
        std::string umlauts;
        for (std::size_t i = 0; i < HandoffRing::kPayloadBytes; ++i) umlauts += "\u00e4";
        return umlauts;
    }();
    ASSERT_TRUE(foundation::queueLogLineNoAlloc(ring, line));
    MainQueue::shared().drain();
    MainQueue::shared().detach(ring);
    ASSERT_EQ(capture.lines().size(), 1u);
    const std::string written = capture.lines().front();
    EXPECT_EQ(written.size(), HandoffRing::kPayloadBytes - 1);
    EXPECT_EQ(line.compare(0, written.size(), written), 0);
}

}  // namespace
