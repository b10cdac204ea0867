#include "Orvo_Tunedeck/app/SoundChoice.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <string_view>

#include "Orvo_Tunedeck/app/UserFiles.h"

#include "platform/audiounit/AUUnitProperties.h"

namespace {

// A RIFF file's form type at bytes 8 to 11 names what it holds.
constexpr std::string_view kRiff = "RIFF";
constexpr std::array<std::string_view, 2> kBankForms{"sfbk", "DLS "};

std::string refusedBank(const std::filesystem::path& bank, const std::string& why) {
    return "the sound bank '" + bank.string() + "' could not be loaded: " + why;
}

}  // namespace

bool checkSoundBankFile(const std::filesystem::path& file, std::string& error) {
    if (!checkReadableFile(file, error)) return false;
    std::array<char, 12> header{};
    std::ifstream(file, std::ios::binary).read(header.data(), header.size());
    const std::string_view bytes(header.data(), header.size());
    const bool bank = bytes.substr(0, 4) == kRiff && std::find(kBankForms.begin(), kBankForms.end(),
                                                                 bytes.substr(8, 4)) != kBankForms.end();
    if (!bank) {
        error = refusedBank(file, "it is neither a SoundFont 2 (.sf2) nor a DLS (.dls) file");
        return false;
    }
    // The RIFF size (little-endian) counts the bytes after the first eight.
    uint64_t riffBytes = 0;
    for (int i = 7; i >= 4; --i) riffBytes = riffBytes << 8 | static_cast<unsigned char>(header[i]);
    std::error_code status;
    const uintmax_t fileBytes = std::filesystem::file_size(file, status);
    if (!status && riffBytes + 8 > fileBytes) {
        error = refusedBank(file, "it is cut short (" + std::to_string(fileBytes) + " of " +
                                      std::to_string(riffBytes + 8) + " bytes)");
        return false;
    }
    return true;
}

bool applySoundChoice(ViewController& controller, const SoundChoice& choice, std::string& error) {
    AUAudioUnit& instrument = *controller.player->instrument->audioUnit0;
    if (choice.soundSet && !controller.chooseSoundset(*choice.soundSet, error)) return false;
    if (!choice.soundfont) return choice.soundSet || controller.soundsetBankLoaded(error);
    const std::filesystem::path& bank = *choice.soundfont;
    const foundation::OSStatus status =
        instrument.setProperty(kMusicDeviceProperty_SoundBankURL, kAudioUnitScope_Global, 0, &bank, sizeof bank);
    if (status == foundation::noErr) return true;
    error = refusedBank(bank, "its content is damaged or of a kind this program does not read");
    return false;
}
