#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Orvo_Tunedeck_Extension/presets/PresetParam.h"
#include "platform/foundation/PlistValue.h"

// One parameter group of a preset document: its identifier and its parameter values. Plain data; one thread at a
// time, never the render thread.
class PresetGroup {
public:
    std::int64_t id = 0;
    std::int64_t count = 0;
    std::string identifier = "group";
    std::vector<std::shared_ptr<PresetParam>> params;

    // Sorts params by ascending address (in place), then gives "identifier", "count" (the number of parameters) and
    // "param 0", "param 1", ... in that order.
    foundation::PlistDictionary toDictionary();
    // Replaces params with every dictionary under a key containing "param", sorted by address; takes
    // "identifier" and derives id from it; skips every other key.
    void fromDictionary(const foundation::PlistDictionary& dictionary);
    // id := the identifier's last blank-separated word read as a decimal number, or 0 if that is no number.
    void takeIdFromIdentifier();

private:
    void sortParamsByAddress();
};
