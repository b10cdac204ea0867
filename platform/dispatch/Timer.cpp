#include "platform/dispatch/Timer.h"

#include <utility>

namespace dispatch {

Timer::Timer(std::chrono::nanoseconds interval, std::chrono::nanoseconds firstFire, Tick tick)
    : interval_(interval), nextFire_(firstFire), tick_(std::move(tick)) {}

}  // namespace dispatch
