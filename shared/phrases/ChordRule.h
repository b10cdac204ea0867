// One concrete chord on one root: its number in the rule set, its names and its tones. A plain data holder with
// read-write fields; one thread at a time.
#pragma once

#include <string>
#include <vector>

class ChordRule {
 public:
  // The rule's number within the rule set; -1 for none.
  int index = -1;
  // Root name and the kind's short name, as in "G#m7".
  std::string shortName;
  // Root name, a blank and the kind's long name, as in "G# Minor 7th".
  std::string longName;
  // Travels with the rule; nothing gives it another value than 0.
  int inversion = 0;
  // Pitch classes (0 is C ... 11 is B) in the kind's interval order, root first. A chord's copy may carry octave
  // doublings (12 and more) or, once moved onto another chord, key numbers.
  std::vector<int> rule;
};
