#pragma once
// Reads a sound-bank file into the library's sound-bank model: a DLS bank when the file's content says so, a
// SoundFont 2 bank otherwise. The file's name and extension play no part.
//
// Thread contract: control thread; touches no synthesizer.

#include <filesystem>
#include <memory>

#include "platform/foundation/Status.h"
#include "sampler/src/bank/korvel_defsfont.h"

namespace synth {

// Releases a sound font that no synthesizer holds.
struct SoundFontRelease {
    void operator()(korvel_sfont_t* sfont) const noexcept { sfont->free(sfont); }
};
using SoundFontPtr = std::unique_ptr<korvel_sfont_t, SoundFontRelease>;

struct LoadedSoundBank {
    foundation::OSStatus status = foundation::noErr;
    SoundFontPtr sfont;                   // set when status is noErr
    korvel_defsfont_t* bank = nullptr;    // the model behind sfont, owned by it
};

// noErr with the bank; kAudio_FileNotFoundError when there is no file at path; kAudioUnitErr_InvalidFile when the
// file cannot be read or is neither a DLS nor a SoundFont 2 bank the library accepts (its reader logs why).
LoadedSoundBank loadSoundBank(const std::filesystem::path& path);

}  // namespace synth
