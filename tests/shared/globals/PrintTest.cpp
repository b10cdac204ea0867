#include "shared/globals/Print.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"

namespace {

TEST(Print, BothFunctionsQueueTheirLinesInCallOrder) {
    foundation::LogCapture capture;
    safeprint("ensureDirectoryExists() : ERROR: Creating required directory '");
    debugprint("zwei");
    safeprint("");
    EXPECT_TRUE(capture.lines().empty());
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(capture.lines(),
              (std::vector<std::string>{"ensureDirectoryExists() : ERROR: Creating required directory '", "zwei", ""}));
}

TEST(Print, LinesFromTwoThreadsComeOutInEachThreadsOrder) {
    foundation::LogCapture capture;
    constexpr int kLines = 300;
    std::thread a([] {
        for (int i = 0; i < kLines; ++i) safeprint("A" + std::to_string(i));
    });
    std::thread b([] {
        for (int i = 0; i < kLines; ++i) debugprint("B" + std::to_string(i));
    });
    while (capture.lines().size() < 2 * kLines) dispatch::MainQueue::shared().drain();
    a.join();
    b.join();
    int nextA = 0;
    int nextB = 0;
    for (const auto& line : capture.lines()) {
        if (line[0] == 'A') {
            EXPECT_EQ(line, "A" + std::to_string(nextA++));
        } else {
            EXPECT_EQ(line, "B" + std::to_string(nextB++));
        }
    }
    EXPECT_EQ(nextA, kLines);
    EXPECT_EQ(nextB, kLines);
}

}  // namespace
