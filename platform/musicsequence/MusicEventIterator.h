#pragma once
// A cursor over the events of one track, in track order. Threads and handle rules: see MusicSequence.h.
//
// A new iterator stands on the first event. An edit of its track by any call other than
// MusicEventIteratorDeleteEvent on this iterator makes it stale: every later call on it returns kAudio_ParamError.

#include <cstdint>
#include <memory>

#include "platform/musicsequence/MusicSequence.h"

namespace musicsequence {
struct IteratorData;
}

using MusicEventIterator = std::shared_ptr<musicsequence::IteratorData>;

OSStatus NewMusicEventIterator(const MusicTrack& track, MusicEventIterator* outIterator);
// Releases the iterator; the handle becomes null.
OSStatus DisposeMusicEventIterator(MusicEventIterator& iterator);

// True while the iterator stands on an event.
OSStatus MusicEventIteratorHasCurrentEvent(const MusicEventIterator& iterator, bool* outHasCurrentEvent);
// True when an event follows the current one.
OSStatus MusicEventIteratorHasNextEvent(const MusicEventIterator& iterator, bool* outHasNextEvent);
// Moves one event on; from the last event it moves past the end. Past the end: kAudioToolboxErr_EndOfTrack.
OSStatus MusicEventIteratorNextEvent(const MusicEventIterator& iterator);
// The current event's time, type, record and record size; any output may be null. The record stays valid until the
// track is next edited. Past the end: kAudioToolboxErr_EndOfTrack.
OSStatus MusicEventIteratorGetEventInfo(const MusicEventIterator& iterator, MusicTimeStamp* outTimeStamp,
                                        MusicEventType* outEventType, const void** outEventData,
                                        std::uint32_t* outEventDataSize);
// Removes the current event; the iterator then stands on the event that followed it.
OSStatus MusicEventIteratorDeleteEvent(const MusicEventIterator& iterator);
