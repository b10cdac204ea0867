// The chord kinds per root and the lookups into the chord vocabulary (ChordKinds.h). Pure functions; any thread.
#pragma once

#include <optional>
#include <string>
#include <vector>

class EnumMIDIChords {
 public:
  // Labels only: the rule set takes NUMBEROFCHORDSINKEY, the number of chord kinds per root, and uses the
  // vocabulary's rows 0 to 13 in row order whatever these names say.
  enum Case : int {
    C8 = 0, C5 = 1, CM = 2, Cm = 3, Cd = 4, Ca = 5, C7 = 6, CM7 = 7, Cm7 = 8, CSus2 = 9, CSus4 = 10, C_5 = 11,
    C6 = 12, Cm6 = 13, NUMBEROFCHORDSINKEY = 14
  };

  constexpr EnumMIDIChords(Case value) : value_(value) {}

  // The case of raw value 0 to 14; none for any other value.
  static constexpr std::optional<EnumMIDIChords> fromRawValue(int rawValue) {
    if (rawValue < C8 || rawValue > NUMBEROFCHORDSINKEY) return std::nullopt;
    return EnumMIDIChords(static_cast<Case>(rawValue));
  }
  constexpr int rawValue() const { return value_; }
  friend constexpr bool operator==(EnumMIDIChords, EnumMIDIChords) = default;

  // The short name, long name or interval list of vocabulary row 0 to 102; "" or an empty list for any other row.
  static std::string getShortName(int row);
  static std::string getLongName(int row);
  static std::vector<int> getRule(int row);
  // The non-negative values of array in order, each of 12 or more lowered by 12 once (14 gives 2, 25 gives 13).
  static std::vector<int> limitToOctave(const std::vector<int>& array);

 private:
  Case value_;
};
