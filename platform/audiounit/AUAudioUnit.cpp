#include "platform/audiounit/AUAudioUnit.h"

#include <algorithm>
#include <cstdlib>

#include "platform/audiounit/MIDIMessageLength.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/FourCharCode.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/PropertyList.h"

namespace {

constexpr OSType fourCC(const char (&text)[5]) {
    return static_cast<OSType>(static_cast<unsigned char>(text[0])) << 24 |
           static_cast<OSType>(static_cast<unsigned char>(text[1])) << 16 |
           static_cast<OSType>(static_cast<unsigned char>(text[2])) << 8 |
           static_cast<OSType>(static_cast<unsigned char>(text[3]));
}

bool isEffectType(OSType type) { return type == fourCC("aufx") || type == fourCC("aumf"); }

std::vector<std::shared_ptr<AUAudioUnitBus>> stereoBusses(size_t count) {
    std::vector<std::shared_ptr<AUAudioUnitBus>> busses;
    for (size_t i = 0; i < count; ++i)
        busses.push_back(std::make_shared<AUAudioUnitBus>(AudioFormat::standard(48000.0, 2)));
    return busses;
}

const foundation::PlistValue* entry(const foundation::PlistDictionary& dictionary, const char* key) {
    const auto found = dictionary.find(key);
    return found == dictionary.end() ? nullptr : &found->second;
}

// A preset name that is one path component (no separator, not "." or ".."), or nothing.
bool isSingleComponent(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

constexpr const char* kUserPresetExtension = ".aupreset";

}  // namespace

AUAudioUnit::AUAudioUnit(const AudioComponentDescription& componentDescription)
    : componentDescription_(componentDescription),
      inputBusses_(this, AUAudioUnitBusType::input,
                   stereoBusses(isEffectType(componentDescription.componentType) ? 1 : 0)),
      outputBusses_(this, AUAudioUnitBusType::output, stereoBusses(1)) {}

AUAudioUnit::~AUAudioUnit() = default;

void AUAudioUnit::setComponentIdentity(std::string name, uint32_t version) {
    componentName_ = std::move(name);
    componentVersion_ = version;
}

std::string AUAudioUnit::audioUnitName() const {
    const size_t colon = componentName_.find(": ");
    return colon == std::string::npos ? componentName_ : componentName_.substr(colon + 2);
}

std::string AUAudioUnit::manufacturerName() const {
    const size_t colon = componentName_.find(": ");
    return colon == std::string::npos ? std::string() : componentName_.substr(0, colon);
}

std::string AUAudioUnit::contextName() const {
    std::lock_guard lock(contextNameMutex_);
    return contextName_;
}

void AUAudioUnit::setContextName(std::string name) {
    std::lock_guard lock(contextNameMutex_);
    contextName_ = std::move(name);
}

void AUAudioUnit::allocateRenderResources() {
    if (maximumFramesToRender() == 0)
        throw AudioUnitStatusError(foundation::kAudioUnitErr_FailedInitialization, "maximum frame count is 0");
    for (AUAudioUnitBusArray* array : {&inputBusses(), &outputBusses()})
        for (uint32_t i = 0; i < array->count(); ++i)
            if (!(*array)[i]->format().isValid() || (*array)[i]->format().channelCount > AudioBufferList::kMaxBuffers)
                throw AudioUnitStatusError(foundation::kAudioUnitErr_FormatNotSupported,
                                           "bus " + std::to_string(i) + " has no usable format");
    renderMaximumFrames_ = maximumFramesToRender();
    AUAudioUnitBusArray& outputs = outputBusses();
    providedBuffers_.assign(outputs.count(), {});
    for (uint32_t i = 0; i < outputs.count(); ++i)
        if (outputs[i]->shouldAllocateBuffer())
            providedBuffers_[i].assign(static_cast<size_t>(outputs[i]->format().channelCount) * renderMaximumFrames_,
                                       0.0f);
    internalBlock_ = internalRenderBlock();
    allocated_.store(true);
}

void AUAudioUnit::deallocateRenderResources() {
    allocated_.store(false);
    internalBlock_ = nullptr;
    providedBuffers_.clear();
}

float* AUAudioUnit::providedBuffer(uint32_t bus, uint32_t channel) {
    if (bus >= providedBuffers_.size() || providedBuffers_[bus].empty()) return nullptr;
    const size_t offset = static_cast<size_t>(channel) * renderMaximumFrames_;
    return offset < providedBuffers_[bus].size() ? providedBuffers_[bus].data() + offset : nullptr;
}

AURenderBlock AUAudioUnit::renderBlock() {
    return [this](AudioUnitRenderActionFlags* actionFlags, const AudioTimeStamp* timestamp,
                  AUAudioFrameCount frameCount, int64_t outputBusNumber, AudioBufferList* outputData,
                  const AURenderEvent* events, const AURenderPullInputBlock& pullInputBlock) {
        return render(actionFlags, timestamp, frameCount, outputBusNumber, outputData, events, pullInputBlock);
    };
}

foundation::OSStatus AUAudioUnit::render(AudioUnitRenderActionFlags* actionFlags, const AudioTimeStamp* timestamp,
                                         AUAudioFrameCount frameCount, int64_t outputBusNumber,
                                         AudioBufferList* outputData, const AURenderEvent* events,
                                         const AURenderPullInputBlock& pullInputBlock) noexcept {
    if (!allocated_.load(std::memory_order_acquire) || !internalBlock_) return foundation::kAudioUnitErr_Uninitialized;
    if (frameCount > renderMaximumFrames_) return foundation::kAudioUnitErr_TooManyFramesToProcess;
    if (outputBusNumber < 0 || static_cast<uint64_t>(outputBusNumber) >= providedBuffers_.size() ||
        outputData == nullptr)
        return foundation::kAudioUnitErr_InvalidElement;
    const auto bus = static_cast<uint32_t>(outputBusNumber);
    const auto byteSize = static_cast<uint32_t>(frameCount * sizeof(float));
    for (uint32_t i = 0; i < outputData->mNumberBuffers && i < AudioBufferList::kMaxBuffers; ++i) {
        AudioBuffer& buffer = outputData->mBuffers[i];
        if (buffer.mData == nullptr) {
            float* storage = providedBuffer(bus, i);
            if (storage == nullptr) return foundation::kAudioUnitErr_InvalidElement;
            buffer.mData = storage;
            buffer.mDataByteSize = byteSize;
        }
    }
    const AURenderEvent* joined = merger_.merge(scheduledMIDI_, events);
    return internalBlock_(actionFlags, timestamp, frameCount, outputBusNumber, outputData, joined, pullInputBlock);
}

AUMIDIOutputEventBlock AUAudioUnit::MIDIOutputEventBlock() const {
    std::lock_guard lock(midiOutputMutex_);
    return midiOutputEventBlock_;
}

void AUAudioUnit::setMIDIOutputEventBlock(AUMIDIOutputEventBlock block) {
    std::lock_guard lock(midiOutputMutex_);
    midiOutputEventBlock_ = std::move(block);
}

bool AUAudioUnit::providesScheduleMIDIEventBlock() const {
    const OSType type = componentDescription_.componentType;
    return type == fourCC("aumu") || type == fourCC("aumf") || type == fourCC("aufx");
}

bool AUAudioUnit::isMusicDeviceOrEffect() const {
    const OSType type = componentDescription_.componentType;
    return type == fourCC("aumu") || type == fourCC("aumf");
}

AUScheduleMIDIEventBlock AUAudioUnit::scheduleMIDIEventBlock() {
    if (!providesScheduleMIDIEventBlock()) return nullptr;
    return [queue = &scheduledMIDI_](AUEventSampleTime time, uint8_t cable, int64_t length, const uint8_t* bytes) {
        queue->push(time, cable, length, bytes);
    };
}

foundation::OSStatus AUAudioUnit::setProperty(AudioUnitPropertyID, AudioUnitScope, AudioUnitElement, const void*,
                                              uint32_t) {
    return foundation::kAudioUnitErr_InvalidProperty;
}

foundation::OSStatus AUAudioUnit::getProperty(AudioUnitPropertyID, AudioUnitScope, AudioUnitElement, void*, uint32_t) {
    return foundation::kAudioUnitErr_InvalidProperty;
}

foundation::OSStatus AUAudioUnit::musicDeviceMIDIEvent(uint32_t status, uint32_t data1, uint32_t data2,
                                                       uint32_t offsetFrames) {
    if (!providesScheduleMIDIEventBlock()) return foundation::kAudio_UnimplementedError;
    const uint8_t bytes[3] = {static_cast<uint8_t>(status), static_cast<uint8_t>(data1 & 0x7F),
                              static_cast<uint8_t>(data2 & 0x7F)};
    const int64_t length = std::max<std::uint8_t>(midiMessageLength(static_cast<uint8_t>(status)), 1);
    scheduledMIDI_.push(kAUEventSampleTimeImmediate + offsetFrames, 0, length, bytes);
    return foundation::noErr;
}

std::vector<size_t> AUAudioUnit::supportedViewConfigurations(const std::vector<AUAudioUnitViewConfiguration>& offered) {
    std::vector<size_t> indexes(offered.size());
    for (size_t i = 0; i < indexes.size(); ++i) indexes[i] = i;
    return indexes;
}

void AUAudioUnit::requestViewController(AUViewControllerCompletion completion) {
    if (!completion) return;
    dispatch::MainQueue::shared().async([completion = std::move(completion)] { completion(nullptr); });
}

std::vector<AUParameterAddress> AUAudioUnit::parametersForOverview(int64_t count) {
    std::vector<AUParameterAddress> addresses;
    if (const auto tree = parameterTree())
        for (const auto& parameter : tree->allParameters()) {
            if (static_cast<int64_t>(addresses.size()) >= count) break;
            addresses.push_back(parameter->address());
        }
    return addresses;
}

std::optional<foundation::PlistDictionary> AUAudioUnit::fullState() {
    foundation::PlistDictionary state;
    state["type"] = foundation::PlistValue(componentDescription_.componentType);
    state["subtype"] = foundation::PlistValue(componentDescription_.componentSubType);
    state["manufacturer"] = foundation::PlistValue(componentDescription_.componentManufacturer);
    state["version"] = foundation::PlistValue(componentVersion_);
    const auto preset = currentPreset();
    state["name"] = foundation::PlistValue(preset ? preset->name : std::string("Untitled"));
    foundation::PlistDictionary parameters;
    if (const auto tree = parameterTree())
        for (const auto& parameter : tree->allParameters())
            parameters[std::to_string(parameter->address())] = foundation::PlistValue(parameter->value());
    state["parameters"] = foundation::PlistValue(std::move(parameters));
    return state;
}

void AUAudioUnit::setFullState(const std::optional<foundation::PlistDictionary>& state) {
    if (!state) return;
    auto matches = [&](const char* key, OSType expected) {
        const foundation::PlistValue* value = entry(*state, key);
        return value != nullptr && value->integer() != nullptr && *value->integer() == static_cast<int64_t>(expected);
    };
    if (!matches("type", componentDescription_.componentType) ||
        !matches("subtype", componentDescription_.componentSubType) ||
        !matches("manufacturer", componentDescription_.componentManufacturer))
        return;
    const foundation::PlistValue* parameters = entry(*state, "parameters");
    const auto tree = parameterTree();
    if (parameters == nullptr || parameters->dictionary() == nullptr || !tree) return;
    for (const auto& [key, value] : *parameters->dictionary()) {
        char* end = nullptr;
        const unsigned long long address = std::strtoull(key.c_str(), &end, 10);
        if (end == key.c_str() || *end != '\0') continue;
        const auto parameter = tree->parameterWithAddress(address);
        if (!parameter) continue;
        if (value.real() != nullptr) parameter->setValue(static_cast<AUValue>(*value.real()));
        else if (value.integer() != nullptr) parameter->setValue(static_cast<AUValue>(*value.integer()));
    }
}

void AUAudioUnit::setCurrentPreset(const std::optional<AUAudioUnitPreset>& preset) {
    if (!preset) {
        currentPreset_.reset();
        return;
    }
    if (preset->number >= 0) {
        const auto presets = factoryPresets();
        if (std::find(presets.begin(), presets.end(), *preset) != presets.end()) currentPreset_ = preset;
        return;
    }
    try {
        setFullState(presetStateFor(*preset));
        currentPreset_ = preset;
    } catch (const AudioUnitStatusError&) {
    }
}

std::filesystem::path AUAudioUnit::userPresetsFolder() const {
    std::filesystem::path root;
    if (const char* override = std::getenv("TUNEDECK_USER_PRESETS"); override != nullptr && *override != '\0') {
        root = override;
    } else if (const auto defaults = foundation::defaultsFolder()) {
        root = *defaults / "Presets";
    } else {
        return {};
    }
    return root / (foundation::fourCharCodeText(componentDescription_.componentType) + "." +
                   foundation::fourCharCodeText(componentDescription_.componentSubType) + "." +
                   foundation::fourCharCodeText(componentDescription_.componentManufacturer));
}

std::filesystem::path AUAudioUnit::userPresetFile(const AUAudioUnitPreset& preset) const {
    const std::filesystem::path folder = userPresetsFolder();
    if (folder.empty() || !isSingleComponent(preset.name)) return {};
    return folder / (preset.name + kUserPresetExtension);
}

std::vector<AUAudioUnitPreset> AUAudioUnit::userPresets() const {
    std::vector<AUAudioUnitPreset> presets;
    const std::filesystem::path folder = userPresetsFolder();
    std::error_code error;
    if (folder.empty() || !std::filesystem::is_directory(folder, error)) return presets;
    std::vector<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(folder, error))
        if (item.is_regular_file(error) && item.path().extension() == kUserPresetExtension)
            names.push_back(item.path().stem().string());
    std::sort(names.begin(), names.end());
    int64_t number = -1;
    for (auto& name : names) presets.push_back({number--, std::move(name)});
    return presets;
}

void AUAudioUnit::saveUserPreset(const AUAudioUnitPreset& preset) {
    if (!supportsUserPresets())
        throw AudioUnitStatusError(foundation::kAudio_UnimplementedError, "the unit keeps no user presets");
    const std::filesystem::path file = userPresetFile(preset);
    if (preset.number >= 0 || file.empty())
        throw AudioUnitStatusError(foundation::kAudioUnitErr_InvalidPropertyValue,
                                   "not a user preset: '" + preset.name + "'");
    std::error_code ignored;
    std::filesystem::create_directories(file.parent_path(), ignored);
    std::string error;
    if (!foundation::writePlistFile(file, foundation::PlistValue(fullState().value_or(foundation::PlistDictionary{})),
                                    error))
        throw AudioUnitStatusError(foundation::kAudioUnitErr_InvalidFilePath, error);
}

void AUAudioUnit::deleteUserPreset(const AUAudioUnitPreset& preset) {
    const std::filesystem::path file = userPresetFile(preset);
    std::error_code error;
    if (file.empty() || !std::filesystem::remove(file, error))
        throw AudioUnitStatusError(foundation::kAudioUnitErr_InvalidFilePath,
                                   "no user preset '" + preset.name + "'");
    if (currentPreset_ == preset) currentPreset_.reset();
}

foundation::PlistDictionary AUAudioUnit::presetStateFor(const AUAudioUnitPreset& preset) {
    const std::filesystem::path file = userPresetFile(preset);
    if (file.empty())
        throw AudioUnitStatusError(foundation::kAudioUnitErr_InvalidFilePath, "no user preset '" + preset.name + "'");
    std::string error;
    const auto document = foundation::readPlistFile(file, error);
    if (!document) throw AudioUnitStatusError(foundation::kAudioUnitErr_InvalidFilePath, error);
    const foundation::PlistDictionary* state = document->root.dictionary();
    if (state == nullptr)
        throw AudioUnitStatusError(foundation::kAudioUnitErr_InvalidPropertyValue,
                                   "user preset '" + preset.name + "' holds no dictionary");
    return *state;
}
