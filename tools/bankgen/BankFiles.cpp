#include "tools/bankgen/BankFiles.h"

#include "tools/bankgen/DlsExport.h"
#include "tools/bankgen/Sf2Export.h"

#include <fstream>
#include <string>
#include <system_error>

namespace bankgen {

namespace {

std::string bankTitle(ProgramTable table)
{
    switch (table) {
    case ProgramTable::gs:
        return "Orvo Tunedeck GS Set";
    case ProgramTable::xg:
        return "Orvo Tunedeck XG Set";
    case ProgramTable::generalMidi:
        break;
    }
    return "Orvo Tunedeck GM Set";
}

} // namespace

std::vector<std::uint8_t> bankFileBytes(const ProgramSet& set, const BankFile& file)
{
    std::vector<PresetSlot> layout = presetLayout(file.table);
    switch (file.format) {
    case BankFormat::dls:
        return toDls(set, layout, bankTitle(file.table)).bytes();
    case BankFormat::soundFont2:
        break;
    }
    return toSoundFont2(set, layout, bankTitle(file.table)).bytes();
}

bool writeBankFile(const ProgramSet& set, const BankFile& file, const std::filesystem::path& folder)
{
    std::vector<std::uint8_t> bytes = bankFileBytes(set, file);
    std::filesystem::path target = folder / file.fileName;
    std::filesystem::path partial = target;
    partial += ".part";
    bool written = false;
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        written = static_cast<bool>(out.flush());
    }
    std::error_code error;
    if (written) {
        std::filesystem::rename(partial, target, error);
    }
    if (!written || error) {
        std::filesystem::remove(partial, error);
        return false;
    }
    return true;
}

} // namespace bankgen
