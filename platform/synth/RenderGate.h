#pragma once
// Keeps the render thread and the control thread out of the library at the same time, without the render thread
// ever waiting: a render that finds the control thread inside skips its work (the caller outputs silence), while the
// control thread waits for a render in progress to finish.
//
// Threads: tryEnterRender/leaveRender on the render thread; enterControl/leaveControl on one control thread at a
// time (callers serialise those among themselves).

#include <atomic>
#include <thread>

namespace synth {

class RenderGate {
public:
    bool tryEnterRender() noexcept {
        State expected = State::open;
        return state_.compare_exchange_strong(expected, State::rendering, std::memory_order_acquire,
                                              std::memory_order_relaxed);
    }
    void leaveRender() noexcept { state_.store(State::open, std::memory_order_release); }

    void enterControl() noexcept {
        State expected = State::open;
        while (!state_.compare_exchange_weak(expected, State::control, std::memory_order_acquire,
                                             std::memory_order_relaxed)) {
            expected = State::open;
            std::this_thread::yield();
        }
    }
    void leaveControl() noexcept { state_.store(State::open, std::memory_order_release); }

private:
    enum class State : unsigned char { open, rendering, control };
    std::atomic<State> state_{State::open};
    static_assert(std::atomic<State>::is_always_lock_free);
};

// Holds the gate for the control thread for one scope.
class ControlSection {
public:
    explicit ControlSection(RenderGate& gate) : gate_(gate) { gate_.enterControl(); }
    ~ControlSection() { gate_.leaveControl(); }
    ControlSection(const ControlSection&) = delete;
    ControlSection& operator=(const ControlSection&) = delete;

private:
    RenderGate& gate_;
};

}  // namespace synth
