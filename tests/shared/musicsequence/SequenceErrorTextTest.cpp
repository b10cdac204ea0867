#include "shared/musicsequence/SequenceErrorText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/shared/midievents/CapturedLog.h"

namespace {

TEST(SequenceErrorText, LogsTheStatusThePlatformTextAndTheGermanExplanation) {
  const struct {
    OSStatus status;
    const char* explanation;
  } cases[] = {
      {-10864, "Etwas ist fehlgeschlagen."},
      {-10863, "Aktion im momentanen Kontext nicht möglich."},
      {-10862, "Etwas ist fehlgeschlagen."},
      {-10861, "Etwas ist fehlgeschlagen."},
      {-10860, "Etwas ist fehlgeschlagen."},
      {-10859, "Falscher Spur Index."},
      {-10858, "Spur wurde nicht gefunden."},
      {-10857, "Ende der Spur."},
      {-10856, "Anfang der Spur."},
      {-10855, "Ungültiges Spurenziel."},
      {-10854, "Keine Sequenz."},
      {-10853, "Ungültiger Event Typ."},
      {-10852, "Ungültiger Player Status."},
      {-10851, "Etwas ist fehlgeschlagen."},
      {-10850, "Etwas ist fehlgeschlagen."},
      {-10849, "Etwas ist fehlgeschlagen."},
      {-10848, "Etwas ist fehlgeschlagen."},
      {-10847, "Etwas ist fehlgeschlagen."},
      {-10846, "Ungültiger Sequenztyp."},
      {-10845, "Etwas ist fehlgeschlagen."},
      {0, "Etwas ist fehlgeschlagen."},
      {-50, "Etwas ist fehlgeschlagen."},
      {INT32_MIN, "Etwas ist fehlgeschlagen."},
      {INT32_MAX, "Etwas ist fehlgeschlagen."},
  };
  for (const auto& c : cases) {
    const std::string number = std::to_string(c.status);
    EXPECT_THAT(capturedLog([&] { sequenceErrorText(c.status); }),
                ::testing::ElementsAre("Fehler: " + number,
                                       "The operation couldn\u2019t be completed. (OSStatus error " + number + ".)",
                                       c.explanation))
        << c.status;
  }
}

}  // namespace
