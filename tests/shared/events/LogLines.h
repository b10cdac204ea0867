#pragma once

#include <string>
#include <vector>

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"

// The log lines queued so far, after the main queue has run them.
inline std::vector<std::string> drainedLogLines(const foundation::LogCapture& capture) {
    dispatch::MainQueue::shared().drain();
    return capture.lines();
}
