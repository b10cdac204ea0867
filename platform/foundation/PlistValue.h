#pragma once

#include <chrono>
#include <concepts>
#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace foundation {

class PlistValue;

using PlistDictionary = std::map<std::string, PlistValue>;
using PlistArray = std::vector<PlistValue>;
using PlistData = std::vector<std::uint8_t>;
// A date, to the microsecond (XML property lists keep whole seconds).
using PlistDate = std::chrono::sys_time<std::chrono::microseconds>;
// The dates property lists carry here: the years 1 to 9999, all that the four-digit year of the XML form holds. The
// readers refuse dates outside, in either form, so that whatever is read can be written back.
inline constexpr PlistDate kEarliestPlistDate{std::chrono::sys_days{std::chrono::year{1} / 1 / 1}};
inline constexpr PlistDate kLatestPlistDate{std::chrono::sys_days{std::chrono::year{10000} / 1 / 1} -
                                            std::chrono::microseconds{1}};

// One value of a property list: dictionary (string keys, kept sorted), array, string (UTF-8), integer (64-bit
// signed; unsigned values above its range wrap), real, boolean, data or date. A plain value type; any thread, no
// sharing.
class PlistValue {
public:
    using Storage = std::variant<PlistDictionary, PlistArray, std::string, std::int64_t, double, bool, PlistData,
                                 PlistDate>;

    // An empty dictionary.
    PlistValue() = default;
    PlistValue(PlistDictionary value) : storage_(std::move(value)) {}
    PlistValue(PlistArray value) : storage_(std::move(value)) {}
    PlistValue(std::string value) : storage_(std::move(value)) {}
    PlistValue(const char* value) : storage_(std::string(value)) {}
    template <std::integral Integer>
        requires(!std::same_as<Integer, bool>)
    PlistValue(Integer value) : storage_(static_cast<std::int64_t>(value)) {}
    template <std::floating_point Real>
    PlistValue(Real value) : storage_(static_cast<double>(value)) {}
    PlistValue(bool value) : storage_(value) {}
    PlistValue(PlistData value) : storage_(std::move(value)) {}
    PlistValue(PlistDate value) : storage_(value) {}

    // The value if it has this type, otherwise nullptr.
    const PlistDictionary* dictionary() const { return std::get_if<PlistDictionary>(&storage_); }
    PlistDictionary* dictionary() { return std::get_if<PlistDictionary>(&storage_); }
    const PlistArray* array() const { return std::get_if<PlistArray>(&storage_); }
    PlistArray* array() { return std::get_if<PlistArray>(&storage_); }
    const std::string* string() const { return std::get_if<std::string>(&storage_); }
    const std::int64_t* integer() const { return std::get_if<std::int64_t>(&storage_); }
    const double* real() const { return std::get_if<double>(&storage_); }
    const bool* boolean() const { return std::get_if<bool>(&storage_); }
    const PlistData* data() const { return std::get_if<PlistData>(&storage_); }
    const PlistDate* date() const { return std::get_if<PlistDate>(&storage_); }

    // Dictionary entry for key, or nullptr (also when this is no dictionary).
    const PlistValue* find(const std::string& key) const;

    const Storage& storage() const { return storage_; }
    bool operator==(const PlistValue&) const = default;

private:
    Storage storage_;
};

}  // namespace foundation
