#include <gtest/gtest.h>

#include "shared/midievents/MIDIEvents.h"
#include "tests/shared/midievents/CapturedLog.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(UserEventsTest, SetDataAppendsAndCountsTheBytes) {
  UserEvent event;
  const Bytes first = {1, 2};
  const Bytes second = {3, 4};
  event.setData(99, first);
  event.setData(0, second);
  EXPECT_EQ(event.data, (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(event.length, 4u);
  EXPECT_EQ(event.getLength(), 4u);
  EXPECT_EQ(event.getData(), event.data);
}

TEST(UserEventsTest, TextFormsReadOneCharacterPerByte) {
  struct Case {
    Bytes data;
    const char* hex;
    const char* text;
  };
  const Case cases[] = {
      {{}, "", ""},
      {{0xF0, 0x7E, 0x05, 0xF7}, "F0 7E  5 F7 ", "\xC3\xB0~\x05\xC3\xB7"},
      {{'H', 'i'}, "48 69 ", "Hi"},
      {{0xC3, 0xB6}, "C3 B6 ", "\xC3\x83\xC2\xB6"},
  };
  for (const Case& c : cases) {
    UserEvent event;
    event.data = c.data;
    EXPECT_EQ(event.toHex(), c.hex);
    EXPECT_EQ(event.toText(), c.text);
  }
}

TEST(UserEventsTest, TextMetasStoreUtf8AndReadBytesAsCharacters) {
  MetaLyricsEvent lyrics;
  lyrics.setText("Größe");
  EXPECT_EQ(lyrics.data, (Bytes{'G', 'r', 0xC3, 0xB6, 0xC3, 0x9F, 'e'}));
  EXPECT_EQ(lyrics.length, 7u);
  EXPECT_EQ(lyrics.getText(), "Gr\xC3\x83\xC2\xB6\xC3\x83\xC2\x9F" "e");
  lyrics.setText("");
  EXPECT_TRUE(lyrics.data.empty());
  EXPECT_EQ(lyrics.length, 0u);
  EXPECT_EQ(lyrics.getText(), "");
}

TEST(UserEventsTest, SequenceNumberIsStoredLowByteFirst) {
  MetaSequenceNumberEvent event;
  event.setSequenceNumber(0x0102);
  EXPECT_EQ(event.data, (Bytes{0x02, 0x01}));
  EXPECT_EQ(event.length, 2u);
  EXPECT_EQ(event.getSequenceNumber(), 0x0102);
}

TEST(UserEventsTest, SettersReplaceDataWithTheirBytes) {
  MetaSetTempoEvent tempo;
  tempo.data = {9, 9, 9, 9, 9, 9};
  tempo.setTempo(0x07, 0xA1, 0x20);
  EXPECT_EQ(tempo.data, (Bytes{0x07, 0xA1, 0x20}));
  EXPECT_EQ(tempo.length, 3u);

  MetaSMTPOffsetEvent offset;
  offset.setOffset(1, 2, 3, 4, 5);
  EXPECT_EQ(offset.data, (Bytes{1, 2, 3, 4, 5}));
  EXPECT_EQ(offset.length, 5u);

  MetaTimeSignatureEvent time;
  time.setSignature(6, 3, 24, 8);
  EXPECT_EQ(time.data, (Bytes{6, 3, 24, 8}));
  EXPECT_EQ(time.length, 4u);

  MetaKeySignatureEvent key;
  key.setSignature(static_cast<uint8_t>(-3), 1);
  EXPECT_EQ(key.data, (Bytes{0xFD, 0x01}));
  EXPECT_EQ(key.length, 2u);

  MetaChannelPrefixEvent prefix;
  prefix.setPrefix(7);
  EXPECT_EQ(prefix.data, Bytes{7});
  EXPECT_EQ(prefix.getPrefix(), 7);
  MetaMidiPortEvent port;
  port.setPort(2);
  EXPECT_EQ(port.data, Bytes{2});
  EXPECT_EQ(port.length, 1u);
  EXPECT_EQ(port.getPort(), 2);
}

TEST(UserEventsTest, TypedGettersReadTheirBytes) {
  MetaSetTempoEvent tempo;
  tempo.data = {0x07, 0xA1, 0x20};
  const Tempo t = tempo.getTempo();
  EXPECT_EQ(t.b1, 7);
  EXPECT_EQ(t.b2, 161);
  EXPECT_EQ(t.b3, 32);
  EXPECT_EQ(t.value, 0u);
  EXPECT_EQ(tempo.getTempoV(), "7, 161, 32");

  MetaSMTPOffsetEvent offset;
  offset.data = {1, 2, 3, 24, 99};
  const SMTPOffset o = offset.getOffset();
  EXPECT_EQ(o.hours, 1);
  EXPECT_EQ(o.minutes, 2);
  EXPECT_EQ(o.seconds, 3);
  EXPECT_EQ(o.frames, 24);
  EXPECT_EQ(o.fract, 99);
  EXPECT_EQ(offset.getOffsetV(), "1:2:3:24:99");

  MetaTimeSignatureEvent time;
  time.data = {6, 3, 0x18, 8};
  const TimeSignature s = time.getSignature();
  EXPECT_EQ(s.numerator, 6);
  EXPECT_EQ(s.denumerator, 8);
  EXPECT_EQ(s._8th, 24);
  EXPECT_EQ(s._32nd, 8);
  EXPECT_EQ(time.getSignatureV(), "6/8, 24, 8");
  time.data = {3, 7, 24, 8};
  EXPECT_EQ(time.getSignature().denumerator, 128);

  MetaKeySignatureEvent key;
  key.data = {0xFD, 0x01};
  EXPECT_EQ(key.getSignature().sf, 0xFD);
  EXPECT_EQ(key.getSignature().mi, 1);
  EXPECT_EQ(key.getSignatureV(), "1, 253");
}

// A getter that finds too few bytes logs its message and returns the initial value, leaving the event as it was.
TEST(UserEventsTest, GettersOnTooShortDataLogAndReturnInitialValues) {
  struct Case {
    std::function<std::string()> read;  // the getter's result as text
    const char* expected;
    const char* message;
  };
  auto time = std::make_shared<MetaTimeSignatureEvent>();
  auto timeBigExponent = std::make_shared<MetaTimeSignatureEvent>();
  timeBigExponent->setSignature(4, 8, 24, 8);
  auto tempo = std::make_shared<MetaSetTempoEvent>();
  tempo->data = {1, 2};
  auto offset = std::make_shared<MetaSMTPOffsetEvent>();
  offset->data = {1, 2, 3, 4};
  auto key = std::make_shared<MetaKeySignatureEvent>();
  key->data = {1};
  auto number = std::make_shared<MetaSequenceNumberEvent>();
  number->data = {5};
  auto prefix = std::make_shared<MetaChannelPrefixEvent>();
  auto port = std::make_shared<MetaMidiPortEvent>();
  auto signatureText = [](const TimeSignature& s) {
    return std::to_string(s.numerator) + "/" + std::to_string(s.denumerator) + " " + std::to_string(s._8th) + " " +
           std::to_string(s._32nd);
  };
  const char* kSignature = "Fehler: Das Signatur Event ist nicht initialisiert.";
  const char* kExponent = "Fehler: Der Nenner des Signatur Events (2 hoch 8) passt nicht in ein Byte.";
  const Case cases[] = {
      {[&] { return signatureText(time->getSignature()); }, "4/4 24 8", kSignature},
      {[&] { return time->getSignatureV(); }, "", kSignature},
      {[&] { return signatureText(timeBigExponent->getSignature()); }, "4/4 24 8", kExponent},
      {[&] { return timeBigExponent->getSignatureV(); }, "", kExponent},
      {[&] {
         Tempo t = tempo->getTempo();
         return std::to_string(t.b1 + t.b2 + t.b3);
       },
       "0", "Fehler: Das Tempo Event ist nicht initialisiert."},
      {[&] { return tempo->getTempoV(); }, "", "Fehler: Das Tempo Event ist nicht initialisiert."},
      {[&] { return std::to_string(offset->getOffset().hours); }, "0",
       "Fehler: Das SMTP Event ist nicht initialisiert."},
      {[&] { return offset->getOffsetV(); }, "", "Fehler: Das SMTP Event ist nicht initialisiert."},
      {[&] { return std::to_string(key->getSignature().sf); }, "0", kSignature},
      {[&] { return key->getSignatureV(); }, "", kSignature},
      {[&] { return std::to_string(number->getSequenceNumber()); }, "0",
       "Fehler: Das Sequenznummer Event ist nicht initialisiert."},
      {[&] { return std::to_string(prefix->getPrefix()); }, "0", "Fehler: Das Prefix Event ist nicht initialisiert."},
      {[&] { return std::to_string(port->getPort()); }, "0", "Fehler: Das Prefix Event ist nicht initialisiert."},
  };
  for (const Case& c : cases) {
    std::string result;
    EXPECT_EQ(capturedLog([&] { result = c.read(); }), std::vector<std::string>{c.message}) << c.message;
    EXPECT_EQ(result, c.expected) << c.message;
  }
  EXPECT_EQ(tempo->data, (Bytes{1, 2}));
  EXPECT_EQ(tempo->length, 3u);
}

}  // namespace
