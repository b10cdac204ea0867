#pragma once

#include <cstdint>
#include <string>

namespace foundation {

// A floating-point number as the system's log lines print it: the shortest digits that read back to the same value,
// a ".0" on whole numbers ("120.0", "0.79", "4.0", "-0.0"), exponent form below 0.0001 and above 2^53 for double or
// 2^24 for float ("1e-05", "1e+16"), and "nan", "inf", "-inf". The float overload prints the shortest digits of the
// float itself (0.79f gives "0.79"). Any thread except the render thread (allocates).
std::string numberText(double value);
std::string numberText(float value);

// value as printf's "%2X" prints it: upper-case hexadecimal, padded with a space to two characters (" F", "7F",
// "100"). Any thread except the render thread.
std::string hexText2X(std::uint32_t value);

}  // namespace foundation
