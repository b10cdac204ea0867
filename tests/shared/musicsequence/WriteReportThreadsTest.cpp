// Reports of writes made on another thread arrive on the main queue, each once, in the order of the writes.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/dispatch/MainQueue.h"
#include "shared/musicsequence/MIDISequence16.h"
#include "tests/shared/songtree/support/RecordingSequenceDelegate.h"

namespace {

TEST(WriteReportThreads, AWritingThreadsReportsArriveOnTheMainQueueInWriteOrder) {
  constexpr int kWrites = 300;
  const auto sequence = MIDISequence16::create();
  auto delegate = std::make_shared<RecordingSequenceDelegate>();
  sequence->delegate = delegate;
  std::atomic<bool> done{false};

  std::thread writer([&] {
    for (int i = 0; i < kWrites; ++i) sequence->createControllerEvent(i * 0.25, 1, 7, static_cast<uint8_t>(i % 128));
    done = true;
  });
  while (!done) dispatch::MainQueue::shared().drain();
  writer.join();
  dispatch::MainQueue::shared().drain();

  ASSERT_EQ(delegate->reports.size(), static_cast<std::size_t>(kWrites));
  for (int i = 0; i < kWrites; ++i) {
    EXPECT_EQ(delegate->reports[i].name, "controller");
    EXPECT_EQ(delegate->reports[i].event->position, i * 0.25);
  }
}

}  // namespace
