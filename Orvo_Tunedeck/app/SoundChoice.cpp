#include "Orvo_Tunedeck/app/SoundChoice.h"

#include "platform/audiounit/AUUnitProperties.h"
#include "shared/audiounitbase/SoundBankLoad.h"

namespace {

// Whether the sound set's bank is what the instrument plays, as the instrument reports its last bank load. An
// instrument that does not report it is taken at its word.
bool soundSetBankLoaded(AUAudioUnit& instrument, int64_t row, std::string& error) {
    SoundBankLoad load;
    if (instrument.getProperty(kSoundBankLoadProperty, kAudioUnitScope_Global, 0, &load, sizeof load) !=
            foundation::noErr ||
        load.status == foundation::noErr)
        return true;
    const std::string bank = "the sound bank '" + load.bank.string() + "' of sound set " + std::to_string(row);
    error = load.status == foundation::kAudio_FileNotFoundError
                ? bank + " is missing"
                : bank + " could not be loaded (status " + std::to_string(load.status) + ")";
    return false;
}

}  // namespace

bool applySoundChoice(ViewController& controller, const SoundChoice& choice, std::string& error) {
    AUAudioUnit& instrument = *controller.player->instrument->audioUnit0;
    if (choice.soundSet) controller.onSoundsetSelected(*choice.soundSet);
    if (!choice.soundfont) return soundSetBankLoaded(instrument, controller.loadedSoundset(), error);
    const std::filesystem::path& bank = *choice.soundfont;
    const foundation::OSStatus status =
        instrument.setProperty(kMusicDeviceProperty_SoundBankURL, kAudioUnitScope_Global, 0, &bank, sizeof bank);
    if (status == foundation::noErr) return true;
    error = "the sound bank '" + bank.string() + "' could not be loaded (status " + std::to_string(status) +
            "); a SoundFont 2 (.sf2) or DLS (.dls) file is needed";
    return false;
}
