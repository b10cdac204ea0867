#include "platform/foundation/DateText.h"

#include <array>
#include <cstdio>
#include <ctime>

namespace foundation {

std::string mediumDateTimeText(std::chrono::system_clock::time_point when) {
    static constexpr std::array<const char*, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::time_t seconds = std::chrono::system_clock::to_time_t(
        std::chrono::floor<std::chrono::seconds>(when));
    std::tm local{};
    if (::localtime_r(&seconds, &local) == nullptr) return {};
    const int hour12 = local.tm_hour % 12 == 0 ? 12 : local.tm_hour % 12;
    char text[64];
    std::snprintf(text, sizeof text, "%s %d, %d, %d:%02d:%02d %s", kMonths[static_cast<std::size_t>(local.tm_mon)],
                  local.tm_mday, local.tm_year + 1900, hour12, local.tm_min, local.tm_sec,
                  local.tm_hour < 12 ? "AM" : "PM");
    return text;
}

}  // namespace foundation
