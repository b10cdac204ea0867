// The entry point of the extension module: lists the instrument's component and makes its units.

#include <memory>

#include "Orvo_Tunedeck_Extension/audiounit/OrvoTunedeck_AudioUnit.h"
#include "platform/audiounit/AudioModuleDefinition.h"

namespace {

constexpr const char* kComponentName = "KWBL: Orvo Tunedeck Extension";
constexpr uint32_t kComponentVersion = 1;

}  // namespace

extern "C" __attribute__((visibility("default"))) const TunedeckAudioModule* TunedeckAudioModuleEntry() {
    static AudioModuleDefinition module({
        {OrvoTunedeck_AudioUnit::kComponentDescription, kComponentName, kComponentVersion,
         [](const AudioComponentDescription& description) {
             return std::make_shared<OrvoTunedeck_AudioUnit>(description);
         }},
    });
    return module.module();
}
