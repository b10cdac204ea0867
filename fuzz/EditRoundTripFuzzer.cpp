// Every instrument, preset and sample of a SoundFont 2 bank set from its own XML text through the editor: the text
// the object gives afterwards must be the text it gave before, or the harness aborts. Names are first brought to what
// the editor keeps of a name (20 printable characters), so that any difference left is the editor's fault.
#include "fuzz/FuzzInput.h"
#include "sampler/src/bank/korvel_defsfont.h"
#include "sampler/src/bank/korvel_sfloader.h"
#include "sampler/src/formats/korvel_xml_edit.h"
#include "sampler/src/formats/korvel_xml_writer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t kNameKept = 20;

void printable(char* text, std::size_t keep) {
    for (std::size_t i = 0; text[i] != '\0'; ++i) {
        if (i == keep) {
            text[i] = '\0';
            break;
        }
        if (text[i] < 0x20 || text[i] > 0x7E) text[i] = '_';
    }
}

template <typename Zone> void printableZones(Zone* global, Zone* first) {
    if (global != nullptr) printable(global->name, SIZE_MAX);
    for (Zone* zone = first; zone != nullptr; zone = zone->next) printable(zone->name, SIZE_MAX);
}

// The object's text before and after it was set from that text; an object too large for the text buffer is skipped.
template <typename Object>
void roundTrip(Object* object, const char* (*get)(Object*),
               int (*set)(korvel_synth_t*, unsigned int, const char*), unsigned int uid) {
    const char* text = get(object);
    if (text == nullptr) return;
    const std::string before(text);
    set(fuzzing::bareSynth(), uid, before.c_str());
    const char* again = get(object);
    if (again == nullptr || before != again) {
        std::fprintf(stderr, "set from its own text, object %u changed:\n%s\n---\n%s\n", uid, before.c_str(),
                     again != nullptr ? again : "(none)");
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::silenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvel_synth_t* synth = fuzzing::bareSynth();
    korvel_sfont_t* sfont = korvel_defsfloader_load(nullptr, fuzzing::InputFile(data, size).path().c_str());
    if (sfont == nullptr) return 0;
    korvel_synth_add_sfont(synth, sfont);
    auto* bank = static_cast<korvel_defsfont_t*>(sfont->data);
    for (korvel_list_t* cell = bank->sample; cell != nullptr; cell = cell->next) {
        auto* sample = static_cast<korvel_sample_t*>(cell->data);
        printable(sample->name_buf, kNameKept);
        roundTrip(sample, korvel_defsfont_get_sample_xml, korvel_defsfont_set_sample, sample->uid);
    }
    for (korvel_list_t* cell = bank->inst; cell != nullptr; cell = cell->next) {
        auto* inst = static_cast<korvel_inst_t*>(cell->data);
        printable(inst->name_buf, kNameKept);
        printableZones(inst->global_zone, inst->zone);
        roundTrip(inst, korvel_defsfont_get_instrument_xml, korvel_defsfont_set_instrument, inst->uid);
    }
    for (korvel_defpreset_t* preset = bank->preset; preset != nullptr; preset = preset->next) {
        printable(preset->name_buf, kNameKept);
        printableZones(preset->global_zone, preset->zone);
        roundTrip(preset, korvel_defsfont_get_preset_xml, korvel_defsfont_set_preset, preset->uid);
    }
    korvel_synth_remove_sfont(synth, sfont);
    sfont->free(sfont);
    return 0;
}
