#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dispatch/HandoffRing.h"

namespace foundation {

// Every log line of the system ends in the log sink: standard output (the line and a line feed) unless a test
// installed another sink, usually through LogCapture. Lines are whole lines without their line feed.
using LogSink = std::function<void(std::string_view line)>;

// Writes line to the sink now, on the calling thread. Any thread except the render thread.
void writeLogLine(std::string_view line);

// Queues line on the main queue, which writes it to the sink. Lines queued from one thread are written in the order
// queued. Any thread except the render thread (it allocates).
void queueLogLine(std::string line);

// Render thread: hands line to the main queue through ring, the render thread's own hand-off ring, without
// allocating, locking or waiting (compose the line with FixedLogLine). A line longer than
// HandoffRing::kPayloadBytes is cut at a character boundary. Returns false when the ring is full (the line is dropped
// and counted by the ring).
bool queueLogLineNoAlloc(dispatch::HandoffRing& ring, std::string_view line) noexcept;

// Installs sink (an empty one means standard output) and returns the one it replaces. The sink is called with a lock
// held, one line at a time: it must not write log lines itself. Any thread except the render thread.
LogSink setLogSink(LogSink sink);

// Captures every log line written while it exists, in the order written; restores the previous sink when destroyed.
// Any thread except the render thread.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::string> lines() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
    LogSink previous_;
};

}  // namespace foundation
