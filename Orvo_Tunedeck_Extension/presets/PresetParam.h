#pragma once

#include <cstdint>
#include <string>

#include "platform/foundation/PlistValue.h"

class PresetGroup;

// One parameter value of a preset document. Plain data; one thread at a time, never the render thread.
class PresetParam {
public:
    PresetGroup* group = nullptr;  // not owning; the document's own operations leave it unset
    std::uint64_t address = 0;
    std::string identifier = "parameter";
    float value = 0.0f;

    // "address" (integer), "identifier" (string), "value" (real).
    foundation::PlistDictionary toDictionary() const;
    // Takes "identifier", "address" and "value" when they have a usable type; skips every other key and value.
    void fromDictionary(const foundation::PlistDictionary& dictionary);
};
