#pragma once
// Events, properties and edits of one track. Threads and handle rules: see MusicSequence.h.
//
// Events stay ordered by time stamp; an event added at a time that already holds events goes after them. Time stamps
// are beats, finite and not negative (kAudio_ParamError otherwise). The tempo track takes only extended tempo and meta
// events; a music track takes every kind but extended tempo (kAudioToolboxErr_InvalidEventType otherwise).

#include <cstdint>

#include "platform/musicsequence/MusicSequence.h"

// A note with its duration in beats (finite, not negative).
OSStatus MusicTrackNewMIDINoteEvent(const MusicTrack& track, MusicTimeStamp time, const MIDINoteMessage* message);
OSStatus MusicTrackNewMIDIChannelEvent(const MusicTrack& track, MusicTimeStamp time,
                                       const MIDIChannelMessage* message);
// Raw MIDI bytes, such as a system-exclusive message with its leading F0.
OSStatus MusicTrackNewMIDIRawDataEvent(const MusicTrack& track, MusicTimeStamp time, const MIDIRawData* rawData);
OSStatus MusicTrackNewMetaEvent(const MusicTrack& track, MusicTimeStamp time, const MIDIMetaEvent* metaEvent);
// Application data; kept in the sequence, never written to a file.
OSStatus MusicTrackNewUserEvent(const MusicTrack& track, MusicTimeStamp time, const MusicEventUserData* userData);
// A tempo change on the tempo track; bpm finite and above 0.
OSStatus MusicTrackNewExtendedTempoEvent(const MusicTrack& track, MusicTimeStamp time, double bpm);

// Reads a property into `outData`; `*ioLength` gives the buffer size in bytes (at least the property's size) and
// receives the property's size. Property sizes: loop info 16, offset 8, mute 1, solo 1, automated parameters 4,
// length 8, time resolution 2 (tempo track only). Defaults: loop {0.0, 0}, offset 0.0, mute and solo false,
// automated 0, time resolution 480 or the loaded file's division. The length is the end of the last event (start
// plus duration for notes) or the length set, whichever is later.
OSStatus MusicTrackGetProperty(const MusicTrack& track, MusicSequenceTrackProperty propertyId, void* outData,
                               std::uint32_t* ioLength);
// Writes a property from `data` of `length` bytes (at least the property's size). Loop duration, loop count and
// length must not be negative; the time resolution (tempo track only) must be above 0.
OSStatus MusicTrackSetProperty(const MusicTrack& track, MusicSequenceTrackProperty propertyId, const void* data,
                               std::uint32_t length);

// The edits take a half-open range of beats, start <= time < end, with start below end (kAudio_ParamError
// otherwise).
// Removes the events in the range.
OSStatus MusicTrackClear(const MusicTrack& track, MusicTimeStamp startTime, MusicTimeStamp endTime);
// Removes the events in the range and moves every later event back by the range's length.
OSStatus MusicTrackCut(const MusicTrack& track, MusicTimeStamp startTime, MusicTimeStamp endTime);
// Moves the events in the range by `moveTime` beats (negative moves earlier; nothing moves before beat 0).
OSStatus MusicTrackMoveEvents(const MusicTrack& track, MusicTimeStamp startTime, MusicTimeStamp endTime,
                              MusicTimeStamp moveTime);
// Copies the events in the source range into the destination, the range's start landing at `destInsertTime`;
// the destination's own events stay where they are. Source and destination may be the same track; both must be
// music tracks or both the tempo track (kAudioToolboxErr_IllegalTrackDestination otherwise).
OSStatus MusicTrackMerge(const MusicTrack& sourceTrack, MusicTimeStamp sourceStartTime, MusicTimeStamp sourceEndTime,
                         const MusicTrack& destTrack, MusicTimeStamp destInsertTime);
// As MusicTrackMerge, but first moves the destination's events at or after `destInsertTime` later by the range's
// length, so that the copy is inserted.
OSStatus MusicTrackCopyInsert(const MusicTrack& sourceTrack, MusicTimeStamp sourceStartTime,
                              MusicTimeStamp sourceEndTime, const MusicTrack& destTrack,
                              MusicTimeStamp destInsertTime);
