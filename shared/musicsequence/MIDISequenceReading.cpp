#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <span>

#include "platform/musicsequence/MusicEventIterator.h"
#include "shared/globals/Print.h"
#include "shared/musicsequence/MIDISequence.h"
#include "shared/musicsequence/SequenceErrorText.h"

namespace {

constexpr const char* kNullRecord = "MIDISequence::Fehler: Es wurde ein NULL Pointer als Event übergeben!";
constexpr std::uint8_t kHighestChannel = 15;

// The bytes before the payload of the variable-length records, and where a meta record declares its payload length
// (raw and user data declare it in their first bytes).
constexpr std::uint32_t kLengthHeadBytes = offsetof(MIDIRawData, data);
constexpr std::uint32_t kMetaHeadBytes = offsetof(MIDIMetaEvent, data);
constexpr std::uint32_t kMetaLengthOffset = offsetof(MIDIMetaEvent, dataLength);

struct EventRecord {
  MusicTimeStamp time = 0.0;
  MusicEventType type = kMusicEventType_NULL;
  const std::uint8_t* bytes = nullptr;
  std::uint32_t size = 0;
};

std::uint32_t readUInt32(const std::uint8_t* at) {
  std::uint32_t value = 0;
  std::memcpy(&value, at, sizeof value);
  return value;
}

// True for the event types whose record becomes part of a node.
bool readsRecord(MusicEventType type) {
  return type >= kMusicEventType_ExtendedTempo && type <= kMusicEventType_MIDIRawData;
}

// The bytes a record (not null) of its type must hold: its fixed head and, for the variable-length kinds, the payload
// it declares. 0 for the types whose record is not read.
std::uint64_t neededRecordBytes(const EventRecord& event) {
  switch (event.type) {
    case kMusicEventType_ExtendedTempo:
      return sizeof(ExtendedTempoEvent);
    case kMusicEventType_MIDINoteMessage:
      return sizeof(MIDINoteMessage);
    case kMusicEventType_MIDIChannelMessage:
      return sizeof(MIDIChannelMessage);
    case kMusicEventType_User:
    case kMusicEventType_MIDIRawData:
      return event.size < kLengthHeadBytes ? kLengthHeadBytes
                                           : std::uint64_t{kLengthHeadBytes} + readUInt32(event.bytes);
    case kMusicEventType_Meta:
      return event.size < kMetaHeadBytes ? kMetaHeadBytes
                                         : std::uint64_t{kMetaHeadBytes} + readUInt32(event.bytes + kMetaLengthOffset);
    default:
      return 0;
  }
}

// Turns the events of one platform track into nodes of the tree and reports each to the delegate.
class TrackReader {
 public:
  TrackReader(SequenceNode& tree, SequenceFoundDelegate* delegate, std::array<std::uint8_t, 16>& patches,
              MIDISequence::ChannelAssignment& assignment, int index)
      : tree_(tree), delegate_(delegate), patches_(patches), assignment_(assignment), index_(index) {}

  void read(const EventRecord& event) {
    time_ = event.time;
    switch (event.type) {
      case kMusicEventType_ExtendedNote:
        return;
      case kMusicEventType_ExtendedTempo: {
        ExtendedTempoEvent tempo{};
        std::memcpy(&tempo, event.bytes, sizeof tempo);
        auto node = std::make_shared<TempoEvent>();
        node->value = tempo.bpm;
        return place(tree_.tempoTrack, node, &SequenceFoundDelegate::foundTempoEvent);
      }
      case kMusicEventType_User:
        return place(firstTrack(), withPayload<UserEvent>(event, kLengthHeadBytes, 0),
                     &SequenceFoundDelegate::foundUserEvent);
      case kMusicEventType_Meta:
        return readMeta(event);
      case kMusicEventType_MIDINoteMessage:
        return readNote(event);
      case kMusicEventType_MIDIChannelMessage:
        return readChannelMessage(event);
      case kMusicEventType_MIDIRawData:
        return place(firstTrack(), withPayload<SystemExclusiveEvent>(event, kLengthHeadBytes, 0),
                     &SequenceFoundDelegate::foundSysExEvent);
      case kMusicEventType_Parameter:
        return place(firstTrack(), std::make_shared<AParameterEvent>(), &SequenceFoundDelegate::foundParameterEvent);
      case kMusicEventType_AUPreset:
        return place(firstTrack(), std::make_shared<AAUPresetEvent>(), &SequenceFoundDelegate::foundAUPresetEvent);
      default:
        return place(firstTrack(), std::make_shared<UnknownEvent>(), &SequenceFoundDelegate::foundUnknownEvent);
    }
  }

 private:
  template <class Node>
  using Found = void (SequenceFoundDelegate::*)(const std::shared_ptr<Node>&);

  std::shared_ptr<TrackNode> firstTrack() const { return tree_.getTrack(0); }
  std::shared_ptr<TrackNode> channelTrack(std::uint8_t channel) const { return tree_.getTrack(channel); }
  // The track of the platform track being read; the tempo track has none in the tree's music tracks, so its
  // track-bound events go to track 0.
  std::shared_ptr<TrackNode> ownTrack() const {
    return index_ < 0 ? firstTrack() : tree_.getTrack(static_cast<std::uint16_t>(std::min(index_, 0xFFFF)));
  }

  template <class Node>
  void place(const std::shared_ptr<TrackNode>& track, const std::shared_ptr<Node>& node, Found<Node> found) {
    node->position = time_;
    if (track) track->addEvent(node);
    if (delegate_ != nullptr) (delegate_->*found)(node);
  }

  // A node of a payload-carrying class with the record's payload, taken whole. lengthOffset is where the record
  // declares the payload length.
  template <class Node>
  static std::shared_ptr<Node> withPayload(const EventRecord& event, std::uint32_t payloadOffset,
                                           std::uint32_t lengthOffset) {
    auto node = std::make_shared<Node>();
    const std::uint32_t length = readUInt32(event.bytes + lengthOffset);
    node->setData(length, std::span(event.bytes + payloadOffset, length));
    return node;
  }

  template <class Node>
  void meta(const EventRecord& event, const std::shared_ptr<TrackNode>& track, Found<Node> found) {
    place(track, withPayload<Node>(event, kMetaHeadBytes, kMetaLengthOffset), found);
  }

  void readMeta(const EventRecord& event) {
    switch (event.bytes[0]) {
      case META_SEQUENCENUMBER:
        return meta<MetaSequenceNumberEvent>(event, firstTrack(), &SequenceFoundDelegate::foundMetaSequenceNumberEvent);
      case META_TEXT:
        return meta<MetaTextEvent>(event, firstTrack(), &SequenceFoundDelegate::foundMetaTextEvent);
      case META_COPYRIGHT:
        return meta<MetaCopyrightEvent>(event, firstTrack(), &SequenceFoundDelegate::foundMetaCopyrightEvent);
      case META_TRACKNAME:
        return meta<MetaTrackNameEvent>(event, ownTrack(), &SequenceFoundDelegate::foundMetaTrackNameEvent);
      case META_INSTRUMENTNAME:
        return meta<MetaInstrumentNameEvent>(event, ownTrack(), &SequenceFoundDelegate::foundMetaInstrumentNameEvent);
      case META_LYRICS:
        return meta<MetaLyricsEvent>(event, firstTrack(), &SequenceFoundDelegate::foundMetaLyricsEvent);
      case META_MARKER:
        return meta<MetaMarkerEvent>(event, firstTrack(), &SequenceFoundDelegate::foundMetaMarkerEvent);
      case META_CUEPOINT:
        return meta<MetaCuePointEvent>(event, firstTrack(), &SequenceFoundDelegate::foundMetaCuePointEvent);
      case META_PROGRAMNAME:
        return meta<MetaProgramNameEvent>(event, ownTrack(), &SequenceFoundDelegate::foundMetaProgramNameEvent);
      case META_DEVICENAME:
        return meta<MetaDeviceNameEvent>(event, ownTrack(), &SequenceFoundDelegate::foundMetaDeviceNameEvent);
      case META_CHANNELPREFIX:
        return meta<MetaChannelPrefixEvent>(event, ownTrack(), &SequenceFoundDelegate::foundMetaChannelPrefixEvent);
      case META_MIDIPORT:
        return meta<MetaMidiPortEvent>(event, firstTrack(), &SequenceFoundDelegate::foundMetaMidiPortEvent);
      case META_EOT:
        return meta<MetaEndOfTrackEvent>(event, ownTrack(), &SequenceFoundDelegate::foundMetaEndOfTrackEvent);
      case META_SETTEMPO:
        return meta<MetaSetTempoEvent>(event, firstTrack(), &SequenceFoundDelegate::foundMetaSetTempoEvent);
      case META_SMTPOFFSET:
        return meta<MetaSMTPOffsetEvent>(event, firstTrack(), &SequenceFoundDelegate::foundMetaSMTPOffsetEvent);
      case META_TIMESIGNATURE:
        return meta<MetaTimeSignatureEvent>(event, firstTrack(), &SequenceFoundDelegate::foundMetaTimeSignatureEvent);
      case META_KEYSIGNATURE:
        return meta<MetaKeySignatureEvent>(event, firstTrack(), &SequenceFoundDelegate::foundMetaKeySignatureEvent);
      case META_SPECIFIC:
        return meta<MetaSequencerSpecificEvent>(event, firstTrack(),
                                                &SequenceFoundDelegate::foundMetaSequencerSpecificEvent);
      default:
        meta<MetaUnknownEvent>(event, firstTrack(), &SequenceFoundDelegate::foundMetaUnknownEvent);
        safeprint("MIDISequence::Warnung: Unbekanntes Meta Event erhalten.");
        return;
    }
  }

  void readNote(const EventRecord& event) {
    MIDINoteMessage message{};
    std::memcpy(&message, event.bytes, sizeof message);
    auto node = std::make_shared<MidiNoteEvent>();
    node->channel = message.channel;
    node->number = message.note;
    node->velocity = message.velocity;
    node->releaseVelocity = message.releaseVelocity;
    node->duration = message.duration;
    place(channelTrack(node->channel), node, &SequenceFoundDelegate::foundNoteEvent);
    assignment_.channel = node->channel;
  }

  template <class Node>
  std::shared_ptr<Node> channelNode(std::uint8_t channel) {
    auto node = std::make_shared<Node>();
    node->channel = channel;
    return node;
  }

  void readChannelMessage(const EventRecord& event) {
    MIDIChannelMessage message{};
    std::memcpy(&message, event.bytes, sizeof message);
    const auto channel = static_cast<std::uint8_t>(message.status & kHighestChannel);
    switch (message.status & 0xF0) {
      case 0xA0: {
        auto node = channelNode<MidiPolyPressureEvent>(channel);
        node->number = message.data1;
        node->value = message.data2;
        place(channelTrack(channel), node, &SequenceFoundDelegate::foundPolyPressureEvent);
        break;
      }
      case 0xB0: {
        auto node = channelNode<MidiControllerEvent>(channel);
        node->number = message.data1;
        node->value = message.data2;
        place(channelTrack(channel), node, &SequenceFoundDelegate::foundControllerEvent);
        break;
      }
      case 0xC0: {
        auto node = channelNode<MidiProgramChangeEvent>(channel);
        node->value = message.data1;
        patches_[channel] = message.data1;
        place(channelTrack(channel), node, &SequenceFoundDelegate::foundProgramChangeEvent);
        break;
      }
      case 0xD0: {
        auto node = channelNode<MidiChannelPressureEvent>(channel);
        node->value = message.data1;
        place(channelTrack(channel), node, &SequenceFoundDelegate::foundChannelPressureEvent);
        break;
      }
      case 0xE0: {
        auto node = channelNode<MidiPitchBendEvent>(channel);
        node->bend.msb = message.data1;
        node->bend.lsb = message.data2;
        place(channelTrack(channel), node, &SequenceFoundDelegate::foundPitchBendEvent);
        break;
      }
      case 0xF0:
        return;
      default:
        place(firstTrack(), std::make_shared<UnknownEvent>(), &SequenceFoundDelegate::foundUnknownEvent);
        return;
    }
    assignment_.channel = channel;
  }

  SequenceNode& tree_;
  SequenceFoundDelegate* delegate_;
  std::array<std::uint8_t, 16>& patches_;
  MIDISequence::ChannelAssignment& assignment_;
  int index_;
  MusicTimeStamp time_ = 0.0;
};

}  // namespace

void MIDISequence::musicSequenceToSequenceNode() {
  if (!musicSequence) {
    safeprint("MIDISequence::Fehler: Die Sequenz ist undefiniert.");
    return;
  }
  channelAssignments.clear();
  patches.fill(0);
  if (sequenceNode) sequenceNode->clear();
  sequenceLength = 0.0;

  MusicTrack tempoTrack;
  if (OSStatus status = MusicSequenceGetTempoTrack(musicSequence, &tempoTrack); status != noErr) {
    logStatus("MIDISequence::Fehler: ", status, ". \nDie Tempo Spur konnte nicht ermittelt werden.");
    sequenceErrorText(status);
  } else {
    getTrackLength(tempoTrack);
    getTrackLoopInfo(tempoTrack);
    getTrackTimeResolution(tempoTrack);
    iterateEvents(tempoTrack, -1);
  }

  std::uint32_t count = 0;
  if (OSStatus status = MusicSequenceGetTrackCount(musicSequence, &count); status != noErr) {
    logStatus("MIDISequence::Fehler: ", status, ". \nDie Anzahl der Spuren konnte nicht ermittelt werden.");
    sequenceErrorText(status);
    return;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    if (i >= maxTracks) {
      safeprint("MIDISequence::Warnung: Die Anzahl der Spuren (" + std::to_string(count) +
                ") in der Sequenz ist größer als das Maximum: " + std::to_string(maxTracks) + ".");
    }
    MusicTrack track;
    if (OSStatus status = MusicSequenceGetIndTrack(musicSequence, i, &track); status != noErr) {
      logStatus("MIDISequence::Fehler: ", status, ". \nFür den Index konnte keine Spur ermittelt werden.");
      sequenceErrorText(status);
      return;
    }
    getTrackLength(track);
    getTrackLoopInfo(track);
    getTrackOffsetTime(track);
    getTrackMuteStaus(track);
    getTrackSoloStatus(track);
    getTrackAutomatedParameters(track);
    iterateEvents(track, static_cast<int>(i));
  }
}

void MIDISequence::iterateEvents(const MusicTrack& track, int index) {
  auto assignment = std::make_shared<ChannelAssignment>();
  assignment->index = index;
  if (index >= 0 && index <= kHighestChannel) channelAssignments.push_back(assignment);
  if (track.sequence.expired()) {
    safeprint("Fehler: Die Spur ist undefiniert.");
    return;
  }
  if (!sequenceNode) {
    safeprint("MIDISequence::Fehler: Der Song Baum ist undefiniert.");
    return;
  }
  MusicEventIterator iterator;
  if (OSStatus status = NewMusicEventIterator(track, &iterator); status != noErr) {
    logStatus("MIDISequence::Fehler: ", status, ". \nEs konnte kein Iterator erzeugt werden.");
    return;
  }
  bool hasEvent = false;
  if (OSStatus status = MusicEventIteratorHasCurrentEvent(iterator, &hasEvent); status != noErr) {
    logStatus("MIDISequence::Fehler: ", status,
              ". \nEs konnte nicht festgestellt werden, ob sich Daten in der Spur befinden.");
  }
  TrackReader reader(*sequenceNode, delegate.get(), patches, *assignment, index);
  bool hasNext = hasEvent;
  while (hasNext) {
    EventRecord event;
    const void* record = nullptr;
    OSStatus status = MusicEventIteratorGetEventInfo(iterator, &event.time, &event.type, &record, &event.size);
    event.bytes = static_cast<const std::uint8_t*>(record);
    if (status == noErr && event.bytes != nullptr && event.size < neededRecordBytes(event)) {
      status = kAudio_ParamError;  // the record does not hold what it declares: nothing may be read from it
    }
    if (status != noErr) {
      logStatus("MIDISequence::Fehler: ", status, ". \nZum Event konnten keine Informationen abgerufen werden.");
    } else {
      if (event.time > sequenceLength) sequenceLength = event.time;
      if (event.bytes == nullptr && readsRecord(event.type)) {
        safeprint(event.type == kMusicEventType_MIDIRawData ? "MIDISequence::Error: Sysex event pointer is nil."
                                                            : kNullRecord);
      } else {
        reader.read(event);
      }
    }
    hasNext = false;
    if (status = MusicEventIteratorHasNextEvent(iterator, &hasNext); status != noErr) {
      logStatus("MIDISequence::Warnung: ", status, ". \nDas Folge Event konnte nicht ermittelt werden.");
      sequenceErrorText(status);
    }
    if (status = MusicEventIteratorNextEvent(iterator); status != noErr) {
      logStatus("MIDISequence::Warnung: ", status,
                ". \nDas Folge Event konnte nicht abgerufen werden (Ende der Spur?).");
      sequenceErrorText(status);
    }
  }
  DisposeMusicEventIterator(iterator);
}

void MIDISequence::copyRawDataPayload(const MIDIRawDataEx& record, UserEvent& event) {
  const auto payload = record.payload();
  event.setData(static_cast<std::uint32_t>(payload.size()), payload);
}

void MIDISequence::copyMetaEventPayload(const MIDIMetaEventEx& record, UserEvent& event) {
  const auto payload = record.payload();
  event.setData(static_cast<std::uint32_t>(payload.size()), payload);
}
