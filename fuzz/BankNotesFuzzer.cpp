// Notes played from a SoundFont 2 or DLS bank made from the input: a file that begins like a DLS file goes to the
// DLS reader, any other to the SoundFont 2 reader. Every preset of the bank (up to 16) plays low, middle and high
// keys at three velocities on a channel of its own, and the synthesizer renders the notes' starts and releases.
#include "fuzz/FuzzInput.h"
#include "sampler/src/bank/korvel_defsfont.h"
#include "sampler/src/bank/korvel_sfloader.h"
#include "sampler/src/formats/korvel_dls.h"
#include "sampler/src/synth/korvel_synth_midi.h"
#include "sampler/src/synth/korvel_synth_render.h"

#include <cstring>

namespace {

bool looksLikeDls(const std::uint8_t* data, std::size_t size) {
    return size >= 12 && std::memcmp(data + 8, "DLS ", 4) == 0;
}

korvel_sfont_t* load(const std::uint8_t* data, std::size_t size, const std::string& path) {
    if (!looksLikeDls(data, size)) return korvel_defsfloader_load(nullptr, path.c_str());
    korvel_defsfont_t* bank = new_korvel_defsfont();
    if (bank == nullptr) return nullptr;
    if (korvel_dls_load(bank, path.c_str()) != 0) {
        delete_korvel_defsfont(bank);
        return nullptr;
    }
    return korvel_defsfont_new_sfont(bank);
}

void render(korvel_synth_t* synth) {
    float left[256];
    float right[256];
    korvel_synth_write_float(synth, 256, left, 0, 1, right, 0, 1);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::silenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::InputFile file(data, size);
    korvel_sfont_t* sfont = load(data, size, file.path());
    if (sfont == nullptr) return 0;
    korvel_synth_t* synth = fuzzing::bareSynth();
    korvel_synth_add_sfont(synth, sfont);
    auto* bank = static_cast<korvel_defsfont_t*>(sfont->data);
    int chan = 0;
    for (korvel_defpreset_t* preset = bank->preset; preset != nullptr && chan < 16; preset = preset->next, ++chan) {
        korvel_synth_program_select(synth, chan, sfont->id, preset->bank, preset->num);
        for (int key : {0, 36, 60, 96, 127}) {
            for (int velocity : {1, 64, 127}) korvel_synth_noteon(synth, chan, key, velocity);
        }
    }
    render(synth);
    render(synth);
    korvel_synth_all_notes_off_all(synth);
    render(synth);
    // Off the stack first, so that the reset leaves no channel on one of its presets, and every voice stopped
    // before its samples go.
    korvel_synth_remove_sfont(synth, sfont);
    korvel_synth_system_reset(synth);
    sfont->free(sfont);
    return 0;
}
