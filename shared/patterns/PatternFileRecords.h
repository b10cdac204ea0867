#pragma once
// The pattern file's own records and bounds.
//
// A standard MIDI file has no event for a pattern's length and play flags, none for application data (user events),
// and its tempo-map meta events (tempo, SMPTE offset, time and key signature) are moved to the tempo track when a file
// is loaded. The pattern file carries these in sequencer-specific meta events (type 0x7F) of its own. Their data
// begins with the manufacturer ID 0x7D, which no maker is given (it is kept for non-commercial use), the letters
// "TDP" and a kind byte:
//   kind 1, pattern properties: bars, beats, flags (1 loop, 2 mute, 4 solo); eight bytes in all;
//   kind 2, user event: the event's bytes;
//   kind 3, tempo-map meta event of a pattern: its meta type, then its bytes.
// Any other sequencer-specific data, or one of ours of the wrong size, is an ordinary sequencer-specific event.
//
// Threads: plain functions on the caller's thread.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "shared/midievents/MetaEvents.h"
#include "shared/songtree/PatternNode.h"

namespace patternfile {

// Sections a file may name (0 to kMostSections - 1) and slots of a section; a tag beyond either is refused.
inline constexpr std::size_t kMostSections = 1024;
inline constexpr std::size_t kSlots = 16;
// A pattern's offset is its section times this many beats.
inline constexpr double kBeatsPerSection = 4.0;

enum class RecordKind : std::uint8_t { None = 0, Properties = 1, User = 2, TempoMapMeta = 3 };

// True for the meta types that a loaded file keeps on its tempo track only.
bool isTempoMapMeta(std::uint8_t metaType);
// True when the pattern has events or a length or play flag of its own: such a pattern is written.
bool holdsSomething(const PatternNode& pattern);

// Records at position, ready to be written.
std::shared_ptr<MetaSequencerSpecificEvent> propertiesRecord(const PatternNode& pattern);
std::shared_ptr<MetaSequencerSpecificEvent> userRecord(const UserEvent& event);
std::shared_ptr<MetaSequencerSpecificEvent> tempoMapRecord(const MetaEvent& event);

// The kind of a sequencer-specific event's data.
RecordKind recordKind(std::span<const std::uint8_t> data);
// For data of kind Properties: sets the pattern's bars, beats, loop, mute and solo.
void applyProperties(std::span<const std::uint8_t> data, PatternNode& pattern);
// For data of kind User: the user event's bytes.
std::span<const std::uint8_t> userBytes(std::span<const std::uint8_t> data);
// For data of kind TempoMapMeta: the meta type and its bytes.
std::uint8_t tempoMapType(std::span<const std::uint8_t> data);
std::span<const std::uint8_t> tempoMapBytes(std::span<const std::uint8_t> data);

}  // namespace patternfile
