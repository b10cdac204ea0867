#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/dispatch/HandoffRing.h"
#include "platform/dispatch/HandoffSource.h"
#include "platform/dispatch/Timer.h"

namespace dispatch {

// The main queue: one serial FIFO of tasks, repeating timers and the render-thread hand-off rings, all run on the
// one thread that drives the queue (a program's run loop, or a test calling drain()). Tasks queued from one thread
// run in the order they were queued.
//
// Threads: async() from any thread except the render thread (it allocates and takes a short lock; the render thread
// pushes to its HandoffRing instead). Everything else only on the thread that drives the queue, except stop().
class MainQueue {
public:
    using Task = std::function<void()>;

    // The process's main queue, created on first use.
    static MainQueue& shared();

    MainQueue();
    ~MainQueue();
    MainQueue(const MainQueue&) = delete;
    MainQueue& operator=(const MainQueue&) = delete;

    // Queues task to run later on the main queue; never runs it before returning.
    void async(Task task);

    // Runs queued tasks, hand-off ring entries and due timers until none is left, the ones queued meanwhile
    // included. Returns the number of tasks, entries and timer ticks run. A task that always queues another keeps it
    // busy for ever.
    std::size_t drain();

    // Run loop for programs: drains, then sleeps until a task is queued, a timer is due or stop() is called.
    // Returns after stop(), having drained what was queued before it.
    void run();
    // Makes run() return. Any thread except the render thread.
    void stop();

    // A timer that calls tick every intervalSeconds (rounded to whole nanoseconds, at least one) on the main queue,
    // first one interval from now. The queue keeps the timer until it is invalidated.
    std::shared_ptr<Timer> scheduleRepeatingTimer(double intervalSeconds, Timer::Tick tick);

    // Tests: from now on the queue's clock stands still unless advanceClock moves it.
    void useManualClock();
    // Tests, manual clock only: moves the clock forward by seconds, stopping at each timer firing on the way to fire
    // it and drain what it queued; drains at the end as well. Returns what drain() would.
    std::size_t advanceClock(double seconds);
    // The queue's clock: time since the queue was made (or the manual time).
    std::chrono::nanoseconds now() const;

    // Hand-off rings and other hand-off sources the queue drains, each until it is empty, in the order they were
    // attached. attach/detach on the queue's thread; detach before the source is destroyed.
    void attach(HandoffSource& source);
    void detach(HandoffSource& source);

private:
    std::size_t runTasks();
    std::size_t runRings();
    std::size_t fireTimers(std::chrono::nanoseconds upTo);
    std::chrono::nanoseconds earliestTimer() const;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Task> tasks_;
    bool stopRequested_ = false;

    std::vector<HandoffSource*> sources_;
    std::vector<std::shared_ptr<Timer>> timers_;

    std::chrono::steady_clock::time_point start_;
    bool manualClock_ = false;
    std::chrono::nanoseconds manualNow_{0};
};

}  // namespace dispatch
