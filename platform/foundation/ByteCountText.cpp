#include "platform/foundation/ByteCountText.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace foundation {

namespace {

struct Unit {
    std::string_view name;
    int decimals;
};

constexpr std::array<Unit, 6> kUnits{{{"KB", 0}, {"MB", 1}, {"GB", 2}, {"TB", 2}, {"PB", 2}, {"EB", 2}}};

std::string withoutTrailingZeros(std::string digits) {
    if (digits.find('.') == std::string::npos) return digits;
    while (digits.back() == '0') digits.pop_back();
    if (digits.back() == '.') digits.pop_back();
    return digits;
}

}  // namespace

std::string byteCountText(std::int64_t bytes) {
    if (bytes == 0) return "Zero KB";
    const std::string sign = bytes < 0 ? "-" : "";
    const std::uint64_t magnitude = bytes < 0 ? 0 - static_cast<std::uint64_t>(bytes) : static_cast<std::uint64_t>(bytes);
    if (magnitude == 1) return sign + "1 byte";
    if (magnitude < 1000) return sign + std::to_string(magnitude) + " bytes";

    double value = static_cast<double>(magnitude) / 1000.0;
    for (std::size_t i = 0; i < kUnits.size(); ++i) {
        const double scale = std::pow(10.0, kUnits[i].decimals);
        const double rounded = std::round(value * scale) / scale;
        if (rounded < 1000.0 || i + 1 == kUnits.size()) {
            char text[64];
            std::snprintf(text, sizeof text, "%.*f", kUnits[i].decimals, rounded);
            return sign + withoutTrailingZeros(text) + " " + std::string(kUnits[i].name);
        }
        value /= 1000.0;
    }
    return {};
}

}  // namespace foundation
