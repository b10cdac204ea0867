#include "shared/phrases/MIDIChordPhrase.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>

#include "platform/foundation/Log.h"
#include "platform/foundation/NumberText.h"

namespace {

void logLine(const std::string& line) { foundation::writeLogLine(line); }

}  // namespace

ChordRules& MIDIChordPhrase::chordRules() {
  static ChordRules rules;
  return rules;
}

void MIDIChordPhrase::loadPhrase(const std::filesystem::path& url) {
  MIDIPhrase::loadPhrase(url);
  buildChords();
}

void MIDIChordPhrase::buildChords() {
  chords.clear();
  std::vector<int> sounding;
  for (const auto& event : events) {
    if (event->type == PhraseEvent::noteEnd) {
      const auto found = std::find(sounding.begin(), sounding.end(), event->number);
      if (found != sounding.end()) sounding.erase(found);
    } else if (event->type == PhraseEvent::noteStart) {
      sounding.push_back(event->number);
      findChordRule(sounding, event);
    }
  }

  if (isMasterTrack) {
    reduceChords();
    logLine("MIDIChordPhrase: Following chord sequence (reduced) was detected: ");
  } else {
    logLine("MIDIChordPhrase: Following chord sequence was detected: ");
  }
  int lowest = 255;
  for (std::size_t i = 0; i < chords.size(); ++i) {
    const Chord& chord = *chords[i];
    logLine(std::to_string(i) + " : " + chord.nrule->longName + " at " + foundation::numberText(chord.position) +
            " (" + foundation::numberText(chord.position / 4 + 1) + ")");
    for (const auto& note : chord.notes) lowest = std::min(lowest, static_cast<int>(note->number));
  }
  logLine("lowest note is: " + std::to_string(lowest));
  baseC = static_cast<std::uint8_t>(lowest / 12 * 12);
  logLine("lowest octave start is: " + std::to_string(baseC));
  regenerateEvents();
}

double MIDIChordPhrase::quantized(double position) const {
  // A grid of no steps (a precision of zero or less) leaves the position as it is.
  if (!quantizeEvents || !(quantizePrecision > 0.0) || !std::isfinite(quantizePrecision)) return position;
  return std::round(position * quantizePrecision) / quantizePrecision;
}

void MIDIChordPhrase::findChordRule(const std::vector<int>& currentChord, const std::shared_ptr<PhraseEvent>& event) {
  ChordRules& rules = chordRules();
  const auto matches = rules.findMatches(currentChord);
  if (matches.empty()) {
    logLine("MIDIChordPhrase: Warning: No chord detected.");
    return;
  }
  const auto matched = rules.getExactMatch(matches);
  if (!matched) {
    logLine("MIDIChordPhrase: Warning: No exact chord match (possibly precalculation).");
    return;
  }

  auto chord = std::make_shared<Chord>();
  chord->notes.push_back(event);
  chord->position = quantized(event->position);
  chord->nrule = std::make_shared<ChordRule>(*matched);
  const auto& pattern = rules.getOctavePattern();
  for (int tone : matched->rule) {
    const int count = pattern[static_cast<std::size_t>(tone)];
    if (count >= 2) chord->nrule->rule.push_back(tone + 12);
    if (count >= 3) chord->nrule->rule.push_back(tone + 24);
  }
  addChord(chord);
}

void MIDIChordPhrase::addChord(const std::shared_ptr<Chord>& chord) {
  for (auto listed = chords.begin(); listed != chords.end(); ++listed) {
    if ((*listed)->position != chord->position) continue;
    if (chord->nrule->rule.size() > (*listed)->nrule->rule.size()) {
      chord->notes.insert(chord->notes.end(), (*listed)->notes.begin(), (*listed)->notes.end());
      chords.erase(listed);
      break;
    }
  }
  if (!chords.empty() && chords.back()->position == chord->position) {
    logLine("Warning: Multiple chords at position " + foundation::numberText(chord->position) +
            " were filtered out.");
    return;
  }
  chords.push_back(chord);
}

void MIDIChordPhrase::reduceChords() {
  std::vector<std::shared_ptr<Chord>> reduced;
  for (const auto& chord : chords) {
    if (!reduced.empty() && reduced.back()->nrule->index == chord->nrule->index) continue;
    reduced.push_back(chord);
  }
  chords = std::move(reduced);
}

std::vector<double> MIDIChordPhrase::bounds() const {
  std::vector<double> result;
  for (const auto& chord : chords) result.push_back(chord->position);
  result.push_back(MAXBEATLENGTH);
  return result;
}

void MIDIChordPhrase::regenerateEvents() {
  events1.clear();
  const std::vector<double> bound = bounds();
  int counter = 0;
  for (std::size_t c = 0; c < chords.size(); ++c) {
    const Chord& chord = *chords[c];
    const std::vector<int>& tones = chord.nrule->rule;
    for (std::size_t t = 0; t < tones.size(); ++t) {
      auto record = std::make_shared<PhraseEvent>();
      record->id = counter++;
      record->type = PhraseEvent::noteStart;
      record->channel = static_cast<std::uint8_t>(channel);
      record->value = 100;
      record->value2 = 0;
      record->position = chord.position;
      // Keys above 127 come down in steps of 127 (130 gives 3).
      int number = baseC + tones[t];
      while (number > 127) number -= 127;
      record->number = static_cast<std::uint8_t>(number);
      if (isMasterTrack) {
        const double span = bound[c + 1] - chord.position;
        if (span <= 0.0) continue;
        record->duration = span - DONOTOVERLAPP;
        if (record->duration < MINDURATION) {
          logLine("Warning: A chord event is too short " + foundation::numberText(record->duration) +
                  " and filtered out.");
          continue;
        }
      } else {
        record->duration = chord.notes[std::min(t, chord.notes.size() - 1)]->duration;
      }
      events1.push_back(record);
    }
  }

  logLine(isMasterTrack ? std::string("Following chord events (reduced) were (re)generated: ")
                        : "Following events on channel " + std::to_string(channel) + " were (re)generated: ");
  for (const auto& record : events1) {
    logLine(std::to_string(record->id) + " (" + std::to_string(record->number) +
            ") position: " + foundation::numberText(record->position) +
            ", duration: " + foundation::numberText(record->duration));
  }
}

void MIDIChordPhrase::transposeTrack(MIDIChordPhrase& track) {
  if (!isMasterTrack) {
    logLine("Error: Only a master track can transpose other tracks.");
    return;
  }
  const std::vector<double> bound = bounds();
  for (std::size_t i = 0; i < chords.size(); ++i) {
    transposeChords(bound[i], bound[i + 1], track, static_cast<int>(i));
  }
  track.regenerateEvents();
}

void MIDIChordPhrase::transposeChords(double from, double to, MIDIChordPhrase& track, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= chords.size()) {
    logLine("Error: The index exceeds the master chords count.");
    return;
  }
  // Held, not referred to: a master moving its own chords replaces this rule on the way.
  const std::shared_ptr<ChordRule> master = chords[static_cast<std::size_t>(index)]->nrule;
  for (const auto& chord : track.chords) {
    if (chord->position < from || chord->position >= to) continue;
    std::vector<int>& own = chord->nrule->rule;
    std::sort(own.begin(), own.end());
    auto moved = std::make_shared<ChordRule>();
    moved->index = master->index;
    moved->inversion = master->inversion;
    moved->longName = master->longName + " (*)";
    moved->shortName = master->shortName + " (*)";
    moved->rule = chordRules().transpose(*master, own);
    chord->nrule = moved;
  }
}
