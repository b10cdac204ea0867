// Sound sets: the synthesizer's bank together with the program catalogue that names it.

#include <algorithm>

#include "Orvo_Tunedeck_Extension/audiounit/OrvoTunedeck_AudioUnit.h"
#include "Orvo_Tunedeck_Extension/catalogue/SoundSet.h"
#include "platform/audiounit/AUUnitProperties.h"
#include "shared/globals/Print.h"

namespace {

constexpr const char* kNoSynthLine = "OrvoTunedeck_AudioUnit::getSynth() : ERROR: The internal synth is nil.";

}  // namespace

void OrvoTunedeck_AudioUnit::loadSoundfontMode(const std::string& mode) {
    if (!synth_) {
        safeprint(kNoSynthLine);
        return;
    }
    bankChosen_ = true;
    const SoundSetChoice choice = soundSetForCode(mode);
    synth_->loadSoundFont(choice.bankNumber);
    // A set whose bank did not load leaves the bank that plays, and the names of its programs, as they were; the
    // host reads why through kSoundBankLoadProperty.
    if (synth_->lastSoundBankLoad.status != foundation::noErr) return;
    loadProgramTable(*soundfontprograms_, choice.table);
    preloadSoundfontPrograms();
}

void OrvoTunedeck_AudioUnit::loadSoundfontNumber(int number) {
    if (!synth_) {
        safeprint(kNoSynthLine);
        return;
    }
    bankChosen_ = true;
    synth_->loadSoundFont(number);
    loadProgramTable(*soundfontprograms_, ProgramTable::generalMidi);
    preloadSoundfontPrograms();
}

bool OrvoTunedeck_AudioUnit::loadSoundfontURL(const std::filesystem::path& url) {
    if (!synth_) {
        safeprint(kNoSynthLine);
        return false;
    }
    bankChosen_ = true;
    const bool loaded = synth_->loadSoundFont(url);
    loadProgramTable(*soundfontprograms_, ProgramTable::generalMidi);
    // A file the synthesizer refused has no programs to preload: each try would only fail and say so.
    if (loaded) preloadSoundfontPrograms();
    return loaded;
}

foundation::OSStatus OrvoTunedeck_AudioUnit::setProperty(AudioUnitPropertyID property, AudioUnitScope scope,
                                                         AudioUnitElement element, const void* data, uint32_t size) {
    if (property != kMusicDeviceProperty_SoundBankURL) {
        return AUAudioUnit::setProperty(property, scope, element, data, size);
    }
    if (scope != kAudioUnitScope_Global) return foundation::kAudioUnitErr_InvalidScope;
    if (element != 0) return foundation::kAudioUnitErr_InvalidElement;
    if (data == nullptr || size != sizeof(std::filesystem::path)) return foundation::kAudioUnitErr_InvalidPropertyValue;
    return loadSoundfontURL(*static_cast<const std::filesystem::path*>(data))
               ? foundation::noErr
               : foundation::kAudioUnitErr_InvalidPropertyValue;
}

foundation::OSStatus OrvoTunedeck_AudioUnit::getProperty(AudioUnitPropertyID property, AudioUnitScope scope,
                                                         AudioUnitElement element, void* data, uint32_t size) {
    if (property != kSoundBankLoadProperty) {
        return AUAudioUnit::getProperty(property, scope, element, data, size);
    }
    if (scope != kAudioUnitScope_Global) return foundation::kAudioUnitErr_InvalidScope;
    if (element != 0) return foundation::kAudioUnitErr_InvalidElement;
    if (data == nullptr || size != sizeof(SoundBankLoad)) return foundation::kAudioUnitErr_InvalidPropertyValue;
    if (!synth_) {
        safeprint(kNoSynthLine);
        return foundation::kAudioUnitErr_InvalidProperty;
    }
    *static_cast<SoundBankLoad*>(data) = synth_->lastSoundBankLoad;
    return foundation::noErr;
}

std::optional<std::filesystem::path> OrvoTunedeck_AudioUnit::getSoundfont() {
    if (!synth_) {
        safeprint(kNoSynthLine);
        return std::nullopt;
    }
    return synth_->currentSoundfont;
}

std::shared_ptr<audioengine::UnitNode> OrvoTunedeck_AudioUnit::getSynth() {
    if (!synth_) {
        safeprint(kNoSynthLine);
        return nullptr;
    }
    return synth_->midiSynth;
}

void OrvoTunedeck_AudioUnit::preloadSoundfontPrograms() {
    for (const SoundfontProgram& program : soundfontprograms_->programs) {
        if (!synth_) {
            safeprint(kNoSynthLine);
            return;
        }
        // Kits filed at bank LSB 128 are preloaded on the rhythm channel, which plays kits whatever its bank; the
        // bank select itself must stay a data byte.
        synth_->preloadPatch(program.bankMsb, bankLsbDataByte(program.bankLsb), program.number,
                             preloadChannelForBankLsb(program.bankLsb));
    }
}
