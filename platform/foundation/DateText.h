#pragma once

#include <chrono>
#include <string>

namespace foundation {

// A moment as an en_US medium date and medium time in the local time zone, pinned to the ASCII pattern
// "MMM d, yyyy, h:mm:ss a": "Dec 10, 2026, 1:57:48 PM". Any thread except the render thread.
std::string mediumDateTimeText(std::chrono::system_clock::time_point when);

}  // namespace foundation
