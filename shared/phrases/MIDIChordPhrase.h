// A phrase that finds the chords in its notes and replays them as newly built notes. Loading scans the notes by
// position while tracking which are sounding; at each note start the shared ChordRules names the chord, if any
// matches exactly. Per position the chord with the most tones is kept, and each of its tones becomes a note above
// the phrase's lowest C.
//
// The master track of an arrangement reduces its chord list to changes of chord, lets its notes last up to the next
// chord and re-harmonises other chord phrases so that their chords follow its own.
//
// Threads: one thread at a time, and no two chord phrases recognise or transpose at once: they share one rule set
// that keeps per-call results. Lines go straight to the log sink (standard output).
#pragma once

#include <memory>
#include <vector>

#include "shared/phrases/ChordRule.h"
#include "shared/phrases/ChordRules.h"
#include "shared/phrases/MIDIPhrase.h"

class MIDIChordPhrase : public MIDIPhrase {
 public:
  // One recognised chord.
  class Chord {
   public:
    // The chord's own copy of the matched rule; its tones are pitch classes followed by octave doublings, or key
    // numbers once moved onto a master chord.
    std::shared_ptr<ChordRule> nrule;
    // Beats, rounded to the phrase's grid when it quantises.
    double position = 0.0;
    // The note start records behind the chord: the one that completed it and those of the chords it replaced.
    std::vector<std::shared_ptr<PhraseEvent>> notes;
  };

  // Master chord notes end this many beats early, so they never reach the next chord.
  static constexpr double DONOTOVERLAPP = 0.0001;
  // The shortest generated master note, in beats.
  static constexpr double MINDURATION = 0.03125;

  // The rule set all chord phrases share, made on first use.
  static ChordRules& chordRules();

  // Loads as a phrase does, then recognises the chords and regenerates the notes; the chords are rebuilt also when
  // the file was missing, from the records the phrase still holds.
  void loadPhrase(const std::filesystem::path& url) override;
  // Rebuilds events1 from the chords.
  void regenerateEvents();
  // On the master only (else logged and refused): moves the other phrase's chords onto the master's chords, span by
  // span from one master chord to the next (the last up to beat 16), and regenerates the other phrase's notes.
  void transposeTrack(MIDIChordPhrase& track);

  bool isMasterTrack = false;
  // The generated chord notes, all note starts.
  std::vector<std::shared_ptr<PhraseEvent>> events1;

 private:
  void buildChords();
  void findChordRule(const std::vector<int>& currentChord, const std::shared_ptr<PhraseEvent>& event);
  void addChord(const std::shared_ptr<Chord>& chord);
  void reduceChords();
  void transposeChords(double from, double to, MIDIChordPhrase& track, int index);
  // The chords' positions followed by the phrase length limit.
  std::vector<double> bounds() const;
  double quantized(double position) const;

  std::vector<std::shared_ptr<Chord>> chords;
};
