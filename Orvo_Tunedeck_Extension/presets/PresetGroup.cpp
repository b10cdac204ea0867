#include "Orvo_Tunedeck_Extension/presets/PresetGroup.h"

#include <algorithm>

#include "Orvo_Tunedeck_Extension/presets/PresetFieldReading.h"

foundation::PlistDictionary PresetGroup::toDictionary() {
    sortParamsByAddress();
    foundation::PlistDictionary dictionary{
        {"identifier", identifier},
        {"count", params.size()},
    };
    for (std::size_t position = 0; position < params.size(); ++position) {
        dictionary.emplace("param " + std::to_string(position), params[position]->toDictionary());
    }
    return dictionary;
}

void PresetGroup::fromDictionary(const foundation::PlistDictionary& dictionary) {
    params.clear();
    if (const auto found = dictionary.find("identifier"); found != dictionary.end()) {
        if (const auto* text = found->second.string()) {
            identifier = *text;
            takeIdFromIdentifier();
        }
    }
    for (const auto* entry : presetfields::entriesContaining(dictionary, "param")) {
        auto param = std::make_shared<PresetParam>();
        param->fromDictionary(*entry);
        params.push_back(std::move(param));
    }
    sortParamsByAddress();
}

void PresetGroup::takeIdFromIdentifier() {
    const auto blank = identifier.rfind(' ');
    const auto number = std::string_view(identifier).substr(blank == std::string::npos ? 0 : blank + 1);
    id = presetfields::decimalNumber(number).value_or(0);
}

void PresetGroup::sortParamsByAddress() {
    std::stable_sort(params.begin(), params.end(),
                     [](const auto& a, const auto& b) { return a->address < b->address; });
}
