#pragma once
// Wraps a platform music sequence together with its song tree: create, load, save and clear; track lookup and track
// properties. While reading it remembers each track's MIDI channel and each channel's latest program.
//
// Construction is two-phase so that the initialiser reaches overrides of create(numberOfTracks): construct with
// the static create(), which runs init() on the finished object. A subclass with its own initialiser overrides
// init(), calls the base's init() first, and offers its own static create().
//
// Ownership: the wrapper shares its platform sequence (a reference-counted handle). A sequence it made itself goes
// with its last holder; a sequence handed in keeps its content when the wrapper goes. The wrapper owns its song tree
// and holds its delegate strongly.
//
// Threads: no locks and no queues of its own; one thread at a time uses an instance, never the render thread. Log
// lines go through safeprint (printed on the main queue).

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/musicsequence/MusicSequence.h"
#include "shared/events/AUMIDIEventEx.h"
#include "shared/midievents/MIDIRecordMirrors.h"
#include "shared/songtree/SequenceFoundDelegate.h"
#include "shared/songtree/SequenceNode.h"

class MIDISequence : public std::enable_shared_from_this<MIDISequence> {
 public:
  // The track a reading walk found a MIDI channel in.
  class ChannelAssignment {
   public:
    int index = 0;             // the track index it was made for
    std::uint8_t channel = 0;  // taken from the track's latest channel event while reading
  };

  // A sequence with one platform track and a song tree of one track.
  static std::shared_ptr<MIDISequence> create();
  virtual ~MIDISequence() = default;
  MIDISequence(const MIDISequence&) = delete;
  MIDISequence& operator=(const MIDISequence&) = delete;

  // Ticks per quarter note of the model.
  const std::int16_t midiResolution = 480;
  // The track count above which reading warns.
  std::uint16_t maxTracks = 16;
  // Passed to the platform file load.
  MusicSequenceLoadFlags loadFlag = kMusicSequenceLoadSMF_ChannelsToTracks;
  // Told about every event read or written.
  std::shared_ptr<SequenceFoundDelegate> delegate;
  MusicSequence musicSequence;
  std::shared_ptr<SequenceNode> sequenceNode;
  // Beats: the latest event start seen.
  double sequenceLength = 0.0;
  // Beats per minute: the tempo last set.
  double currentTempo = 120.0;

  // A new platform sequence of numberOfTracks tracks and a new song tree of as many (the tree holds at least one).
  // More than 1000 are refused with a log line and nothing changes. The previous sequence is dropped, not emptied.
  virtual void create(std::uint16_t numberOfTracks);
  virtual void deleteTrack(const MusicTrack& track);
  // Removes every event of every music track; the song tree stays; getLength() becomes 0.
  virtual void clear();
  // Removes every event of one track.
  virtual void clear(const MusicTrack& track);
  // The track's index, 0 with a log line when the track is not in the sequence.
  virtual std::uint32_t getTrackIndex(const MusicTrack& track);

  // Track properties. A failed read is logged and gives 0, 0.0 or false.
  virtual double getTrackLength(const MusicTrack& track);
  virtual MusicTrackLoopInfo getTrackLoopInfo(const MusicTrack& track);
  virtual double getTrackOffsetTime(const MusicTrack& track);
  virtual bool getTrackMuteStaus(const MusicTrack& track);
  virtual bool getTrackSoloStatus(const MusicTrack& track);
  virtual bool getTrackAutomatedParameters(const MusicTrack& track);
  virtual std::int16_t getTrackTimeResolution(const MusicTrack& track);
  // A failed write is logged.
  virtual void setTrackLength(const MusicTrack& track, double value);
  // Loop duration to - from (4.0 when negative), played times times.
  virtual void setLoopInfo(const MusicTrack& track, double from, double to, std::int32_t times);
  virtual void setOfssetTime(const MusicTrack& track, double offset);
  virtual void setMuteStatus(const MusicTrack& track, bool value);
  virtual void setSoloStatus(const MusicTrack& track, bool value);
  // These two change nothing.
  virtual void setAutomatedParameters(const MusicTrack& track);
  virtual void setTimeResolution(const MusicTrack& track);

  // Stores the handle; the tree is not rebuilt and the previous sequence is not emptied.
  virtual void setMusicSequence(MusicSequence sequence);
  virtual MusicSequence getMusicSequence();
  virtual std::shared_ptr<SequenceNode> getSequenceNode();
  virtual double getLength();
  // The number of music tracks; -1 without a platform sequence.
  virtual int getNumberOfTracks();
  // The music track at the index; a null track, with a log line, when there is none.
  virtual MusicTrack getTrack(int trackIndex);

  // ---- Writing: events made from values, single events, and song trees into the music sequence ----
  //
  // Every write that the platform accepts is reported to the delegate: a task, holding this sequence and the event,
  // is queued on the main queue and calls the requirement of the event's class on the delegate set when it runs
  // (nothing is queued while no delegate is set). A refused write is logged with its status and reported nowhere;
  // the tree keeps what was added to it. Channel, system and system-exclusive writes (not the per-kind meta writes)
  // raise sequenceLength to the event's position. Channel messages need a channel of 0 to 15, system messages
  // channel 0; other events are refused with kAudio_ParamError. Positions are beats.
  // Threads: the caller's thread, no locks; never the render thread.

  // Each makes one event of its class at position (beats), adds it to the tree track of its channel (0 where not
  // set; an index past the last track takes the last) with the tree's next uid, and writes it with its writer.
  virtual void createNoteEvent(double position, std::uint8_t channel, std::uint8_t note, std::uint8_t velocity,
                               std::uint8_t releaseVelocity, float duration);
  virtual void createPolyphonicPressureEvent(double position, std::uint8_t channel, std::uint8_t number,
                                             std::uint8_t value);
  virtual void createControllerEvent(double position, std::uint8_t channel, std::uint8_t number, std::uint8_t value);
  virtual void createProgramChangeEvent(double position, std::uint8_t channel, std::uint8_t value);
  virtual void createAfterTouchEvent(double position, std::uint8_t channel, std::uint8_t value);
  virtual void createPitchWheelEvent(double position, std::uint8_t channel, std::uint8_t msb, std::uint8_t lsb);
  // data is the whole message (F0 ... F7); length is stored as given, and only the bytes that exist are written.
  virtual void createSysExEvent(double position, std::uint16_t length, const std::vector<std::uint8_t>& data);
  virtual void createSystemTimeCodeEvent(double position, std::uint8_t value);
  virtual void createSystemSongPositionPointerEvent(double position, std::uint8_t msb, std::uint8_t lsb);
  virtual void createSystemSongSelectEvent(double position, std::uint8_t value);
  virtual void createSystemTuneRequestEvent(double position);
  virtual void createSystemTimingClockEvent(double position);
  virtual void createSystemStartEvent(double position);
  virtual void createSystemContinueEvent(double position);
  virtual void createSystemStopEvent(double position);
  virtual void createSystemActiveSensingEvent(double position);
  virtual void createSystemResetEvent(double position);
  // data holds a whole meta message: three header bytes, then the payload. A length below 4 does nothing. Otherwise
  // a MetaEvent of the type joins tree track 0 and, unless data is empty, the payload (bytes 3 to length - 1 of
  // those that exist) is written into music track 0 as a meta event of the type.
  virtual void createMetaEvent(double position, std::int64_t length, const std::vector<std::uint8_t>& data,
                               std::uint8_t type);
  virtual void createMetaSequenceNumberEvent(double position, std::uint16_t value);
  virtual void createMetaTextEvent(double position, const std::string& text);
  virtual void createMetaCopyrightEvent(double position, const std::string& text);
  virtual void createMetaTrackNameEvent(double position, const std::string& text);
  virtual void createMetaInstrumentNameEvent(double position, const std::string& text);
  virtual void createMetaLyricsEvent(double position, const std::string& text);
  virtual void createMetaMarkerEvent(double position, const std::string& text);
  virtual void createMetaCuePointEvent(double position, const std::string& text);
  virtual void createMetaProgramNameEvent(double position, const std::string& text);
  virtual void createMetaDeviceNameEvent(double position, const std::string& text);
  virtual void createMetaChannelPrefixEvent(double position, std::uint8_t prefix);
  virtual void createMetaMidiPortEvent(double position, std::uint8_t port);
  virtual void createMetaEndOfTrackEvent(double position);
  virtual void createMetaSetTempoEvent(double position, std::uint8_t value1, std::uint8_t value2,
                                       std::uint8_t value3);
  virtual void createMetaSMTPOffsetEvent(double position, std::uint8_t hours, std::uint8_t minutes,
                                         std::uint8_t seconds, std::uint8_t frames, std::uint8_t fract);
  virtual void createMetaTimeSignatureEvent(double position, std::uint8_t numerator, std::uint8_t denumerator,
                                            std::uint8_t _8th, std::uint8_t _32nd);
  virtual void createMetaKeySignatureEvent(double position, std::uint8_t sf, std::uint8_t mi);
  // The bytes are appended to the event's data; its length becomes their count (length is not used).
  virtual void createMetaSequencerSpecificEvent(double position, std::uint32_t length,
                                                const std::vector<std::uint8_t>& data);
  // These two make no event: they only raise sequenceLength to position.
  virtual void createUserEvent(double position);
  virtual void createExtraEvent(double position);

  // One writer per event class: the event goes into the music track of its channel (system-exclusive data into
  // track 0) at its position. Channel and system messages become a four-byte channel record, notes a note record,
  // system-exclusive data a raw record of the event's length (only the bytes that exist), meta events a meta record
  // of the event's type with its whole data. A null event is logged and nothing is written.
  virtual void createNoteMessage(const std::shared_ptr<MidiNoteEvent>& event);
  virtual void createPolyphonicPressureMessage(const std::shared_ptr<MidiPolyPressureEvent>& event);
  virtual void createControllerMessage(const std::shared_ptr<MidiControllerEvent>& event);
  virtual void createProgramChangeMessage(const std::shared_ptr<MidiProgramChangeEvent>& event);
  virtual void createAfterTouchMessage(const std::shared_ptr<MidiChannelPressureEvent>& event);
  virtual void createPitchWheelMessage(const std::shared_ptr<MidiPitchBendEvent>& event);
  virtual void createSysExMessage(const std::shared_ptr<SystemExclusiveEvent>& event);
  virtual void createSystemTimeCodeMessage(const std::shared_ptr<SystemTimeCodeEvent>& event);
  virtual void createSystemSongPositionPointerMessage(const std::shared_ptr<SystemSongPositionPointerEvent>& event);
  virtual void createSystemSongSelectMessage(const std::shared_ptr<SystemSongSelectEvent>& event);
  virtual void createSystemTuneRequestMessage(const std::shared_ptr<SystemTuneRequestEvent>& event);
  virtual void createSystemTimingClockMessage(const std::shared_ptr<SystemClockEvent>& event);
  virtual void createSystemStartMessage(const std::shared_ptr<SystemStartEvent>& event);
  virtual void createSystemContinueMessage(const std::shared_ptr<SystemContinueEvent>& event);
  virtual void createSystemStopMessage(const std::shared_ptr<SystemStopEvent>& event);
  virtual void createSystemActiveSensingMessage(const std::shared_ptr<SystemActiveSensingEvent>& event);
  virtual void createSystemResetMessage(const std::shared_ptr<SystemResetEvent>& event);
  virtual void createMetaSequenceNumberMessage(const std::shared_ptr<MetaSequenceNumberEvent>& event);
  virtual void createMetaTextMessage(const std::shared_ptr<MetaTextEvent>& event);
  virtual void createMetaCopyrightMessage(const std::shared_ptr<MetaCopyrightEvent>& event);
  virtual void createMetaTrackNameMessage(const std::shared_ptr<MetaTrackNameEvent>& event);
  virtual void createMetaInstrumentNameMessage(const std::shared_ptr<MetaInstrumentNameEvent>& event);
  virtual void createMetaLyricsMessage(const std::shared_ptr<MetaLyricsEvent>& event);
  virtual void createMetaMarkerMessage(const std::shared_ptr<MetaMarkerEvent>& event);
  virtual void createMetaCuePointMessage(const std::shared_ptr<MetaCuePointEvent>& event);
  virtual void createMetaProgramNameMessage(const std::shared_ptr<MetaProgramNameEvent>& event);
  virtual void createMetaDeviceNameMessage(const std::shared_ptr<MetaDeviceNameEvent>& event);
  virtual void createMetaChannelPrefixMessage(const std::shared_ptr<MetaChannelPrefixEvent>& event);
  virtual void createMetaMidiPortMessage(const std::shared_ptr<MetaMidiPortEvent>& event);
  virtual void createMetaEndOfTrackMessage(const std::shared_ptr<MetaEndOfTrackEvent>& event);
  virtual void createMetaSetTempoMessage(const std::shared_ptr<MetaSetTempoEvent>& event);
  virtual void createMetaSMTPOffsetMessage(const std::shared_ptr<MetaSMTPOffsetEvent>& event);
  virtual void createMetaTimeSignatureMessage(const std::shared_ptr<MetaTimeSignatureEvent>& event);
  virtual void createMetaKeySignatureMessage(const std::shared_ptr<MetaKeySignatureEvent>& event);
  virtual void createMetaSequencerSpecificMessage(const std::shared_ptr<MetaSequencerSpecificEvent>& event);

  // Rebuilds the music sequence from the song tree: every music track is emptied, the tempo track takes the tree's
  // tempo events (its other events are dropped: the tree holds them in its tracks), and every track node is written
  // into the music track of its channel. Track nodes sharing a channel are all written. The sequence gains empty
  // tracks where a MIDI channel (0 to 15) of the tree has none; a track node of a channel without a music track is
  // logged and passed over.
  virtual void sequenceNodeToMusicSequence();
  // Empties musicTrack (not while sequenceNodeToMusicSequence runs: it has emptied every track), then writes the
  // track node's events and then those of its patterns, each at its own position, through eventsToMusicTrack.
  // Wherever these operations write, each writer puts its event into the music track its class chooses (above).
  virtual void trackNodeToMusicTrack(const std::shared_ptr<TrackNode>& trackNode, const MusicTrack& musicTrack);
  // Writes one event node with the writer of its status kind (for meta events, of its type) after adding offset
  // (beats) to the node's own position. Channel, system and system-exclusive writes are followed by an Info line.
  // Status kinds without a writer, and nodes whose class does not match their kind, are logged and passed over; meta
  // types without a writer are passed over silently; a plain MetaEvent of a written type goes out as createMetaEvent
  // writes it.
  virtual void eventsToMusicTrack(const std::shared_ptr<EventNode>& event, const MusicTrack& track, double offset);
  // Empties the music sequence, then writes the track node as trackNodeToMusicTrack does, with the music track of
  // its channel.
  virtual void trackNodeToMusicSequence(const std::shared_ptr<TrackNode>& trackNode);
  // Empties musicTrack, then writes the pattern's events at their own positions (its offset is not added).
  virtual void patternNodeToMusicTrack(const std::shared_ptr<PatternNode>& patternNode, const MusicTrack& musicTrack);
  // Empties the music sequence, then writes the pattern's events; the pattern's channel chooses no track.
  virtual void patternNodeToMusicSequence(const std::shared_ptr<PatternNode>& patternNode);
  // ---- end of writing ----

  // The channel found in the track read at position channel of the reading order; 0 beyond the list.
  virtual std::uint8_t getChannelAssignment(std::uint8_t channel);
  // The program last read on a MIDI channel; 0 for a channel above 15.
  virtual std::uint8_t getPatchForChannel(std::uint8_t channel);

  // --- Tempo track. Positions are beats, tempos beats per minute.
  //
  // An internal tempo marker is a sample-timed record of type 9 with the nine bytes FD 51 t FF 51 03 b1 b2 b3: t the
  // tempo truncated when it lies between 0 and 255 (both excluded), else 120; b1 b2 b3 the three high bytes, most
  // significant first, of the 32-bit trunc(tempo * 500000). Its sample time is trunc(samplerate * 0.5 * position)
  // (a fixed grid of 120 beats per minute), its duration the tempo, its id 1000000 + n for the n-th marker of one
  // call. A tempo of 8589.934592 or more (the product needs more than 32 bits) or a position whose sample time needs
  // more than 64 bits is refused with a log line and makes no marker.

  // Raises sequenceLength to length; never shortens it.
  virtual void ensureSongLength(double length);
  // currentTempo becomes tempo and the tempo track holds exactly one tempo event: tempo at beat 0.
  virtual void setTempo(double tempo);
  // currentTempo.
  virtual double getTempo();
  // Deletes every tempo event of the track; other events stay with a warning. currentTempo becomes 120.
  virtual void removeTempoEvents(const MusicTrack& track);
  // One tempo marker per tempo event of the track, in track order. currentTempo becomes 120. An event that cannot be
  // queried is skipped with a warning.
  virtual std::vector<std::shared_ptr<AUMIDIEventEx>> getTempoEvents(const MusicTrack& track, double samplerate);
  // Adds a tempo event at beat `at`; the other tempo events and currentTempo stay.
  virtual void setTempo(double tempo, double at);
  // The platform sequence's tempo track; none, with a log line, when it cannot be had.
  virtual std::optional<MusicTrack> getTempoTrack();

  // --- Reading the platform sequence into the song tree.
  //
  // Rebuilds the tree's events, the channel assignments, the programs and the length from the platform sequence:
  // every platform event becomes one event object in the tree (notes and channel messages in the track of their MIDI
  // channel, tempo events in the tempo track, the track-bound meta events in the track of their platform track number,
  // everything else in track 0), and the delegate hears of each object synchronously, right after it was added, in
  // the order of the platform tracks (tempo track first) and of their events. The tree keeps its tracks; their number
  // is not adapted to the file. An event whose query fails is skipped with a log line. Payloads of meta, user and
  // system-exclusive events are carried whole.
  virtual void musicSequenceToSequenceNode();
  // Converts a platform track into tree events; index -1 means the tempo track. A null track only logs.
  virtual void iterateEvents(const MusicTrack& track, int index);

  // --- Conversion of the song tree into sample-timed events for the render-time file player.
  //
  // Output order before sorting: the platform tempo track's markers, then each tree track's events in turn (a note
  // gives an on and an off record); patterns are skipped. Sample times are trunc(samplerate * 0.5 * beats), the
  // note-off's offset trunc(duration * samplerate * 0.5) in single precision. The list is stably sorted by sample time
  // and each record's id becomes its index. Channel messages are records of type 8 on the cable; meta events become
  // FD type 00 followed by their data, user and system-exclusive events their data whole, both of type 9; events of
  // other classes become a record 00 00 00 that stays in the list and is logged. Events that would need more than 64
  // bits of sample time or more bytes than a record holds, and events whose channel is above 15, are refused with a
  // log line.
  std::vector<std::shared_ptr<AUMIDIEventEx>> nodesToAUMIDIEvent(double samplerate, std::uint8_t cable);
  // The plain form: platform records of three bytes on cable 0, without tempo markers or ids, on the same grid and
  // in the same stable order. Program changes and channel pressure carry a third byte 0; a meta event becomes FD,
  // its type, 00 (type 8) and a user or system-exclusive event F0 00 00 (type 9), each only when its first data byte
  // and its length are not 0; events of other classes are left out with the line "stop". Every record with status 0
  // is logged as "INVALID EVENT (status): ", every record not of type 8 as "INVALID EVENT (type): ".
  std::vector<AUMIDIEvent> nodesToAUMIDIEvent(double samplerate);

  // Prints the platform's listing of the sequence.
  virtual void diagnostics();

  // Writes the platform sequence (not the tree) as a standard MIDI file, replacing an existing file.
  virtual void saveToFile(const std::filesystem::path& url);
  // Loads a standard MIDI file into a new platform sequence with loadFlag. The tree, channel assignments, programs
  // and length keep describing the previous content until the tree is rebuilt. A file that cannot be loaded is logged
  // and leaves an empty sixteen-track sequence and tree.
  virtual void loadFromFile(const std::filesystem::path& url);

  // Also true for a null track.
  bool isTrackEmpty(const MusicTrack& track);
  // Diagnostic texts handed in are dropped.
  void diagnose(const std::string& text);
  void nodesToPhraseEvents();

  // Appends the payload bytes in use of a raw data or user event record (length, at most 1024) to event's data.
  static void copyRawDataPayload(const MIDIRawDataEx& record, UserEvent& event);
  // The same for a meta event record (dataLength, at most 1024).
  static void copyMetaEventPayload(const MIDIMetaEventEx& record, UserEvent& event);

 protected:
  MIDISequence() = default;
  // The initialiser's work after construction: create(1), through the dispatch table.
  virtual void init();

  std::vector<std::shared_ptr<ChannelAssignment>> channelAssignments;
  std::array<std::uint8_t, 16> patches{};

 private:
  // Logs prefix, the status in decimal and text as one line.
  static void logStatus(const char* prefix, OSStatus status, const char* text);
  // Removes every event of a track, logging as clear(track) does.
  void emptyTrack(const MusicTrack& track);
  // True while sequenceNodeToMusicSequence writes its track nodes.
  bool writingWholeTree_ = false;
};
