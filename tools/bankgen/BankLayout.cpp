#include "tools/bankgen/BankLayout.h"

#include "Orvo_Tunedeck_Extension/catalogue/GeneralMidiProgramTable.h"
#include "Orvo_Tunedeck_Extension/catalogue/GsProgramTable.h"
#include "Orvo_Tunedeck_Extension/catalogue/XgProgramTable.h"

#include <algorithm>

namespace bankgen {

std::span<const ProgramTableRow> rowsOf(ProgramTable table)
{
    switch (table) {
    case ProgramTable::gs:
        return gsProgramTable();
    case ProgramTable::xg:
        return xgProgramTable();
    case ProgramTable::generalMidi:
        break;
    }
    return generalMidiProgramTable();
}

PresetSlot slotForRow(const ProgramTableRow& row)
{
    std::string_view name = row.name.substr(0, row.name.find_last_not_of(' ') + 1);
    if (preloadChannelForBankLsb(row.bankLsb) == 9) {
        return {kDrumBank, row.number, std::string(name), true};
    }
    return {static_cast<std::uint16_t>(128 * row.bankMsb + row.bankLsb), row.number, std::string(name), false};
}

std::vector<PresetSlot> presetLayout(ProgramTable table)
{
    std::vector<PresetSlot> slots;
    for (const ProgramTableRow& row : rowsOf(table)) {
        PresetSlot slot = slotForRow(row);
        bool taken = std::any_of(slots.begin(), slots.end(), [&](const PresetSlot& s) {
            return s.bank == slot.bank && s.program == slot.program;
        });
        if (!taken) {
            slots.push_back(std::move(slot));
        }
    }
    std::stable_sort(slots.begin(), slots.end(), [](const PresetSlot& a, const PresetSlot& b) {
        return a.bank != b.bank ? a.bank < b.bank : a.program < b.program;
    });
    return slots;
}

} // namespace bankgen
