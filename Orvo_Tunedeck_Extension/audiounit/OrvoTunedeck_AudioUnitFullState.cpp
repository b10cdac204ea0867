// The full state: the preset document of the parameter tree, and how a document is applied to the unit.

#include "Orvo_Tunedeck_Extension/audiounit/OrvoTunedeck_AudioUnit.h"
#include "Orvo_Tunedeck_Extension/presets/OrvoPreset.h"
#include "Orvo_Tunedeck_Extension/presets/PresetPatch.h"
#include "shared/globals/Print.h"

std::optional<foundation::PlistDictionary> OrvoTunedeck_AudioUnit::fullState() {
    OrvoPreset preset;
    preset.setup(componentDescription(), 1, "Orvo Tunedeck Preset");
    preset.makeFrom(parameters_->parameterTree.get());
    fullState_ = preset.patch->toDictionary();
    return fullState_;
}

void OrvoTunedeck_AudioUnit::setFullState(const std::optional<foundation::PlistDictionary>& state) {
    OrvoPreset preset;
    if (state) {
        preset.patch->fromDictionary(*state);
    }
    if (!applyPreset(preset)) {
        debugprint("OrvoTunedeck_AudioUnit::fullState() : ERROR: The component description of the patch does not "
                   "match.");
    }
}

bool OrvoTunedeck_AudioUnit::applyPreset(const OrvoPreset& document) {
    if (!document.applyTo(*this, componentDescription())) {
        return false;
    }
    fullState_ = document.patch->toDictionary();
    return true;
}
