#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/shared/songtree/support/RecordingSequenceDelegate.h"

namespace {

TEST(SequenceFoundDelegateTest, ReportsReachTheConformerThroughTheProtocol) {
  RecordingSequenceDelegate recorder;
  SequenceFoundDelegate& delegate = recorder;
  auto controller = std::make_shared<MidiControllerEvent>();
  delegate.foundControllerEvent(controller);
  delegate.foundMetaEvent(nullptr);
  EXPECT_EQ(recorder.names(), (std::vector<std::string>{"controller", "meta"}));
  ASSERT_EQ(recorder.reports.size(), 2u);
  EXPECT_EQ(recorder.reports[0].event, controller);
  EXPECT_EQ(recorder.reports[1].event, nullptr);
}

}  // namespace
