#include "platform/synth/SynthInstance.h"

#include "platform/synth/BankSelect.h"
#include "sampler/src/synth/korvel_synth_midi.h"

namespace synth {

std::unique_ptr<SynthInstance> SynthInstance::create(double sampleRateHz) {
    korvel_settings_t* settings = new_korvel_settings();
    if (settings == nullptr) return nullptr;
    if (korvel_settings_setnum(settings, "synth.sample-rate", sampleRateHz) != 1) {
        delete_korvel_settings(settings);
        return nullptr;
    }
    korvel_synth_t* synth = new_korvel_synth(settings);
    if (synth == nullptr) {
        delete_korvel_settings(settings);
        return nullptr;
    }
    korvel_synth_set_profile(synth, &korvel_product_profile);
    std::unique_ptr<SynthInstance> instance(new SynthInstance(settings, synth));
    instance->resetPrograms();
    return instance;
}

SynthInstance::~SynthInstance() {
    delete_korvel_synth(synth_);
    retired_.clear();
    delete_korvel_settings(settings_);
}

bool SynthInstance::replaceBank(LoadedSoundBank loaded) {
    korvel_synth_all_sounds_off_all(synth_);
    korvel_sfont_t* previous = sfont_;
    if (previous != nullptr) korvel_synth_remove_sfont(synth_, previous);
    korvel_sfont_t* next = loaded.sfont.get();
    if (korvel_synth_add_sfont(synth_, next) < 0) {
        if (previous != nullptr) korvel_synth_add_sfont(synth_, previous);
        return false;
    }
    loaded.sfont.release();
    sfont_ = next;
    bank_ = loaded.bank;
    if (previous != nullptr && previous->free(previous) != 0) retired_.emplace_back(previous);
    return true;
}

void SynthInstance::resetPrograms() {
    for (int channel = 0; channel < kMIDIChannels; ++channel) {
        korvel_synth_bank_select(synth_, channel, bankNumber(channel, 0, 0));
        korvel_synth_program_change(synth_, channel, 0);
    }
}

korvel_defpreset_t* SynthInstance::presetForPreload(unsigned bankNumber, unsigned program) const {
    return bank_ != nullptr ? korvel_defsfont_get_preset(bank_, bankNumber, program) : nullptr;
}

}  // namespace synth
