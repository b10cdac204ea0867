// The chord rule set: the first 14 chord kinds of the vocabulary on each of the 12 roots, 168 rules, rule n being
// kind n div 12 on root n mod 12. It recognises the chord a set of notes forms and moves notes onto a chord's tones.
//
// Matching leaves its results (exact match, octave pattern, key marks) in the object, so only one thread may use a
// ChordRules at a time. Diagnostics are written straight to the log sink (standard output).
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "shared/phrases/ChordRule.h"

class ChordRules {
 public:
  // A rule set holding its 168 rules.
  ChordRules();

  // Appends the 168 rules, numbered from 0; a second call appends a second set.
  void makeRules();

  // The rules that the notes (MIDI note numbers) fit, in rule order: a rule fits when its first k tones, k being the
  // number of distinct pitch classes of the notes, are all among those pitch classes. A fitting rule with exactly k
  // tones is exact; getMatchingIndex() then gives its position in the result (the last exact one wins), else -1.
  // The rules returned are the set's own objects.
  std::vector<std::shared_ptr<ChordRule>> findMatches(const std::vector<int>& notes);
  int getMatchingIndex() const;
  // The entry of values at the last exact match's position; null when there is none or it lies outside values.
  std::shared_ptr<ChordRule> getExactMatch(const std::vector<std::shared_ptr<ChordRule>>& values) const;

  // The ascending distinct pitch classes of the notes; each note is first brought into 0 to 127 in steps of 127
  // (128 counts as 1, -1 as 126). Fills the octave pattern with how many notes fell on each pitch class. An empty
  // list is logged and returned, and the pattern keeps its content.
  std::vector<int> reduceToOctave(const std::vector<int>& notes);
  const std::array<int, 12>& getOctavePattern() const;

  // Moves the notes up onto the rule's tones. As many tones as notes are marked (root first, cycling through the
  // rule) in all octaves; each note, in input order, then takes the nearest unclaimed marked key not below it.
  // Returns the taken keys sorted. Notes outside 0 to 127, notes with nothing left above them and empty rules take
  // nothing.
  std::vector<int> transpose(const ChordRule& rule, const std::vector<int>& notes);
  // Per key: 0 no chord tone, 1 a chord tone, 2 a claimed key, as the last transpose left them.
  const std::array<int, 128>& getCurrentKeys() const;

  // Logs the rule count and one line per rule: "26: DM, D Major".
  void dumpout() const;

  std::vector<std::shared_ptr<ChordRule>> rules;

 private:
  int exactMatch = -1;
  std::array<int, 12> opattern{};
  std::array<int, 128> keys{};
};
