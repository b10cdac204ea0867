// Meta events of a standard MIDI file: MetaEvent and one class per meta type. Mask 0, so the status byte is the
// channel; type is the meta type; length starts at the type's nominal length and data is empty until a setter runs.
// Payloads are big-endian as in the file; only the sequence number is little-endian, because pattern-sequence files
// store it so.
//
// A typed getter short of data logs "Fehler: Das ..." through safeprint, returns zeros (or an empty text) and leaves
// the event alone.
// Threads: as EventNode.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "shared/midievents/MIDIConstants.h"
#include "shared/midievents/MetaValues.h"
#include "shared/midievents/UserEvents.h"

class MetaEvent : public UserEvent {
 public:
  static constexpr EventKind staticKind = EventKind::MetaEvent;
  MetaEvent() { statusMask = 0x00; }
  EventKind kind() const override { return staticKind; }
  // Adds the four UserEvent lines once more.
  void dumpout() const override;

  // The meta type.
  uint8_t type = 0x7F;

 protected:
  // True when data holds at least count bytes; otherwise logs message and returns false.
  bool hasData(std::size_t count, const char* message) const;
  // data[0], or 0 with the prefix message when there is no data.
  uint8_t firstByte() const;
  void setFirstByte(uint8_t value) { replaceData({value}); }
};

// One class per text meta type (META_TEXT to META_DEVICENAME), all with the same accessors.
template <EventKind Kind, uint8_t MetaType>
class MetaTextKindEvent : public MetaEvent {
 public:
  static constexpr EventKind staticKind = Kind;
  MetaTextKindEvent() {
    type = MetaType;
    length = 0;
  }
  EventKind kind() const override { return staticKind; }

  // Each data byte as one character (code point 0 to 255), not decoded as UTF-8.
  std::string getText() const { return dataAsCharacters(); }
  // data becomes the UTF-8 bytes of text, length their count. No bound is applied here.
  void setText(std::string_view text) {
    replaceData(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
  }
};

class MetaTextEvent : public MetaTextKindEvent<EventKind::MetaTextEvent, META_TEXT> {};
class MetaCopyrightEvent : public MetaTextKindEvent<EventKind::MetaCopyrightEvent, META_COPYRIGHT> {};
class MetaTrackNameEvent : public MetaTextKindEvent<EventKind::MetaTrackNameEvent, META_TRACKNAME> {};
class MetaInstrumentNameEvent : public MetaTextKindEvent<EventKind::MetaInstrumentNameEvent, META_INSTRUMENTNAME> {};
class MetaLyricsEvent : public MetaTextKindEvent<EventKind::MetaLyricsEvent, META_LYRICS> {};
class MetaMarkerEvent : public MetaTextKindEvent<EventKind::MetaMarkerEvent, META_MARKER> {};
class MetaCuePointEvent : public MetaTextKindEvent<EventKind::MetaCuePointEvent, META_CUEPOINT> {};
class MetaProgramNameEvent : public MetaTextKindEvent<EventKind::MetaProgramNameEvent, META_PROGRAMNAME> {};
class MetaDeviceNameEvent : public MetaTextKindEvent<EventKind::MetaDeviceNameEvent, META_DEVICENAME> {};

class MetaSequenceNumberEvent : public MetaEvent {
 public:
  static constexpr EventKind staticKind = EventKind::MetaSequenceNumberEvent;
  MetaSequenceNumberEvent() {
    type = META_SEQUENCENUMBER;
    length = 2;
  }
  EventKind kind() const override { return staticKind; }
  // Adds number.
  void dumpout() const override;

  // data[0] + 256 * data[1] (low byte first); 0 with a log line when fewer than two bytes.
  uint16_t getSequenceNumber() const;
  // data becomes the low byte, then the high byte; length 2.
  void setSequenceNumber(uint16_t number) {
    replaceData({static_cast<uint8_t>(number & 0xFF), static_cast<uint8_t>(number >> 8)});
  }
};

class MetaChannelPrefixEvent : public MetaEvent {
 public:
  static constexpr EventKind staticKind = EventKind::MetaChannelPrefixEvent;
  MetaChannelPrefixEvent() {
    type = META_CHANNELPREFIX;
    length = 1;
  }
  EventKind kind() const override { return staticKind; }

  // data[0]; 0 with a log line when there is no data.
  uint8_t getPrefix() const { return firstByte(); }
  // data becomes the one byte; length 1.
  void setPrefix(uint8_t value) { setFirstByte(value); }
};

class MetaMidiPortEvent : public MetaEvent {
 public:
  static constexpr EventKind staticKind = EventKind::MetaMidiPortEvent;
  MetaMidiPortEvent() {
    type = META_MIDIPORT;
    length = 1;
  }
  EventKind kind() const override { return staticKind; }

  // data[0]; 0 with a log line when there is no data.
  uint8_t getPort() const { return firstByte(); }
  // data becomes the one byte; length 1.
  void setPort(uint8_t value) { setFirstByte(value); }
};

class MetaEndOfTrackEvent : public MetaEvent {
 public:
  static constexpr EventKind staticKind = EventKind::MetaEndOfTrackEvent;
  MetaEndOfTrackEvent() {
    type = META_EOT;
    length = 0;
  }
  EventKind kind() const override { return staticKind; }
};

class MetaSetTempoEvent : public MetaEvent {
 public:
  static constexpr EventKind staticKind = EventKind::MetaSetTempoEvent;
  MetaSetTempoEvent() {
    type = META_SETTEMPO;
    length = 3;
  }
  EventKind kind() const override { return staticKind; }

  // b1, b2, b3 = data[0] to data[2]; value stays 0. Needs three bytes.
  Tempo getTempo() const;
  // Decimal bytes, ", " between them.
  std::string getTempoV() const;
  // The 24-bit big-endian microseconds per quarter note of the file; length 3.
  void setTempo(uint8_t value1, uint8_t value2, uint8_t value3) { replaceData({value1, value2, value3}); }
};

class MetaSMTPOffsetEvent : public MetaEvent {
 public:
  static constexpr EventKind staticKind = EventKind::MetaSMTPOffsetEvent;
  MetaSMTPOffsetEvent() {
    type = META_SMTPOFFSET;
    length = 5;
  }
  EventKind kind() const override { return staticKind; }

  // Fields in data order, data[0] to data[4]. Needs five bytes.
  SMTPOffset getOffset() const;
  // The five bytes in decimal joined by ":".
  std::string getOffsetV() const;
  void setOffset(uint8_t hours, uint8_t minutes, uint8_t seconds, uint8_t frames, uint8_t fract) {
    replaceData({hours, minutes, seconds, frames, fract});
  }
};

class MetaTimeSignatureEvent : public MetaEvent {
 public:
  static constexpr EventKind staticKind = EventKind::MetaTimeSignatureEvent;
  MetaTimeSignatureEvent() {
    type = META_TIMESIGNATURE;
    length = 4;
  }
  EventKind kind() const override { return staticKind; }

  // Fields in data order; denumerator is expanded from its exponent (1 << data[1]). Four bytes and an exponent of at
  // most 7 are needed, else it logs and returns 4/4, 24, 8.
  TimeSignature getSignature() const;
  // "numerator/denominator, _8th, _32nd" in decimal ("6/8, 24, 8"); empty where getSignature logs.
  std::string getSignatureV() const;
  // Stored as given, so denumerator is the exponent here (2 means quarter notes); length 4.
  void setSignature(uint8_t numerator, uint8_t denumerator, uint8_t _8th, uint8_t _32nd) {
    replaceData({numerator, denumerator, _8th, _32nd});
  }

 private:
  // Four bytes and an exponent whose power of two fits a byte; logs otherwise.
  bool signatureReadable() const;
};

class MetaKeySignatureEvent : public MetaEvent {
 public:
  static constexpr EventKind staticKind = EventKind::MetaKeySignatureEvent;
  MetaKeySignatureEvent() {
    type = META_KEYSIGNATURE;
    length = 2;
  }
  EventKind kind() const override { return staticKind; }

  // sf = data[0], mi = data[1]. Needs two bytes.
  KeySignature getSignature() const;
  // mi, ", ", then sf as an unsigned byte, in decimal ("1, 253" for three flats, minor).
  std::string getSignatureV() const;
  // sf > 0 counts sharps, sf < 0 (two's complement) flats; mi 1 is minor, 0 major; length 2.
  void setSignature(uint8_t sf, uint8_t mi) { replaceData({sf, mi}); }
};

class MetaSequencerSpecificEvent : public MetaEvent {
 public:
  static constexpr EventKind staticKind = EventKind::MetaSequencerSpecificEvent;
  MetaSequencerSpecificEvent() {
    type = META_SPECIFIC;
    length = 0;
  }
  EventKind kind() const override { return staticKind; }
};

class MetaUnknownEvent : public MetaEvent {
 public:
  static constexpr EventKind staticKind = EventKind::MetaUnknownEvent;
  MetaUnknownEvent() {
    type = META_UNKNOWN;
    length = 0;
  }
  EventKind kind() const override { return staticKind; }
};
