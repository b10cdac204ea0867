#include "shared/audiounitmidisynth/AudioUnitMIDISynth.h"

#include "platform/audiounit/AudioComponentRegistry.h"
#include "platform/synth/MIDISynthComponent.h"
#include "shared/audiounitmidisynth/SoundBankResource.h"
#include "shared/globals/Print.h"

namespace {

constexpr uint8_t kControlChange = 0xB0;
constexpr uint8_t kProgramChange = 0xC0;
constexpr uint8_t kRhythmChannel = 9;
constexpr uint32_t kBankSelectMSB = 0;
constexpr uint32_t kBankSelectLSB = 32;

// The form a file URL takes in log lines.
std::string urlDescription(const std::filesystem::path& url) { return "file://" + url.string(); }

void makeSynthesizerKnown(const AudioComponentDescription& description) {
    AudioComponentRegistry& registry = AudioComponentRegistry::shared();
    if (registry.components(description).empty()) registerMIDISynth(registry);
}

}  // namespace

AudioUnitMIDISynth::AudioUnitMIDISynth(std::shared_ptr<audioengine::Engine> engine)
    : AudioUnitBase(std::move(engine)) {}

void AudioUnitMIDISynth::create(const std::string& name) {
    if (!engine) {
        debugprint("AudioUnitMIDISynth::ERROR: Engine is nil.");
        return;
    }
    contextName = name;
    makeSynthesizerKnown(cd);
    std::string error;
    midiSynth = audioengine::UnitNode::instantiate(cd, error);
    avAudioUnit = midiSynth;
    if (!midiSynth) {
        debugprint("AudioUnitMIDISynth::create(): ERROR: The synthesizer could not be made. " + error);
        return;
    }
    const auto unit = midiSynth->auAudioUnit();
    unit->setContextName(name);
    if (isMIDIGenerator()) {
        debugprint(
            "AudioUnitMIDISynth::create(): The audio unit reports MIDI output names. Assigning a handling block.");
        unit->setMIDIOutputEventBlock(midiForwardingBlock());
    }
    engine->attach(midiSynth);
    if (delegate != nullptr) delegate->onFoundComponent(this);
    nodeDiagnostics();
    makeParameters();
}

void AudioUnitMIDISynth::destroy() {
    if (!engine) {
        debugprint("AudioUnitMIDISynth::ERROR: Engine is nil.");
        return;
    }
    if (midiSynth) {
        engine->disconnectNodeInput(midiSynth);
        engine->disconnectNodeOutput(midiSynth);
        engine->detach(midiSynth);
        avAudioUnit.reset();
    }
    midiSynth.reset();
}

void AudioUnitMIDISynth::initialize() {
    loadSoundFont(0);
    std::vector<uint32_t> patches(128);
    for (uint32_t program = 0; program < patches.size(); ++program) patches[program] = program;
    preloadPatches(0, patches, 0, 0);
    preloadPatches2(patches);
}

std::shared_ptr<AUAudioUnit> AudioUnitMIDISynth::synthUnit(const char* operation) {
    auto unit = midiSynth ? midiSynth->auAudioUnit() : nullptr;
    if (!unit)
        debugprint(std::string("AudioUnitMIDISynth::") + operation + "(): ERROR: The audio unit (" + contextName +
                   ") is nil.");
    return unit;
}

void AudioUnitMIDISynth::loadSoundFont(int number) {
    const SoundBankResource resource = soundBankForNumber(number);
    const auto url = soundBankURL(resource);
    if (!url) {
        lastSoundBankLoad = {soundBankFile(resource), foundation::kAudio_FileNotFoundError};
        debugprint("AudioUnitMIDISynth::ERROR: The soundfont could not be found.");
        return;
    }
    loadSoundFont(*url);
}

bool AudioUnitMIDISynth::loadSoundFont(const std::filesystem::path& url) {
    const auto unit = synthUnit("loadSoundFont");
    if (!unit) return false;
    const foundation::OSStatus status =
        unit->setProperty(kMusicDeviceProperty_SoundBankURL, kAudioUnitScope_Global, 0, &url, sizeof url);
    lastSoundBankLoad = {url, status};
    if (status == foundation::noErr) {
        debugprint("AudioUnitMIDISynth: The soundfont at " + urlDescription(url) + " was successfully loaded.");
    } else {
        debugprint("error " + std::to_string(status));
    }
    return status == foundation::noErr;
}

foundation::OSStatus AudioUnitMIDISynth::setPreloading(AUAudioUnit& unit, bool on) {
    const uint32_t value = on ? 1 : 0;
    return unit.setProperty(kAUMIDISynthProperty_EnablePreload, kAudioUnitScope_Global, 0, &value, sizeof value);
}

bool AudioUnitMIDISynth::beginPreload(AUAudioUnit& unit) {
    const foundation::OSStatus status = setPreloading(unit, true);
    if (status != foundation::noErr)
        debugprint("AudioUnitMIDISynth::ERROR: Preloading patches could not be enabled. " + std::to_string(status));
    return status == foundation::noErr;
}

void AudioUnitMIDISynth::endPreload(AUAudioUnit& unit, const std::string& successLine) {
    const foundation::OSStatus status = setPreloading(unit, false);
    if (status != foundation::noErr) {
        debugprint("AudioUnitMIDISynth::ERROR: Preloading patches could not be disabled. " + std::to_string(status));
    } else if (!successLine.empty()) {
        debugprint(successLine);
    }
}

void AudioUnitMIDISynth::sendBankSelect(AUAudioUnit& unit, uint8_t channel, uint8_t msb, uint8_t lsb) {
    unit.musicDeviceMIDIEvent(kControlChange | channel, kBankSelectMSB, msb, 0);
    unit.musicDeviceMIDIEvent(kControlChange | channel, kBankSelectLSB, lsb, 0);
}

void AudioUnitMIDISynth::preloadPatches(uint8_t channel, const std::vector<uint32_t>& patches, uint8_t msb,
                                        uint8_t lsb) {
    const auto unit = synthUnit("preloadPatches");
    if (!unit || !beginPreload(*unit)) return;
    channel &= 0x0F;
    for (const uint32_t patch : patches) {
        sendBankSelect(*unit, channel, msb, lsb);
        const foundation::OSStatus status = unit->musicDeviceMIDIEvent(kProgramChange | channel, patch, 0, 0);
        if (status != foundation::noErr)
            safeprint("AudioUnitMIDISynth::ERROR: A patch could not be preloaded. " + std::to_string(status));
    }
    endPreload(*unit, "AudioUnitMIDISynth::Sound patch(es) (melodic) was/where preloaded.");
}

void AudioUnitMIDISynth::preloadPatches2(const std::vector<uint32_t>& patches) {
    const auto unit = synthUnit("preloadPatches2");
    if (!unit || !beginPreload(*unit)) return;
    for (const uint32_t patch : patches) {
        const foundation::OSStatus status = unit->musicDeviceMIDIEvent(kProgramChange | kRhythmChannel, patch, 0, 0);
        if (status != foundation::noErr)
            safeprint("AudioUnitMIDISynth::ERROR: A patch could not be preloaded. " + std::to_string(status));
    }
    endPreload(*unit, "AudioUnitMIDISynth::Sound patch(es) (rhythmic) was/where preloaded.");
}

void AudioUnitMIDISynth::preloadPatch(uint8_t msb, uint8_t lsb, uint8_t patch, uint8_t channel) {
    const auto unit = synthUnit("preloadPatch");
    if (!unit || !beginPreload(*unit)) return;
    channel &= 0x0F;
    sendBankSelect(*unit, channel, msb, lsb);
    const foundation::OSStatus status = unit->musicDeviceMIDIEvent(kProgramChange | channel, patch, 0, 0);
    if (status != foundation::noErr)
        debugprint("AudioUnitMIDISynth::ERROR: A patch could not be preloaded. " + std::to_string(status));
    endPreload(*unit, status != foundation::noErr
                          ? std::string()
                          : "AudioUnitMIDISynth::Sound patch " + std::to_string(msb) + ", " + std::to_string(lsb) +
                                ", " + std::to_string(patch) + " was preloaded.");
}
