#include "shared/audiounitbase/AudioUnitBase.h"

#include <algorithm>
#include <atomic>

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "shared/globals/Print.h"

namespace {

std::atomic<AudioUnitBase*> lastWrapper{nullptr};

constexpr const char* kNoDelegateWarning = "WARNING: No delegate defined for Audio Unit MIDI messages.";

}  // namespace

AudioUnitBase::AudioUnitBase(std::shared_ptr<audioengine::Engine> engine) : engine(std::move(engine)) {
    dispatch::MainQueue::shared().attach(renderLog_);
    renderLogAttached_ = true;
    lastWrapper.store(this);
}

AudioUnitBase::~AudioUnitBase() {
    AudioUnitBase* self = this;
    lastWrapper.compare_exchange_strong(self, nullptr);
    if (renderLogAttached_) dispatch::MainQueue::shared().detach(renderLog_);
}

AudioUnitBase* AudioUnitBase::lastAudioUnitBase() { return lastWrapper.load(); }

std::shared_ptr<AUAudioUnit> AudioUnitBase::audioUnit() const {
    return avAudioUnit ? avAudioUnit->auAudioUnit() : nullptr;
}

void AudioUnitBase::setAudioNode(const std::shared_ptr<audioengine::Node>& node) {
    avAudioUnit = std::dynamic_pointer_cast<audioengine::UnitNode>(node);
}

AUMIDIOutputEventBlock AudioUnitBase::midiForwardingBlock() {
    return [weak = weak_from_this()](AUEventSampleTime time, uint8_t cable, int64_t length, const uint8_t* bytes) {
        const auto self = weak.lock();
        return self ? self->midi(time, cable, length, bytes) : foundation::noErr;
    };
}

void AudioUnitBase::create(const std::string& name) {
    contextName = name;
    std::string error;
    avAudioUnit = audioengine::UnitNode::instantiate(AudioComponentDescription{}, error);
    if (const auto unit = audioUnit()) unit->setContextName(name);
    if (isMIDIGenerator()) {
        safeprint("AudioUnitBase:create(): The audio unit reports MIDI output names. Assigning a handling block.");
        audioUnit()->setMIDIOutputEventBlock(midiForwardingBlock());
    }
    if (engine && avAudioUnit) engine->attach(avAudioUnit);
    makeParameters();
    nodeDiagnostics();
    if (delegate != nullptr) delegate->onFoundComponent(this);
}

void AudioUnitBase::destroy() {
    if (!engine) {
        safeprint("AudioUnitBase::destroy(): ERROR: Engine is nil.");
        return;
    }
    if (!avAudioUnit) return;
    engine->disconnectNodeInput(avAudioUnit);
    engine->disconnectNodeOutput(avAudioUnit);
    engine->detach(avAudioUnit);
    avAudioUnit.reset();
}

void AudioUnitBase::makeParameters() {
    const auto unit = audioUnit();
    if (!unit) {
        safeprint("AudioUnitBase::makeParameters(): ERROR: The audio unit (" + contextName + ") is nil.");
        return;
    }
    safeprint("AudioUnitBase::makeParameters(): Retriving parameters from the audio unit (" + contextName + "): ");
    parameterTree_ = unit->parameterTree();
    if (!parameterTree_) {
        safeprint("AudioUnitBase::makeParameters(): ERROR: Calling up parameter tree from the audio unit (" +
                  contextName + ") failed.");
        return;
    }
    extractParameters(contextName, parameterTree_.get(), 0);
    parameters_ = parameterTree_->allParameters();
    parameterObserverToken =
        parameterTree_->tokenByAddingParameterObserver([weak = weak_from_this()](AUParameterAddress address,
                                                                                 AUValue value) {
            if (weak.expired()) {
                safeprint("AudioUnitBase::observer(): ERROR: Weak self is nil.");
                return;
            }
            dispatch::MainQueue::shared().async([weak, address, value] {
                const auto self = weak.lock();
                if (self && self->delegate != nullptr) self->delegate->onParameter(self.get(), address, value);
            });
        });
    if (parameterObserverToken != 0) {
        safeprint("AudioUnitBase::makeParameters(): Connected parameters to the observer (" + contextName + ").");
    } else {
        safeprint("AudioUnitBase::makeParameters(): ERROR: Could not initialize parameter observer for (" +
                  contextName + ").");
    }
}

std::shared_ptr<AUParameter> AudioUnitBase::lookUp(int64_t address, const char* operation, const char* missingText) {
    if (!parameterTree_) {
        safeprint(std::string("AudioUnitBase::") + operation + "(): ERROR: The parameter tree is not initialized.");
        return nullptr;
    }
    auto parameter = parameterTree_->parameterWithAddress(static_cast<AUParameterAddress>(address));
    if (!parameter)
        safeprint(std::string("AudioUnitBase::") + operation + "(): ERROR: The parameter address " +
                  std::to_string(address) + missingText + contextName + ".");
    return parameter;
}

void AudioUnitBase::setParameter(int64_t address, float value) {
    // Addresses outside the tree may be options of the unit (a sound-set row, say); the unit says whether it owns one.
    const bool inTree = parameterTree_ && parameterTree_->parameterWithAddress(static_cast<AUParameterAddress>(address));
    if (!inTree) {
        if (const auto unit = audioUnit(); unit && unit->setOption(address, value)) return;
    }
    if (const auto parameter = lookUp(address, "setParameter", " is not there in ")) parameter->setValue(value);
}

float AudioUnitBase::getParameter(int64_t address) {
    const auto parameter = lookUp(address, "getParameter", " is not therein ");
    return parameter ? parameter->value() : 0.0f;
}

void AudioUnitBase::saveFullState(const std::filesystem::path& url) {
    const auto unit = audioUnit();
    if (!unit) {
        safeprint("AudioUnitBase::saveFullState(): ERROR: The audio unit (" + contextName + ") is nil.");
        return;
    }
    const foundation::PlistValue state(unit->fullState().value_or(foundation::PlistDictionary{}));
    const std::vector<uint8_t> bytes = foundation::plistToXml(state);
    if (bytes.empty()) {
        safeprint("AudioUnitBase::saveFullState(): FEHLER: Die Daten konnten nicht serialisiert werden.");
        return;
    }
    std::string error;
    if (!foundation::writeFileAtomically(url, bytes, error))
        safeprint("AudioUnitBase::saveFullState(): FEHLER: Die Daten konnten nicht gespeichert werden. (" + error + ")");
}

void AudioUnitBase::loadFullState(const std::filesystem::path& url) {
    const auto unit = audioUnit();
    if (!unit) {
        safeprint("AudioUnitBase::loadFullState(): ERROR: The audio unit (" + contextName + ") is nil.");
        return;
    }
    std::error_code exists;
    if (!std::filesystem::exists(url, exists)) {
        safeprint("AudioUnitBase::loadFullState(): ERROR: The path " + url.string() +
                  " for loading presets does not exist.");
        return;
    }
    std::string error;
    const auto bytes = foundation::readFile(url, foundation::kPropertyListFileByteLimit, error);
    if (!bytes) {
        safeprint("AudioUnitBase::loadFullState(): ERROR: The file is not readable.");
        return;
    }
    const auto document = foundation::readPlist(*bytes, error);
    if (!document) {
        const bool binary = bytes->size() >= 6 && std::equal(bytes->begin(), bytes->begin() + 6, "bplist");
        safeprint("AudioUnitBase::loadFullState(): FEHLER: Die Datei konnte nicht eingelesen werden: " + error +
                  ", Format: " +
                  foundation::plistFormatName(binary ? foundation::PlistFormat::binary : foundation::PlistFormat::xml));
        return;
    }
    const foundation::PlistDictionary* state = document->root.dictionary();
    if (state == nullptr) {
        safeprint("AudioUnitBase::loadFullState(): ERROR: The property list holds no dictionary, Format: " +
                  std::string(foundation::plistFormatName(document->format)));
        return;
    }
    unit->setFullState(*state);
}

foundation::OSStatus AudioUnitBase::midi(int64_t sampleTime, uint8_t cable, int64_t length, const uint8_t* data) {
    if (data == nullptr || length < 1 || data[0] < 0x80) return foundation::noErr;
    if (delegate != nullptr) {
        delegate->onMIDI(this, sampleTime, cable, length, data);
    } else {
        renderLog_.push(kNoDelegateWarning);
    }
    return foundation::noErr;
}

foundation::OSStatus midi_static(int64_t sampleTime, uint8_t cable, int64_t length, const uint8_t* data) {
    if (data == nullptr || length < 1 || data[0] == 0) return foundation::noErr;
    if (AudioUnitBase* wrapper = AudioUnitBase::lastAudioUnitBase()) {
        wrapper->midi(sampleTime, cable, length, data);
    } else {
        safeprint(kNoDelegateWarning);
    }
    return foundation::noErr;
}

bool AudioUnitBase::isMIDIGenerator() {
    const auto unit = audioUnit();
    if (!unit) {
        safeprint("AudioUnitBase::isMIDIGenerator(): ERROR: The audio unit (" + contextName + ") is nil.");
        return false;
    }
    const auto names = unit->MIDIOutputNames();
    for (const auto& name : names) safeprint(" - '" + name + "'");
    return !names.empty();
}

bool AudioUnitBase::isMIDIReceiver() {
    const auto unit = audioUnit();
    if (!unit) {
        safeprint("AudioUnitBase::isMIDIReceiver(): ERROR: The audio unit (" + contextName + ") is nil.");
        return false;
    }
    return static_cast<bool>(unit->scheduleMIDIEventBlock());
}
