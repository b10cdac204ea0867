#include "Orvo_Tunedeck_Extension/catalogue/SoundSet.h"

#include <array>

namespace {

struct CodeEntry {
    std::string_view code;
    SoundSetChoice choice;
};

constexpr std::array<CodeEntry, 6> kSoundSets{{
    {"00", {0, ProgramTable::gs}},
    {"01", {1, ProgramTable::generalMidi}},
    {"02", {2, ProgramTable::xg}},
    {"06", {6, ProgramTable::generalMidi}},
    {"07", {7, ProgramTable::gs}},
    {"09", {9, ProgramTable::generalMidi}},
}};

constexpr SoundSetChoice kOtherCodes{0, ProgramTable::generalMidi};

}  // namespace

SoundSetChoice soundSetForCode(std::string_view code) noexcept
{
    for (const CodeEntry& entry : kSoundSets) {
        if (entry.code == code) {
            return entry.choice;
        }
    }
    return kOtherCodes;
}

void loadProgramTable(Soundfontprograms& catalogue, ProgramTable table)
{
    switch (table) {
    case ProgramTable::generalMidi:
        catalogue.makeGM();
        return;
    case ProgramTable::gs:
        catalogue.makeGS();
        return;
    case ProgramTable::xg:
        catalogue.makeXG();
        return;
    }
}

std::uint8_t preloadChannelForBankLsb(std::uint8_t bankLsb) noexcept
{
    return bankLsb >= 126 ? 9 : 0;
}
