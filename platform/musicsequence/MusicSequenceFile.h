#pragma once
// Standard MIDI files in and out of a sequence. Threads and handle rules: see MusicSequence.h; these calls also do
// file I/O.
//
// Loading replaces the whole content of the sequence (music tracks, tempo track events, time resolution); handles
// to its former music tracks turn stale. A file that fails to load leaves the sequence as it was. The load rules
// (tracks per channel or per file track, tempo map, notes) are described in MidiFileReader.h, the save rules in
// MidiFileWriter.h.

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "platform/musicsequence/MusicSequence.h"

// `fileTypeHint` kMusicSequenceFile_MIDIType or kMusicSequenceFile_AnyType (kAudioFileUnsupportedFileTypeError
// otherwise); `flags` kMusicSequenceLoadSMF_ChannelsToTracks or kMusicSequenceLoadSMF_PreserveTracks.
// kAudio_FileNotFoundError for a missing file, ioErr for an unreadable one, kAudioFileInvalidFileError for a
// malformed or oversized one.
OSStatus MusicSequenceFileLoad(const MusicSequence& sequence, const std::filesystem::path& file,
                               MusicSequenceFileTypeID fileTypeHint, MusicSequenceLoadFlags flags);
OSStatus MusicSequenceFileLoadData(const MusicSequence& sequence, std::span<const std::uint8_t> data,
                                   MusicSequenceFileTypeID fileTypeHint, MusicSequenceLoadFlags flags);

// Writes the sequence as a standard MIDI file of format 1 with `resolution` ticks per beat (0: the tempo track's
// time resolution, 480 unless a file set another). Without kMusicSequenceFileFlags_EraseFile an existing file gives
// dupFNErr. The file is replaced whole or not at all (ioErr, with a log line that names the path and the cause), and
// is on the disk when noErr returns.
OSStatus MusicSequenceFileCreate(const MusicSequence& sequence, const std::filesystem::path& file,
                                 MusicSequenceFileTypeID fileType, MusicSequenceFileFlags flags,
                                 std::int16_t resolution);
// The same file, into memory.
OSStatus MusicSequenceFileCreateData(const MusicSequence& sequence, MusicSequenceFileTypeID fileType,
                                     MusicSequenceFileFlags flags, std::int16_t resolution,
                                     std::vector<std::uint8_t>* outData);
