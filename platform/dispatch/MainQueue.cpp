#include "platform/dispatch/MainQueue.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace dispatch {
namespace {

// How often the run loop looks into the hand-off rings: their producers may not wake it.
constexpr std::chrono::milliseconds kRingPollInterval{4};

std::chrono::nanoseconds toNanoseconds(double seconds) {
    return std::chrono::nanoseconds(std::llround(seconds * 1e9));
}

}  // namespace

MainQueue& MainQueue::shared() {
    static MainQueue queue;
    return queue;
}

MainQueue::MainQueue() : start_(std::chrono::steady_clock::now()) {}

MainQueue::~MainQueue() = default;

void MainQueue::async(Task task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    wake_.notify_one();
}

std::size_t MainQueue::runTasks() {
    std::size_t ran = 0;
    for (;;) {
        Task task;
        {
            std::lock_guard lock(mutex_);
            if (tasks_.empty()) {
                return ran;
            }
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
        ++ran;
    }
}

std::size_t MainQueue::runRings() {
    std::size_t ran = 0;
    // Index loop: a handler may attach or detach rings.
    for (std::size_t i = 0; i < sources_.size(); ++i) {
        HandoffSource* source = sources_[i];
        while (std::find(sources_.begin(), sources_.end(), source) != sources_.end() && source->runOne()) {
            ++ran;
        }
    }
    return ran;
}

std::size_t MainQueue::fireTimers(std::chrono::nanoseconds upTo) {
    std::size_t fired = 0;
    // Index loop: a tick may schedule new timers (never due yet) or invalidate any timer.
    for (std::size_t i = 0; i < timers_.size(); ++i) {
        std::shared_ptr<Timer> timer = timers_[i];
        if (!timer->valid_ || timer->nextFire_ > upTo) {
            continue;
        }
        timer->tick_(*timer);
        ++fired;
        do {
            timer->nextFire_ += timer->interval_;
        } while (timer->nextFire_ <= now());
    }
    std::erase_if(timers_, [](const std::shared_ptr<Timer>& timer) { return !timer->valid_; });
    return fired;
}

std::chrono::nanoseconds MainQueue::earliestTimer() const {
    auto earliest = std::chrono::nanoseconds::max();
    for (const auto& timer : timers_) {
        if (timer->valid_) {
            earliest = std::min(earliest, timer->nextFire_);
        }
    }
    return earliest;
}

std::size_t MainQueue::drain() {
    std::size_t total = 0;
    for (;;) {
        const std::size_t ran = runTasks() + runRings() + fireTimers(now());
        if (ran == 0) {
            return total;
        }
        total += ran;
    }
}

void MainQueue::run() {
    for (;;) {
        drain();
        std::unique_lock lock(mutex_);
        if (stopRequested_) {
            stopRequested_ = false;
            lock.unlock();
            drain();
            return;
        }
        if (!tasks_.empty()) {
            continue;
        }
        auto deadline = std::chrono::steady_clock::time_point::max();
        if (!manualClock_) {
            const auto earliest = earliestTimer();
            if (earliest != std::chrono::nanoseconds::max()) {
                deadline = start_ + earliest;
            }
        }
        if (!sources_.empty()) {
            deadline = std::min(deadline, std::chrono::steady_clock::now() + kRingPollInterval);
        }
        const auto woken = [this] { return stopRequested_ || !tasks_.empty(); };
        if (deadline == std::chrono::steady_clock::time_point::max()) {
            wake_.wait(lock, woken);
        } else {
            wake_.wait_until(lock, deadline, woken);
        }
    }
}

void MainQueue::stop() {
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = true;
    }
    wake_.notify_one();
}

std::shared_ptr<Timer> MainQueue::scheduleRepeatingTimer(double intervalSeconds, Timer::Tick tick) {
    const auto interval = std::max(toNanoseconds(intervalSeconds), std::chrono::nanoseconds(1));
    auto timer = std::make_shared<Timer>(interval, now() + interval, std::move(tick));
    timers_.push_back(timer);
    return timer;
}

void MainQueue::useManualClock() {
    manualNow_ = now();
    manualClock_ = true;
}

std::size_t MainQueue::advanceClock(double seconds) {
    if (!manualClock_) {
        useManualClock();
    }
    const auto target = manualNow_ + std::max(toNanoseconds(seconds), std::chrono::nanoseconds(0));
    std::size_t total = 0;
    for (auto due = earliestTimer(); due <= target; due = earliestTimer()) {
        manualNow_ = std::max(manualNow_, due);
        total += drain();
    }
    manualNow_ = target;
    return total + drain();
}

std::chrono::nanoseconds MainQueue::now() const {
    if (manualClock_) {
        return manualNow_;
    }
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start_);
}

void MainQueue::attach(HandoffSource& source) {
    if (std::find(sources_.begin(), sources_.end(), &source) == sources_.end()) {
        sources_.push_back(&source);
    }
}

void MainQueue::detach(HandoffSource& source) {
    std::erase(sources_, &source);
}

}  // namespace dispatch
