#include "Orvo_Tunedeck_Extension/presets/PresetFieldReading.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

namespace presetfields {

namespace {

// 2^63 and 2^64 as doubles: the first reals outside the signed and unsigned 64-bit ranges.
constexpr double kTwoPow63 = 9223372036854775808.0;
constexpr double kTwoPow64 = 18446744073709551616.0;

}  // namespace

std::optional<std::int64_t> readInteger(const foundation::PlistValue& value) {
    if (const auto* integer = value.integer()) return *integer;
    if (const auto* real = value.real()) {
        if (std::isfinite(*real) && *real >= -kTwoPow63 && *real < kTwoPow63) {
            return static_cast<std::int64_t>(*real);
        }
    }
    return std::nullopt;
}

std::optional<std::uint32_t> readCode(const foundation::PlistValue& value) {
    const auto integer = readInteger(value);
    if (!integer || *integer < 0 || *integer > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    return static_cast<std::uint32_t>(*integer);
}

std::optional<std::uint64_t> readAddress(const foundation::PlistValue& value) {
    if (const auto* integer = value.integer()) {
        if (*integer < 0) return std::nullopt;
        return static_cast<std::uint64_t>(*integer);
    }
    if (const auto* real = value.real()) {
        if (std::isfinite(*real) && *real >= 0.0 && *real < kTwoPow64) return static_cast<std::uint64_t>(*real);
    }
    return std::nullopt;
}

std::optional<float> readFloat(const foundation::PlistValue& value) {
    if (const auto* real = value.real()) return static_cast<float>(*real);
    if (const auto* integer = value.integer()) return static_cast<float>(*integer);
    return std::nullopt;
}

std::optional<std::int64_t> decimalNumber(std::string_view text) {
    if (text.size() > 1 && text.front() == '+') text.remove_prefix(1);
    std::int64_t number = 0;
    const auto* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, number);
    if (text.empty() || result.ec != std::errc() || result.ptr != end) return std::nullopt;
    return number;
}

std::vector<const foundation::PlistDictionary*> entriesContaining(const foundation::PlistDictionary& dictionary,
                                                                  std::string_view word) {
    // Keys without a position sort after every positioned key; std::map already orders them by key.
    constexpr auto kUnpositioned = std::numeric_limits<std::int64_t>::max();
    const std::string positionPrefix = std::string(word) + " ";
    std::vector<std::pair<std::int64_t, const foundation::PlistDictionary*>> entries;
    for (const auto& [key, value] : dictionary) {
        if (key.find(word) == std::string::npos) continue;
        const auto* entry = value.dictionary();
        if (entry == nullptr) continue;
        std::int64_t position = kUnpositioned;
        if (key.starts_with(positionPrefix)) {
            const auto digits = std::string_view(key).substr(positionPrefix.size());
            const bool allDigits = !digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) {
                return c >= '0' && c <= '9';
            });
            if (const auto number = allDigits ? decimalNumber(digits) : std::nullopt) position = *number;
        }
        entries.emplace_back(position, entry);
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<const foundation::PlistDictionary*> ordered;
    ordered.reserve(entries.size());
    for (const auto& entry : entries) ordered.push_back(entry.second);
    return ordered;
}

}  // namespace presetfields
