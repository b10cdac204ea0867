#include "Orvo_Tunedeck_Extension/catalogue/Soundfontprograms.h"

#include "Orvo_Tunedeck_Extension/catalogue/GeneralMidiProgramTable.h"
#include "Orvo_Tunedeck_Extension/catalogue/GsProgramTable.h"
#include "Orvo_Tunedeck_Extension/catalogue/XgProgramTable.h"

#include <string_view>

namespace {

// Only U+0020 is trimmed: tabs and other characters belong to the name.
std::string_view trimSpaces(std::string_view name)
{
    const auto first = name.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = name.find_last_not_of(' ');
    return name.substr(first, last - first + 1);
}

// Channel text: channel + 1, with a leading "0" below 10. Computed in int so that channel 255 gives "256".
std::string formatChannel(std::uint8_t channel)
{
    const int shown = int(channel) + 1;
    return (shown < 10 ? "0" : "") + std::to_string(shown);
}

}  // namespace

Soundfontprograms::Soundfontprograms()
{
    makeGS();
}

void Soundfontprograms::makeGM()
{
    replaceRows(generalMidiProgramTable());
}

void Soundfontprograms::makeGS()
{
    replaceRows(gsProgramTable());
}

void Soundfontprograms::makeXG()
{
    replaceRows(xgProgramTable());
}

void Soundfontprograms::replaceRows(std::span<const ProgramTableRow> table)
{
    programs.clear();
    programs.reserve(table.size());
    for (const ProgramTableRow& row : table) {
        programs.push_back({row.number, row.bankMsb, row.bankLsb, std::string(row.name)});
    }
}

std::string Soundfontprograms::formatInstrumentName(std::uint8_t channel, std::uint8_t number, std::uint8_t msb,
                                                    std::uint8_t lsb) const
{
    for (const SoundfontProgram& program : programs) {
        if (program.number == number && program.bankMsb == msb && program.bankLsb == lsb) {
            return "CH " + formatChannel(channel) + " : " + formatThreeDigits(program.bankMsb) + "/" +
                   formatThreeDigits(program.bankLsb) + " - " + formatThreeDigits(program.number) + " : " +
                   std::string(trimSpaces(program.name));
        }
    }
    for (const SoundfontProgram& program : programs) {
        if (program.number == number) {
            return "000/000 - " + formatThreeDigits(program.number) + " : " + std::string(trimSpaces(program.name));
        }
    }
    return {};
}

std::string Soundfontprograms::formatInstrumentName(std::ptrdiff_t index) const
{
    if (index < 0 || std::size_t(index) >= programs.size()) {
        return std::to_string(index);
    }
    const SoundfontProgram& program = programs[std::size_t(index)];
    return "MSB:" + formatThreeDigits(program.bankMsb) + " / LSB:" + formatThreeDigits(program.bankLsb) + " - P:" +
           formatThreeDigits(program.number) + " : " + std::string(trimSpaces(program.name));
}

std::string Soundfontprograms::formatThreeDigits(std::uint8_t value)
{
    const std::string digits = std::to_string(value);
    return std::string(3 - digits.size(), '0') + digits;
}
