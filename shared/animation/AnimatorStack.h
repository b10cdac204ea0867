// Runs several animators from one repeating main-queue timer. Each tick gives every running member one frame and
// drops the members that finished; the tick on which no member ran reports onFinished and resets the stack. Members
// are driven by the stack's timer, never their own.
//
// Threads: main queue only; callbacks run there. start() needs the stack to be owned by a std::shared_ptr, which the
// running timer then holds until the stack finishes or is reset.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/dispatch/Timer.h"
#include "shared/animation/Animator.h"

class AnimatorStack : public std::enable_shared_from_this<AnimatorStack> {
public:
    using MemberCallback = std::function<void(AnimatorStack& stack, Animator& animator)>;
    using StackCallback = std::function<void(AnimatorStack& stack)>;

    AnimatorStack() = default;
    ~AnimatorStack();
    AnimatorStack(const AnimatorStack&) = delete;
    AnimatorStack& operator=(const AnimatorStack&) = delete;

    // Appends item; nullptr is ignored.
    void add(std::shared_ptr<Animator> item);
    std::size_t getCount() const { return _animators.size(); }
    const std::vector<std::shared_ptr<Animator>>& getItems() const { return _animators; }
    bool isRunning() const { return _timer != nullptr; }

    // Drives animate() from a repeating timer with period interval; a timer started before is stopped. Does nothing
    // for a stack not owned by a std::shared_ptr.
    void start();
    // Stops the timer and forgets every member.
    void reset();
    void stop() { reset(); }
    // One tick for all members, over the members present when the tick began.
    void animate();

    // Timer period in seconds.
    float interval = 0.005f;
    // Before a member's frame.
    MemberCallback onAnimation;
    // When no member ran during a tick.
    StackCallback onFinished;
    // After a finished member left the stack.
    MemberCallback onRemovedItem;

private:
    void stopTimer();

    std::shared_ptr<dispatch::Timer> _timer;
    std::vector<std::shared_ptr<Animator>> _animators;
};
