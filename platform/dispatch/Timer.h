#pragma once

#include <chrono>
#include <functional>

namespace dispatch {

class MainQueue;

// A repeating timer on the main queue, made by MainQueue::scheduleRepeatingTimer. It fires on a fixed grid from the
// moment it was scheduled; firings that the queue was too late for are skipped, not caught up.
//
// Threads: invalidate() and isValid() on the main queue (the tick itself runs there).
class Timer {
public:
    using Tick = std::function<void(Timer&)>;

    Timer(std::chrono::nanoseconds interval, std::chrono::nanoseconds firstFire, Tick tick);

    // Stops the timer for good; its tick is never called again and the queue releases it. Safe inside the tick.
    void invalidate() { valid_ = false; }
    bool isValid() const { return valid_; }
    std::chrono::nanoseconds interval() const { return interval_; }

private:
    friend class MainQueue;

    std::chrono::nanoseconds interval_;
    std::chrono::nanoseconds nextFire_;
    Tick tick_;
    bool valid_ = true;
};

}  // namespace dispatch
