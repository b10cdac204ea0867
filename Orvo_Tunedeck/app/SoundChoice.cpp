#include "Orvo_Tunedeck/app/SoundChoice.h"

#include "platform/audiounit/AUUnitProperties.h"

bool applySoundChoice(ViewController& controller, const SoundChoice& choice, std::string& error) {
    if (choice.soundSet) controller.onSoundsetSelected(*choice.soundSet);
    if (!choice.soundfont) return true;
    const std::filesystem::path& bank = *choice.soundfont;
    const foundation::OSStatus status = controller.player->instrument->audioUnit0->setProperty(
        kMusicDeviceProperty_SoundBankURL, kAudioUnitScope_Global, 0, &bank, sizeof bank);
    if (status == foundation::noErr) return true;
    error = "the sound bank '" + bank.string() + "' could not be loaded (status " + std::to_string(status) +
            "); a SoundFont 2 (.sf2) or DLS (.dls) file is needed";
    return false;
}
