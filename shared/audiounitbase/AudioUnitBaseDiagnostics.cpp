// The diagnostic printing of AudioUnitBase: node, unit, buses and the parameter tree.

#include <array>

#include "platform/foundation/NumberText.h"
#include "shared/audiounitbase/AudioUnitBase.h"
#include "shared/globals/Print.h"
#include "shared/globals/StringValue.h"

namespace {

std::string tabs(int level) { return std::string(static_cast<size_t>(std::max(0, level)), '\t'); }

std::string boolText(bool value) { return value ? "true" : "false"; }

std::string joined(const std::vector<std::string>& items) {
    std::string text = "[";
    for (size_t i = 0; i < items.size(); ++i) text += (i > 0 ? ", \"" : "\"") + items[i] + "\"";
    return text + "]";
}

std::string presetText(const std::optional<AUAudioUnitPreset>& preset) {
    return preset ? std::to_string(preset->number) + " '" + preset->name + "'" : "nil";
}

std::string presetsText(const std::vector<AUAudioUnitPreset>& presets) {
    std::vector<std::string> items;
    for (const auto& preset : presets) items.push_back(presetText(preset));
    return joined(items);
}

// The platform's names of the parameter units, by code.
constexpr std::array<const char*, 27> kParameterKindNames{
    "generic",     "indexed",       "boolean",   "percent",    "seconds",           "sampleFrames",
    "phase",       "rate",          "hertz",     "cents",      "relativeSemiTones", "midiNoteNumber",
    "midiController", "decibels",   "linearGain", "degrees",   "equalPowerCrossfade", "mixerFaderCurve1",
    "pan",         "meters",        "absoluteCents", "octaves", "BPM",              "beats",
    "milliseconds", "ratio",        "customUnit"};

struct FlagName {
    AudioUnitParameterOptions flag;
    const char* name;
};

// In the order they are listed; a flag of several bits is listed when all of them are set.
constexpr std::array<FlagName, 22> kOptionFlags{{
    {kAudioUnitParameterFlag_CanRamp, "flag_CanRamp"},
    {kAudioUnitParameterFlag_MeterReadOnly, "flag_MeterReadOnly"},
    {kAudioUnitParameterFlag_DisplaySquared, "flag_DisplaySquared"},
    {kAudioUnitParameterFlag_DisplayCubed, "flag_DisplayCubed"},
    {kAudioUnitParameterFlag_DisplayCubeRoot, "flag_DisplayCubeRoot"},
    {kAudioUnitParameterFlag_CFNameRelease, "flag_CFNameRelease"},
    {kAudioUnitParameterFlag_OmitFromPresets, "flag_OmitFromPresets"},
    {kAudioUnitParameterFlag_PlotHistory, "flag_PlotHistory"},
    {kAudioUnitParameterFlag_DisplayMask, "flag_DisplayMask"},
    {kAudioUnitParameterFlag_DisplaySquareRoot, "flag_DisplaySquareRoot"},
    {kAudioUnitParameterFlag_DisplayExponential, "flag_DisplayExponential"},
    {kAudioUnitParameterFlag_HasClump, "flag_HasClump"},
    {kAudioUnitParameterFlag_ValuesHaveStrings, "flag_ValuesHaveStrings"},
    {kAudioUnitParameterFlag_DisplayLogarithmic, "flag_DisplayLogarithmic"},
    {kAudioUnitParameterFlag_IsHighResolution, "flag_IsHighResolution"},
    {kAudioUnitParameterFlag_NonRealTime, "flag_NonRealTime"},
    {kAudioUnitParameterFlag_ExpertMode, "flag_ExpertMode"},
    {kAudioUnitParameterFlag_HasCFNameString, "flag_HasCFNameString"},
    {kAudioUnitParameterFlag_IsGlobalMeta, "flag_IsGlobalMeta"},
    {kAudioUnitParameterFlag_IsElementMeta, "flag_IsElementMeta"},
    {kAudioUnitParameterFlag_IsReadable, "flag_IsReadable"},
    {kAudioUnitParameterFlag_IsWritable, "flag_IsWritable"},
}};

}  // namespace

void AudioUnitBase::nodeDiagnostics() {
    safeprint("AudioUnitBase::nodeDiagnostics(): \n-----------------------------------------------------------------");
    if (!avAudioUnit) {
        safeprint(" -- node: nil");
        return;
    }
    const audioengine::Node& node = *avAudioUnit;
    safeprint(" -- node lastRenderTime: " + std::to_string(node.lastRenderSampleTime()));
    safeprint(" -- node latency: " + foundation::numberText(node.latency()));
    safeprint(" -- node numberOfInputs: " + std::to_string(node.numberOfInputs()));
    for (uint32_t i = 0; i < node.numberOfInputs(); ++i)
        safeprint(" -- node inputFormat(" + std::to_string(i) + "): " + node.inputFormat(i).description());
    safeprint(" -- node numberOfOutputs: " + std::to_string(node.numberOfOutputs()));
    for (uint32_t i = 0; i < node.numberOfOutputs(); ++i)
        safeprint(" -- node outputFormat(" + std::to_string(i) + "): " + node.outputFormat(i).description());
    safeprint(" -- node outputPresentationLatency: " + foundation::numberText(node.latency()));
    unitDiagnostics(*avAudioUnit->auAudioUnit());
}

void AudioUnitBase::unitDiagnostics(AUAudioUnit& unit) {
    const AudioComponentDescription& d = unit.componentDescription();
    std::string values;
    if (const auto tree = unit.parameterTree())
        for (const auto& parameter : tree->allParameters())
            values += std::to_string(parameter->address()) + "=" + foundation::numberText(parameter->value()) + " ";
    std::vector<std::string> capabilities;
    for (int32_t count : unit.channelCapabilities()) capabilities.push_back(std::to_string(count));
    std::vector<std::string> overview;
    for (AUParameterAddress address : unit.parametersForOverview(8)) overview.push_back(std::to_string(address));

    const std::vector<std::string> lines{
        "all parameter values: " + values,
        "short name: " + unit.audioUnitName(),
        "can process in place: " + boolText(unit.canProcessInPlace()),
        "channel capabilities: " + joined(capabilities),
        "channel map: nil",
        "component: " + unit.componentName(),
        "component description: type " + stringValue(d.componentType) + ", subtype " +
            stringValue(d.componentSubType) + ", manufacturer " + stringValue(d.componentManufacturer) + ", flags " +
            std::to_string(d.componentFlags) + ", mask " + std::to_string(d.componentFlagsMask),
        "component name: " + unit.componentName(),
        "component version: " + std::to_string(unit.componentVersion()),
        "context name: " + unit.contextName(),
        "current preset: " + presetText(unit.currentPreset()),
        "factory presets: " + presetsText(unit.factoryPresets()),
        "input busses: " + std::to_string(unit.inputBusses().count()) + " (input)",
        "output busses: " + std::to_string(unit.outputBusses().count()) + " (output)",
        "music device or effect: " + boolText(unit.isMusicDeviceOrEffect()),
        "offline rendering: false",
        "latency: " + foundation::numberText(unit.latency()),
        "manufacturer name: " + unit.manufacturerName(),
        "maximum frames to render: " + std::to_string(unit.maximumFramesToRender()),
        "MIDI buffer size: " + std::to_string(ScheduledMIDIQueue::kMaximumMessageBytes),
        "MIDI output event block: " + std::string(unit.MIDIOutputEventBlock() ? "set" : "nil"),
        "MIDI output names: " + joined(unit.MIDIOutputNames()),
        "musical context block: nil",
        "parameters for overview: " + joined(overview),
        "parameter tree: " + std::string(unit.parameterTree() ? "present" : "nil"),
        "user interface: none",
        "render quality: 127",
        "render resources allocated: " + boolText(unit.renderResourcesAllocated()),
        "bypass: " + boolText(unit.shouldBypassEffect()),
        "supported view configurations: all",
        "MPE support: false",
        "user preset support: " + boolText(unit.supportsUserPresets()),
        "tail time: " + foundation::numberText(unit.tailTime()),
        "transport state block: nil",
        "user presets: " + presetsText(unit.userPresets()),
        "MIDI cable count: " + std::to_string(unit.virtualMIDICableCount()),
    };
    for (const auto& line : lines) safeprint(" -- unit " + line);
    for (AUAudioUnitBusArray* busses : {&unit.inputBusses(), &unit.outputBusses()})
        for (uint32_t i = 0; i < busses->count(); ++i) busDiagnostics(*(*busses)[i], i);
}

void AudioUnitBase::busDiagnostics(const AUAudioUnitBus& bus, uint32_t index) {
    const AudioFormat& format = bus.format();
    safeprint(" -- unit bus " + std::to_string(index) + " format: channels " + std::to_string(format.channelCount) +
              ", common format 32-bit float, channel layout " + (format.channelCount == 2 ? "stereo" : "mono") +
              ", interleaved " + boolText(format.isInterleaved()) + ", standard " + boolText(format.isStandard()) +
              ", sample rate " + foundation::numberText(format.sampleRate));
    safeprint(" -- unit bus " + std::to_string(index) + " maximum channel count: " +
              std::to_string(bus.maximumChannelCount()) + ", allocates buffers: " +
              boolText(bus.shouldAllocateBuffer()) + ", representation latency: 0.0");
}

void AudioUnitBase::extractParameters(const std::string& name, const AUParameterGroup* tree, int level) {
    safeprint(tabs(level) + "AudioUnitBase::extractParameters(): Extracting the parameter tree for " + name +
              ", level " + std::to_string(level) + ": ");
    if (tree == nullptr || tree->children().empty()) {
        safeprint("AudioUnitBase::extractParameters(): The parameter group for " + name + " has no children.");
        return;
    }
    for (const auto& child : tree->children()) {
        const auto* group = dynamic_cast<const AUParameterGroup*>(child.get());
        if (group == nullptr) continue;
        for (const auto& parameter : group->allParameters()) printParameter(*parameter, level + 1);
        safeprint("-> " + group->keyPath());
    }
}

void AudioUnitBase::printParameter(const AUParameter& parameter, int level) {
    const std::string indent = tabs(level);
    std::vector<std::string> strings = parameter.valueStrings();
    safeprint("\n" + indent + "AudioUnitBase::printParameter(): Folllowing AU parameter " + contextName +
              " was found... ");
    safeprint(indent + "- address: " + std::to_string(parameter.address()));
    safeprint(indent + "- displayName: " + parameter.displayName());
    safeprint(indent + "- value: " + foundation::numberText(parameter.value()));
    safeprint(indent + "- options: ");
    verboseFlags(parameter.flags(), level);
    safeprint(indent + "- maxValue: " + foundation::numberText(parameter.maxValue()));
    safeprint(indent + "- minValue: " + foundation::numberText(parameter.minValue()));
    safeprint(indent + "- unit: " + verboseParameterKind(parameter.unit()));
    safeprint(indent + "- unitName: " + parameter.unitName().value_or("nil"));
    safeprint(indent + "- valueStrings: " + (strings.empty() ? std::string("nil") : joined(strings)));
}

void AudioUnitBase::verboseFlags(AudioUnitParameterOptions flags, int level) {
    const std::string indent = tabs(level);
    safeprint(indent + "- The flag value includes the following flags... ");
    for (const FlagName& entry : kOptionFlags)
        if ((flags & entry.flag) == entry.flag) safeprint(indent + "  " + entry.name);
}

std::string AudioUnitBase::verboseParameterKind(uint32_t kind) {
    return kind < kParameterKindNames.size() ? kParameterKindNames[kind] : "unknown parameter kind";
}
