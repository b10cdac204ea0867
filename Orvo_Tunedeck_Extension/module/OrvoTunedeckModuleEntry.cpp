// The entry point of the extension module: lists the instrument's component and makes its units through the view
// controller, the extension's audio-unit factory, which lives as long as the unit it made.

#include <memory>

#include "Orvo_Tunedeck_Extension/controller/AudioUnitViewController.h"
#include "platform/audiounit/AudioModuleDefinition.h"

namespace {

constexpr const char* kComponentName = "KWBL: Orvo Tunedeck Extension";
constexpr uint32_t kComponentVersion = 1;

// The controller and the unit it created; the unit handed to the host keeps both.
struct ControlledUnit {
    std::shared_ptr<AudioUnitViewController> controller;
    std::shared_ptr<OrvoTunedeck_AudioUnit> unit;
};

std::shared_ptr<AUAudioUnit> makeUnit(const AudioComponentDescription& description) {
    auto owner = std::make_shared<ControlledUnit>();
    owner->controller = AudioUnitViewController::create();
    owner->unit = owner->controller->createAudioUnit(description);
    AUAudioUnit* unit = owner->unit.get();
    return std::shared_ptr<AUAudioUnit>(std::move(owner), unit);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) const TunedeckAudioModule* TunedeckAudioModuleEntry() {
    static AudioModuleDefinition module({
        {OrvoTunedeck_AudioUnit::kComponentDescription, kComponentName, kComponentVersion, makeUnit},
    });
    return module.module();
}
