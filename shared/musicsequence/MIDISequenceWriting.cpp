// The writers of single event objects into the music tracks.

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "platform/musicsequence/MusicTrack.h"
#include "shared/globals/Print.h"
#include "shared/musicsequence/MIDISequence.h"
#include "shared/musicsequence/MIDISequenceWriteRecords.h"
#include "shared/musicsequence/SequenceErrorText.h"
#include "shared/musicsequence/WriteReport.h"

namespace {

constexpr const char* kError = "MIDISequence::Fehler: ";

// The failure line of a writer: prefix, the status, text and, for the channel writers, the channel and
// " erzeugt werden.".
struct WriteFailure {
  const char* prefix;
  const char* text;
  bool namesChannel;
};

void logWriteFailure(const WriteFailure& failure, OSStatus status, std::uint8_t channel) {
  std::string line = failure.prefix + std::to_string(status) + failure.text;
  if (failure.namesChannel) line += std::to_string(channel) + " erzeugt werden.";
  safeprint(line);
  sequenceErrorText(status);
}

WriteFailure channelFailure(const char* text) { return {kError, text, true}; }
WriteFailure systemFailure(const char* text) { return {kError, text, false}; }

void logMissingEvent() { safeprint("MIDISequence::Fehler: Das Event ist undefiniert."); }

// Channel messages carry channels 0 to 15, system messages channel 0: anything else makes no status byte.
bool hasStatusByte(const EventNode& event) {
  return event.statusMask < 0xF0 ? event.channel <= 0x0F : event.channel == 0;
}

template <class Event>
void finishWrite(MIDISequence& sequence, OSStatus status, const std::shared_ptr<Event>& event,
                 const WriteFailure& failure, FoundRequirement<Event> requirement, bool raisesLength) {
  if (status != noErr) {
    logWriteFailure(failure, status, event->channel);
    return;
  }
  queueWriteReport(sequence, event, requirement);
  if (raisesLength && event->position > sequence.sequenceLength) sequence.sequenceLength = event->position;
}

template <class Event>
void writeChannelRecord(MIDISequence& sequence, const std::shared_ptr<Event>& event, std::uint8_t data1,
                        std::uint8_t data2, const WriteFailure& failure, FoundRequirement<Event> requirement) {
  const MusicTrack track = sequence.getTrack(event->channel);
  OSStatus status = kAudio_ParamError;
  if (hasStatusByte(*event)) {
    const MIDIChannelMessage message{event->getStausByte(), data1, data2, 0};
    status = MusicTrackNewMIDIChannelEvent(track, event->position, &message);
  }
  finishWrite(sequence, status, event, failure, requirement, true);
}

template <class Event>
void writeMetaRecord(MIDISequence& sequence, const std::shared_ptr<Event>& event, const char* failureText,
                     FoundRequirement<Event> requirement) {
  if (!event) return logMissingEvent();
  const MusicTrack track = sequence.getTrack(event->channel);
  const VariableRecord record = VariableRecord::meta(event->type, event->data);
  const OSStatus status = MusicTrackNewMetaEvent(track, event->position, record.asMeta());
  finishWrite(sequence, status, event, systemFailure(failureText), requirement, false);
}

}  // namespace

VariableRecord::VariableRecord(std::size_t headBytes, std::span<const std::uint8_t> payload)
    : words_((headBytes + payload.size() + sizeof(std::uint32_t) - 1) / sizeof(std::uint32_t), 0) {
  if (!payload.empty()) std::memcpy(bytes() + headBytes, payload.data(), payload.size());
}

VariableRecord VariableRecord::rawData(std::span<const std::uint8_t> data, std::uint32_t length) {
  const std::span<const std::uint8_t> kept = data.first(std::min<std::size_t>(length, data.size()));
  VariableRecord record(offsetof(MIDIRawData, data), kept);
  const auto count = static_cast<std::uint32_t>(kept.size());
  std::memcpy(record.bytes() + offsetof(MIDIRawData, length), &count, sizeof count);
  return record;
}

VariableRecord VariableRecord::meta(std::uint8_t type, std::span<const std::uint8_t> payload) {
  VariableRecord record(offsetof(MIDIMetaEvent, data), payload);
  const auto count = static_cast<std::uint32_t>(payload.size());
  record.bytes()[offsetof(MIDIMetaEvent, metaEventType)] = type;
  std::memcpy(record.bytes() + offsetof(MIDIMetaEvent, dataLength), &count, sizeof count);
  return record;
}

void writePlainMetaEvent(MIDISequence& sequence, const MusicTrack& track, const std::shared_ptr<MetaEvent>& event) {
  if (event->data.empty()) {
    safeprint("MIDISequence::Warnung: Es befinden sich keine Einträge im übergebenen Daten Objekt.");
    return;
  }
  constexpr std::size_t kHeaderBytes = 3;
  const std::size_t end = std::min<std::size_t>(event->length, event->data.size());
  const std::span<const std::uint8_t> payload =
      end > kHeaderBytes ? std::span(event->data).subspan(kHeaderBytes, end - kHeaderBytes)
                         : std::span<const std::uint8_t>();
  const VariableRecord record = VariableRecord::meta(event->type, payload);
  const OSStatus status = MusicTrackNewMetaEvent(track, event->position, record.asMeta());
  finishWrite(sequence, status, event, systemFailure(". \nEs konnte kein META Event erzeugt werden."),
              &SequenceFoundDelegate::foundMetaEvent, true);
}

void MIDISequence::createNoteMessage(const std::shared_ptr<MidiNoteEvent>& event) {
  if (!event) return logMissingEvent();
  const MusicTrack track = getTrack(event->channel);
  OSStatus status = kAudio_ParamError;
  if (hasStatusByte(*event)) {
    const MIDINoteMessage note{event->channel, event->number, event->velocity, event->releaseVelocity,
                               event->duration};
    status = MusicTrackNewMIDINoteEvent(track, event->position, &note);
  }
  finishWrite(*this, status, event, channelFailure(". \nEs konnte keine neue Note für Kanal "),
              &SequenceFoundDelegate::foundNoteEvent, true);
}

void MIDISequence::createPolyphonicPressureMessage(const std::shared_ptr<MidiPolyPressureEvent>& event) {
  if (!event) return logMissingEvent();
  writeChannelRecord(*this, event, event->number, event->value,
                     channelFailure(". \nEs konnte kein POLY PRESSURE Event für Kanal "),
                     &SequenceFoundDelegate::foundPolyPressureEvent);
}

void MIDISequence::createControllerMessage(const std::shared_ptr<MidiControllerEvent>& event) {
  if (!event) return logMissingEvent();
  writeChannelRecord(*this, event, event->number, event->value,
                     channelFailure(". \nEs konnte kein CONTROLLER Eventfür Kanal "),
                     &SequenceFoundDelegate::foundControllerEvent);
}

void MIDISequence::createProgramChangeMessage(const std::shared_ptr<MidiProgramChangeEvent>& event) {
  if (!event) return logMissingEvent();
  writeChannelRecord(*this, event, event->value, 0,
                     channelFailure(". \nEs konnte kein PROGRAM CHANGE Event für Kanal "),
                     &SequenceFoundDelegate::foundProgramChangeEvent);
}

void MIDISequence::createAfterTouchMessage(const std::shared_ptr<MidiChannelPressureEvent>& event) {
  if (!event) return logMissingEvent();
  writeChannelRecord(*this, event, event->value, 0,
                     channelFailure(". \nEs konnte kein CHANNEL PRESSURE Event für Kanal "),
                     &SequenceFoundDelegate::foundChannelPressureEvent);
}

void MIDISequence::createPitchWheelMessage(const std::shared_ptr<MidiPitchBendEvent>& event) {
  if (!event) return logMissingEvent();
  writeChannelRecord(*this, event, event->bend.msb, event->bend.lsb,
                     channelFailure(". \nEs konnte kein PITCHBEND Event für Kanal "),
                     &SequenceFoundDelegate::foundPitchBendEvent);
}

void MIDISequence::createSysExMessage(const std::shared_ptr<SystemExclusiveEvent>& event) {
  if (!event) return logMissingEvent();
  const MusicTrack track = getTrack(0);
  if (event->data.empty()) {
    safeprint("MIDISequence::Warnung: Es befinden sich keine Einträge im übergebenen Daten Objekt.");
    return;
  }
  const VariableRecord record = VariableRecord::rawData(event->data, event->length);
  const OSStatus status = MusicTrackNewMIDIRawDataEvent(track, event->position, record.asRawData());
  finishWrite(*this, status, event, systemFailure(". \nEs konnte kein SYSEX Event erzeugt werden."),
              &SequenceFoundDelegate::foundSysExEvent, true);
}

void MIDISequence::createSystemTimeCodeMessage(const std::shared_ptr<SystemTimeCodeEvent>& event) {
  if (!event) return logMissingEvent();
  writeChannelRecord(*this, event, event->value, 0, systemFailure(". \nEs konnte kein TIME CODE Event erzeugt werden."),
                     &SequenceFoundDelegate::foundSystemTimeCodeEvent);
}

void MIDISequence::createSystemSongPositionPointerMessage(
    const std::shared_ptr<SystemSongPositionPointerEvent>& event) {
  if (!event) return logMissingEvent();
  writeChannelRecord(*this, event, event->msb, event->lsb,
                     systemFailure(". \nEs konnte kein SONG POSITION POINTER Event erzeugt werden."),
                     &SequenceFoundDelegate::foundSystemSongPositionPointerEvent);
}

void MIDISequence::createSystemSongSelectMessage(const std::shared_ptr<SystemSongSelectEvent>& event) {
  if (!event) return logMissingEvent();
  writeChannelRecord(*this, event, event->value, 0,
                     systemFailure(". \nEs konnte kein SONG SELECT Event erzeugt werden."),
                     &SequenceFoundDelegate::foundSystemSongSelectEvent);
}

void MIDISequence::createSystemTuneRequestMessage(const std::shared_ptr<SystemTuneRequestEvent>& event) {
  if (!event) return logMissingEvent();
  writeChannelRecord(*this, event, 0, 0, systemFailure(". \nEs konnte kein TUNE REQUEST Event erzeugt werden."),
                     &SequenceFoundDelegate::foundSystemTuneRequestEvent);
}

void MIDISequence::createSystemTimingClockMessage(const std::shared_ptr<SystemClockEvent>& event) {
  if (!event) return logMissingEvent();
  writeChannelRecord(*this, event, 0, 0, systemFailure(". \nEs konnte kein CLOCK Event erzeugt werden."),
                     &SequenceFoundDelegate::foundSystemClockEvent);
}

void MIDISequence::createSystemStartMessage(const std::shared_ptr<SystemStartEvent>& event) {
  if (!event) return logMissingEvent();
  writeChannelRecord(*this, event, 0, 0, {"1662 Fehler: ", ". \nEs konnte kein START Event erzeugt werden.", false},
                     &SequenceFoundDelegate::foundSystemStartEvent);
}

void MIDISequence::createSystemContinueMessage(const std::shared_ptr<SystemContinueEvent>& event) {
  if (!event) return logMissingEvent();
  writeChannelRecord(*this, event, 0, 0, systemFailure(". \nEs konnte kein CONTINUE Event erzeugt werden."),
                     &SequenceFoundDelegate::foundSystemContinueEvent);
}

void MIDISequence::createSystemStopMessage(const std::shared_ptr<SystemStopEvent>& event) {
  if (!event) return logMissingEvent();
  writeChannelRecord(*this, event, 0, 0, systemFailure(". \nEs konnte kein STOP Event erzeugt werden."),
                     &SequenceFoundDelegate::foundSystemStopEvent);
}

void MIDISequence::createSystemActiveSensingMessage(const std::shared_ptr<SystemActiveSensingEvent>& event) {
  if (!event) return logMissingEvent();
  writeChannelRecord(*this, event, 0, 0, systemFailure(". \nEs konnte kein ACTIVE SENSING Event erzeugt werden."),
                     &SequenceFoundDelegate::foundSystemActiveSensingEvent);
}

void MIDISequence::createSystemResetMessage(const std::shared_ptr<SystemResetEvent>& event) {
  if (!event) return logMissingEvent();
  writeChannelRecord(*this, event, 0, 0, systemFailure(". \nEs konnte kein SYSTEM RESET Event erzeugt werden."),
                     &SequenceFoundDelegate::foundSystemResetEvent);
}

void MIDISequence::createMetaSequenceNumberMessage(const std::shared_ptr<MetaSequenceNumberEvent>& event) {
  writeMetaRecord(*this, event, ". \nEs konnte kein META TRACKNUMBER Event erzeugt werden.",
                  &SequenceFoundDelegate::foundMetaSequenceNumberEvent);
}

void MIDISequence::createMetaTextMessage(const std::shared_ptr<MetaTextEvent>& event) {
  writeMetaRecord(*this, event, ". \nEs konnte kein META DESCRIPTION Event erzeugt werden.",
                  &SequenceFoundDelegate::foundMetaTextEvent);
}

void MIDISequence::createMetaCopyrightMessage(const std::shared_ptr<MetaCopyrightEvent>& event) {
  writeMetaRecord(*this, event, ". \nEs konnte kein META COPYRIGHT Event erzeugt werden.",
                  &SequenceFoundDelegate::foundMetaCopyrightEvent);
}

void MIDISequence::createMetaTrackNameMessage(const std::shared_ptr<MetaTrackNameEvent>& event) {
  writeMetaRecord(*this, event, ". \nEs konnte kein META TRACKNAME Event erzeugt werden.",
                  &SequenceFoundDelegate::foundMetaTrackNameEvent);
}

void MIDISequence::createMetaInstrumentNameMessage(const std::shared_ptr<MetaInstrumentNameEvent>& event) {
  writeMetaRecord(*this, event, ". \nEs konnte kein META INSTRUMENTNAME Event erzeugt werden.",
                  &SequenceFoundDelegate::foundMetaInstrumentNameEvent);
}

void MIDISequence::createMetaLyricsMessage(const std::shared_ptr<MetaLyricsEvent>& event) {
  writeMetaRecord(*this, event, ". \nEs konnte kein META LYRICS Event erzeugt werden.",
                  &SequenceFoundDelegate::foundMetaLyricsEvent);
}

void MIDISequence::createMetaMarkerMessage(const std::shared_ptr<MetaMarkerEvent>& event) {
  writeMetaRecord(*this, event, ". \nEs konnte kein META TEXTMARKER Event erzeugt werden.",
                  &SequenceFoundDelegate::foundMetaMarkerEvent);
}

void MIDISequence::createMetaCuePointMessage(const std::shared_ptr<MetaCuePointEvent>& event) {
  writeMetaRecord(*this, event, ". \nEs konnte kein META CUEPOINT Event erzeugt werden.",
                  &SequenceFoundDelegate::foundMetaCuePointEvent);
}

void MIDISequence::createMetaProgramNameMessage(const std::shared_ptr<MetaProgramNameEvent>& event) {
  writeMetaRecord(*this, event, ". \nEs konnte kein META PROGRAMNAME Event erzeugt werden.",
                  &SequenceFoundDelegate::foundMetaProgramNameEvent);
}

void MIDISequence::createMetaDeviceNameMessage(const std::shared_ptr<MetaDeviceNameEvent>& event) {
  writeMetaRecord(*this, event, ". \nEs konnte kein META DEVICENAME Event erzeugt werden.",
                  &SequenceFoundDelegate::foundMetaDeviceNameEvent);
}

void MIDISequence::createMetaChannelPrefixMessage(const std::shared_ptr<MetaChannelPrefixEvent>& event) {
  writeMetaRecord(*this, event, ". \nEs konnte kein META CANNELPREFIX Event erzeugt werden.",
                  &SequenceFoundDelegate::foundMetaChannelPrefixEvent);
}

void MIDISequence::createMetaMidiPortMessage(const std::shared_ptr<MetaMidiPortEvent>& event) {
  writeMetaRecord(*this, event, ". \nEs konnte kein META MIDIPORT Event erzeugt werden.",
                  &SequenceFoundDelegate::foundMetaMidiPortEvent);
}

void MIDISequence::createMetaEndOfTrackMessage(const std::shared_ptr<MetaEndOfTrackEvent>& event) {
  writeMetaRecord(*this, event, ". \nEs konnte kein META ENDOFTRACK Event erzeugt werden.",
                  &SequenceFoundDelegate::foundMetaEndOfTrackEvent);
}

void MIDISequence::createMetaSetTempoMessage(const std::shared_ptr<MetaSetTempoEvent>& event) {
  writeMetaRecord(*this, event, ". \nEs konnte kein META SETTEMPO Event erzeugt werden.",
                  &SequenceFoundDelegate::foundMetaSetTempoEvent);
}

void MIDISequence::createMetaSMTPOffsetMessage(const std::shared_ptr<MetaSMTPOffsetEvent>& event) {
  writeMetaRecord(*this, event, ". \nEs konnte kein META SMTPOFFSET Event erzeugt werden.",
                  &SequenceFoundDelegate::foundMetaSMTPOffsetEvent);
}

void MIDISequence::createMetaTimeSignatureMessage(const std::shared_ptr<MetaTimeSignatureEvent>& event) {
  writeMetaRecord(*this, event, ". \nEs konnte kein META TIMESIGNATURE Event erzeugt werden.",
                  &SequenceFoundDelegate::foundMetaTimeSignatureEvent);
}

void MIDISequence::createMetaKeySignatureMessage(const std::shared_ptr<MetaKeySignatureEvent>& event) {
  writeMetaRecord(*this, event, ". \nEs konnte kein META KEYSIGNATURE Event erzeugt werden.",
                  &SequenceFoundDelegate::foundMetaKeySignatureEvent);
}

void MIDISequence::createMetaSequencerSpecificMessage(const std::shared_ptr<MetaSequencerSpecificEvent>& event) {
  writeMetaRecord(*this, event, ". \nEs konnte kein META SEQUENCERSPECIFIC Event erzeugt werden.",
                  &SequenceFoundDelegate::foundMetaSequencerSpecificEvent);
}
