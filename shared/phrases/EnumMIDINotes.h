// The twelve notes of the octave, C to B, with their names. Compile-time data and pure functions; any thread.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class EnumMIDINotes {
 public:
  // A trailing underscore marks the sharp.
  enum Case : int { C = 0, C_ = 1, D = 2, D_ = 3, E = 4, F = 5, F_ = 6, G = 7, G_ = 8, A = 9, A_ = 10, B = 11 };

  constexpr EnumMIDINotes(Case value) : value_(value) {}

  // The note of raw value 0 to 11; none for any other value.
  static constexpr std::optional<EnumMIDINotes> fromRawValue(int rawValue) {
    if (rawValue < C || rawValue > B) return std::nullopt;
    return EnumMIDINotes(static_cast<Case>(rawValue));
  }
  constexpr int rawValue() const { return value_; }
  friend constexpr bool operator==(EnumMIDINotes, EnumMIDINotes) = default;

  // The name of the note at index 0 to 11 within the octave ("C", "C#", ... "B"); "" for any other index.
  static std::string getName(int index);
  // True when name contains "#".
  static bool isBlackKey(std::string_view name);

 private:
  Case value_;
};

// The note names by index within the octave, sharps written with "#".
inline constexpr std::array<std::string_view, 12> noteNamesInOctave = {"C",  "C#", "D",  "D#", "E",  "F",
                                                                       "F#", "G",  "G#", "A",  "A#", "B"};

template <>
struct std::hash<EnumMIDINotes> {
  std::size_t operator()(EnumMIDINotes note) const noexcept { return std::hash<int>{}(note.rawValue()); }
};
