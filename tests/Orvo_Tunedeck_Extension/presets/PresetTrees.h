#pragma once

#include <memory>

#include "platform/audiounit/AUParameterTree.h"
#include "platform/audiounit/ComponentDescription.h"

namespace presettest {

// The instrument's component: 'aumu', 'qBvn', 'KWBL'.
inline constexpr AudioComponentDescription kUnit{0x61756D75, 0x7142766E, 0x4B57424C, 0, 0};

inline std::shared_ptr<AUParameter> parameter(const char* key, AUParameterAddress address, AUValue value) {
    auto made = AUParameterTree::createParameter(key, key, address, 0.0f, 127.0f, kAudioUnitParameterUnit_Generic,
                                                 std::nullopt, 0);
    made->setValue(value);
    return made;
}

// A loose parameter at the top (not recorded), a global group, and a channel group with a nested group.
inline std::shared_ptr<AUParameterTree> smallTree() {
    return AUParameterTree::createTree({
        parameter("kLoose", 1, 0.25f),
        AUParameterTree::createGroup("kTunedeckGlobal", "Global",
                                     {parameter("kTunedeckVolume", 1001, 0.75f),
                                      parameter("kTunedeckTranspose", 1002, 0.5f)}),
        AUParameterTree::createGroup(
            "kTunedeckMutes", "Mutes",
            {parameter("kTunedeckMute1", 1017, 1.0f), parameter("kTunedeckMute0", 1016, 0.0f),
             AUParameterTree::createGroup("kNested 7", "Nested", {parameter("kTunedeckPan0", 1048, 127.0f)})}),
    });
}

}  // namespace presettest
