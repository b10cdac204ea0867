// Every row of the program table of each sound set, preloaded as the instrument preloads it and played with its own
// bank select and program change, finds an instrument in the sound set's generated bank. Code "05" stands for every
// code without a sound set of its own.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
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

        // Melodic rows play the sound of their program number, kit rows the drum kit: the same waveform within 5%.
        std::map<int, std::vector<float>> expected;
        const auto soundOf = [&](uint8_t channel, uint8_t msb, uint8_t lsb, uint8_t program) {
            const uint8_t key = channel == 9 ? kSnare : kMiddleC;
            auto sound = player.playNote(channel, msb, lsb, program, key, 2048);
            player.stopNote(channel, key);
            return sound;
        };
        for (const SoundfontProgram& row : catalogue.programs) {
            const uint8_t channel = preloadChannelForBankLsb(row.bankLsb);
            const int sound = channel == 9 ? -1 : row.number;
            if (expected.count(sound) == 0)
                expected[sound] = channel == 9 ? soundOf(9, 0, 0, 0) : soundOf(0, 0, 0, row.number);
            const auto played = soundOf(channel, row.bankMsb, row.bankLsb & 0x7F, row.number);
            EXPECT_LT(waveformDifference(played, expected[sound]), 0.05)
                << "program " << int{row.number} << " at " << int{row.bankMsb} << "/" << int{row.bankLsb} << " "
                << row.name;
        }
    }
}

}  // namespace
}  // namespace midisynth_test
