#include "Orvo_Tunedeck_Extension/audiounit/OrvoTunedeck_AudioUnit.h"

#include <algorithm>
#include <cstring>

#include "Orvo_Tunedeck_Extension/audiounit/OrvoTunedeckRenderBlock.h"
#include "platform/audiounit/AudioUnitStatusError.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/NumberText.h"
#include "shared/globals/Paths.h"
#include "shared/globals/Print.h"
#include "shared/midievents/ObjectDescription.h"

namespace {

constexpr AUParameterAddress kMainVolumeAddress = 1001;
constexpr double kTailTimeSeconds = 4.0;

std::string boolText(bool value) { return value ? "true" : "false"; }

// Stands in for a synthesizer that could not be made: the buffers silent, the render reported as failed.
foundation::OSStatus silentUninitializedRender(AudioUnitRenderActionFlags*, const AudioTimeStamp*,
                                               AUAudioFrameCount frameCount, int64_t, AudioBufferList* outputData,
                                               const AURenderEvent*, const AURenderPullInputBlock&) {
    if (outputData != nullptr) {
        const uint32_t buffers = std::min(outputData->mNumberBuffers, AudioBufferList::kMaxBuffers);
        for (uint32_t channel = 0; channel < buffers; ++channel) {
            AudioBuffer& buffer = outputData->mBuffers[channel];
            if (buffer.mData == nullptr) continue;
            const std::size_t bytes = std::min<std::size_t>(buffer.mDataByteSize, frameCount * sizeof(float));
            std::memset(buffer.mData, 0, bytes);
        }
    }
    return foundation::kAudioUnitErr_Uninitialized;
}

}  // namespace

OrvoTunedeck_AudioUnit::OrvoTunedeck_AudioUnit(const AudioComponentDescription& description)
    : AUAudioUnit(description),
      kernelAdapter_(std::make_shared<OrvoTunedeckDSPKernelAdapter>()),
      parameters_(std::make_unique<OrvoTunedeck_Parameters>(kernelAdapter_)),
      inputBusses_(this, AUAudioUnitBusType::input),
      outputBusses_(this, AUAudioUnitBusType::output, {kernelAdapter_->outputBus1()}),
      recorder_(AUMIDIRecorder::create()),
      monitor_(AUMIDIMonitor::create()),
      sequencer_(AUMIDISequencer::create()),
      eventMixer_(std::make_shared<AUMIDIEventListMixer>()),
      soundfontprograms_(std::make_shared<Soundfontprograms>()) {
    debugprint("OrvoTunedeck_AudioUnit::internalInit() : init()");
    soundfontprograms_->makeGS();
    AUAudioUnit::setParameterTree(parameters_->parameterTree);
    dispatch::MainQueue::shared().attach(mixerLog_);
    eventMixer_->setLogRing(&mixerLog_.ring());
    internalInit();
    monitor_->setAutoClear(true);
    recorder_->setAutoClear(false);
}

OrvoTunedeck_AudioUnit::~OrvoTunedeck_AudioUnit() {
    if (engine_) {
        engine_->stop();
    }
    if (synth_) {
        synth_->destroy();
    }
    dispatch::MainQueue::shared().detach(mixerLog_);
}

void OrvoTunedeck_AudioUnit::internalInit() {
    debugprint("OrvoTunedeck_AudioUnit::internalInit() : Creating internal audio engine.");
    initializeEngine();
    debugprint("OrvoTunedeck_AudioUnit::internalInit() : Creating internal MIDI synthesizer.");
    createSynth();
    debugprint("OrvoTunedeck_AudioUnit::internalInit() : We are currently in Synthesizer Mode (multi timbre).");
    connectEngine();
    engineStart();
    if (engine_) {
        safeprint(engine_->description());
    }
    timing_.store(0, 0);
}

void OrvoTunedeck_AudioUnit::initializeEngine() {
    if (engine_) {
        sequencer_->stop();
        if (engine_->isRunning()) {
            engine_->stop();
        }
        engine_.reset();
    }
    engine_ = std::make_shared<audioengine::Engine>();
    debugprint("OrvoTunedeck_AudioUnit::initializeEngine() : ENGINE:" + engine_->description());
}

void OrvoTunedeck_AudioUnit::createSynth() {
    if (!engine_) {
        debugprint("OrvoTunedeck_AudioUnit::createSynth() : ERROR: The internal audio engine is nil.");
        return;
    }
    synth_ = std::make_shared<AudioUnitMIDISynth>(engine_);
    synth_->create(kSynthName);
    if (!synth_->audioUnit()) {
        debugprint("OrvoTunedeck_AudioUnit::createSynth() : ERROR: The internal synthesizer could not be created.");
        return;
    }
    // Whatever plays it (a host's MIDI, a host's file, the unit's own player), the synthesizer sounds at the level
    // a file started in the unit's view gets.
    setSynthGainAndTuning(kStartVolume, kStartTranspose);
}

std::shared_ptr<AUAudioUnit> OrvoTunedeck_AudioUnit::synthUnit(const char* operation) const {
    std::shared_ptr<AUAudioUnit> unit = synth_ ? synth_->audioUnit() : nullptr;
    if (!unit) {
        debugprint(std::string("OrvoTunedeck_AudioUnit::") + operation +
                   " : ERROR: The internal synthesizer is nil.");
    }
    return unit;
}

void OrvoTunedeck_AudioUnit::connectEngine() {
    if (!engine_) {
        debugprint("OrvoTunedeck_AudioUnit::connectEngine() : ERROR: The internal audio engine is nil.");
        return;
    }
    const AudioFormat format = outputBusses_[0]->format();
    debugprint("hardwareFormat -----------------------------");
    debugprint(format.description());
    debugprint("hardwareFormat -----------------------------");
    if (synth_ && synth_->midiSynth) {
        engine_->connect(synth_->midiSynth, engine_->mainMixerNode(), format);
        engine_->disconnectNodeOutput(synth_->midiSynth);
        synth_->nodeDiagnostics();
    }
    engine_->connect(engine_->mainMixerNode(), engine_->outputNode(), format);
}

void OrvoTunedeck_AudioUnit::engineStart() {
    if (!engine_) {
        return;
    }
    if (engine_->isRunning()) {
        sequencer_->stop();
        engine_->stop();
    }
    std::string error;
    if (engine_->start(&error)) {
        debugprint("OrvoTunedeck_AudioUnit::engineStart() : The internal audio engine was started: " +
                   boolText(engine_->isRunning()));
        engine_->mainMixerNode()->setOutputVolume(0.0f);
    } else {
        debugprint("OrvoTunedeck_AudioUnit::engineStart() : ERROR: " + error +
                   ". \nCould not start the internal audio engine.");
    }
}

void OrvoTunedeck_AudioUnit::allocateRenderResources() {
    debugprint("OrvoTunedeck_AudioUnit::allocateRenderResources()");
    // Without its synthesizer the instrument cannot sound: the host learns it here rather than from silence.
    const auto synthesizer = synthUnit("allocateRenderResources()");
    if (!synthesizer) {
        throw AudioUnitStatusError(foundation::kAudioUnitErr_FailedInitialization, "no internal synthesizer");
    }
    AUAudioUnit::allocateRenderResources();
    for (uint32_t bus = 0; bus < outputBusses_.count(); ++bus) {
        outputBusses_[bus]->setShouldAllocateBuffer(true);
    }
    kernelAdapter_->allocateRenderResources();
    const double samplerate = outputBusses_[0]->format().sampleRate;
    // At a new rate the synthesizer starts its channels afresh. What it lost is only what it had played: messages
    // not yet rendered are still queued and reach it anyway. So a fresh unit, whatever the host's rate, starts as it
    // does at 48000 Hz, and a unit that has played gets again the channel settings it had sent. The frame count of
    // the last buffer tells whether one was rendered since the last allocation (which clears it below); a refused
    // allocation keeps it, so the next one still finds the channels lost.
    const bool channelsLost = synthesizerRateHz_ && *synthesizerRateHz_ != samplerate &&
                              timing_.currentFrameCount.load(std::memory_order_relaxed) != 0;
    // The synthesizer plays at the host's rate: its bus takes the rate before every allocation, which is why an
    // allocated synthesizer lets its resources go first.
    if (synthesizer->renderResourcesAllocated()) synthesizer->deallocateRenderResources();
    if (!synthesizer->outputBusses()[0]->setFormat(AudioFormat::standard(samplerate, 2))) {
        throw AudioUnitStatusError(foundation::kAudioUnitErr_FormatNotSupported, "no synthesizer format at this rate");
    }
    synthesizer->allocateRenderResources();
    synthesizerRateHz_ = samplerate;
    kernelAdapter_->setSamplerate(static_cast<float>(samplerate));
    sequencer_->setSamplerate(samplerate);
    recorder_->setSamplerate(samplerate);
    // A bank chosen before (a host's file or sound set) stays: loading the default one first would only be undone.
    if (!bankChosen_) loadSoundfontMode("00");
    ensureDefaultPreset();
    if (channelsLost) reapplyChannelSettings();
    timing_.store(0, 0);
    resourcesAllocated_ = true;
}

void OrvoTunedeck_AudioUnit::deallocateRenderResources() {
    debugprint("OrvoTunedeck_AudioUnit::deallocateRenderResources()");
    stopSequencer();
    kernelAdapter_->deallocateRenderResources();
    resourcesAllocated_ = false;
    // The host's last parameter changes must reach the tree before the block that carries them goes.
    if (const auto block = renderBlock_.lock()) {
        block->deliverWaiting();
    }
    AUAudioUnit::deallocateRenderResources();
}

bool OrvoTunedeck_AudioUnit::renderResourcesAllocated() const {
    debugprint("OrvoTunedeck_AudioUnit::renderResourcesAllocated : " + boolText(resourcesAllocated_));
    return resourcesAllocated_;
}

void OrvoTunedeck_AudioUnit::reset() {
    debugprint("OrvoTunedeck_AudioUnit::reset()");
    kernelAdapter_->reset();
    if (const auto synthesizer = synthUnit("reset()")) {
        synthesizer->reset();
    }
    sequencer_->reset();
}

void OrvoTunedeck_AudioUnit::stopSequencer() { sequencer_->stop(); }

AUInternalRenderBlock OrvoTunedeck_AudioUnit::internalRenderBlock() {
    const auto synthesizer = synthUnit("internalRenderBlock");
    // Without a synthesizer the buffers go out silent, and the block reports the failed render every call.
    AURenderBlock synthRender = synthesizer ? synthesizer->renderBlock() : silentUninitializedRender;
    auto block = std::make_shared<OrvoTunedeckRenderBlock>(OrvoTunedeckRenderBlock::Parts{
        &timing_, outputBusses_[0], sequencer_, eventMixer_, midiOutputEventBlock_, monitor_, recorder_,
        std::move(synthRender), kernelAdapter_, &OrvoTunedeck_AudioUnit::applyHostParameterEvent, this});
    renderBlock_ = block;
    return [block](AudioUnitRenderActionFlags* actionFlags, const AudioTimeStamp* timestamp,
                   AUAudioFrameCount frameCount, int64_t outputBusNumber, AudioBufferList* outputData,
                   const AURenderEvent* events, const AURenderPullInputBlock& pullInputBlock) {
        return block->render(actionFlags, timestamp, frameCount, outputBusNumber, outputData, events,
                             pullInputBlock);
    };
}

void OrvoTunedeck_AudioUnit::applyHostParameterEvent(void* context, AUParameterAddress address, AUValue value) {
    static_cast<OrvoTunedeck_AudioUnit*>(context)->setParameter(static_cast<int64_t>(address), value);
}

void OrvoTunedeck_AudioUnit::setMaximumFramesToRender(uint32_t frames) {
    AUAudioUnit::setMaximumFramesToRender(frames);
    debugprint("OrvoTunedeck_AudioUnit::maximumFramesToRender (set) " + std::to_string(frames));
    kernelAdapter_->setMaximumFramesToRender(frames);
    if (const auto synthesizer = synthUnit("maximumFramesToRender (set)")) {
        synthesizer->setMaximumFramesToRender(frames);
    }
}

void OrvoTunedeck_AudioUnit::setShouldBypassEffect(bool bypass) {
    AUAudioUnit::setShouldBypassEffect(bypass);
    debugprint("OrvoTunedeck_AudioUnit::shouldBypassEffect (did set)");
    kernelAdapter_->setBypass(bypass);
    if (const auto synthesizer = synthUnit("shouldBypassEffect (did set)")) {
        synthesizer->setShouldBypassEffect(bypass);
    }
}

std::vector<AUParameterAddress> OrvoTunedeck_AudioUnit::parametersForOverview(int64_t) {
    return {kMainVolumeAddress};
}

void OrvoTunedeck_AudioUnit::setMIDIOutputEventBlock(AUMIDIOutputEventBlock block) {
    debugprint("OrvoTunedeck_AudioUnit::midiOutputEventBlock (set) ");
    midiOutputEventBlock_ = block;
    kernelAdapter_->setAUMIDIOutputEventBlock(block);
    AUAudioUnit::setMIDIOutputEventBlock(std::move(block));
}

double OrvoTunedeck_AudioUnit::latency() const {
    debugprint("OrvoTunedeck_AudioUnit::latency : " + foundation::numberText(0.0));
    return 0.0;
}

double OrvoTunedeck_AudioUnit::tailTime() const {
    debugprint("OrvoTunedeck_AudioUnit::tailTime : " + foundation::numberText(kTailTimeSeconds));
    return kTailTimeSeconds;
}

std::vector<size_t> OrvoTunedeck_AudioUnit::supportedViewConfigurations(
    const std::vector<AUAudioUnitViewConfiguration>&) {
    debugprint("OrvoTunedeck_AudioUnit::supportedViewConfigurations()");
    return {};
}

bool OrvoTunedeck_AudioUnit::supportsUserPresets() const {
    debugprint("OrvoTunedeck_AudioUnit::supportsUserPresets: true");
    return true;
}

std::shared_ptr<AUParameterTree> OrvoTunedeck_AudioUnit::parameterTree() const {
    debugprint("OrvoTunedeck_AudioUnit::parameterTree (get)");
    return parameters_->parameterTree;
}

void OrvoTunedeck_AudioUnit::setParameterTree(std::shared_ptr<AUParameterTree> tree) {
    debugprint("OrvoTunedeck_AudioUnit::parameterTree (set) !!!");
    AUAudioUnit::setParameterTree(std::move(tree));
}

void OrvoTunedeck_AudioUnit::onFoundComponent(AudioUnitBase* unit) {
    const char* className = dynamic_cast<AudioUnitMIDISynth*>(unit) != nullptr ? "AudioUnitMIDISynth" : "AudioUnitBase";
    safeprint("OrvoTunedeck_AudioUnit::onFoundComponent() : The inernal unit " + objectDescription(className, unit) +
              " was found");
}

bool OrvoTunedeck_AudioUnit::ensureDirectoryExists(const std::filesystem::path& url) {
    return ::ensureDirectoryExists(url, "OrvoTunedeck_AudioUnit::");
}

void OrvoTunedeck_AudioUnit::onFoundParameter(int64_t, const std::string&, uint64_t address, float value) {
    setParameter(static_cast<int64_t>(address), value);
}
