#include "platform/synth/SoundBankFile.h"

#include <system_error>

#include "sampler/src/formats/korvel_dls.h"
#include "sampler/src/bank/korvel_sfloader.h"

namespace synth {

namespace {

LoadedSoundBank invalidFile() {
    LoadedSoundBank result;
    result.status = foundation::kAudioUnitErr_InvalidFile;
    return result;
}

LoadedSoundBank loadDLS(const std::string& path) {
    korvel_defsfont_t* bank = new_korvel_defsfont();
    if (bank == nullptr) return invalidFile();
    if (korvel_dls_load(bank, path.c_str()) != 0) {
        delete_korvel_defsfont(bank);
        return invalidFile();
    }
    korvel_sfont_t* sfont = korvel_defsfont_new_sfont(bank);
    if (sfont == nullptr) {
        delete_korvel_defsfont(bank);
        return invalidFile();
    }
    LoadedSoundBank result;
    result.sfont.reset(sfont);
    result.bank = bank;
    return result;
}

LoadedSoundBank loadSoundFont2(const std::string& path) {
    korvel_sfont_t* sfont = korvel_defsfloader_load(nullptr, path.c_str());
    if (sfont == nullptr) return invalidFile();
    LoadedSoundBank result;
    result.sfont.reset(sfont);
    result.bank = static_cast<korvel_defsfont_t*>(sfont->data);
    return result;
}

}  // namespace

LoadedSoundBank loadSoundBank(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        LoadedSoundBank result;
        result.status = foundation::kAudio_FileNotFoundError;
        return result;
    }
    if (!std::filesystem::is_regular_file(path, error)) return invalidFile();
    const std::string name = path.string();
    return korvel_is_dls(name.c_str()) != 0 ? loadDLS(name) : loadSoundFont2(name);
}

}  // namespace synth
