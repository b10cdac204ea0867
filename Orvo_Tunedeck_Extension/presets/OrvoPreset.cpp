#include "Orvo_Tunedeck_Extension/presets/OrvoPreset.h"

#include "shared/globals/Print.h"

OrvoPreset::OrvoPreset() : patch(new PresetPatch(this)) {}

OrvoPreset::~OrvoPreset() {
    patch->parent = nullptr;
}

void OrvoPreset::setup(const AudioComponentDescription& description, std::int64_t version, std::string name) {
    componentDescription = description;
    patch->type = description.componentType;
    patch->manufacturer = description.componentManufacturer;
    patch->subtype = description.componentSubType;
    patch->version = version;
    patch->name = std::move(name);
}

void OrvoPreset::makeFrom(const AUParameterGroup* group) {
    if (group == nullptr) {
        safeprint("OrvoPreset::makeFrom() : The parameter group has no children.");
        return;
    }
    for (const auto& child : group->children()) {
        const auto* childGroup = dynamic_cast<const AUParameterGroup*>(child.get());
        if (childGroup == nullptr) continue;
        auto presetGroup = std::make_shared<PresetGroup>();
        presetGroup->identifier = childGroup->identifier();
        for (const auto& node : childGroup->children()) {
            const auto* parameter = dynamic_cast<const AUParameter*>(node.get());
            if (parameter == nullptr) continue;
            auto param = std::make_shared<PresetParam>();
            param->address = parameter->address();
            param->identifier = parameter->identifier();
            param->value = parameter->value();
            presetGroup->params.push_back(std::move(param));
        }
        patch->groups.push_back(std::move(presetGroup));
        makeFrom(childGroup);
    }
}

bool OrvoPreset::matches(const AudioComponentDescription& unit) const {
    return componentDescription.componentType == unit.componentType &&
           componentDescription.componentSubType == unit.componentSubType &&
           componentDescription.componentManufacturer == unit.componentManufacturer;
}

bool OrvoPreset::applyTo(OrvoPresetDelegate& delegate, const AudioComponentDescription& unit) const {
    if (!matches(unit)) return false;
    for (const auto& group : patch->groups) {
        for (const auto& param : group->params) {
            delegate.onFoundParameter(param->group != nullptr ? param->group->id : 0, param->identifier,
                                      param->address, param->value);
        }
    }
    return true;
}
