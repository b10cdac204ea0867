#pragma once
// Value types, records and constants of the music-sequence interface.
//
// Times are beats (quarter notes) as doubles. Records have the platform's byte layout in the machine's byte order;
// the variable-length records (raw data, user data, meta) carry their payload right after the fixed head, past the
// declared one-byte array.

#include <cstddef>
#include <cstdint>

#include "platform/foundation/Status.h"

using foundation::kAudio_FileNotFoundError;  // the file does not exist
using foundation::kAudio_ParamError;         // null, stale or foreign handle, or an argument out of range
using foundation::noErr;
using foundation::OSStatus;
using MusicTimeStamp = double;
using MusicEventType = std::uint32_t;
using MusicSequenceLoadFlags = std::uint32_t;
using MusicSequenceFileFlags = std::uint32_t;
using MusicSequenceFileTypeID = std::uint32_t;
using MusicSequenceTrackProperty = std::uint32_t;

constexpr OSStatus ioErr = -36;      // the file could not be read or written
constexpr OSStatus dupFNErr = -48;   // the file exists and may not be replaced
constexpr OSStatus kAUGraphErr_CannotDoInCurrentContext = -10863;
constexpr OSStatus kAudioToolboxErr_TrackIndexError = -10859;
constexpr OSStatus kAudioToolboxErr_TrackNotFound = -10858;
constexpr OSStatus kAudioToolboxErr_EndOfTrack = -10857;
constexpr OSStatus kAudioToolboxErr_StartOfTrack = -10856;
constexpr OSStatus kAudioToolboxErr_IllegalTrackDestination = -10855;
constexpr OSStatus kAudioToolboxErr_NoSequence = -10854;
constexpr OSStatus kAudioToolboxErr_InvalidEventType = -10853;
constexpr OSStatus kAudioToolboxErr_InvalidPlayerState = -10852;
constexpr OSStatus kAudioToolboxErr_InvalidSequenceType = -10846;
constexpr OSStatus kAudioFileUnsupportedFileTypeError = 0x7479703F;  // 'typ?': not a MIDI file type
constexpr OSStatus kAudioFileInvalidFileError = 0x6474613F;          // 'dta?': malformed or oversized file

enum : MusicEventType {
  kMusicEventType_NULL = 0,
  kMusicEventType_ExtendedNote = 1,
  kMusicEventType_ExtendedControl = 2,
  kMusicEventType_ExtendedTempo = 3,
  kMusicEventType_User = 4,
  kMusicEventType_Meta = 5,
  kMusicEventType_MIDINoteMessage = 6,
  kMusicEventType_MIDIChannelMessage = 7,
  kMusicEventType_MIDIRawData = 8,
  kMusicEventType_Parameter = 9,
  kMusicEventType_AUPreset = 10,
};

enum : MusicSequenceTrackProperty {
  kSequenceTrackProperty_LoopInfo = 0,             // MusicTrackLoopInfo
  kSequenceTrackProperty_OffsetTime = 1,           // MusicTimeStamp
  kSequenceTrackProperty_MuteStatus = 2,           // bool (1 byte)
  kSequenceTrackProperty_SoloStatus = 3,           // bool (1 byte)
  kSequenceTrackProperty_AutomatedParameters = 4,  // std::uint32_t
  kSequenceTrackProperty_TrackLength = 5,          // MusicTimeStamp
  kSequenceTrackProperty_TimeResolution = 6,       // std::int16_t, tempo track only
};

enum : MusicSequenceLoadFlags {
  kMusicSequenceLoadSMF_PreserveTracks = 0,    // one track per file track
  kMusicSequenceLoadSMF_ChannelsToTracks = 1,  // one track per MIDI channel, then one for sysex and meta events
};

enum : MusicSequenceFileFlags {
  kMusicSequenceFileFlags_Default = 0,    // an existing file is an error
  kMusicSequenceFileFlags_EraseFile = 1,  // an existing file is replaced
};

constexpr MusicSequenceFileTypeID kMusicSequenceFile_AnyType = 0;
constexpr MusicSequenceFileTypeID kMusicSequenceFile_MIDIType = 0x6D696469;  // 'midi'

struct MIDINoteMessage {
  std::uint8_t channel;
  std::uint8_t note;
  std::uint8_t velocity;
  std::uint8_t releaseVelocity;
  float duration;  // beats
};

struct MIDIChannelMessage {
  std::uint8_t status;
  std::uint8_t data1;
  std::uint8_t data2;
  std::uint8_t reserved;
};

struct MIDIRawData {
  std::uint32_t length;
  std::uint8_t data[1];  // `length` bytes
};

struct MusicEventUserData {
  std::uint32_t length;
  std::uint8_t data[1];  // `length` bytes
};

struct MIDIMetaEvent {
  std::uint8_t metaEventType;
  std::uint8_t unused1;
  std::uint8_t unused2;
  std::uint8_t unused3;
  std::uint32_t dataLength;
  std::uint8_t data[1];  // `dataLength` bytes
};

struct ExtendedTempoEvent {
  double bpm;
};

struct MusicTrackLoopInfo {
  MusicTimeStamp loopDuration;
  std::int32_t numberOfLoops;
};

static_assert(sizeof(MIDINoteMessage) == 8);
static_assert(sizeof(MIDIChannelMessage) == 4);
static_assert(offsetof(MIDIRawData, data) == 4);
static_assert(offsetof(MusicEventUserData, data) == 4);
static_assert(offsetof(MIDIMetaEvent, dataLength) == 4 && offsetof(MIDIMetaEvent, data) == 8);
static_assert(sizeof(MusicTrackLoopInfo) == 16);
