// Events made from plain values: each joins the song tree and is written at once into the music sequence.

#include <sstream>
#include <string>
#include <vector>

#include "shared/globals/Print.h"
#include "shared/musicsequence/MIDISequence.h"
#include "shared/musicsequence/MIDISequenceWriteRecords.h"

namespace {

// A new event of class Event at position on channel, filled by fill and appended to the tree track of its channel;
// null, with a log line, when the sequence has no tree.
template <class Event, class Fill>
std::shared_ptr<Event> addToTree(MIDISequence& sequence, double position, std::uint8_t channel, Fill&& fill) {
  const std::shared_ptr<SequenceNode> tree = sequence.sequenceNode;
  const std::shared_ptr<TrackNode> track = tree ? tree->getTrack(channel) : nullptr;
  if (!track) {
    safeprint("MIDISequence::Fehler: Die Sequenz ist undefiniert.");
    return nullptr;
  }
  auto event = std::make_shared<Event>();
  event->channel = channel;
  event->position = position;
  fill(*event);
  track->addEvent(event);
  return event;
}

template <class Event>
std::shared_ptr<Event> addToTree(MIDISequence& sequence, double position, std::uint8_t channel = 0) {
  return addToTree<Event>(sequence, position, channel, [](Event&) {});
}

template <class Event>
std::shared_ptr<Event> addTextToTree(MIDISequence& sequence, double position, const std::string& text) {
  return addToTree<Event>(sequence, position, 0, [&](Event& event) { event.setText(text); });
}

// "[255, 81, 3]": the bytes in decimal.
std::string decimalList(const std::vector<std::uint8_t>& bytes) {
  std::ostringstream text;
  text << '[';
  for (std::size_t i = 0; i < bytes.size(); ++i) text << (i ? ", " : "") << static_cast<int>(bytes[i]);
  text << ']';
  return text.str();
}

}  // namespace

void MIDISequence::createNoteEvent(double position, std::uint8_t channel, std::uint8_t note, std::uint8_t velocity,
                                   std::uint8_t releaseVelocity, float duration) {
  auto event = addToTree<MidiNoteEvent>(*this, position, channel, [&](MidiNoteEvent& e) {
    e.duration = duration;
    e.number = note;
    e.velocity = velocity;
    e.releaseVelocity = releaseVelocity;
  });
  if (event) createNoteMessage(event);
}

void MIDISequence::createPolyphonicPressureEvent(double position, std::uint8_t channel, std::uint8_t number,
                                                 std::uint8_t value) {
  auto event = addToTree<MidiPolyPressureEvent>(*this, position, channel, [&](MidiPolyPressureEvent& e) {
    e.number = number;
    e.value = value;
  });
  if (event) createPolyphonicPressureMessage(event);
}

void MIDISequence::createControllerEvent(double position, std::uint8_t channel, std::uint8_t number,
                                         std::uint8_t value) {
  auto event = addToTree<MidiControllerEvent>(*this, position, channel, [&](MidiControllerEvent& e) {
    e.number = number;
    e.value = value;
  });
  if (event) createControllerMessage(event);
}

void MIDISequence::createProgramChangeEvent(double position, std::uint8_t channel, std::uint8_t value) {
  auto event = addToTree<MidiProgramChangeEvent>(*this, position, channel,
                                                 [&](MidiProgramChangeEvent& e) { e.value = value; });
  if (event) createProgramChangeMessage(event);
}

void MIDISequence::createAfterTouchEvent(double position, std::uint8_t channel, std::uint8_t value) {
  auto event = addToTree<MidiChannelPressureEvent>(*this, position, channel,
                                                   [&](MidiChannelPressureEvent& e) { e.value = value; });
  if (event) createAfterTouchMessage(event);
}

void MIDISequence::createPitchWheelEvent(double position, std::uint8_t channel, std::uint8_t msb, std::uint8_t lsb) {
  auto event = addToTree<MidiPitchBendEvent>(*this, position, channel, [&](MidiPitchBendEvent& e) {
    e.bend.msb = msb;
    e.bend.lsb = lsb;
  });
  if (event) createPitchWheelMessage(event);
}

void MIDISequence::createSysExEvent(double position, std::uint16_t length, const std::vector<std::uint8_t>& data) {
  auto event = addToTree<SystemExclusiveEvent>(*this, position, 0, [&](SystemExclusiveEvent& e) {
    e.data = data;
    e.length = length;
  });
  if (event) createSysExMessage(event);
}

void MIDISequence::createSystemTimeCodeEvent(double position, std::uint8_t value) {
  auto event = addToTree<SystemTimeCodeEvent>(*this, position, 0, [&](SystemTimeCodeEvent& e) { e.value = value; });
  if (event) createSystemTimeCodeMessage(event);
}

void MIDISequence::createSystemSongPositionPointerEvent(double position, std::uint8_t msb, std::uint8_t lsb) {
  auto event = addToTree<SystemSongPositionPointerEvent>(*this, position, 0, [&](SystemSongPositionPointerEvent& e) {
    e.msb = msb;
    e.lsb = lsb;
  });
  if (event) createSystemSongPositionPointerMessage(event);
}

void MIDISequence::createSystemSongSelectEvent(double position, std::uint8_t value) {
  auto event =
      addToTree<SystemSongSelectEvent>(*this, position, 0, [&](SystemSongSelectEvent& e) { e.value = value; });
  if (event) createSystemSongSelectMessage(event);
}

void MIDISequence::createSystemTuneRequestEvent(double position) {
  if (auto event = addToTree<SystemTuneRequestEvent>(*this, position)) createSystemTuneRequestMessage(event);
}

void MIDISequence::createSystemTimingClockEvent(double position) {
  if (auto event = addToTree<SystemClockEvent>(*this, position)) createSystemTimingClockMessage(event);
}

void MIDISequence::createSystemStartEvent(double position) {
  if (auto event = addToTree<SystemStartEvent>(*this, position)) createSystemStartMessage(event);
}

void MIDISequence::createSystemContinueEvent(double position) {
  if (auto event = addToTree<SystemContinueEvent>(*this, position)) createSystemContinueMessage(event);
}

void MIDISequence::createSystemStopEvent(double position) {
  if (auto event = addToTree<SystemStopEvent>(*this, position)) createSystemStopMessage(event);
}

void MIDISequence::createSystemActiveSensingEvent(double position) {
  if (auto event = addToTree<SystemActiveSensingEvent>(*this, position)) createSystemActiveSensingMessage(event);
}

void MIDISequence::createSystemResetEvent(double position) {
  if (auto event = addToTree<SystemResetEvent>(*this, position)) createSystemResetMessage(event);
}

void MIDISequence::createMetaEvent(double position, std::int64_t length, const std::vector<std::uint8_t>& data,
                                   std::uint8_t type) {
  if (length < 4) return;
  const MusicTrack track = getTrack(0);
  auto event = std::make_shared<MetaEvent>();
  event->type = type;
  event->position = position;
  event->data = data;
  event->length = static_cast<std::uint32_t>(length);
  safeprint("META: length: " + std::to_string(length) + ", data : " + decimalList(data));
  const std::shared_ptr<TrackNode> treeTrack = sequenceNode ? sequenceNode->getTrack(event->channel) : nullptr;
  if (!treeTrack) {
    safeprint("MIDISequence::Fehler: Die Sequenz ist undefiniert.");
    return;
  }
  treeTrack->addEvent(event);
  writePlainMetaEvent(*this, track, event);
}

void MIDISequence::createMetaSequenceNumberEvent(double position, std::uint16_t value) {
  auto event = addToTree<MetaSequenceNumberEvent>(*this, position, 0,
                                                  [&](MetaSequenceNumberEvent& e) { e.setSequenceNumber(value); });
  if (event) createMetaSequenceNumberMessage(event);
}

void MIDISequence::createMetaTextEvent(double position, const std::string& text) {
  if (auto event = addTextToTree<MetaTextEvent>(*this, position, text)) createMetaTextMessage(event);
}

void MIDISequence::createMetaCopyrightEvent(double position, const std::string& text) {
  if (auto event = addTextToTree<MetaCopyrightEvent>(*this, position, text)) createMetaCopyrightMessage(event);
}

void MIDISequence::createMetaTrackNameEvent(double position, const std::string& text) {
  if (auto event = addTextToTree<MetaTrackNameEvent>(*this, position, text)) createMetaTrackNameMessage(event);
}

void MIDISequence::createMetaInstrumentNameEvent(double position, const std::string& text) {
  if (auto event = addTextToTree<MetaInstrumentNameEvent>(*this, position, text)) {
    createMetaInstrumentNameMessage(event);
  }
}

void MIDISequence::createMetaLyricsEvent(double position, const std::string& text) {
  if (auto event = addTextToTree<MetaLyricsEvent>(*this, position, text)) createMetaLyricsMessage(event);
}

void MIDISequence::createMetaMarkerEvent(double position, const std::string& text) {
  if (auto event = addTextToTree<MetaMarkerEvent>(*this, position, text)) createMetaMarkerMessage(event);
}

void MIDISequence::createMetaCuePointEvent(double position, const std::string& text) {
  if (auto event = addTextToTree<MetaCuePointEvent>(*this, position, text)) createMetaCuePointMessage(event);
}

void MIDISequence::createMetaProgramNameEvent(double position, const std::string& text) {
  if (auto event = addTextToTree<MetaProgramNameEvent>(*this, position, text)) createMetaProgramNameMessage(event);
}

void MIDISequence::createMetaDeviceNameEvent(double position, const std::string& text) {
  if (auto event = addTextToTree<MetaDeviceNameEvent>(*this, position, text)) createMetaDeviceNameMessage(event);
}

void MIDISequence::createMetaChannelPrefixEvent(double position, std::uint8_t prefix) {
  auto event =
      addToTree<MetaChannelPrefixEvent>(*this, position, 0, [&](MetaChannelPrefixEvent& e) { e.setPrefix(prefix); });
  if (event) createMetaChannelPrefixMessage(event);
}

void MIDISequence::createMetaMidiPortEvent(double position, std::uint8_t port) {
  auto event = addToTree<MetaMidiPortEvent>(*this, position, 0, [&](MetaMidiPortEvent& e) { e.setPort(port); });
  if (event) createMetaMidiPortMessage(event);
}

void MIDISequence::createMetaEndOfTrackEvent(double position) {
  if (auto event = addToTree<MetaEndOfTrackEvent>(*this, position)) createMetaEndOfTrackMessage(event);
}

void MIDISequence::createMetaSetTempoEvent(double position, std::uint8_t value1, std::uint8_t value2,
                                           std::uint8_t value3) {
  auto event = addToTree<MetaSetTempoEvent>(*this, position, 0,
                                            [&](MetaSetTempoEvent& e) { e.setTempo(value1, value2, value3); });
  if (event) createMetaSetTempoMessage(event);
}

void MIDISequence::createMetaSMTPOffsetEvent(double position, std::uint8_t hours, std::uint8_t minutes,
                                             std::uint8_t seconds, std::uint8_t frames, std::uint8_t fract) {
  auto event = addToTree<MetaSMTPOffsetEvent>(*this, position, 0, [&](MetaSMTPOffsetEvent& e) {
    e.setOffset(hours, minutes, seconds, frames, fract);
  });
  if (event) createMetaSMTPOffsetMessage(event);
}

void MIDISequence::createMetaTimeSignatureEvent(double position, std::uint8_t numerator, std::uint8_t denumerator,
                                                std::uint8_t _8th, std::uint8_t _32nd) {
  auto event = addToTree<MetaTimeSignatureEvent>(*this, position, 0, [&](MetaTimeSignatureEvent& e) {
    e.setSignature(numerator, denumerator, _8th, _32nd);
  });
  if (event) createMetaTimeSignatureMessage(event);
}

void MIDISequence::createMetaKeySignatureEvent(double position, std::uint8_t sf, std::uint8_t mi) {
  auto event =
      addToTree<MetaKeySignatureEvent>(*this, position, 0, [&](MetaKeySignatureEvent& e) { e.setSignature(sf, mi); });
  if (event) createMetaKeySignatureMessage(event);
}

void MIDISequence::createMetaSequencerSpecificEvent(double position, std::uint32_t length,
                                                    const std::vector<std::uint8_t>& data) {
  auto event = addToTree<MetaSequencerSpecificEvent>(*this, position, 0,
                                                     [&](MetaSequencerSpecificEvent& e) { e.setData(length, data); });
  if (event) createMetaSequencerSpecificMessage(event);
}

void MIDISequence::createUserEvent(double position) {
  if (position > sequenceLength) sequenceLength = position;
}

void MIDISequence::createExtraEvent(double position) { MIDISequence::createUserEvent(position); }
