#pragma once
// Sections, each of sixteen patterns, kept beside a platform sequence. A pattern's slot in its section is its MIDI
// channel: the pattern in slot s has channel s.
//
// File form (a standard MIDI file). The tempo track holds only the tempo changes a loaded file brought (kept in the
// song tree's tempo track); then one track per pattern that holds something (shared/patterns/PatternFileRecords.h),
// sections in order and slots in order within a section. Each such track starts at beat 0.0 with a channel-prefix
// meta event (the slot) and a sequence-number meta event (the section); every event then sits at the beat the
// pattern gives it, whatever the section; the track's last event at beat 0.0 is the pattern's length and play flags.
// Notes, channel messages, system-exclusive data and meta events are themselves; user events and tempo-map meta
// events travel in the file's own records. Loading a saved file and saving it again gives the same bytes.
//
// The sequence number is written low byte first, which is the reverse of the order other MIDI software uses for
// this meta event, so such software shows section k as k * 256 (and a file of its own that says 1 reads here as
// section 256). Pattern files already stored depend on this order, so it stays.
//
// Reading takes no number from a file as a size. A tag naming a section from patternfile::kMostSections on, or a
// slot from 16 on, is refused with a log line, and the events that would go to that pattern are passed over; the
// rest of the file is read. Sections are added only up to the highest section a kept tag names.
//
// Made with the static create(). A new pattern sequence holds one section whose slot 0 carries the track name
// "New Pattern", and a platform sequence with that pattern's track.
//
// Messages are printed at once on the calling thread (the log sink), except those of init() and clearSection(), and
// the file and track failures, which go through safeprint.
// Threads: no locks; one thread at a time uses an instance, never the render thread.

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "shared/musicsequence/MIDISequence.h"
#include "shared/patterns/PatternSequenceDelegate.h"
#include "shared/songtree/PatternNode.h"

class MIDIPatternSequence : public MIDISequence {
 public:
  // Sixteen fresh patterns (one bar of four beats, offset 0, no events, channel = slot); slot 0 holds the track name
  // "New Pattern"
  // unless the section is made unnamed (the reader's sections take their names from the file). A section that goes
  // empties the event lists of its patterns.
  class Section {
   public:
    static constexpr std::size_t kSlots = 16;
    explicit Section(bool named = true);
    ~Section();
    Section(const Section&) = delete;
    Section& operator=(const Section&) = delete;

    std::array<std::shared_ptr<PatternNode>, kSlots> patterns;
  };

  using MIDISequence::create;
  static std::shared_ptr<MIDIPatternSequence> create();

  // Held strongly.
  std::shared_ptr<PatternSequenceDelegate> pattern_delegate;
  // Index = section number.
  std::vector<std::shared_ptr<Section>> sections;
  // Where the reader puts the pattern-bound events it reads.
  std::uint16_t currentPatternIndex = 0;
  std::uint8_t currentChannelIndex = 0;
  std::shared_ptr<PatternNode> currentPattern;

  // ---- Sections and patterns. An index out of range is printed and changes nothing (getPattern excepted).

  // Appends a section and tells the delegate the new count. A list of 65536 sections takes no more.
  void createSection();
  // Clears the section (as clearSection), removes it and tells the delegate its index.
  void deleteSection(std::uint16_t index);
  // Disposes the platform track of every pattern of the section that has one, then empties every pattern's events.
  void clearSection(std::uint16_t index);
  // Removes every section, as deleteSection does (last first, so each reported index is the last one), then creates
  // one fresh section. Afterwards exactly one section exists.
  void clearAllSections();
  // The pattern itself (not a copy). A section index beyond the list first grows it, with a warning, to index + 2
  // sections; a channel of 16 or more gives none.
  std::shared_ptr<PatternNode> getPattern(std::uint16_t sectionIndex, std::uint8_t channelIndex);
  // With a node: the slot's pattern loses its platform track and, if it had one, its events; the slot keeps its
  // pattern (the node is not stored). Without a node: a warning.
  void setPattern(const std::shared_ptr<PatternNode>& patternNode, std::uint16_t sectionIndex,
                  std::uint8_t channelIndex);
  // A pattern with a platform track loses the track and its events; one without keeps its events.
  void clearPattern(std::uint16_t sectionIndex, std::uint8_t channelIndex);

  // These change nothing.
  void moveSection(std::uint16_t from, std::uint16_t to);
  void muteSection(std::uint16_t index);
  void soloSection(std::uint16_t index);
  void copyPattern(const std::shared_ptr<PatternNode>& patternNode, std::uint16_t sectionIndex,
                   std::uint8_t channelIndex);
  void movePattern(std::uint16_t sectionIndexFrom, std::uint8_t channelIndexFrom, std::uint16_t sectionIndexTo,
                   std::uint8_t channelIndexTo);
  void soloPattern(std::uint16_t sectionIndexFrom, std::uint8_t channelIndexFrom, std::uint16_t sectionIndexTo,
                   std::uint8_t channelIndexTo);
  void mutePattern(std::uint16_t sectionIndexFrom, std::uint8_t channelIndexFrom, std::uint16_t sectionIndexTo,
                   std::uint8_t channelIndexTo);
  void muteTrack(std::uint8_t index);
  void soloTrack(std::uint8_t index);

  // ---- File form.

  // Empties the tempo track, removes every other platform track and writes the sections in order (those from
  // patternfile::kMostSections on are not written: a line says so when one of them holds something).
  void sectionsToMusicSequence();
  // Writes each pattern of the section that holds something into a new platform track (disposing the one it had):
  // its old tags go and the two new ones lead its events. The pattern's channel becomes its slot, its offset
  // section * 4.0 beats, its link the new track.
  void sectionToMusicTracks(std::uint16_t sectionIndex);
  // Writes the pattern's events, in list order, into musicTrack at their own positions (the pattern's offset is not
  // added), then its length and play flags at beat 0.0; the track is not emptied first.
  void patternNodeToMusicTrack(const std::shared_ptr<PatternNode>& patternNode, const MusicTrack& musicTrack) override;
  // Does nothing: a pattern sequence writes its sections.
  void sequenceNodeToMusicSequence() override;
  // While a pattern is written, every look-up gives the pattern's track, so that the event writers of the base put
  // each event there whatever its channel.
  MusicTrack getTrack(int trackIndex) override;
  // Writes the sections, then the platform sequence as a standard MIDI file (an existing file is replaced).
  void saveToFile(const std::filesystem::path& url) override;
  // Loads the file into a new platform sequence, clears all sections and reads the file into them: the sections hold
  // what the file holds (no "New Pattern" names of their own). A file that cannot be loaded is logged and changes
  // nothing.
  void loadFromFile(const std::filesystem::path& url) override;
  // Reads the tempo track and every track (at most maxTracks) into the sections; tempo changes go to the song
  // tree's tempo track.
  void musicSequenceToSequenceNode() override;
  // Reads one track; index is its track number, -1 for the tempo track. The tags among the track's events at beat
  // 0.0 name the pattern of all its events, those before the tags included (a tag met later retargets the events
  // after it); a track without tags goes on where the previous one ended.
  void iterateEvents(const MusicTrack& track, int index) override;

 protected:
  MIDIPatternSequence() = default;
  void init() override;

 private:
  // True when the section index is below the count; otherwise prints message.
  bool hasSection(std::uint16_t index, const char* message) const;
  // Disposes the pattern's platform track when it belongs to this sequence; link becomes none either way.
  void disposeLink(PatternNode& pattern);
  // Disposes every music track of the platform sequence and clears every pattern's link.
  void removeAllTracks();
  // Sets the reader's target from the tags among the track's events at beat 0.0, silently.
  void targetTrackTags(const MusicTrack& track);
  // The pattern the reader's target names, after growing the sections to hold it, with its channel and offset set
  // from its place; none for a refused target.
  PatternNode* targetPattern();
  // Stores a node in the reader's target pattern; false when the target is refused.
  bool storeInPattern(const std::shared_ptr<EventNode>& node);

  // Appends a section; named as Section.
  void appendSection(bool named);

  std::optional<MusicTrack> writeTarget_;
  // True while a file is read: the sections made then are unnamed.
  bool readingFile_ = false;
};
