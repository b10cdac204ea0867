#include "platform/foundation/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace foundation {
namespace {

// Lays out shortest digits (as std::to_chars gives them in scientific form, "d.ddde±x") the way the log texts show
// numbers. largestPlain: above it the exponent form is used.
std::string layOut(std::string_view scientific, double magnitude, double largestPlain) {
    const bool negative = scientific.front() == '-';
    if (negative) {
        scientific.remove_prefix(1);
    }
    const std::size_t e = scientific.find('e');
    std::string digits;
    for (char c : scientific.substr(0, e)) {
        if (c != '.') {
            digits += c;
        }
    }
    const int exponent = std::atoi(std::string(scientific.substr(e + 1)).c_str());

    std::string text = negative ? "-" : "";
    if (magnitude != 0.0 && (exponent < -4 || magnitude > largestPlain)) {
        text += digits.substr(0, 1);
        if (digits.size() > 1) {
            text += '.';
            text += digits.substr(1);
        }
        char exponentText[8];
        std::snprintf(exponentText, sizeof exponentText, "e%+03d", exponent);
        return text + exponentText;
    }
    if (exponent < 0) {
        return text + "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integerDigits) {
        return text + digits + std::string(integerDigits - digits.size(), '0') + ".0";
    }
    return text + digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
}

template <typename Real>
std::string format(Real value, double largestPlain) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-inf" : "inf";
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    return layOut(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)),
                  std::fabs(static_cast<double>(value)), largestPlain);
}

}  // namespace

std::string numberText(double value) {
    return format(value, 0x1.0p53);
}

std::string numberText(float value) {
    return format(value, 0x1.0p24);
}

std::string hexText2X(std::uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%2X", static_cast<unsigned>(value));
    return buffer;
}

}  // namespace foundation
