#include "Orvo_Tunedeck/engine/AudioEngine.h"

#include <algorithm>
#include <cstring>

#include "Orvo_Tunedeck/midi/MIDIConnection.h"
#include "platform/audioengine/AudioSession.h"
#include "platform/audiounit/MIDIMessageLength.h"
#include "platform/audioengine/EffectNodes.h"
#include "platform/dispatch/MainQueue.h"
#include "shared/globals/Print.h"

namespace {

constexpr uint8_t kResetAllControllers = 121;
constexpr float kReverbWetDryPercent = 33.0f;
// The limiter's gain before limiting: what the reverb's mix takes from the dry sound (a third wet leaves two thirds,
// 3.5 dB down), so that the chain passes a song at the level the instrument plays it. Its ceiling a dB below full
// scale: the loudest song stays clear of the largest sample value of any output format.
constexpr double kLimiterPreGainDecibels = 3.5;
constexpr double kLimiterCeilingDecibels = -1.0;
constexpr float kBandFrequenciesHz[] = {40.0f, 440.0f, 12000.0f};
constexpr float kBandwidthOctaves = 3.0f;

}  // namespace

std::shared_ptr<AudioEngine> AudioEngine::create(std::unique_ptr<audioengine::AudioOutput> output,
                                                 AudioComponentRegistry& registry) {
    std::shared_ptr<AudioEngine> made(new AudioEngine(std::move(output)));
    made->setupInstrument(registry);
    return made;
}

AudioEngine::AudioEngine(std::unique_ptr<audioengine::AudioOutput> output)
    : engine(std::make_shared<audioengine::Engine>(std::move(output))) {
    hardwareFormat = engine->outputNode()->outputFormat(0);
    dispatch::MainQueue::shared().attach(midiOut_);
}

AudioEngine::~AudioEngine() {
    engine->stop();
    dispatch::MainQueue::shared().detach(midiOut_);
    logLostMIDIOut();
    if (instrument) instrument->delegate = nullptr;
}

void AudioEngine::setupInstrument(AudioComponentRegistry& registry) {
    instrument = std::make_shared<ExternalAudioUnit>(engine, registry);
    instrument->delegate = this;
    instrument->createAsync(kInstrumentDescription, kInstrumentContextName);
}

void AudioEngine::onFoundComponent(AudioUnitBase* unit) {
    if (!instrument) {
        safeprint("AudioEngine::onFoundComponent() : ERROR: Instrument is nil.");
        return;
    }
    if (unit == instrument.get()) {
        if (instrument->avAudioUnit)
            instrument->audioUnit0->requestViewController(
                [weak = weak_from_this()](std::shared_ptr<ui::ViewController> viewController) {
                    if (const auto self = weak.lock())
                        self->openAUView(std::move(viewController), self->pluginView_.lock().get());
                });
        else
            safeprint(
                "AudioEngine::openAUView() : ERROR: The audio unit is not initialized to load the user interface.");
    }
    if (instrument->avAudioUnit) {
        scheduleBlocks_.push_back(
            std::make_unique<AUScheduleMIDIEventBlock>(instrument->audioUnit0->scheduleMIDIEventBlock()));
        scheduleTarget_.store(scheduleBlocks_.back().get(), std::memory_order_release);
        if (currentSoundfont != 0) instrument->setParameter(kSoundsetAddress, static_cast<float>(currentSoundfont));
        if (onInstrumentReady) onInstrumentReady();
        setupEngine();
    }
    else
        safeprint("AudioEngine::onFoundComponent() : ERROR: AVAudiounit is nil.");
}

void AudioEngine::openAUView(std::shared_ptr<ui::ViewController> viewController, ui::View* container) {
    if (!viewController) {
        safeprint("AudioEngine::openAUView() : ERROR: VC is nil.");
        return;
    }
    instrumentViewController = std::move(viewController);
    if (container != nullptr) embed(*instrumentViewController, *container);
}

void AudioEngine::openAUView(const std::shared_ptr<AUAudioUnit>& unit, const std::shared_ptr<ui::View>& container) {
    if (!unit) return;
    unit->requestViewController([weak = weak_from_this(), place = std::weak_ptr<ui::View>(container)](
                                    std::shared_ptr<ui::ViewController> viewController) {
        if (const auto self = weak.lock()) self->openAUView(std::move(viewController), place.lock().get());
    });
}

void AudioEngine::setPluginView(const std::shared_ptr<ui::View>& container) {
    pluginView_ = container;
    if (container && instrumentViewController) embed(*instrumentViewController, *container);
}

void AudioEngine::embed(ui::ViewController& viewController, ui::View& container) {
    const std::shared_ptr<ui::View> view = viewController.viewPointer();
    view->setFrame(container.bounds());
    if (view->superview() != &container) container.addSubview(view);
    view->setNeedsDisplay();
}

void AudioEngine::setupEngine() {
    if (!instrument || !instrument->avAudioUnit) {
        safeprint("AudioEngine::setupEngine() : ERROR: We do not have an instrument.");
        return;
    }
    reverb = std::make_shared<audioengine::ReverbNode>();
    engine->attach(reverb);
    reverb->loadFactoryPreset(audioengine::ReverbPreset::mediumRoom);
    reverb->setWetDryMix(kReverbWetDryPercent);

    eq = std::make_shared<audioengine::EqualizerNode>(3);
    engine->attach(eq);
    for (size_t band = 0; band < 3; ++band) {
        audioengine::EqualizerBand& settings = *eq->bands()[band];
        settings.setFilterType(audioengine::EqualizerBand::FilterType::parametric);
        settings.setFrequency(kBandFrequenciesHz[band]);
        settings.setBandwidth(kBandwidthOctaves);
        settings.setGain(0.0f);
        settings.setBypass(false);
    }

    std::string error;
    limiter = audioengine::makeEffectNode(audioengine::kPeakLimiterDescription, error);
    if (!limiter) {
        safeprint("AudioEngine::setupEngine() : ERROR: " + error);
        return;
    }
    if (auto* peakLimiter = dynamic_cast<audioengine::LimiterNode*>(limiter.get())) {
        audioengine::PeakLimiterSettings settings = peakLimiter->settings();
        settings.preGainDecibels = kLimiterPreGainDecibels;
        settings.ceilingDecibels = kLimiterCeilingDecibels;
        peakLimiter->setSettings(settings);
    }
    engine->attach(limiter);

    engine->connect(instrument->avAudioUnit, reverb, hardwareFormat);
    engine->connect(reverb, eq, hardwareFormat);
    engine->connect(eq, limiter, hardwareFormat);
    engine->connect(limiter, engine->mainMixerNode(), hardwareFormat);
    startEngine();
    safeprint(engine->description());
}

void AudioEngine::startEngine() {
    if (engine->isRunning()) {
        safeprint("AudioEngine::startEngine() : WARNING: The audio engine is already active.");
        return;
    }
    std::string error;
    if (engine->prepare(&error) && engine->start(&error))
        safeprint("AudioEngine::startEngine() : The audio engine was started.");
    else
        safeprint("AudioEngine::startEngine() : ERROR: " + error + ". \nThe audio engine could not be started.");
}

void AudioEngine::changeSoundfont(int64_t index, AudioComponentRegistry& registry) {
    engine->stop();
    currentSoundfont = index;
    if (instrument) instrument->delegate = nullptr;
    scheduleTarget_.store(nullptr, std::memory_order_release);
    reverb.reset();
    eq.reset();
    limiter.reset();
    instrumentViewController.reset();
    engine = std::make_shared<audioengine::Engine>(engine->takeOutput());
    hardwareFormat = engine->outputNode()->outputFormat(0);
    setupInstrument(registry);
}

void AudioEngine::stopEngine() { engine->stop(); }

void AudioEngine::pauseEngine() { engine->pause(); }

double AudioEngine::sessionSampleRate() { return audioengine::AudioSession::sharedInstance().sampleRate(); }

void AudioEngine::setReverbMix(float percent) {
    if (reverb) reverb->setWetDryMix(percent);
}

float AudioEngine::reverbMix() const { return reverb ? reverb->wetDryMix() : 0.0f; }

void AudioEngine::setGainLow(float decibels) {
    if (eq) eq->bands()[0]->setGain(decibels);
}

float AudioEngine::gainLow() const { return eq ? eq->bands()[0]->gain() : 0.0f; }

void AudioEngine::setGainMid(float decibels) {
    if (eq) eq->bands()[1]->setGain(decibels);
}

float AudioEngine::gainMid() const { return eq ? eq->bands()[1]->gain() : 0.0f; }

void AudioEngine::setGainHigh(float decibels) {
    if (eq) eq->bands()[2]->setGain(decibels);
}

float AudioEngine::gainHigh() const { return eq ? eq->bands()[2]->gain() : 0.0f; }

void AudioEngine::setVolume(float volume) {
    engine->mainMixerNode()->setOutputVolume(volume);
    safeprint("AudioEngine::setVolume() : " + std::to_string(engine->mainMixerNode()->outputVolume()));
}

float AudioEngine::volume() const { return engine->mainMixerNode()->outputVolume(); }

void AudioEngine::schedule(const char* operation, bool warnNotYet, AUEventSampleTime time, int64_t length,
                           const uint8_t* bytes) {
    const AUScheduleMIDIEventBlock* block = scheduleTarget_.load(std::memory_order_acquire);
    if (block == nullptr) {
        safeprint(std::string("AudioEngine::") + operation +
                  (warnNotYet ? "() : WARNING: Audio Unit not available yet for MIDI messges."
                              : "() : ERROR: Audio Unit not available."));
        return;
    }
    if (*block) (*block)(time, 0, length, bytes);
}

void AudioEngine::sendMIDI(uint8_t status, uint8_t data1, uint8_t data2) {
    const uint8_t bytes[3] = {status, data1, data2};
    schedule("sendMIDI", true, kAUEventSampleTimeImmediate, std::max<int64_t>(1, midiMessageLength(status)), bytes);
}

void AudioEngine::sendMIDI(std::span<const uint8_t> bytes, uint16_t length) {
    const size_t count = std::min<size_t>(length, bytes.size());
    if (count == 0) return;
    schedule("sendMIDI", true, kAUEventSampleTimeImmediate, static_cast<int64_t>(count), bytes.data());
}

void AudioEngine::sendMIDIAt(AUEventSampleTime sampleTime, std::span<const uint8_t> bytes) {
    if (!bytes.empty()) schedule("sendMIDI", true, sampleTime, static_cast<int64_t>(bytes.size()), bytes.data());
}

void AudioEngine::resetAllControllers(uint8_t channel) {
    const uint8_t bytes[3] = {static_cast<uint8_t>(0xB0 | (channel & 0x0F)), kResetAllControllers, 0};
    schedule("resetAllControllers", true, kAUEventSampleTimeImmediate, 3, bytes);
}

void AudioEngine::resetAllControllers() {
    for (uint8_t channel = 0; channel < 16; ++channel) resetAllControllers(channel);
}

void AudioEngine::sendNoteOn(uint8_t channel, uint8_t note, uint8_t velocity, int64_t sampleTime) {
    const uint8_t bytes[3] = {static_cast<uint8_t>(0x90 | (channel & 0x0F)), note, velocity};
    schedule("sendNoteOn", false, sampleTime, 3, bytes);
}

void AudioEngine::sendNoteOff(uint8_t channel, uint8_t note, uint8_t velocity, int64_t sampleTime) {
    const uint8_t bytes[3] = {static_cast<uint8_t>(0x80 | (channel & 0x0F)), note, velocity};
    schedule("sendNoteOff", false, sampleTime, 3, bytes);
}

// Short messages travel in one hand-off entry; longer ones in consecutive entries, each led by a byte that marks
// the first and the last part. A message goes only when the ring has room for all of its parts; one that has not is
// counted, and an entry that reports the count follows as soon as the ring takes it.
void AudioEngine::onMIDI(AudioUnitBase*, int64_t, uint8_t, int64_t length, const uint8_t* data) {
    if (length < 1 || data == nullptr || data[0] < 0x80) return;
    std::byte part[dispatch::HandoffRing::kPayloadBytes];
    constexpr size_t kPartBytes = sizeof part - 1;
    const auto total = static_cast<size_t>(length);
    if ((total + kPartBytes - 1) / kPartBytes > midiOut_.freeEntries()) {
        lastLostMIDIOutLength_.store(total);
        lostMIDIOut_.fetch_add(1);
    } else {
        for (size_t done = 0; done < total;) {
            const size_t size = std::min(kPartBytes, total - done);
            const bool first = done == 0;
            done += size;
            part[0] = std::byte{static_cast<uint8_t>((first ? kFirstPart : 0) | (done == total ? kLastPart : 0))};
            std::memcpy(part + 1, data + done - size, size);
            midiOut_.pushBytesNoAlloc(&AudioEngine::deliverPart, this, part, size + 1);
        }
    }
    if (lostMIDIOut_.load() > 0 && !lossReportQueued_.exchange(true) &&
        !midiOut_.pushBytesNoAlloc(&AudioEngine::reportLostMIDIOut, this, nullptr, 0)) {
        lossReportQueued_.store(false);
    }
}

void AudioEngine::reportLostMIDIOut(void* context, const std::byte*, std::size_t) {
    auto* self = static_cast<AudioEngine*>(context);
    self->lossReportQueued_.store(false);
    self->logLostMIDIOut();
}

void AudioEngine::logLostMIDIOut() {
    const uint64_t lost = lostMIDIOut_.exchange(0);
    if (lost == 0) return;
    safeprint("AudioEngine::onMIDI() : ERROR: " + std::to_string(lost) +
              " MIDI message(s) of the instrument were not sent (the last of them " +
              std::to_string(lastLostMIDIOutLength_.load()) + " bytes): no room to hand them to the main queue.");
}

void AudioEngine::deliverPart(void* context, const std::byte* payload, std::size_t size) {
    auto* self = static_cast<AudioEngine*>(context);
    const auto flags = static_cast<uint8_t>(payload[0]);
    const auto* bytes = reinterpret_cast<const uint8_t*>(payload + 1);
    std::vector<uint8_t>& message = self->midiOutMessage_;
    if ((flags & kFirstPart) != 0) {
        message.clear();
    } else if (message.empty()) {
        return;
    }
    message.insert(message.end(), bytes, bytes + size - 1);
    if ((flags & kLastPart) == 0) return;
    self->deliverToDelegate(message);
    message.clear();
}

void AudioEngine::deliverToDelegate(const std::vector<uint8_t>& bytes) {
    if (bytes.size() <= 3 && bytes[0] != 0xF0) {
        const uint8_t data1 = bytes.size() > 1 ? bytes[1] : 0;
        const uint8_t data2 = bytes.size() > 2 ? bytes[2] : 0;
        if (delegate != nullptr) delegate->onInstrumentMIDI(bytes[0], data1, data2);
        MIDIConnection::shared().sendMidiMessage(bytes[0] & 0xF0, bytes[0] & 0x0F, data1, data2, 0);
    } else {
        if (delegate != nullptr) delegate->onInstrumentSysEx(bytes);
        MIDIConnection::shared().sendSysex(bytes.size(), bytes);
    }
}

void AudioEngine::onParameter(AudioUnitBase*, uint64_t, float) {}
