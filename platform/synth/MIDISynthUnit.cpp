#include "platform/synth/MIDISynthUnit.h"

#include <algorithm>
#include <cmath>

#include "platform/audioengine/DenormalGuard.h"
#include "platform/foundation/Log.h"
#include "platform/synth/EventOffset.h"

namespace {

constexpr double kDefaultSampleRateHz = 48000.0;
// The coarse-tune generator's range.
constexpr int kCoarseTuneLimitSemitones = 120;

int wholeSemitones(AUValue value) {
    if (std::isnan(value)) return 0;
    return static_cast<int>(std::clamp(std::trunc(value), static_cast<float>(-kCoarseTuneLimitSemitones),
                                       static_cast<float>(kCoarseTuneLimitSemitones)));
}

std::shared_ptr<AUParameterTree> makeParameterTree() {
    constexpr AudioUnitParameterOptions flags = kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_IsWritable;
    return AUParameterTree::createTree({
        AUParameterTree::createParameter("gain", "Gain", kMIDISynthParameter_GainDecibels,
                                         synth::kMinimumGainDecibels, synth::kMaximumGainDecibels,
                                         kAudioUnitParameterUnit_Decibels, std::nullopt, flags),
        AUParameterTree::createParameter("tuning", "Coarse Tuning", kMIDISynthParameter_CoarseTuneSemitones, -24.0f,
                                         24.0f, kAudioUnitParameterUnit_RelativeSemiTones, std::nullopt, flags),
    });
}

}  // namespace

MIDISynthUnit::MIDISynthUnit(const AudioComponentDescription& description) : AUAudioUnit(description) {
    instance_ = synth::SynthInstance::create(kDefaultSampleRateHz);
    if (!instance_)
        throw AudioUnitStatusError(foundation::kAudioUnitErr_FailedInitialization,
                                   "the synthesizer library could not be started");
    auto tree = makeParameterTree();
    tree->setImplementorValueObserver(
        [this](const AUParameter& parameter, AUValue value) { takeParameter(parameter.address(), value); });
    setParameterTree(std::move(tree));
}

MIDISynthUnit::~MIDISynthUnit() = default;

void MIDISynthUnit::takeParameter(AUParameterAddress address, AUValue value) {
    if (address == kMIDISynthParameter_GainDecibels) gainDecibels_.store(value);
    else if (address == kMIDISynthParameter_CoarseTuneSemitones) coarseTuneSemitones_.store(wholeSemitones(value));
}

void MIDISynthUnit::allocateRenderResources() {
    const double sampleRateHz = outputBusses()[0]->format().sampleRate;
    if (!synth::LibraryRateBridge::supports(sampleRateHz))
        throw AudioUnitStatusError(foundation::kAudioUnitErr_FormatNotSupported,
                                   "the synthesizer renders at 12000 to 192000 Hz");
    const double libraryRateHz = synth::LibraryRateBridge::libraryRateHz(sampleRateHz);
    std::lock_guard lock(controlMutex_);
    std::unique_ptr<synth::SynthInstance> restarted;
    if (libraryRateHz != instance_->sampleRateHz()) {
        restarted = synth::SynthInstance::create(libraryRateHz);
        if (!restarted)
            throw AudioUnitStatusError(foundation::kAudioUnitErr_FailedInitialization,
                                       "the synthesizer library could not be started");
        if (!bankPath_.empty()) {
            synth::LoadedSoundBank loaded = synth::loadSoundBank(bankPath_);
            if (loaded.status != foundation::noErr || !restarted->replaceBank(std::move(loaded)))
                foundation::writeLogLine("MIDISynthUnit: the sound bank " + bankPath_.string() +
                                         " could not be loaded again.");
        }
    }
    {
        synth::ControlSection inside(gate_);
        if (restarted) {
            instance_.swap(restarted);
            midi_ = synth::SynthMIDI{};
        }
        scratch_.assign(maximumFramesToRender(), 0.0f);
        rateBridge_.prepare(sampleRateHz, maximumFramesToRender());
        latencySeconds_ = rateBridge_.delayFrames() / sampleRateHz;
        midi_.setCoarseTuning(instance_->synth(), coarseTuneSemitones_.load());
        gain_.setTargetDecibels(gainDecibels_.load());
        gain_.jumpToTarget();
    }
    AUAudioUnit::allocateRenderResources();
}

void MIDISynthUnit::reset() {
    std::lock_guard lock(controlMutex_);
    synth::ControlSection inside(gate_);
    korvel_synth_all_sounds_off_all(instance_->synth());
    rateBridge_.reset();
}

double MIDISynthUnit::latency() const {
    std::lock_guard lock(controlMutex_);
    return latencySeconds_;
}

std::filesystem::path MIDISynthUnit::soundBankPath() const {
    std::lock_guard lock(controlMutex_);
    return bankPath_;
}

foundation::OSStatus MIDISynthUnit::setProperty(AudioUnitPropertyID property, AudioUnitScope scope,
                                                AudioUnitElement element, const void* data, uint32_t size) {
    if (property != kMusicDeviceProperty_SoundBankURL && property != kAUMIDISynthProperty_EnablePreload)
        return AUAudioUnit::setProperty(property, scope, element, data, size);
    if (scope != kAudioUnitScope_Global) return foundation::kAudioUnitErr_InvalidScope;
    if (element != 0) return foundation::kAudioUnitErr_InvalidElement;
    if (property == kMusicDeviceProperty_SoundBankURL) {
        if (data == nullptr || size != sizeof(std::filesystem::path))
            return foundation::kAudioUnitErr_InvalidPropertyValue;
        return loadSoundBankProperty(*static_cast<const std::filesystem::path*>(data));
    }
    if (data == nullptr || size != sizeof(uint32_t)) return foundation::kAudioUnitErr_InvalidPropertyValue;
    preloading_.store(*static_cast<const uint32_t*>(data) != 0);
    return foundation::noErr;
}

foundation::OSStatus MIDISynthUnit::loadSoundBankProperty(const std::filesystem::path& path) {
    synth::LoadedSoundBank loaded = synth::loadSoundBank(path);
    if (loaded.status != foundation::noErr) {
        foundation::writeLogLine("MIDISynthUnit: the sound bank " + path.string() + " could not be loaded (" +
                                 std::to_string(loaded.status) + ").");
        return loaded.status;
    }
    std::lock_guard lock(controlMutex_);
    bool replaced = false;
    {
        synth::ControlSection inside(gate_);
        replaced = instance_->replaceBank(std::move(loaded));
    }
    if (!replaced) return foundation::kAudio_MemFullError;
    bankPath_ = path;
    return foundation::noErr;
}

foundation::OSStatus MIDISynthUnit::musicDeviceMIDIEvent(uint32_t status, uint32_t data1, uint32_t data2,
                                                         uint32_t offsetFrames) {
    const auto statusByte = static_cast<uint8_t>(status);
    const uint8_t type = statusByte & 0xF0;
    const bool bankSelect = type == 0xB0 && ((data1 & 0x7F) == synth::kBankSelectMSBController ||
                                             (data1 & 0x7F) == synth::kBankSelectLSBController);
    if (preloading_.load() && (bankSelect || type == 0xC0))
        return preload(statusByte, static_cast<uint8_t>(data1 & 0x7F), static_cast<uint8_t>(data2 & 0x7F));
    return AUAudioUnit::musicDeviceMIDIEvent(status, data1, data2, offsetFrames);
}

foundation::OSStatus MIDISynthUnit::preload(uint8_t status, uint8_t data1, uint8_t data2) {
    const int channel = status & 0x0F;
    std::lock_guard lock(controlMutex_);
    if ((status & 0xF0) == 0xB0) {
        preloadBanks_.takeController(channel, data1, data2);
        return foundation::noErr;
    }
    return instance_->presetForPreload(preloadBanks_.bank(channel), data1) != nullptr ? foundation::noErr
                                                                                      : foundation::kAudio_ParamError;
}

AUInternalRenderBlock MIDISynthUnit::internalRenderBlock() {
    return [this](AudioUnitRenderActionFlags*, const AudioTimeStamp* timestamp, AUAudioFrameCount frameCount,
                  int64_t outputBusNumber, AudioBufferList* outputData, const AURenderEvent* events,
                  const AURenderPullInputBlock&) {
        return render(timestamp, frameCount, outputBusNumber, outputData, events);
    };
}

foundation::OSStatus MIDISynthUnit::render(const AudioTimeStamp* timestamp, AUAudioFrameCount frameCount,
                                           int64_t outputBusNumber, AudioBufferList* outputData,
                                           const AURenderEvent* events) noexcept {
    if (outputBusNumber != 0 || outputData == nullptr || outputData->mNumberBuffers == 0 ||
        outputData->mBuffers[0].mData == nullptr)
        return foundation::kAudioUnitErr_InvalidElement;
    auto* left = static_cast<float*>(outputData->mBuffers[0].mData);
    auto* right = outputData->mNumberBuffers > 1 ? static_cast<float*>(outputData->mBuffers[1].mData) : nullptr;
    if (outputData->mNumberBuffers > 1 && right == nullptr) return foundation::kAudioUnitErr_InvalidElement;
    if (!gate_.tryEnterRender()) {
        std::fill_n(left, frameCount, 0.0f);
        if (right != nullptr) std::fill_n(right, frameCount, 0.0f);
        return foundation::noErr;
    }
    if (frameCount > scratch_.size()) {
        gate_.leaveRender();
        return foundation::kAudioUnitErr_TooManyFramesToProcess;
    }
    if (right == nullptr) right = scratch_.data();
    std::fill_n(left, frameCount, 0.0f);
    std::fill_n(right, frameCount, 0.0f);
    if (frameCount == 0) {
        gate_.leaveRender();
        return foundation::noErr;
    }

    audioengine::DenormalGuard denormals;
    takeParameterValuesForRender();
    const AUEventSampleTime bufferStart =
        timestamp != nullptr ? static_cast<AUEventSampleTime>(std::llround(timestamp->mSampleTime)) : 0;
    uint32_t done = 0;
    for (const AURenderEvent* event = events; event != nullptr; event = event->head.next) {
        const uint32_t at = std::max(done, synth::eventFrameOffset(event->head.eventSampleTime, bufferStart,
                                                                   frameCount));
        renderSpan(left, right, done, at);
        done = at;
        applyRenderEvent(*event);
    }
    renderSpan(left, right, done, frameCount);
    gate_.leaveRender();
    return foundation::noErr;
}

void MIDISynthUnit::takeParameterValuesForRender() noexcept {
    const int semitones = coarseTuneSemitones_.load(std::memory_order_relaxed);
    if (semitones != midi_.coarseTuning()) midi_.setCoarseTuning(instance_->synth(), semitones);
    gain_.setTargetDecibels(gainDecibels_.load(std::memory_order_relaxed));
}

void MIDISynthUnit::applyRenderEvent(const AURenderEvent& event) noexcept {
    switch (event.head.eventType) {
    case AURenderEventMIDI:
        midi_.apply(instance_->synth(), event.MIDI.data, event.MIDI.length);
        break;
    case AURenderEventParameter:
    case AURenderEventParameterRamp:
        takeParameter(event.parameter.parameterAddress, event.parameter.value);
        takeParameterValuesForRender();
        break;
    default:
        break;
    }
}

void MIDISynthUnit::renderSpan(float* left, float* right, uint32_t from, uint32_t to) noexcept {
    if (to <= from) return;
    rateBridge_.render(instance_->synth(), left + from, right + from, to - from);
    gain_.process(left + from, right + from, to - from);
}
