// The six sound sets as a listener meets them, measured on notes rendered through the synthesizer library: they
// sound different from one another and in tune, every family keeps its envelope, programs play about equally loud,
// every catalogue row and every kit key sounds, and the kits differ.

#include "Orvo_Tunedeck_Extension/catalogue/ProgramTableRow.h"
#include "tests/tools/bankgen/bank_player.h"
#include "tests/tools/bankgen/generated_bank.h"
#include "tools/bankgen/BankLayout.h"
#include "tools/bankgen/MelodicVoices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

using bankgen_test::BankPlayer;
using bankgen_test::Signal;

constexpr unsigned kKitBank = 128;

std::unique_ptr<BankPlayer> playerFor(const bankgen::BankFile& file)
{
    auto player = std::make_unique<BankPlayer>(bankgen_test::writtenBank(file));
    EXPECT_TRUE(player->loaded()) << file.fileName;
    return player;
}

// A note sounds when its loudest 20 ms rise above this (silence is -200 dB); slow variation tones are still early in
// their attack after a quarter second.
constexpr double kSoundsDb = -60.0;

double peakDb(const Signal& signal)
{
    std::vector<double> levels = bankgen_test::levelsDb(signal, 0.02);
    return levels.empty() ? -200.0 : *std::max_element(levels.begin(), levels.end());
}

struct PhraseNote {
    unsigned bank;
    unsigned program;
    int key;
    int velocity;
    double holdSeconds;
    double seconds;
};

// Piano at three velocities, strings, guitar, flute, pad, bass, vibraphone and the standard kit's kick, snare and hat.
constexpr std::array<PhraseNote, 12> kPhrase{{
    {0, 0, 60, 100, 0.5, 0.6},  {0, 0, 64, 60, 0.5, 0.6},   {0, 0, 67, 120, 0.5, 0.6},  {0, 48, 57, 100, 0.8, 1.0},
    {0, 25, 52, 100, 0.6, 0.8}, {0, 73, 81, 90, 0.6, 0.7},  {0, 88, 60, 100, 1.2, 1.4}, {0, 33, 40, 100, 0.5, 0.6},
    {0, 11, 72, 100, 0.5, 0.6}, {128, 0, 36, 100, 0.3, 0.3}, {128, 0, 38, 100, 0.3, 0.3}, {128, 0, 42, 100, 0.2, 0.2},
}};

Signal phrase(BankPlayer& player)
{
    Signal all;
    for (const PhraseNote& n : kPhrase) {
        Signal note = player.note(n.bank, n.program, n.key, n.velocity, n.holdSeconds, n.seconds);
        all.insert(all.end(), note.begin(), note.end());
    }
    return all;
}

// Third-octave band levels of the phrase differ between two sets by at least this much (RMS over the bands, after
// taking out the mean level, so a plain level change counts for nothing). About 1 dB is the smallest level change a
// listener hears in a band; an RMS difference above it over all bands is a change of colour across the spectrum,
// not in one corner of it. Two sets sharing their samples and instruments, as the banks once did, give 0.
constexpr double kMinSetDistanceDb = 1.2;

TEST(SoundSets, EveryPairOfSetsSoundsDifferent)
{
    std::vector<std::vector<double>> spectra;
    for (const bankgen::BankFile& file : bankgen::kBankFiles) {
        spectra.push_back(bankgen_test::bandSpectrumDb(phrase(*playerFor(file))));
    }
    for (std::size_t a = 0; a < spectra.size(); ++a) {
        for (std::size_t b = a + 1; b < spectra.size(); ++b) {
            double distance = bankgen_test::logSpectralDistance(spectra[a], spectra[b]);
            EXPECT_GT(distance, kMinSetDistanceDb)
                << bankgen::kBankFiles[a].fileName << " and " << bankgen::kBankFiles[b].fileName;
        }
    }
}

// Reference notes: piano, organ, guitar and pad on A3 and A4, measured after their attacks.
TEST(SoundSets, EverySetIsInTuneWithinTwoCents)
{
    for (const bankgen::BankFile& file : bankgen::kBankFiles) {
        SCOPED_TRACE(std::string(file.fileName));
        std::unique_ptr<BankPlayer> player = playerFor(file);
        for (unsigned program : {0u, 16u, 24u, 88u}) {
            for (int key : {57, 69}) {
                double expected = 440.0 * std::exp2((key - 69) / 12.0);
                Signal note = player->note(0, program, key, 100, 1.3, 1.3);
                double cents = 1200.0 * std::log2(bankgen_test::pitchHz(note, expected, 0.3, 1.3) / expected);
                EXPECT_NEAR(cents, 0.0, 2.0) << "program " << program << " key " << key;
            }
        }
    }
}

enum class EnvelopeClass { dying, held, other };

// By General MIDI program: struck and plucked families die away, bowed, blown, organ and synthetic sustaining ones
// hold; effects, hits and overdriven guitars are left out.
EnvelopeClass classOf(unsigned program)
{
    auto in = [&](unsigned lo, unsigned hi) { return program >= lo && program <= hi; };
    if (in(0, 15) || in(24, 28) || in(32, 37) || in(45, 47) || in(104, 108) || in(112, 118)) {
        return EnvelopeClass::dying;
    }
    if (in(16, 23) || in(40, 44) || in(48, 54) || in(56, 95) || in(109, 111)) {
        return EnvelopeClass::held;
    }
    return EnvelopeClass::other;
}

// What a held note of 4 s shows, rendered only as far as it takes to tell: its loudest 50 ms window, whether it fell
// 20 dB below that within the 4 s, and the range of its windows from heldFrom (after its attack and decay) to 4 s.
struct HeldNote {
    double peakDb = -200.0;
    bool fell20Db = false;
    double heldRangeDb = 0.0;
};

HeldNote holdNote(BankPlayer& player, unsigned program, EnvelopeClass expected, double heldFrom)
{
    constexpr double kWindow = 0.05;
    constexpr double kStep = 0.25;
    constexpr double kHeld = 4.0;
    HeldNote note;
    double heldLo = 1e9;
    double heldHi = -1e9;
    player.start(0, program, 60, 100);
    for (double at = 0.0; at < kHeld - 1e-9; at += kStep) {
        for (double level : bankgen_test::levelsDb(player.render(kStep), kWindow)) {
            note.peakDb = std::max(note.peakDb, level);
            note.fell20Db = note.fell20Db || level < note.peakDb - 20.0;
            if (at >= heldFrom - 1e-9) {
                heldLo = std::min(heldLo, level);
                heldHi = std::max(heldHi, level);
            }
        }
        bool told = expected == EnvelopeClass::dying ? note.fell20Db : expected == EnvelopeClass::other;
        if (told && at + kStep >= heldFrom - 1e-9) {
            break;
        }
    }
    player.silence();
    note.heldRangeDb = heldHi - heldLo;
    return note;
}

// A held note falls by at least 20 dB within 4 s when struck or plucked; a sustained one stays within 6 dB from the
// end of its attack and decay (1 s at the earliest) to 4 s. Every program sounds, and its loudest 50 ms lie within
// 6 dB of the set's median, so that programs and sets can be compared at one level.
TEST(SoundSets, EveryProgramKeepsTheEnvelopeOfItsFamilyAndAnEvenLevel)
{
    constexpr double kLevelSpreadDb = 6.0;
    for (const bankgen::BankFile& file : bankgen::kBankFiles) {
        SCOPED_TRACE(std::string(file.fileName));
        std::unique_ptr<BankPlayer> player = playerFor(file);
        std::vector<double> peaks;
        for (unsigned program = 0; program < 128; ++program) {
            SCOPED_TRACE("program " + std::to_string(program));
            EnvelopeClass expected = classOf(program);
            const bankgen::EnvelopeSeconds& e = bankgen::recipeForProgram(program).envelope;
            bool decays = e.sustainDecibels > 0 && e.sustainDecibels < 100;
            double settled = e.attack + (decays ? e.decay * file.voicing.timeScale : 0.0);
            HeldNote note = holdNote(*player, program, expected, std::max(1.0, settled));
            peaks.push_back(note.peakDb);
            EXPECT_GT(note.peakDb, kSoundsDb);
            if (expected == EnvelopeClass::dying) {
                EXPECT_TRUE(note.fell20Db);
            } else if (expected == EnvelopeClass::held) {
                EXPECT_LT(note.heldRangeDb, 6.0);
            }
        }
        std::vector<double> sorted = peaks;
        std::nth_element(sorted.begin(), sorted.begin() + 64, sorted.end());
        double median = sorted[64];
        for (unsigned program = 0; program < 128; ++program) {
            EXPECT_NEAR(peaks[program], median, kLevelSpreadDb) << "program " << program;
        }
    }
}

// Bowed notes (violin, cello) swell and settle on their sustain level over the decay their recipe gives, not within
// milliseconds: half the fall in dB lies behind them halfway through the decay, all of it a quarter decay later than
// its end.
TEST(SoundSets, HeldNotesSettleOnTheirSustainOverTheRecipesDecay)
{
    constexpr double kWindow = 0.04;
    constexpr double kToleranceDb = 0.5;
    struct HeldProgram {
        unsigned program;
        int key;
    };
    constexpr std::array<HeldProgram, 2> kHeld{{{40, 67}, {42, 55}}};
    for (const bankgen::BankFile& file : bankgen::kBankFiles) {
        SCOPED_TRACE(std::string(file.fileName));
        std::unique_ptr<BankPlayer> player = playerFor(file);
        for (const HeldProgram& held : kHeld) {
            SCOPED_TRACE("program " + std::to_string(held.program));
            const bankgen::EnvelopeSeconds& e = bankgen::recipeForProgram(held.program).envelope;
            double decay = e.decay * file.voicing.timeScale;
            Signal note = player->note(0, held.program, held.key, 100, e.attack + 1.5 * decay, e.attack + 1.5 * decay);
            std::vector<double> levels = bankgen_test::levelsDb(note, kWindow);
            auto at = [&](double seconds) { return levels[static_cast<std::size_t>(seconds / kWindow)]; };
            auto attackEnd = levels.begin() + static_cast<long>((e.attack + 0.1) / kWindow);
            double peak = *std::max_element(levels.begin(), attackEnd);
            EXPECT_NEAR(at(e.attack + 0.5 * decay), peak - 0.5 * e.sustainDecibels, kToleranceDb);
            EXPECT_NEAR(at(e.attack + 1.25 * decay), peak - e.sustainDecibels, kToleranceDb);
        }
    }
}

TEST(SoundSets, EveryCatalogueRowFindsAnInstrumentThatSounds)
{
    for (const bankgen::BankFile& file : bankgen::kBankFiles) {
        SCOPED_TRACE(std::string(file.fileName));
        std::unique_ptr<BankPlayer> player = playerFor(file);
        for (const ProgramTableRow& row : bankgen::rowsOf(file.table)) {
            bankgen::PresetSlot slot = bankgen::slotForRow(row);
            Signal note = player->note(slot.bank, slot.program, slot.drums ? 38 : 60, 100, 0.2, 0.25);
            EXPECT_GT(peakDb(note), kSoundsDb) << slot.name << " at " << slot.bank << "/" << int{slot.program};
        }
    }
}

constexpr std::array<unsigned, 9> kKitPrograms{0, 8, 16, 24, 25, 32, 40, 48, 56};
// Kick, snare, two toms, closed and open hi-hat, crash and ride: what sets kits apart.
constexpr std::array<int, 8> kKitPhrase{36, 38, 41, 45, 42, 46, 49, 51};
// Two kits differ by at least this much over the kit phrase's bands (as kMinSetDistanceDb, after the mean level).
constexpr double kMinKitDistanceDb = 1.2;

TEST(SoundSets, EveryKitSoundsOnEveryPercussionKeyAndTheKitsDiffer)
{
    for (const bankgen::BankFile& file : bankgen::kBankFiles) {
        SCOPED_TRACE(std::string(file.fileName));
        std::unique_ptr<BankPlayer> player = playerFor(file);
        std::vector<std::vector<double>> spectra;
        for (unsigned kit : kKitPrograms) {
            for (int key = 35; key <= 81; ++key) {
                EXPECT_GT(peakDb(player->note(kKitBank, kit, key, 100, 0.1, 0.1)), kSoundsDb)
                    << "kit " << kit << " key " << key;
            }
            Signal all;
            for (int key : kKitPhrase) {
                Signal note = player->note(kKitBank, kit, key, 100, 0.4, 0.4);
                all.insert(all.end(), note.begin(), note.end());
            }
            spectra.push_back(bankgen_test::bandSpectrumDb(all));
        }
        for (std::size_t a = 0; a < spectra.size(); ++a) {
            for (std::size_t b = a + 1; b < spectra.size(); ++b) {
                EXPECT_GT(bankgen_test::logSpectralDistance(spectra[a], spectra[b]), kMinKitDistanceDb)
                    << "kits " << kKitPrograms[a] << " and " << kKitPrograms[b];
            }
        }
    }
}

// The share of a stretch of a signal's power above 1 kHz among its power above 200 Hz, in dB.
double brightnessDb(const Signal& signal, double from, double to)
{
    Signal part(signal.begin() + static_cast<long>(from * bankgen_test::kRenderRateHz),
                signal.begin() + static_cast<long>(to * bankgen_test::kRenderRateHz));
    double high = 0.0;
    double total = 0.0;
    double centre = 50.0;
    for (double db : bankgen_test::bandSpectrumDb(part)) {
        double power = std::pow(10.0, db / 10.0);
        high += centre >= 1000.0 ? power : 0.0;
        total += centre >= 200.0 ? power : 0.0;
        centre *= std::exp2(1.0 / 3.0);
    }
    return 10.0 * std::log10(high / total);
}

// In the sets voiced with velocity layers (the others are plain by design), a piano's C3 darkens as it dies away,
// its filter closing with the modulation envelope, and a soft note is darker than a loud one.
TEST(SoundSets, StruckStringsDarkenAsTheyDieAndSoftNotesAreDarker)
{
    for (const bankgen::BankFile& file : bankgen::kBankFiles) {
        if (!file.voicing.velocityLayers) {
            continue;
        }
        SCOPED_TRACE(std::string(file.fileName));
        std::unique_ptr<BankPlayer> player = playerFor(file);
        Signal loud = player->note(0, 0, 48, 120, 1.4, 1.4);
        EXPECT_LT(brightnessDb(loud, 1.2, 1.4), brightnessDb(loud, 0.0, 0.2) - 3.0);
        Signal soft = player->note(0, 0, 48, 40, 0.2, 0.2);
        EXPECT_LT(brightnessDb(soft, 0.0, 0.2), brightnessDb(loud, 0.0, 0.2) - 4.0);
    }
}

// The GS set in its DLS form and written as SoundFont 2: programs of several families, key 69 held for half a
// second and released, play at one pitch (within 1 Hz) and with one RMS envelope (every 10 ms window within 5% of
// the SoundFont 2 form's peak).
TEST(SoundSets, TheDlsAndSoundFont2FormsOfASetSoundAlike)
{
    const bankgen::BankFile& dlsFile = *bankgen_test::bankFile("gs_instruments.dls");
    bankgen::BankFile soundFontFile = dlsFile;
    soundFontFile.fileName = "gs_instruments.sf2";
    soundFontFile.format = bankgen::BankFormat::soundFont2;
    std::unique_ptr<BankPlayer> forms[2] = {playerFor(dlsFile), playerFor(soundFontFile)};
    for (unsigned program : {0u, 16u, 24u, 33u, 40u, 56u, 73u, 80u, 89u}) {
        SCOPED_TRACE("program " + std::to_string(program));
        Signal notes[2];
        for (int form = 0; form < 2; ++form) {
            notes[form] = forms[form]->note(0, program, 69, 100, 0.5, 1.0);
        }
        EXPECT_NEAR(bankgen_test::pitchHz(notes[0], 440.0, 0.2, 0.5), bankgen_test::pitchHz(notes[1], 440.0, 0.2, 0.5),
                    1.0);
        std::vector<double> levels[2] = {bankgen_test::levelsDb(notes[0], 0.01), bankgen_test::levelsDb(notes[1], 0.01)};
        ASSERT_EQ(levels[0].size(), levels[1].size());
        double peak = std::pow(10.0, *std::max_element(levels[1].begin(), levels[1].end()) / 20.0);
        for (std::size_t i = 0; i < levels[0].size(); ++i) {
            EXPECT_LT(std::abs(std::pow(10.0, levels[0][i] / 20.0) - std::pow(10.0, levels[1][i] / 20.0)), 0.05 * peak)
                << "window " << i;
        }
    }
}

} // namespace
