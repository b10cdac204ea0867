// The XML sound-bank editor's entry points (korvel_defsfont_set_*) on a fresh copy of a small bank for each input.
// An input's first byte picks the entry point and its second the identifier handed to it; the rest is the XML text
// (for the entry points that read a file, the file's content). Every channel then selects its program again, so
// that edited banks and program numbers reach the preset lookup.
#include "fuzz/FuzzInput.h"
#include "sampler/src/bank/korvel_defsfont.h"
#include "sampler/src/bank/korvel_sfloader.h"
#include "sampler/src/sys/korvel_uid.h"
#include "sampler/src/formats/korvel_xml_edit.h"
#include "sampler/src/formats/korvel_xml_reader.h"
#include "sampler/src/formats/korvel_xml_writer.h"

#include <string>

namespace {

// The seed bank as the library's XML writer writes it: read back, its records keep the identifiers the seed inputs
// name.
const fuzzing::InputFile* seedBankXml = nullptr;

int edit(korvel_synth_t* synth, std::uint8_t entry, unsigned int uid, const std::uint8_t* text, std::size_t size) {
    const std::string fragment(reinterpret_cast<const char*>(text), size);
    const fuzzing::InputFile file(text, size);
    switch (entry % 7) {
        case 0: return korvel_defsfont_set_soundbank(synth, 0, fragment.c_str());
        case 1: return korvel_defsfont_set_preset(synth, uid, fragment.c_str());
        case 2: return korvel_defsfont_set_instrument(synth, uid, fragment.c_str());
        case 3: return korvel_defsfont_set_sample(synth, uid, fragment.c_str());
        case 4: return korvel_defsfont_set_presets_from_file(synth, file.path().c_str());
        case 5: return korvel_defsfont_set_instruments_from_file(synth, file.path().c_str());
        default: return korvel_defsfont_set_samples_from_file(synth, file.path().c_str());
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::silenceStandardOutput();
    const std::vector<std::uint8_t> bytes = fuzzing::seedSoundFont2Bank().bytes();
    static const fuzzing::InputFile soundFont(bytes.data(), bytes.size());
    static const fuzzing::InputFile xml(nullptr, 0);
    korvel_sfont_t* sfont = korvel_defsfloader_load(nullptr, soundFont.path().c_str());
    if (sfont == nullptr) return 1;
    korvel_defsfont_export_xml(static_cast<korvel_defsfont_t*>(sfont->data), xml.path().c_str());
    sfont->free(sfont);
    seedBankXml = &xml;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    korvel_synth_t* synth = fuzzing::bareSynth();
    korvel_defsfont_t* bank = new_korvel_defsfont();
    korvel_defsfont_load_xml(bank, seedBankXml->path().c_str());
    korvel_sfont_t* sfont = korvel_defsfont_new_sfont(bank);
    korvel_synth_add_sfont(synth, sfont);
    for (int* running : {&current_preset_id, &current_instrument_id, &current_sample_id, &current_pzone_id,
                         &current_izone_id, &current_pgenerator_id, &current_igenerator_id, &current_pmodulator_id,
                         &current_imodulator_id}) {
        *running = 1;
    }
    edit(synth, data[0], data[1], data + 2, size - 2);
    korvel_synth_program_reset(synth);
    korvel_synth_program_change(synth, 0, data[1] & 0x7F);
    korvel_synth_program_change(synth, 9, data[1] & 0x7F);
    korvel_synth_remove_sfont(synth, sfont);
    sfont->free(sfont);
    return 0;
}
