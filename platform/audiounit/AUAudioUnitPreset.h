#pragma once
// A preset of a unit: factory presets have numbers from 0, user presets negative numbers.

#include <cstdint>
#include <string>

struct AUAudioUnitPreset {
    std::int64_t number = 0;
    std::string name;

    bool operator==(const AUAudioUnitPreset&) const = default;
};

// A size the host could give the unit's view.
struct AUAudioUnitViewConfiguration {
    double width = 0.0;
    double height = 0.0;
    bool hostHasController = false;
};
