// Every row of the program table of each sound set, preloaded as the instrument preloads it and played with its own
// bank select and program change, finds an instrument in the sound set's generated bank. Code "05" stands for every
// code without a sound set of its own.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "Orvo_Tunedeck_Extension/catalogue/SoundSet.h"
#include "Orvo_Tunedeck_Extension/catalogue/Soundfontprograms.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "tests/shared/audiounitmidisynth/GeneratedBankPlayer.h"
#include "tests/support/ScopedEnvironment.h"

namespace midisynth_test {
namespace {

constexpr uint8_t kMiddleC = 60;
constexpr uint8_t kSnare = 38;

TEST(GeneratedBankCatalogues, EveryRowOfEachSoundSetFindsAnInstrumentInItsBank) {
    testsupport::ScopedEnvironment environment;
    environment.set("TUNEDECK_RESOURCES", TUNEDECK_GENERATED_RESOURCES);
    for (const char* code : {"00", "01", "02", "06", "07", "09", "05"}) {
        const SoundSetChoice choice = soundSetForCode(code);
        SCOPED_TRACE(std::string("sound set ") + code);
        Soundfontprograms catalogue;
        loadProgramTable(catalogue, choice.table);
        GeneratedBankPlayer player(choice.bankNumber);

        foundation::LogCapture log;
        for (const SoundfontProgram& row : catalogue.programs)
            player.wrapper().preloadPatch(row.bankMsb, row.bankLsb, row.number,
                                          preloadChannelForBankLsb(row.bankLsb));
        dispatch::MainQueue::shared().drain();
        // Each bank is laid out for its table, so every row is found at its own bank without the fallback.
        EXPECT_THAT(log.lines(), ::testing::Not(::testing::Contains(::testing::HasSubstr("could not be preloaded"))));

        // Every row plays an instrument that sounds: its program, a variation tone of it, or the kit of its program.
        // Slow variation tones are still early in their attack after 2048 frames, so "sounds" is above -80 dB.
        for (const SoundfontProgram& row : catalogue.programs) {
            const uint8_t channel = preloadChannelForBankLsb(row.bankLsb);
            const uint8_t key = channel == 9 ? kSnare : kMiddleC;
            const auto played = player.playNote(channel, row.bankMsb, row.bankLsb & 0x7F, row.number, key, 2048);
            player.stopNote(channel, key);
            EXPECT_GT(synth_test::rms(played, 0, played.size()), 1e-4)
                << "program " << int{row.number} << " at " << int{row.bankMsb} << "/" << int{row.bankLsb} << " "
                << row.name;
        }
    }
}

}  // namespace
}  // namespace midisynth_test
