#include "platform/musicsequence/MusicSequenceDump.h"

#include <cstdio>
#include <cstring>
#include <sstream>

#include "platform/musicsequence/SequenceData.h"

namespace {

using musicsequence::StoredEvent;
using musicsequence::TrackData;

template <typename Record>
Record head(const StoredEvent& event) {
  Record record;
  std::memcpy(&record, event.record.data(), sizeof record);
  return record;
}

void describeBytes(std::ostream& out, const std::uint8_t* data, std::uint32_t length) {
  char hex[4];
  for (std::uint32_t i = 0; i < length; ++i) {
    std::snprintf(hex, sizeof hex, " %02X", data[i]);
    out << hex;
  }
}

void describeEvent(std::ostream& out, const StoredEvent& event) {
  out << "  " << event.time << ": ";
  const std::uint8_t* record = event.record.data();
  switch (event.type) {
    case kMusicEventType_MIDINoteMessage: {
      const auto note = head<MIDINoteMessage>(event);
      out << "note channel " << int{note.channel} << ", key " << int{note.note} << ", velocity "
          << int{note.velocity} << ", release " << int{note.releaseVelocity} << ", duration " << note.duration;
      break;
    }
    case kMusicEventType_MIDIChannelMessage: {
      const auto message = head<MIDIChannelMessage>(event);
      out << "channel message";
      describeBytes(out, &message.status, 1);
      describeBytes(out, &message.data1, 1);
      describeBytes(out, &message.data2, 1);
      break;
    }
    case kMusicEventType_MIDIRawData:
      out << "raw data, " << head<MIDIRawData>(event).length << " bytes:";
      describeBytes(out, record + offsetof(MIDIRawData, data), head<MIDIRawData>(event).length);
      break;
    case kMusicEventType_User:
      out << "user data, " << head<MusicEventUserData>(event).length << " bytes:";
      describeBytes(out, record + offsetof(MusicEventUserData, data), head<MusicEventUserData>(event).length);
      break;
    case kMusicEventType_Meta: {
      const auto meta = head<MIDIMetaEvent>(event);
      out << "meta type " << int{meta.metaEventType} << ", " << meta.dataLength << " bytes:";
      describeBytes(out, record + offsetof(MIDIMetaEvent, data), meta.dataLength);
      break;
    }
    case kMusicEventType_ExtendedTempo:
      out << "tempo " << head<ExtendedTempoEvent>(event).bpm << " bpm";
      break;
    default:
      out << "event type " << event.type;
      break;
  }
  out << '\n';
}

void describeTrack(std::ostream& out, const TrackData& track) {
  out << track.events.size() << " events, length " << musicsequence::trackLength(track) << ", loop "
      << track.loopInfo.loopDuration << " x " << track.loopInfo.numberOfLoops << ", offset " << track.offsetTime
      << ", mute " << (track.muted ? "on" : "off") << ", solo " << (track.soloed ? "on" : "off") << '\n';
  for (const StoredEvent& event : track.events) describeEvent(out, event);
}

}  // namespace

std::string MusicSequenceDescription(const MusicSequence& sequence) {
  if (!sequence) return "(no sequence)\n";
  std::ostringstream out;
  out << "Sequence: " << sequence->tracks.size() << " tracks, time resolution " << sequence->timeResolution << '\n';
  out << "Tempo track: ";
  describeTrack(out, sequence->tempoTrack);
  for (std::size_t i = 0; i < sequence->tracks.size(); ++i) {
    out << "Track " << i << ": ";
    describeTrack(out, *sequence->tracks[i]);
  }
  return out.str();
}

OSStatus CAShow(const MusicSequence& sequence) {
  if (!sequence) return kAudio_ParamError;
  std::fputs(MusicSequenceDescription(sequence).c_str(), stdout);
  return noErr;
}
