#include "shared/globals/Print.h"

#include <gtest/gtest.h>

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

}  // namespace
