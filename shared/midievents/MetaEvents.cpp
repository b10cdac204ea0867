#include "shared/midievents/MetaEvents.h"

#include "shared/globals/Print.h"

namespace {

constexpr const char* kSequenceNumberMissing = "Fehler: Das Sequenznummer Event ist nicht initialisiert.";
constexpr const char* kPrefixMissing = "Fehler: Das Prefix Event ist nicht initialisiert.";
constexpr const char* kTempoMissing = "Fehler: Das Tempo Event ist nicht initialisiert.";
constexpr const char* kOffsetMissing = "Fehler: Das SMTP Event ist nicht initialisiert.";
constexpr const char* kSignatureMissing = "Fehler: Das Signatur Event ist nicht initialisiert.";

// The largest exponent whose power of two fits the denominator byte.
constexpr uint8_t kLargestDenominatorExponent = 7;

}  // namespace

void MetaEvent::dumpout() const {
  UserEvent::dumpout();
  dumpUserLines();
}

bool MetaEvent::hasData(std::size_t count, const char* message) const {
  if (data.size() >= count) return true;
  safeprint(message);
  return false;
}

uint8_t MetaEvent::firstByte() const { return hasData(1, kPrefixMissing) ? data[0] : 0; }

void MetaSequenceNumberEvent::dumpout() const {
  MetaEvent::dumpout();
  dumpLine("number", std::to_string(getSequenceNumber()));
}

uint16_t MetaSequenceNumberEvent::getSequenceNumber() const {
  if (!hasData(2, kSequenceNumberMissing)) return 0;
  return static_cast<uint16_t>(data[0] + 256 * data[1]);
}

Tempo MetaSetTempoEvent::getTempo() const {
  Tempo tempo;
  if (hasData(3, kTempoMissing)) {
    tempo.b1 = data[0];
    tempo.b2 = data[1];
    tempo.b3 = data[2];
  }
  return tempo;
}

std::string MetaSetTempoEvent::getTempoV() const {
  if (!hasData(3, kTempoMissing)) return {};
  return std::to_string(data[0]) + ", " + std::to_string(data[1]) + ", " + std::to_string(data[2]);
}

SMTPOffset MetaSMTPOffsetEvent::getOffset() const {
  SMTPOffset offset;
  if (hasData(5, kOffsetMissing)) {
    offset.hours = data[0];
    offset.minutes = data[1];
    offset.seconds = data[2];
    offset.frames = data[3];
    offset.fract = data[4];
  }
  return offset;
}

std::string MetaSMTPOffsetEvent::getOffsetV() const {
  if (!hasData(5, kOffsetMissing)) return {};
  std::string text = std::to_string(data[0]);
  for (std::size_t i = 1; i < 5; ++i) text += ":" + std::to_string(data[i]);
  return text;
}

bool MetaTimeSignatureEvent::signatureReadable() const {
  if (!hasData(4, kSignatureMissing)) return false;
  if (data[1] <= kLargestDenominatorExponent) return true;
  safeprint("Fehler: Der Nenner des Signatur Events (2 hoch " + std::to_string(data[1]) + ") passt nicht in ein Byte.");
  return false;
}

TimeSignature MetaTimeSignatureEvent::getSignature() const {
  TimeSignature signature;
  if (signatureReadable()) {
    signature.numerator = data[0];
    signature.denumerator = static_cast<uint8_t>(1u << data[1]);
    signature._8th = data[2];
    signature._32nd = data[3];
  }
  return signature;
}

std::string MetaTimeSignatureEvent::getSignatureV() const {
  if (!signatureReadable()) return {};
  return std::to_string(data[0]) + "/" + std::to_string(1u << data[1]) + ", " + std::to_string(data[2]) + ", " +
         std::to_string(data[3]);
}

KeySignature MetaKeySignatureEvent::getSignature() const {
  KeySignature signature;
  if (hasData(2, kSignatureMissing)) {
    signature.sf = data[0];
    signature.mi = data[1];
  }
  return signature;
}

std::string MetaKeySignatureEvent::getSignatureV() const {
  if (!hasData(2, kSignatureMissing)) return {};
  return std::to_string(data[1]) + ", " + std::to_string(data[0]);
}
