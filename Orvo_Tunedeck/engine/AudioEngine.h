#pragma once
// The application's sound engine. It asks the component registry for the instrument, wires the graph (instrument
// into reverb, three-band equaliser and peak limiter, then the main mixer) once the instrument exists, and starts
// it. MIDI for the instrument is scheduled here for immediate delivery, and what the instrument plays out comes back
// here, to go to the delegate and to the MIDI destinations switched on. The instrument's own view controller is
// requested when the instrument arrives; its view fills the area the main screen gives for it.
//
// Own through std::shared_ptr (made by create()).
//
// Threads: create, the set-up, start/stop/pause, the mix settings, the instrument's view and destruction on the main queue (the
// instrument's instantiation completes there too). The sendMIDI forms, resetAllControllers and the note forms may be
// called from any thread once create() has returned (the MIDI input thread in the application); they never block.
// onMIDI runs on the render thread and never allocates, locks or waits; the message is handed to the main queue,
// where the delegate hears of it and it is sent to the MIDI destinations.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "Orvo_Tunedeck/engine/AudioEngineDelegate.h"
#include "Orvo_Tunedeck/engine/ExternalAudioUnit.h"
#include "platform/audioengine/AudioOutput.h"
#include "platform/audioengine/Engine.h"
#include "platform/audioengine/EqualizerNode.h"
#include "platform/audioengine/LimiterNode.h"
#include "platform/audioengine/ReverbNode.h"
#include "platform/dispatch/HandoffRing.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "shared/audiounitbase/AudioUnitBaseDelegate.h"

class AudioEngine final : public AudioUnitBaseDelegate, public std::enable_shared_from_this<AudioEngine> {
public:
    // The instrument the application hosts and the context name it gives it.
    static constexpr AudioComponentDescription kInstrumentDescription{0x61756D75, 0x7142766E, 0x4B57424C, 2, 0};
    static constexpr const char* kInstrumentContextName = "KWBL: Orvo Tunedeck Extension";
    // The parameter address to which a sound-set row is written.
    static constexpr int64_t kSoundsetAddress = 1189;

    // Makes the engine on output (the null output when none is given) and starts the search for the instrument;
    // the chain is built and started when the instantiation completes on the main queue.
    static std::shared_ptr<AudioEngine> create(std::unique_ptr<audioengine::AudioOutput> output = nullptr,
                                               AudioComponentRegistry& registry = AudioComponentRegistry::shared());
    ~AudioEngine() override;
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    std::shared_ptr<audioengine::Engine> engine;
    AudioEngineDelegate* delegate = nullptr;  // not owned
    AudioFormat hardwareFormat;
    std::shared_ptr<audioengine::ReverbNode> reverb;
    std::shared_ptr<audioengine::EqualizerNode> eq;
    std::shared_ptr<audioengine::Node> limiter;
    std::shared_ptr<ExternalAudioUnit> instrument;
    // The sound-set row last given to changeSoundfont (0 before).
    int64_t currentSoundfont = 0;
    // The instrument's own view controller, once the instrument has handed it over; none before and for an
    // instrument without a view.
    std::shared_ptr<ui::ViewController> instrumentViewController;
    // Called once the instrument is there, before the chain is built and started: what is given to the instrument
    // here (its bank, say) is in place before it allocates its render resources. Main queue.
    std::function<void()> onInstrumentReady;

    void setupEngine();
    // Takes the instrument's view controller (logs an error for none) and shows its view in container, when there
    // is one, filling its bounds.
    void openAUView(std::shared_ptr<ui::ViewController> viewController, ui::View* container);
    // Asks unit for its view controller and, when it arrives, shows it in container as above (in no container when
    // that has gone meanwhile). A unit of none asks nothing.
    void openAUView(const std::shared_ptr<AUAudioUnit>& unit, const std::shared_ptr<ui::View>& container);
    // Makes container the area that shows the instrument's view (not owned; the engine keeps a weak reference) and
    // shows the view there at once when the instrument has handed it over.
    void setPluginView(const std::shared_ptr<ui::View>& container);
    void startEngine();
    // Starts over with sound set index (row 0 to 5): stops the engine, makes a new one on the same output and has
    // the instrument found and instantiated again; the new instrument is given the row once it is there.
    void changeSoundfont(int64_t index,
                         AudioComponentRegistry& registry = AudioComponentRegistry::shared());
    void stopEngine();
    void pauseEngine();
    static double sessionSampleRate();

    void setReverbMix(float percent);
    float reverbMix() const;
    // Gains in dB of equaliser bands 0, 1 and 2.
    void setGainLow(float decibels);
    float gainLow() const;
    void setGainMid(float decibels);
    float gainMid() const;
    void setGainHigh(float decibels);
    float gainHigh() const;
    void setVolume(float volume);
    float volume() const;

    // Schedule on the instrument for immediate delivery: the bytes of one short message, as many as its status
    // byte gives (missing data bytes 0), or the first length bytes of a list (never more than the list holds).
    void sendMIDI(uint8_t status, uint8_t data1 = 0, uint8_t data2 = 0);
    void sendMIDI(std::span<const uint8_t> bytes, uint16_t length);
    // A message at sampleTime in the instrument's render time line (kAUEventSampleTimeImmediate + k: k frames into
    // its next render).
    void sendMIDIAt(AUEventSampleTime sampleTime, std::span<const uint8_t> bytes);
    // [0xB0 + channel, 121, 0]; channel 0 to 15. Without channel: all sixteen in turn.
    void resetAllControllers(uint8_t channel);
    void resetAllControllers();
    // A note at sampleTime in the instrument's render time line.
    void sendNoteOn(uint8_t channel, uint8_t note, uint8_t velocity, int64_t sampleTime);
    void sendNoteOff(uint8_t channel, uint8_t note, uint8_t velocity, int64_t sampleTime);

    // AudioUnitBaseDelegate.
    void onFoundComponent(AudioUnitBase* unit) override;
    void onMIDI(AudioUnitBase* unit, int64_t time, uint8_t cable, int64_t length, const uint8_t* data) override;
    void onParameter(AudioUnitBase* unit, uint64_t address, float value) override;

private:
    explicit AudioEngine(std::unique_ptr<audioengine::AudioOutput> output);
    void setupInstrument(AudioComponentRegistry& registry);
    // Hands the message to the instrument's schedule block; before the instrument is there, logs why not (the
    // warning form, or the error form of the note operations) and drops it.
    void schedule(const char* operation, bool warnNotYet, AUEventSampleTime time, int64_t length,
                  const uint8_t* bytes);
    static void deliverPart(void* context, const std::byte* payload, std::size_t size);
    static void reportLostMIDIOut(void* context, const std::byte* payload, std::size_t size);
    // Logs the count of the instrument's messages dropped since the last report, if any. Main queue.
    void logLostMIDIOut();
    void deliverToDelegate(const std::vector<uint8_t>& bytes);

    // Marks of the parts in which the instrument's MIDI output crosses to the main queue.
    static constexpr uint8_t kFirstPart = 1;
    static constexpr uint8_t kLastPart = 2;

    static void embed(ui::ViewController& viewController, ui::View& container);

    std::weak_ptr<ui::View> pluginView_;
    // Room for the parts of one longest message (65,535 bytes in 294 parts) and more.
    dispatch::HandoffRing midiOut_{1024};
    // Messages of the instrument that found no room in midiOut_ (written on the render thread, taken by the report).
    std::atomic<uint64_t> lostMIDIOut_{0};
    std::atomic<size_t> lastLostMIDIOutLength_{0};
    std::atomic<bool> lossReportQueued_{false};
    // The instrument's message being put together from its parts (main queue).
    std::vector<uint8_t> midiOutMessage_;
    // The schedule blocks of every instrument made for this engine (main queue); the current one is published to the
    // sending threads through scheduleTarget_. Blocks are kept until the engine goes, so a sender never sees a
    // destroyed one.
    std::vector<std::unique_ptr<AUScheduleMIDIEventBlock>> scheduleBlocks_;
    std::atomic<const AUScheduleMIDIEventBlock*> scheduleTarget_{nullptr};
};
