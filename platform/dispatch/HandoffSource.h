#pragma once

namespace dispatch {

// Something the main queue drains on behalf of a thread that must not allocate, lock or wait (the render thread):
// each runOne() takes and runs the oldest waiting piece of work.
//
// Threads: runOne() only on the main queue's thread, once the source is attached to the queue (MainQueue::attach).
class HandoffSource {
public:
    // Runs the oldest waiting piece of work; false when none waits.
    virtual bool runOne() = 0;

protected:
    ~HandoffSource() = default;
};

}  // namespace dispatch
