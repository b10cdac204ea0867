// Reading a loaded platform sequence back into sections, patterns and the song tree.

#include <cstddef>
#include <cstring>
#include <span>

#include "platform/foundation/Log.h"
#include "platform/musicsequence/MusicEventIterator.h"
#include "shared/midievents/MIDIEvents.h"
#include "shared/musicsequence/SequenceErrorText.h"
#include "shared/patterns/MIDIPatternSequence.h"
#include "shared/patterns/PatternFileRecords.h"

namespace {

void print(const std::string& line) { foundation::writeLogLine(line); }

void printNumbered(int number, const char* severity, OSStatus status, const char* text) {
  print(std::to_string(number) + severity + std::to_string(status) + text);
}

constexpr std::uint32_t kLengthHeadBytes = offsetof(MIDIRawData, data);
constexpr std::uint32_t kMetaHeadBytes = offsetof(MIDIMetaEvent, data);
constexpr std::uint32_t kMetaLengthOffset = offsetof(MIDIMetaEvent, dataLength);

std::uint32_t readUInt32(const std::uint8_t* at) {
  std::uint32_t value = 0;
  std::memcpy(&value, at, sizeof value);
  return value;
}

// The bytes a record of its type must hold to be read: its head and the payload it declares.
std::uint64_t neededBytes(MusicEventType type, const std::uint8_t* bytes, std::uint32_t size) {
  switch (type) {
    case kMusicEventType_ExtendedTempo: return sizeof(ExtendedTempoEvent);
    case kMusicEventType_MIDINoteMessage: return sizeof(MIDINoteMessage);
    case kMusicEventType_MIDIChannelMessage: return sizeof(MIDIChannelMessage);
    case kMusicEventType_User:
    case kMusicEventType_MIDIRawData:
      return size < kLengthHeadBytes ? kLengthHeadBytes : std::uint64_t{kLengthHeadBytes} + readUInt32(bytes);
    case kMusicEventType_Meta:
      return size < kMetaHeadBytes ? kMetaHeadBytes
                                   : std::uint64_t{kMetaHeadBytes} + readUInt32(bytes + kMetaLengthOffset);
    default: return 0;
  }
}

template <class Node>
using Found = void (SequenceFoundDelegate::*)(const std::shared_ptr<Node>&);

template <class Node>
std::shared_ptr<Node> withPayload(const std::uint8_t* bytes) {
  auto node = std::make_shared<Node>();
  const std::uint32_t length = readUInt32(bytes);
  node->setData(length, std::span(bytes + kLengthHeadBytes, length));
  return node;
}

template <class Node>
std::shared_ptr<Node> metaNode(std::uint8_t type, std::span<const std::uint8_t> payload) {
  auto node = std::make_shared<Node>();
  node->setData(static_cast<std::uint32_t>(payload.size()), payload);
  node->type = type;
  return node;
}

// The payload of a meta record whose size was checked.
std::span<const std::uint8_t> metaPayload(const std::uint8_t* bytes) {
  return {bytes + kMetaHeadBytes, readUInt32(bytes + kMetaLengthOffset)};
}

}  // namespace

void MIDIPatternSequence::musicSequenceToSequenceNode() {
  if (!musicSequence) return print("Fehler: Die Sequenz ist undefiniert.");
  currentPattern.reset();
  currentChannelIndex = 0;
  currentPatternIndex = 0;
  sequenceLength = 0.0;
  // The tree keeps its tracks; what an earlier file put into them goes.
  if (sequenceNode) sequenceNode->clear();
  print("\nDiagnose:");
  print("--------------------------------- Pattern Sequence ------------------------------------START");

  MusicTrack tempoTrack;
  if (OSStatus status = MusicSequenceGetTempoTrack(musicSequence, &tempoTrack); status != noErr) {
    printNumbered(188, " Fehler: ", status, ". \nDie Tempo Spur konnte nicht ermittelt werden.");
    sequenceErrorText(status);
  } else {
    getTrackLength(tempoTrack);
    getTrackTimeResolution(tempoTrack);
    iterateEvents(tempoTrack, -1);
  }

  std::uint32_t count = 0;
  if (OSStatus status = MusicSequenceGetTrackCount(musicSequence, &count); status != noErr) {
    printNumbered(206, " Fehler: ", status, ". \nDie Anzahl der Spuren konnte nicht ermittelt werden.");
    sequenceErrorText(status);
    count = 0;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    if (i >= maxTracks) {
      print("Warnung: Die Anzahl der Spuren in der Sequenz ist größer als das Maximum: " + std::to_string(maxTracks) +
            ".");
      break;
    }
    MusicTrack track;
    if (OSStatus status = MusicSequenceGetIndTrack(musicSequence, i, &track); status != noErr) {
      printNumbered(225, " Fehler: ", status, ". \nFür den Index konnte keine Spur ermittelt werden.");
      sequenceErrorText(status);
      break;
    }
    getTrackLength(track);
    getTrackLoopInfo(track);
    getTrackOffsetTime(track);
    getTrackMuteStaus(track);
    getTrackSoloStatus(track);
    getTrackAutomatedParameters(track);
    iterateEvents(track, static_cast<int>(i));
  }
  print("\nDiagnose:");
  print("--------------------------------- Pattern Sequence -------------------------------------STOP\n");
}

PatternNode* MIDIPatternSequence::targetPattern() {
  if (currentPatternIndex >= patternfile::kMostSections || currentChannelIndex >= patternfile::kSlots) return nullptr;
  while (sections.size() <= currentPatternIndex) createSection();
  PatternNode* pattern = sections[currentPatternIndex]->patterns[currentChannelIndex].get();
  pattern->channel = currentChannelIndex;
  pattern->offset = currentPatternIndex * patternfile::kBeatsPerSection;
  return pattern;
}

bool MIDIPatternSequence::storeInPattern(const std::shared_ptr<EventNode>& node) {
  PatternNode* pattern = targetPattern();
  currentPattern = pattern ? pattern->shared_from_this() : nullptr;
  if (!pattern) return false;
  pattern->addEvent(node);
  return true;
}

void MIDIPatternSequence::targetTrackTags(const MusicTrack& track) {
  MusicEventIterator iterator;
  if (NewMusicEventIterator(track, &iterator) != noErr) return;
  bool hasEvent = false;
  while (MusicEventIteratorHasCurrentEvent(iterator, &hasEvent) == noErr && hasEvent) {
    MusicTimeStamp time = 0.0;
    MusicEventType type = kMusicEventType_NULL;
    const void* record = nullptr;
    std::uint32_t size = 0;
    if (MusicEventIteratorGetEventInfo(iterator, &time, &type, &record, &size) != noErr || time > 0.0) break;
    const auto* bytes = static_cast<const std::uint8_t*>(record);
    if (type == kMusicEventType_Meta && bytes != nullptr && size >= neededBytes(type, bytes, size)) {
      const std::span<const std::uint8_t> payload = metaPayload(bytes);
      if (bytes[0] == META_SEQUENCENUMBER && payload.size() >= 2) {
        currentPatternIndex = metaNode<MetaSequenceNumberEvent>(bytes[0], payload)->getSequenceNumber();
      } else if (bytes[0] == META_CHANNELPREFIX && !payload.empty()) {
        currentChannelIndex = payload[0];
      }
    }
    if (MusicEventIteratorNextEvent(iterator) != noErr) break;
  }
  DisposeMusicEventIterator(iterator);
}

// Every track's events go to patterns, so the track's number plays no part.
void MIDIPatternSequence::iterateEvents(const MusicTrack& track, int) {
  if (track.sequence.expired()) return print("Fehler: Die Spur ist undefiniert.");
  MusicEventIterator iterator;
  if (OSStatus status = NewMusicEventIterator(track, &iterator); status != noErr) {
    return printNumbered(266, " Fehler: ", status, ". \nEs konnte kein Iterator erzeugt werden.");
  }
  targetTrackTags(track);
  bool hasEvent = false;
  if (OSStatus status = MusicEventIteratorHasCurrentEvent(iterator, &hasEvent); status != noErr) {
    DisposeMusicEventIterator(iterator);
    return printNumbered(275, " Fehler: ", status,
                         ". \nEs konnte nicht festgestellt werden, ob sich Daten in der Spur befinden.");
  }

  SequenceFoundDelegate* observer = delegate.get();
  MusicTimeStamp time = 0.0;
  // A node for the reader's target pattern; a refused target keeps nothing.
  auto toPattern = [&]<class Node>(const std::shared_ptr<Node>& node, Found<Node> found) {
    node->position = time;
    if (storeInPattern(node) && observer != nullptr) (observer->*found)(node);
  };

  // Tags of a section or slot that a pattern file cannot hold are refused once, where they are met.
  auto retarget = [&](const std::shared_ptr<MetaEvent>& tag) {
    if (const auto number = eventCast<MetaSequenceNumberEvent>(tag)) {
      currentPatternIndex = number->getSequenceNumber();
      if (currentPatternIndex >= patternfile::kMostSections) {
        print("Fehler: Die Sektion " + std::to_string(currentPatternIndex) + " ist größer als das Maximum " +
              std::to_string(patternfile::kMostSections - 1) + ". Ihre Events werden übersprungen.");
      }
    } else {
      currentChannelIndex = eventCast<MetaChannelPrefixEvent>(tag)->getPrefix();
      if (currentChannelIndex >= patternfile::kSlots) {
        print("Fehler: Der Index ist größer als die Anzahl der verfügbaren Kanäle.");
      }
    }
  };

  auto readOwnRecord = [&](const std::shared_ptr<MetaSequencerSpecificEvent>& node, auto& readMeta) {
    const std::span<const std::uint8_t> data = node->data;
    switch (patternfile::recordKind(data)) {
      case patternfile::RecordKind::Properties:
        if (PatternNode* pattern = targetPattern()) patternfile::applyProperties(data, *pattern);
        return;
      case patternfile::RecordKind::User: {
        auto user = std::make_shared<UserEvent>();
        const auto bytes = patternfile::userBytes(data);
        user->setData(static_cast<std::uint32_t>(bytes.size()), bytes);
        return toPattern(user, &SequenceFoundDelegate::foundUserEvent);
      }
      case patternfile::RecordKind::TempoMapMeta:
        return readMeta(patternfile::tempoMapType(data), patternfile::tempoMapBytes(data), readMeta);
      case patternfile::RecordKind::None:
        return toPattern(node, &SequenceFoundDelegate::foundMetaSequencerSpecificEvent);
    }
  };

  auto readMeta = [&](std::uint8_t type, std::span<const std::uint8_t> payload, auto& self) -> void {
    switch (type) {
      case META_SEQUENCENUMBER: {
        auto node = metaNode<MetaSequenceNumberEvent>(type, payload);
        retarget(node);
        return toPattern(node, &SequenceFoundDelegate::foundMetaSequenceNumberEvent);
      }
      case META_TEXT:
        return toPattern(metaNode<MetaTextEvent>(type, payload), &SequenceFoundDelegate::foundMetaTextEvent);
      case META_COPYRIGHT:
        return toPattern(metaNode<MetaCopyrightEvent>(type, payload), &SequenceFoundDelegate::foundMetaCopyrightEvent);
      case META_TRACKNAME:
        return toPattern(metaNode<MetaTrackNameEvent>(type, payload), &SequenceFoundDelegate::foundMetaTrackNameEvent);
      case META_INSTRUMENTNAME:
        return toPattern(metaNode<MetaInstrumentNameEvent>(type, payload),
                         &SequenceFoundDelegate::foundMetaInstrumentNameEvent);
      case META_LYRICS:
        return toPattern(metaNode<MetaLyricsEvent>(type, payload), &SequenceFoundDelegate::foundMetaLyricsEvent);
      case META_MARKER:
        return toPattern(metaNode<MetaMarkerEvent>(type, payload), &SequenceFoundDelegate::foundMetaMarkerEvent);
      case META_CUEPOINT:
        return toPattern(metaNode<MetaCuePointEvent>(type, payload), &SequenceFoundDelegate::foundMetaCuePointEvent);
      case META_PROGRAMNAME:
        return toPattern(metaNode<MetaProgramNameEvent>(type, payload),
                         &SequenceFoundDelegate::foundMetaProgramNameEvent);
      case META_DEVICENAME:
        return toPattern(metaNode<MetaDeviceNameEvent>(type, payload),
                         &SequenceFoundDelegate::foundMetaDeviceNameEvent);
      case META_CHANNELPREFIX: {
        auto node = metaNode<MetaChannelPrefixEvent>(type, payload);
        retarget(node);
        return toPattern(node, &SequenceFoundDelegate::foundMetaChannelPrefixEvent);
      }
      case META_MIDIPORT:
        return toPattern(metaNode<MetaMidiPortEvent>(type, payload), &SequenceFoundDelegate::foundMetaMidiPortEvent);
      case META_EOT:
        return toPattern(metaNode<MetaEndOfTrackEvent>(type, payload),
                         &SequenceFoundDelegate::foundMetaEndOfTrackEvent);
      case META_SETTEMPO:
        return toPattern(metaNode<MetaSetTempoEvent>(type, payload), &SequenceFoundDelegate::foundMetaSetTempoEvent);
      case META_SMTPOFFSET:
        return toPattern(metaNode<MetaSMTPOffsetEvent>(type, payload),
                         &SequenceFoundDelegate::foundMetaSMTPOffsetEvent);
      case META_TIMESIGNATURE:
        return toPattern(metaNode<MetaTimeSignatureEvent>(type, payload),
                         &SequenceFoundDelegate::foundMetaTimeSignatureEvent);
      case META_KEYSIGNATURE:
        return toPattern(metaNode<MetaKeySignatureEvent>(type, payload),
                         &SequenceFoundDelegate::foundMetaKeySignatureEvent);
      case META_SPECIFIC:
        return readOwnRecord(metaNode<MetaSequencerSpecificEvent>(type, payload), self);
      default: {
        auto node = metaNode<MetaUnknownEvent>(type, payload);
        node->type = 255;
        toPattern(node, &SequenceFoundDelegate::foundMetaUnknownEvent);
        return print("Warnung: Unbekanntes Meta Event erhalten.");
      }
    }
  };

  auto readChannelMessage = [&](const std::uint8_t* bytes) {
    MIDIChannelMessage message{};
    std::memcpy(&message, bytes, sizeof message);
    const auto channel = static_cast<std::uint8_t>(message.status & 0x0F);
    auto channelNode = [&]<class Node>() {
      auto node = std::make_shared<Node>();
      node->channel = channel;
      return node;
    };
    switch (message.status & 0xF0) {
      case 0xA0: {
        auto node = channelNode.template operator()<MidiPolyPressureEvent>();
        node->number = message.data1;
        node->value = message.data2;
        return toPattern(node, &SequenceFoundDelegate::foundPolyPressureEvent);
      }
      case 0xB0: {
        auto node = channelNode.template operator()<MidiControllerEvent>();
        node->number = message.data1;
        node->value = message.data2;
        return toPattern(node, &SequenceFoundDelegate::foundControllerEvent);
      }
      case 0xC0: {
        auto node = channelNode.template operator()<MidiProgramChangeEvent>();
        node->value = message.data1;
        return toPattern(node, &SequenceFoundDelegate::foundProgramChangeEvent);
      }
      case 0xD0: {
        auto node = channelNode.template operator()<MidiChannelPressureEvent>();
        node->value = message.data1;
        return toPattern(node, &SequenceFoundDelegate::foundChannelPressureEvent);
      }
      case 0xE0: {
        auto node = channelNode.template operator()<MidiPitchBendEvent>();
        node->bend.msb = message.data1;
        node->bend.lsb = message.data2;
        return toPattern(node, &SequenceFoundDelegate::foundPitchBendEvent);
      }
      case 0xF0: return;
      default: return toPattern(std::make_shared<UnknownEvent>(), &SequenceFoundDelegate::foundUnknownEvent);
    }
  };

  auto read = [&](MusicEventType type, const std::uint8_t* bytes) {
    switch (type) {
      case kMusicEventType_ExtendedNote: return;
      case kMusicEventType_ExtendedTempo: {
        ExtendedTempoEvent tempo{};
        std::memcpy(&tempo, bytes, sizeof tempo);
        if (!sequenceNode) return;
        auto node = std::make_shared<TempoEvent>();
        node->value = tempo.bpm;
        node->position = time;
        sequenceNode->tempoTrack->addEvent(node);
        if (observer != nullptr) observer->foundTempoEvent(node);
        return;
      }
      case kMusicEventType_User:
        return toPattern(withPayload<UserEvent>(bytes), &SequenceFoundDelegate::foundUserEvent);
      case kMusicEventType_Meta:
        if (bytes == nullptr) return print("Fehler: Es wurde ein NULL Pointer als Event übergeben!");
        return readMeta(bytes[0], metaPayload(bytes), readMeta);
      case kMusicEventType_MIDINoteMessage: {
        MIDINoteMessage message{};
        std::memcpy(&message, bytes, sizeof message);
        auto node = std::make_shared<MidiNoteEvent>();
        node->channel = message.channel;
        node->number = message.note;
        node->velocity = message.velocity;
        node->releaseVelocity = message.releaseVelocity;
        node->duration = message.duration;
        return toPattern(node, &SequenceFoundDelegate::foundNoteEvent);
      }
      case kMusicEventType_MIDIChannelMessage: return readChannelMessage(bytes);
      case kMusicEventType_MIDIRawData:
        if (bytes == nullptr) return print("MIDISequence::Error: Sysex event pointer is nil.");
        return toPattern(withPayload<SystemExclusiveEvent>(bytes),
                         &SequenceFoundDelegate::foundSysExEvent);
      case kMusicEventType_Parameter:
        return toPattern(std::make_shared<AParameterEvent>(), &SequenceFoundDelegate::foundParameterEvent);
      case kMusicEventType_AUPreset:
        return toPattern(std::make_shared<AAUPresetEvent>(), &SequenceFoundDelegate::foundAUPresetEvent);
      default: return toPattern(std::make_shared<UnknownEvent>(), &SequenceFoundDelegate::foundUnknownEvent);
    }
  };

  bool hasNext = hasEvent;
  while (hasNext) {
    MusicEventType type = kMusicEventType_NULL;
    const void* record = nullptr;
    std::uint32_t size = 0;
    OSStatus status = MusicEventIteratorGetEventInfo(iterator, &time, &type, &record, &size);
    const auto* bytes = static_cast<const std::uint8_t*>(record);
    // A record that does not hold what it declares is not read; the event is passed over.
    if (status == noErr && bytes != nullptr && size < neededBytes(type, bytes, size)) status = kAudio_ParamError;
    const bool needsRecord = type == kMusicEventType_ExtendedTempo || type == kMusicEventType_User ||
                             type == kMusicEventType_MIDINoteMessage || type == kMusicEventType_MIDIChannelMessage;
    if (status != noErr) {
      printNumbered(296, " Fehler: ", status, ". \nZum Event konnten keine Informationen abgerufen werden.");
    } else if (bytes == nullptr && needsRecord) {
      print("Fehler: Es wurde ein NULL Pointer als Event übergeben!");
    } else {
      ensureSongLength(time);
      read(type, bytes);
    }
    hasNext = false;
    if (status = MusicEventIteratorHasNextEvent(iterator, &hasNext); status != noErr) {
      printNumbered(1150, " Warnung: ", status, ". \nDas Folge Event konnte nicht ermittelt werden.");
      sequenceErrorText(status);
      hasNext = false;
    }
    if (status = MusicEventIteratorNextEvent(iterator); status != noErr) {
      printNumbered(1157, " Warnung: ", status, ". \nDas Folge Event konnte nicht abgerufen werden (Ende der Spur?).");
      sequenceErrorText(status);
      hasNext = false;
    }
  }
  DisposeMusicEventIterator(iterator);
}
