#include "Orvo_Tunedeck_Extension/parameters/OrvoTunedeck_Parameters.h"

#include <cstdio>
#include <string>

#include "Orvo_Tunedeck_Extension/parameters/ParameterLayout.h"

namespace {

using namespace TunedeckParameterLayout;

std::shared_ptr<AUParameter> makeParameter(std::string key, std::string name, AUParameterAddress address,
                                           AudioUnitParameterUnit unit, AUValue minValue, AUValue maxValue,
                                           AUValue buildValue) {
    auto parameter = AUParameterTree::createParameter(std::move(key), std::move(name), address, minValue, maxValue,
                                                      unit, std::nullopt, kParameterFlags);
    parameter->setValue(buildValue);
    return parameter;
}

// Whole numbers for switches and 0-127 values, two decimals for fractions of full scale.
std::string displayText(const AUParameter& parameter, AUValue value) {
    const bool whole = parameter.unit() == kAudioUnitParameterUnit_Boolean ||
                       parameter.unit() == kAudioUnitParameterUnit_MIDIController ||
                       parameter.unit() == kAudioUnitParameterUnit_CustomUnit;
    char text[32];
    std::snprintf(text, sizeof text, whole ? "%.0f" : "%.2f", static_cast<double>(value));
    return text;
}

}  // namespace

OrvoTunedeck_Parameters::OrvoTunedeck_Parameters(std::shared_ptr<OrvoTunedeckDSPKernelAdapter> adapter) {
    buildTree();
    for (const auto& parameter : parameterTree->allParameters()) adapter->setParameter(*parameter, parameter->value());

    parameterTree->setImplementorValueObserver(
        [adapter](const AUParameter& parameter, AUValue value) { adapter->setParameter(parameter, value); });
    parameterTree->setImplementorValueProvider(
        [adapter](const AUParameter& parameter) { return adapter->valueForParameter(parameter); });
    parameterTree->setImplementorStringFromValueCallback(
        [adapter](const AUParameter& parameter, const AUValue* value) {
            return displayText(parameter, value != nullptr ? *value : adapter->valueForParameter(parameter));
        });
}

void OrvoTunedeck_Parameters::buildTree() {
    std::vector<std::shared_ptr<AUParameterNode>> globals;
    for (const GlobalParameter& p : kGlobalParameters)
        globals.push_back(makeParameter(p.key, p.name, p.address, p.unit, p.minValue, p.maxValue, p.buildValue));
    groups.push_back(AUParameterTree::createGroup(kGlobalGroupIdentifier, kGlobalGroupName, std::move(globals)));

    for (const ChannelGroup& g : kChannelGroups) {
        std::vector<std::shared_ptr<AUParameterNode>> channels;
        for (int ch = 0; ch < kChannels; ++ch) {
            channels.push_back(makeParameter(std::string(g.keyPrefix) + std::to_string(ch),
                                             "Channel " + std::to_string(ch + 1) + g.nameSuffix,
                                             g.base + static_cast<AUParameterAddress>(ch), g.unit, g.minValue,
                                             g.maxValue, g.buildValue));
        }
        groups.push_back(AUParameterTree::createGroup(g.identifier, g.name, std::move(channels)));
    }

    parameterTree = AUParameterTree::createTree({groups.begin(), groups.end()});
}
