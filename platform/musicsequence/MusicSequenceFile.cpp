#include "platform/musicsequence/MusicSequenceFile.h"

#include <fstream>
#include <system_error>

#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"
#include "platform/musicsequence/MidiFileReader.h"
#include "platform/musicsequence/MidiFileWriter.h"
#include "platform/musicsequence/SequenceData.h"

namespace {

namespace fs = std::filesystem;
using musicsequence::SequenceData;
using musicsequence::TrackData;

void install(SequenceData& sequence, musicsequence::ParsedSong& song) {
  sequence.removeContent();
  TrackData& tempo = sequence.tempoTrack;
  const std::uint64_t generation = tempo.generation;
  tempo = TrackData{};
  tempo.isTempoTrack = true;
  tempo.generation = generation + 1;
  tempo.events = std::move(song.tempoEvents);
  sequence.timeResolution = song.timeResolution;
  for (auto& events : song.tracks) sequence.addTrack().events = std::move(events);
}

}  // namespace

OSStatus MusicSequenceFileLoadData(const MusicSequence& sequence, std::span<const std::uint8_t> data,
                                   MusicSequenceFileTypeID fileTypeHint, MusicSequenceLoadFlags flags) {
  if (!sequence) return kAudio_ParamError;
  if (fileTypeHint != kMusicSequenceFile_MIDIType && fileTypeHint != kMusicSequenceFile_AnyType) {
    return kAudioFileUnsupportedFileTypeError;
  }
  musicsequence::ParsedSong song;
  if (OSStatus status = musicsequence::readStandardMidiFile(data, flags, song); status != noErr) return status;
  install(*sequence, song);
  return noErr;
}

OSStatus MusicSequenceFileLoad(const MusicSequence& sequence, const fs::path& file,
                               MusicSequenceFileTypeID fileTypeHint, MusicSequenceLoadFlags flags) {
  if (!sequence) return kAudio_ParamError;
  std::error_code error;
  if (!fs::is_regular_file(file, error)) return fs::exists(file, error) ? ioErr : kAudio_FileNotFoundError;
  const std::uintmax_t size = fs::file_size(file, error);
  if (error) return ioErr;
  if (size > musicsequence::kMaxPayloadBytes) return kAudioFileInvalidFileError;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  std::ifstream in(file, std::ios::binary);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) return ioErr;
  return MusicSequenceFileLoadData(sequence, bytes, fileTypeHint, flags);
}

OSStatus MusicSequenceFileCreateData(const MusicSequence& sequence, MusicSequenceFileTypeID fileType,
                                     MusicSequenceFileFlags, std::int16_t resolution,
                                     std::vector<std::uint8_t>* outData) {
  if (!sequence || outData == nullptr) return kAudio_ParamError;
  if (fileType != kMusicSequenceFile_MIDIType) return kAudioFileUnsupportedFileTypeError;
  return musicsequence::writeStandardMidiFile(*sequence, resolution, *outData);
}

OSStatus MusicSequenceFileCreate(const MusicSequence& sequence, const fs::path& file,
                                 MusicSequenceFileTypeID fileType, MusicSequenceFileFlags flags,
                                 std::int16_t resolution) {
  std::vector<std::uint8_t> bytes;
  if (OSStatus status = MusicSequenceFileCreateData(sequence, fileType, flags, resolution, &bytes); status != noErr) {
    return status;
  }
  std::error_code error;
  if (!(flags & kMusicSequenceFileFlags_EraseFile) && fs::exists(file, error)) return dupFNErr;
  std::string description;
  if (!foundation::writeFileAtomically(file, bytes, description)) {
    // The status code alone cannot say why (a full disk, a folder without write permission): the log line does.
    foundation::writeLogLine("MusicSequenceFileCreate: " + description);
    return ioErr;
  }
  return noErr;
}
