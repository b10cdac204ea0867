#include "Orvo_Tunedeck/engine/ExternalAudioUnit.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "platform/foundation/Log.h"
#include "shared/globals/Print.h"
#include "shared/globals/StringValue.h"

namespace {

std::string processName() {
    std::ifstream comm("/proc/self/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

void printNow(const std::string& text) {
    size_t start = 0;
    while (true) {
        const size_t end = text.find('\n', start);
        foundation::writeLogLine(std::string_view(text).substr(start, end - start));
        if (end == std::string::npos) return;
        start = end + 1;
    }
}

// Effects, generators and instruments; the types a node can be made for.
bool isSupportedUnitType(uint32_t type) {
    switch (type) {
        case 0x61756678:  // 'aufx'
        case 0x61756D66:  // 'aumf'
        case 0x6175676E:  // 'augn'
        case 0x61756D69:  // 'aumi'
        case 0x61756D75:  // 'aumu'
            return true;
        default:
            return false;
    }
}

std::string statusText(foundation::OSStatus status) {
    return status == foundation::noErr ? "?" : "The operation couldn't be completed. (status " +
                                                   std::to_string(status) + ")";
}

}  // namespace

ExternalAudioUnit::ExternalAudioUnit(std::shared_ptr<audioengine::Engine> engine, AudioComponentRegistry& registry)
    : AudioUnitBase(std::move(engine)), registry_(registry) {}

std::string ExternalAudioUnit::describe(const AudioComponentDescription& description) {
    char flags[16];
    std::snprintf(flags, sizeof flags, "%#010x", description.componentFlags);
    return "\nProcess Name: " + processName() + " PID: " + std::to_string(getpid()) + "\n" + "AudioUnit (\ntype: " +
           stringValue(description.componentType) + "\nsubtype: " + stringValue(description.componentSubType) +
           "\nmanufacturer: " + stringValue(description.componentManufacturer) + "\nflags: " + flags + "\n)";
}

void ExternalAudioUnit::createAsync(const AudioComponentDescription& description, const std::string& name) {
    if (!engine) {
        safeprint("ExternalAudioUnit::ERROR: Engine is nil.");
        return;
    }
    contextName = name;
    printNow(describe(description));
    search(description);
}

void ExternalAudioUnit::search(const AudioComponentDescription& description) {
    _availableAudioUnits = registry_.components(description);
    for (const AudioComponent& component : _availableAudioUnits) {
        safeprint(component.name() + " (" + stringValue(component.description().componentType) + " " +
                  stringValue(component.description().componentSubType) + " " +
                  stringValue(component.description().componentManufacturer) + ") " + component.modulePath());
        printNow(describe(component.description()));
    }
    if (_availableAudioUnits.empty()) {
        printNow(describe(description));
        printNow("[]");
        safeprint("ExternalAudioUnit::ERROR: No audio units found, based on this description.");
        return;
    }
    const AudioComponent& first = _availableAudioUnits.front();
    safeprint("ExternalAudioUnit: An AudioUnit with the following description was found: ");
    printNow(describe(first.description()));
    std::weak_ptr<AudioUnitBase> weak = weak_from_this();
    AudioComponentRegistry::instantiateAsync(first, [weak](std::shared_ptr<AUAudioUnit> unit,
                                                           foundation::OSStatus status) {
        if (const auto self = std::static_pointer_cast<ExternalAudioUnit>(weak.lock()))
            self->onInstantiated(std::move(unit), status);
    });
}

void ExternalAudioUnit::onInstantiated(std::shared_ptr<AUAudioUnit> unit, foundation::OSStatus status) {
    if (!unit) {
        safeprint("ExternalAudioUnit::Error: Could not instantiate audio unit.");
        safeprint(statusText(status));
        return;
    }
    safeprint("ExternalAudioUnit: An AudioUnit was found and will be instanciated.");
    hold(std::make_shared<audioengine::UnitNode>(std::move(unit)));
    adopt();
}

void ExternalAudioUnit::hold(std::shared_ptr<audioengine::UnitNode> node) {
    if (avAudioUnit) {
        destroy();
        audioUnit0.reset();
    }
    node->auAudioUnit()->setContextName(contextName);
    audioUnit0 = node->auAudioUnit();
    avAudioUnit = std::move(node);
}

void ExternalAudioUnit::create(const AudioComponentDescription& description, const std::string& name) {
    if (!engine) {
        safeprint("ExternalAudioUnit::ERROR: Engine is nil.");
        return;
    }
    contextName = name;
    componentDescription = description;
    if (!isSupportedUnitType(description.componentType)) {
        safeprint("ExternalAudioUnit::ERROR: Unit type is not supported.");
        return;
    }
    std::string error;
    const auto node = audioengine::UnitNode::instantiate(description, error, registry_);
    if (!node) {
        safeprint("ExternalAudioUnit::Error: Could not instantiate audio unit.");
        safeprint(error);
        return;
    }
    hold(node);
    safeprint("ExternalAudioUnit::create(): Audio unit " + audioUnit0->audioUnitName() + " was loaded and attached.");
    adopt();
}

void ExternalAudioUnit::adopt() {
    const std::shared_ptr<AUAudioUnit> unit = audioUnit0;
    if (isMIDIGenerator()) {
        safeprint(
            "ExternalAudioUnit::create(): The audio unit reports MIDI output names. Assigning a handling block.");
        unit->setMIDIOutputEventBlock(
            [weak = weak_from_this()](AUEventSampleTime time, uint8_t cable, int64_t length, const uint8_t* bytes) {
                const auto self = std::static_pointer_cast<ExternalAudioUnit>(weak.lock());
                return self ? self->midiOutputHandler(time, cable, length, bytes) : foundation::noErr;
            });
    }
    engine->attach(avAudioUnit);
    makeParameters();
    nodeDiagnostics();
    if (delegate != nullptr) delegate->onFoundComponent(this);
}

foundation::OSStatus ExternalAudioUnit::midiOutputHandler(int64_t sampleTime, uint8_t cable, int64_t length,
                                                          const uint8_t* bytes) {
    if (length <= 0 || bytes == nullptr || bytes[0] < 0x80) return foundation::noErr;
    return midi(sampleTime, cable, length, bytes);
}
