#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/foundation/PlistValue.h"

// Typed reads of preset dictionary values. A value of another type, or one that does not fit the field, gives
// nullopt, and the reader leaves the field as it was. Pure; any thread except the render thread.
namespace presetfields {

// An integer, or a finite real within range truncated toward zero.
std::optional<std::int64_t> readInteger(const foundation::PlistValue& value);
// As readInteger, within 0 to 2^32 - 1 (component codes).
std::optional<std::uint32_t> readCode(const foundation::PlistValue& value);
// A parameter address: a non-negative integer, or a finite non-negative real below 2^64 truncated toward zero.
std::optional<std::uint64_t> readAddress(const foundation::PlistValue& value);
// A real or an integer, as a 32-bit float.
std::optional<float> readFloat(const foundation::PlistValue& value);

// The dictionary values of every key of dictionary that contains word ("group", "param"), in position order:
// first the keys of the written form word + " " + decimal position, by position, then all other such keys in key
// order. Values that are not dictionaries are skipped.
std::vector<const foundation::PlistDictionary*> entriesContaining(const foundation::PlistDictionary& dictionary,
                                                                  std::string_view word);

// The whole of text as a decimal number (an optional sign, then digits), or nullopt.
std::optional<std::int64_t> decimalNumber(std::string_view text);

}  // namespace presetfields
