#pragma once
// One instance of our SoundFont library as the stand-in runs it: its settings, its synthesizer at one sample rate
// with the product profile (four-point interpolation, voice filter, effect sends and tails), and the one sound bank
// the synthesizer plays. Every channel starts as a General MIDI device does: program 0,
// the standard kit on the drum channel.
//
// Thread contract: creation, destruction, replaceBank and resetPrograms on the control thread while nothing renders
// (the owner keeps the render thread out); synth() is used by the render thread for notes and rendering, and
// presetForPreload() only reads the bank model, so the control thread may call it while rendering goes on.

#include <memory>
#include <vector>

#include "platform/synth/SoundBankFile.h"
#include "sampler/src/synth/korvel_synth.h"

namespace synth {

class SynthInstance {
public:
    // Null when the library cannot make a synthesizer at this rate (it logs why). sampleRateHz: 24000 to 96000.
    static std::unique_ptr<SynthInstance> create(double sampleRateHz);
    ~SynthInstance();
    SynthInstance(const SynthInstance&) = delete;
    SynthInstance& operator=(const SynthInstance&) = delete;

    korvel_synth_t* synth() const { return synth_; }
    double sampleRateHz() const { return synth_->sample_rate; }
    bool hasBank() const { return bank_ != nullptr; }

    // Stops every voice, releases the bank played so far and plays loaded.sfont from now on; channels keep their
    // programs, now found in the new bank. False, with the previous bank kept, when the library refuses it.
    bool replaceBank(LoadedSoundBank loaded);
    // Program 0 on every channel, the standard kit (bank 128, program 0) on the drum channel.
    void resetPrograms();
    // The preset of the bank that a program change on a channel would pick, or null without a bank.
    korvel_defpreset_t* presetForPreload(unsigned bankNumber, unsigned program) const;

private:
    SynthInstance(korvel_settings_t* settings, korvel_synth_t* synth) : settings_(settings), synth_(synth) {}

    korvel_settings_t* settings_;
    korvel_synth_t* synth_;
    korvel_sfont_t* sfont_ = nullptr;     // on the synthesizer's stack, owned by it
    korvel_defsfont_t* bank_ = nullptr;   // the model behind sfont_
    std::vector<SoundFontPtr> retired_;   // banks taken off while a sample was still held; released at the end
};

}  // namespace synth
