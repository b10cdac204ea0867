// Runs an action and returns the log lines it wrote, the ones queued on the main queue included (drained here).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"

template <class Action>
std::vector<std::string> capturedLog(Action&& action) {
  foundation::LogCapture capture;
  std::forward<Action>(action)();
  dispatch::MainQueue::shared().drain();
  return capture.lines();
}
