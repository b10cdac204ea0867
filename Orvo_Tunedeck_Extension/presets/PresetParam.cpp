#include "Orvo_Tunedeck_Extension/presets/PresetParam.h"

#include "Orvo_Tunedeck_Extension/presets/PresetFieldReading.h"

foundation::PlistDictionary PresetParam::toDictionary() const {
    return {
        {"address", address},
        {"identifier", identifier},
        {"value", value},
    };
}

void PresetParam::fromDictionary(const foundation::PlistDictionary& dictionary) {
    for (const auto& [key, entry] : dictionary) {
        if (key == "identifier") {
            if (const auto* text = entry.string()) identifier = *text;
        } else if (key == "address") {
            if (const auto number = presetfields::readAddress(entry)) address = *number;
        } else if (key == "value") {
            if (const auto number = presetfields::readFloat(entry)) value = *number;
        }
    }
}
