#include "shared/musicsequence/SequenceErrorText.h"

#include <array>
#include <string>

#include "shared/globals/Print.h"

namespace {

constexpr OSStatus kFirstExplainedStatus = -10863;
constexpr const char* kOtherFailure = "Etwas ist fehlgeschlagen.";

// Indexed by status - kFirstExplainedStatus, over -10863 to -10846.
constexpr std::array<const char*, 18> kExplanations = {
    "Aktion im momentanen Kontext nicht möglich.",  // -10863
    kOtherFailure,                                  // -10862
    kOtherFailure,                                  // -10861
    kOtherFailure,                                  // -10860
    "Falscher Spur Index.",                         // -10859
    "Spur wurde nicht gefunden.",                   // -10858
    "Ende der Spur.",                               // -10857
    "Anfang der Spur.",                             // -10856
    "Ungültiges Spurenziel.",                       // -10855
    "Keine Sequenz.",                               // -10854
    "Ungültiger Event Typ.",                        // -10853
    "Ungültiger Player Status.",                    // -10852
    kOtherFailure,                                  // -10851
    kOtherFailure,                                  // -10850
    kOtherFailure,                                  // -10849
    kOtherFailure,                                  // -10848
    kOtherFailure,                                  // -10847
    "Ungültiger Sequenztyp.",                       // -10846
};

}  // namespace

void sequenceErrorText(OSStatus status) {
  const std::string number = std::to_string(status);
  safeprint("Fehler: " + number);
  safeprint("The operation couldn\u2019t be completed. (OSStatus error " + number + ".)");
  const std::int64_t index = std::int64_t{status} - kFirstExplainedStatus;
  const bool explained = index >= 0 && index < static_cast<std::int64_t>(kExplanations.size());
  safeprint(explained ? kExplanations[static_cast<std::size_t>(index)] : kOtherFailure);
}
