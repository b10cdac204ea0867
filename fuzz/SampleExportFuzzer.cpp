// An object of a SoundFont 2 bank edited through an XML fragment, then every sample exported as an AIFF file. The
// first byte picks the editor (its low two bits: sample, instrument or preset) and the object (the rest), the others
// are the fragment. The address sanitizer sees every read past the bank's sample data (the data's block is poisoned
// behind its end) and every free of memory the heap did not give. The exported files are removed again.
#include "fuzz/FuzzInput.h"
#include "sampler/src/bank/korvel_defsfont.h"
#include "sampler/src/bank/korvel_sfloader.h"
#include "sampler/src/formats/korvel_aiff_export.h"
#include "sampler/src/formats/korvel_xml_edit.h"
#include "sampler/src/sys/korvel_list.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const fuzzing::InputFile* layeredBank = nullptr;
std::filesystem::path exportFolder;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::silenceStandardOutput();
    static const std::vector<std::uint8_t> bytes = fuzzing::layeredSoundFont2Bank().bytes();
    static const fuzzing::InputFile bank(bytes.data(), bytes.size());
    layeredBank = &bank;
    char folder[] = "/tmp/sample-export-XXXXXX";
    if (mkdtemp(folder) == nullptr) return 1;
    exportFolder = folder;
    std::filesystem::create_directories(exportFolder / "S");
    std::atexit([] {
        std::error_code error;
        std::filesystem::remove_all(exportFolder, error);
    });
    return korvel_aiff_export_set_folder(folder);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    korvel_sfont_t* sfont = korvel_defsfloader_load(nullptr, layeredBank->path().c_str());
    if (sfont == nullptr) return 0;
    korvel_synth_t* synth = fuzzing::bareSynth();
    korvel_synth_add_sfont(synth, sfont);
    auto* bank = static_cast<korvel_defsfont_t*>(sfont->data);
    const std::string fragment(reinterpret_cast<const char*>(data + 1), size - 1);
    const int index = data[0] >> 2;
    switch (data[0] & 3) {
        case 0:
            if (korvel_list_t* cell = korvel_list_nth(bank->sample, index)) {
                korvel_defsfont_set_sample(synth, static_cast<korvel_sample_t*>(cell->data)->uid, fragment.c_str());
            }
            break;
        case 1:
            if (korvel_list_t* cell = korvel_list_nth(bank->inst, index)) {
                korvel_defsfont_set_instrument(synth, static_cast<korvel_inst_t*>(cell->data)->uid, fragment.c_str());
            }
            break;
        default: {
            korvel_defpreset_t* preset = bank->preset;
            for (int skip = index; skip > 0 && preset != nullptr; --skip) preset = preset->next;
            if (preset != nullptr) korvel_defsfont_set_preset(synth, preset->uid, fragment.c_str());
        }
    }
    for (korvel_list_t* cell = bank->sample; cell != nullptr; cell = cell->next) {
        korvel_sample_export_sfont(static_cast<korvel_sample_t*>(cell->data));
    }
    korvel_synth_remove_sfont(synth, sfont);
    sfont->free(sfont);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(exportFolder / "S", error)) {
        std::filesystem::remove(entry.path(), error);
    }
    return 0;
}
