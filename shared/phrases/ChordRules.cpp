#include "shared/phrases/ChordRules.h"

#include <algorithm>
#include <cstddef>
#include <string>

#include "platform/foundation/Log.h"
#include "shared/phrases/EnumMIDIChords.h"
#include "shared/phrases/EnumMIDINotes.h"

namespace {

// The note brought into 0 to 127 as repeated steps of 127 would bring it (128 gives 1, -1 gives 126), in one step.
int foldInto128Keys(int note) {
  if (note > 127) return (note - 1) % 127 + 1;
  if (note < 0) return (note % 127 + 127) % 127;
  return note;
}

}  // namespace

ChordRules::ChordRules() { makeRules(); }

void ChordRules::makeRules() {
  int number = 0;
  for (int row = 0; row < EnumMIDIChords::NUMBEROFCHORDSINKEY; ++row) {
    const std::vector<int> intervals = EnumMIDIChords::getRule(row);
    if (intervals.empty()) continue;
    for (int root = 0; root < 12; ++root) {
      auto rule = std::make_shared<ChordRule>();
      rule->index = number++;
      for (int interval : intervals) rule->rule.push_back((interval + root) % 12);
      rule->shortName = EnumMIDINotes::getName(root) + EnumMIDIChords::getShortName(row);
      rule->longName = EnumMIDINotes::getName(root) + " " + EnumMIDIChords::getLongName(row);
      rules.push_back(rule);
    }
  }
}

std::vector<std::shared_ptr<ChordRule>> ChordRules::findMatches(const std::vector<int>& notes) {
  exactMatch = -1;
  std::vector<std::shared_ptr<ChordRule>> result;
  if (notes.empty()) return result;
  const std::vector<int> pitchClasses = reduceToOctave(notes);
  const std::size_t k = pitchClasses.size();
  for (const auto& rule : rules) {
    if (rule->rule.size() < k) continue;
    const auto firstTones = rule->rule.begin() + static_cast<std::ptrdiff_t>(k);
    const bool fits = std::all_of(rule->rule.begin(), firstTones, [&](int tone) {
      return std::find(pitchClasses.begin(), pitchClasses.end(), tone) != pitchClasses.end();
    });
    if (!fits) continue;
    result.push_back(rule);
    if (rule->rule.size() == k) exactMatch = static_cast<int>(result.size()) - 1;
  }
  return result;
}

int ChordRules::getMatchingIndex() const { return exactMatch; }

std::shared_ptr<ChordRule> ChordRules::getExactMatch(const std::vector<std::shared_ptr<ChordRule>>& values) const {
  if (exactMatch < 0 || static_cast<std::size_t>(exactMatch) >= values.size()) return nullptr;
  return values[static_cast<std::size_t>(exactMatch)];
}

std::vector<int> ChordRules::reduceToOctave(const std::vector<int>& notes) {
  if (notes.empty()) {
    foundation::writeLogLine("Warning: The notes array is empty.");
    return notes;
  }
  opattern.fill(0);
  for (int note : notes) ++opattern[static_cast<std::size_t>(foldInto128Keys(note) % 12)];
  std::vector<int> result;
  for (int pitchClass = 0; pitchClass < 12; ++pitchClass) {
    if (opattern[static_cast<std::size_t>(pitchClass)] > 0) result.push_back(pitchClass);
  }
  return result;
}

const std::array<int, 12>& ChordRules::getOctavePattern() const { return opattern; }

std::vector<int> ChordRules::transpose(const ChordRule& rule, const std::vector<int>& notes) {
  keys.fill(0);
  std::vector<int> result;
  if (notes.empty() || rule.rule.empty()) return result;

  std::size_t tone = 0;
  for (std::size_t step = 0; step < notes.size(); ++step) {
    const int pitchClass = rule.rule[tone];
    for (int key = 0; key < 128; ++key) {
      if (key % 12 == pitchClass) keys[static_cast<std::size_t>(key)] = 1;
    }
    tone = (tone + 1) % rule.rule.size();
  }

  for (int note : notes) {
    if (note < 0) continue;
    for (int key = note; key < 128; ++key) {
      if (keys[static_cast<std::size_t>(key)] == 1) {
        keys[static_cast<std::size_t>(key)] = 2;
        break;
      }
    }
  }
  for (int key = 0; key < 128; ++key) {
    if (keys[static_cast<std::size_t>(key)] == 2) result.push_back(key);
  }
  return result;
}

const std::array<int, 128>& ChordRules::getCurrentKeys() const { return keys; }

void ChordRules::dumpout() const {
  foundation::writeLogLine("The count of chord rules is: " + std::to_string(rules.size()));
  for (const auto& rule : rules) {
    foundation::writeLogLine(std::to_string(rule->index) + ": " + rule->shortName + ", " + rule->longName);
  }
}
