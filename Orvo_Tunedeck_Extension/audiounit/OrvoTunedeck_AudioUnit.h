#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/RenderLogLines.h"
#include "Orvo_Tunedeck_Extension/audiounit/RenderTiming.h"
#include "Orvo_Tunedeck_Extension/catalogue/Soundfontprograms.h"
#include "Orvo_Tunedeck_Extension/dsp/OrvoTunedeckDSPKernelAdapter.h"
#include "Orvo_Tunedeck_Extension/parameters/OrvoTunedeck_Parameters.h"
#include "Orvo_Tunedeck_Extension/presets/OrvoPreset.h"
#include "Orvo_Tunedeck_Extension/presets/OrvoPresetDelegate.h"
#include "platform/audioengine/Engine.h"
#include "platform/audiounit/AUAudioUnit.h"
#include "shared/audiounitbase/AudioUnitBaseDelegate.h"
#include "shared/audiounitmidisynth/AudioUnitMIDISynth.h"
#include "shared/events/AUMIDIEventListMixer.h"
#include "shared/events/AUMIDIEventListSorter.h"
#include "shared/events/AUMIDIMonitor.h"
#include "shared/playback/AUMIDIRecorder.h"
#include "shared/playback/AUMIDISequencer.h"

class OrvoTunedeckRenderBlock;

// The instrument audio unit. The platform MIDI synthesizer sits in a private engine that never pulls it; the unit's
// own render block mixes host and file-player MIDI, echoes the mix to MIDI out, renders it through the synthesizer
// into the host's buffers and limits the result. Owns the kernel adapter (with the parameter store), the parameter
// tree, file player, recorder, monitor, event lists and program catalogue.
//
// Threads: everything is for the control thread that made the unit (the main queue in practice), except the render
// block (render thread) and what the base class allows elsewhere. Host parameter events and the copies of sent MIDI
// reach the main queue asynchronously; destroy the unit on the main queue's thread while no render call runs.
class OrvoTunedeck_AudioUnit : public AUAudioUnit, public AudioUnitBaseDelegate, public OrvoPresetDelegate {
public:
    // 'aumu', 'qBvn', 'KWBL'.
    static constexpr AudioComponentDescription kComponentDescription{0x61756D75, 0x7142766E, 0x4B57424C, 0, 0};
    static constexpr const char* kSynthName = "Internal Synthesizer (MT)";
    // The main volume and transposition a file starts with; the synthesizer plays at them from its creation on.
    static constexpr float kStartVolume = 0.79f;
    static constexpr float kStartTranspose = 0.0f;
    static constexpr const char* kMIDIOutputName = "Orvo Tunedeck MIDI OUT";
    static constexpr const char* kDefaultPresetName = "default.aupreset";

    // Builds everything and starts the private engine. Throws AudioUnitStatusError when the base refuses.
    explicit OrvoTunedeck_AudioUnit(const AudioComponentDescription& description = kComponentDescription);
    ~OrvoTunedeck_AudioUnit() override;

    // Lifecycle. Allocation gives the output rate to the synthesizer (again at every allocation, so a new rate
    // reaches it), the kernel, the file player and the recorder, loads sound set "00" with its catalogue preloaded,
    // and writes the default preset when it is missing; a synthesizer that played at another rate gets the channel
    // settings again (reapplyChannelSettings); the base's and the synthesizer's refusals are thrown
    // (AudioUnitStatusError) before any of that. Deallocation stops the file player.
    void allocateRenderResources() override;
    void deallocateRenderResources() override;
    bool renderResourcesAllocated() const override;
    // Resets the limiter, the synthesizer and the file player.
    void reset() override;
    // A new render block over the objects and the MIDI output block of this moment.
    AUInternalRenderBlock internalRenderBlock() override;

    // What the unit tells hosts.
    AUAudioUnitBusArray& inputBusses() override { return inputBusses_; }
    AUAudioUnitBusArray& outputBusses() override { return outputBusses_; }
    void setMaximumFramesToRender(uint32_t frames) override;
    void setShouldBypassEffect(bool bypass) override;
    std::vector<AUParameterAddress> parametersForOverview(int64_t count) override;
    bool isMusicDeviceOrEffect() const override { return true; }
    int64_t virtualMIDICableCount() const override { return static_cast<int64_t>(midiOutputs_.size()); }
    std::vector<std::string> MIDIOutputNames() const override { return midiOutputs_; }
    // Takes effect for render blocks fetched afterwards.
    void setMIDIOutputEventBlock(AUMIDIOutputEventBlock block) override;
    double latency() const override;
    double tailTime() const override;
    std::vector<int32_t> channelCapabilities() const override { return {0, 2}; }
    bool canPerformInput() const override { return false; }
    bool canPerformOutput() const override { return true; }
    std::vector<size_t> supportedViewConfigurations(const std::vector<AUAudioUnitViewConfiguration>& offered) override;
    // True; every read is logged.
    bool supportsUserPresets() const override;
    // The tree of the unit's parameters; every read is logged. A host's tree is logged and goes to the base, while
    // reads keep answering the unit's own tree.
    std::shared_ptr<AUParameterTree> parameterTree() const override;
    void setParameterTree(std::shared_ptr<AUParameterTree> tree) override;

    // Parameter dispatch: stores the value and turns it into MIDI for the synthesizer (programs, banks, pans,
    // levels), channel mutes, or the synthesizer's gain (1001: value × 108 − 96 dB) and tuning (1002). 1183 is panic.
    // Option addresses (setOption) are taken before the tree is consulted.
    // Main queue.
    void setParameter(int64_t index, float value);
    // The stored value of a tree parameter; 0 (with a log line) for other addresses.
    float getParameter(int64_t index);
    // Applies every parameter of the tree again, in tree order.
    void updateParameters();
    // Sends again, in tree order, each channel level, pan, bank and program of the tree that was ever sent to the
    // synthesizer; the others it still has at their start (the synthesizer's gain and tuning are its own parameters
    // and outlive a restart of its channels).
    void reapplyChannelSettings();
    // The start values of every channel and the global volume and transposition; all channels unmuted.
    void initializeParameters();
    // Queued for the next render buffer; time is not used.
    void sendProgramChange(uint8_t channel, uint8_t program, int64_t time);
    void sendController(uint8_t channel, uint8_t controller, uint8_t value, int64_t time);
    void sendAllNotesOff();
    void sendAllSoundsOff();
    void resetAllControllers();
    void resetPrograms();
    // Note-on velocity map: entry i replaces velocity i; entries past 127 are ignored, a shorter list changes only
    // the entries it has.
    void setVelocities(const std::vector<uint8_t>& values);

    // Sound sets: the synthesizer's bank and the catalogue's table of code (SoundSet.h), then every catalogue row
    // preloaded.
    void loadSoundfontMode(const std::string& mode);
    void preloadSoundfontPrograms();
    void stopSequencer();
    // Writes the current parameters as a preset file of that name in the documents' "Presets" folder.
    void savePresetFile(const std::string& filename);

    // Full state and presets. The full state is the preset document of the parameter tree ("Orvo Tunedeck Preset",
    // version 1, this component). Presets are such documents in the documents' "Presets" folder, files ending in
    // ".aupreset" (any case). A state or preset is parsed first and applied (every parameter through setParameter)
    // only when its type, subtype and manufacturer are this unit's; anything else changes nothing. Preset names are
    // single path components. Files are written atomically, and writing sends no MIDI. Control thread.
    std::optional<foundation::PlistDictionary> fullState() override;
    void setFullState(const std::optional<foundation::PlistDictionary>& state) override;
    // The preset files of the folder in name order (regardless of case), numbered by their place among all the
    // folder's entries (so the numbers may have gaps).
    std::vector<AUAudioUnitPreset> factoryPresets() override;
    std::optional<AUAudioUnitPreset> currentPreset() override { return currentPreset_; }
    // A factory preset is found by number in the last listing and read from the file listed; a user preset
    // (negative number) by name. It becomes current only when it was read and applied.
    void setCurrentPreset(const std::optional<AUAudioUnitPreset>& preset) override;
    void deleteUserPreset(const AUAudioUnitPreset& preset) override;
    // Throws AudioUnitStatusError kAudioUnitErr_InvalidFilePath (-66742) when the file is missing, unreadable or no
    // preset document. Applies nothing.
    foundation::PlistDictionary presetStateFor(const AUAudioUnitPreset& preset) override;
    // The documents' "Presets" folder; empty when the documents folder is unknown.
    std::filesystem::path userPresetsFolder() const override;
    using AUAudioUnit::saveUserPreset;
    // Writes the current parameters to the file filename in the presets folder.
    void saveUserPreset(const std::string& filename);
    // Read the preset file filename of the folder (or the file at path) and apply it when it belongs to this unit.
    void loadFactoryPreset(const std::string& filename);
    bool loadUserPreset(const std::string& filename);
    bool loadPresetFile(const std::filesystem::path& path);

    // Options that hosts write to addresses outside the parameter tree. kSoundSetOption takes a sound-set row,
    // 0 to 5 for the codes "00", "01", "02", "06", "07" and "09"; other rows are refused with a log line. True when
    // address is an option address (the value was taken or refused). Control thread.
    static constexpr int64_t kSoundSetOption = 1189;
    // kFilePlayerOption tells the instrument that its host stopped pulling sound (0) or pulls it again (1): a file
    // player playing at 0 is paused, and one paused so continues at 1, so that the view shows what is heard. It lies
    // just above the view's own option addresses (1178 to 1192), which keep their meaning.
    static constexpr int64_t kFilePlayerOption = 1193;
    bool setOption(int64_t address, float value) override;
    // False from a kFilePlayerOption 0 until the next 1: the host pulls no sound, so a song started would be heard by
    // nobody. The views keep their play controls off meanwhile. Control thread.
    bool hostPullsSound() const { return !hostStopped_; }
    // The sound set of a bank number or a bank file, named by the General MIDI table. loadSoundfontURL: true when
    // the synthesizer took the file.
    void loadSoundfontNumber(int number);
    bool loadSoundfontURL(const std::filesystem::path& url);
    // Hosts hand the instrument a bank file of their own as kMusicDeviceProperty_SoundBankURL (global scope, element
    // 0, a std::filesystem::path): it loads through loadSoundfontURL; a file the synthesizer refuses answers
    // kAudioUnitErr_InvalidPropertyValue. Other properties go to the base. Control thread.
    foundation::OSStatus setProperty(AudioUnitPropertyID property, AudioUnitScope scope, AudioUnitElement element,
                                     const void* data, uint32_t size) override;
    // Hosts read how the last bank load went as kSoundBankLoadProperty (SoundBankLoad.h): the sound set's bank (or
    // the host's file) and its status. Other properties go to the base. Control thread.
    foundation::OSStatus getProperty(AudioUnitPropertyID property, AudioUnitScope scope, AudioUnitElement element,
                                     void* data, uint32_t size) override;
    // The bank file the synthesizer's caller stored; none without a synthesizer.
    std::optional<std::filesystem::path> getSoundfont();
    // The synthesizer's node; none (with a log line) without a synthesizer.
    std::shared_ptr<audioengine::UnitNode> getSynth();

    // Control interface of the views. Control thread.
    // File player: loading stops the player, loads the file at once and applies the parameters again; starting
    // plays from the beginning with the start values of the channels. Starting and continuing do nothing while the
    // host pulls no sound (hostPullsSound): the file waits where it is for a play that can be heard.
    void loadMIDIFile(const std::filesystem::path& url);
    void startSequencer();
    void pauseSequencer();
    void continueSequencer();
    // Pauses a playing player, continues a stopped one.
    void toggleSequencer();
    bool isSequencerPlaying() const;
    // value: fraction 0 to 1 of the song.
    void seekSequencer(double value);
    // Clamped to 0.1 to 10.0.
    void setRate(double value);
    double getRate() const;
    double getSequencerPositionInBeats() const;
    double getSequenceerDurationInBeats() const;
    int64_t getSequencerPositionInSamples() const;
    // Sample time of the song's last event; 0 without a song.
    int64_t getSequenceerDurationInSamples() const;
    double getSequencerPositionInSeconds() const;
    double getSequencerDurationInSeconds() const;
    int64_t getSequencerCurrentEventIndex() const;
    double getSequencerProgress() const;
    AUMIDISequencer::Events getEvents() const;
    std::vector<std::shared_ptr<AUMIDIEventEx>> getRunningNotes() const;
    std::size_t getRunningNotesCount() const;
    std::optional<std::string> getCurrentFile() const;
    // The program the loaded sequence gives channel; 0 above channel 15.
    uint8_t getPatchForChannel(uint8_t channel) const;
    bool isEngineRunning() const;
    // The sample rate of output bus 0.
    double getSamplerate() const;
    void setInternalName(std::string name) { internalName_ = std::move(name); }
    const std::string& getInternalName() const { return internalName_; }
    // Channel messages queued for the next render buffer (time is not used). Channels above 15 are refused and data
    // bytes are clamped to 127, each with a log line.
    void sendNoteOn(uint8_t channel, uint8_t note, uint8_t velocity, int64_t time);
    void sendNoteOff(uint8_t channel, uint8_t note, uint8_t velocity, int64_t time);
    // Bank select MSB and LSB, then the program change.
    void sendProgramChange(uint8_t channel, uint8_t msb, uint8_t lsb, uint8_t program, int64_t time);
    // status: a channel-message status with channel bits 0.
    void sendEvent(uint8_t channel, uint8_t status, uint8_t value1, uint8_t value2, int64_t time);
    void sendAllNotesOff(uint8_t channel);
    void sendAllSoundsOff(uint8_t channel);
    void resetAllControllers(uint8_t channel);
    void resetProgram(uint8_t channel);
    // Monitor: the oldest monitored event (none when there is none), and a reset.
    std::shared_ptr<AUMIDIEventEx> getMonitorEvents();
    void clearMonitoring();
    // Recorder: starting discards the last recording and records from the buffer rendered last on.
    void startRecorder();
    void stopRecorder();
    void saveRecorder(const std::filesystem::path& url);
    bool isRecording() const;
    int64_t getRecorderLength() const;
    std::size_t getRecorderCount() const;
    std::vector<std::shared_ptr<AUMIDIEventEx>> getRecorderEvents() const;
    // Samples since the recording started, up to the buffer rendered last.
    int64_t getRecorderTime() const;

    // Owned objects.
    const std::shared_ptr<audioengine::Engine>& engine() const { return engine_; }
    const std::shared_ptr<AudioUnitMIDISynth>& synth() const { return synth_; }
    const std::shared_ptr<OrvoTunedeckDSPKernelAdapter>& kernelAdapter() const { return kernelAdapter_; }
    const std::shared_ptr<AUMIDISequencer>& sequencer() const { return sequencer_; }
    const std::shared_ptr<AUMIDIRecorder>& recorder() const { return recorder_; }
    const std::shared_ptr<AUMIDIMonitor>& monitor() const { return monitor_; }
    const std::shared_ptr<AUMIDIEventListMixer>& eventMixer() const { return eventMixer_; }
    const std::shared_ptr<Soundfontprograms>& soundfontprograms() const { return soundfontprograms_; }
    // Last bank selects sent per channel through the bank parameters.
    const std::array<uint8_t, 16>& bankMSB() const { return bankMSB_; }
    const std::array<uint8_t, 16>& bankLSB() const { return bankLSB_; }
    // Timing of the buffer rendered last. Any thread.
    int64_t currentSampletime() const { return timing_.currentSampletime.load(std::memory_order_relaxed); }
    int64_t internalSampletime() const { return timing_.internalSampletime.load(std::memory_order_relaxed); }
    uint32_t currentFrameCount() const { return timing_.currentFrameCount.load(std::memory_order_relaxed); }

    // AudioUnitBaseDelegate and OrvoPresetDelegate.
    void onFoundComponent(AudioUnitBase* unit) override;
    void onMIDI(AudioUnitBase*, int64_t, uint8_t, int64_t, const uint8_t*) override {}
    void onParameter(AudioUnitBase*, uint64_t, float) override {}
    void onFoundParameter(int64_t group, const std::string& identifier, uint64_t address, float value) override;
    // Makes sure url is a folder, creating its missing parents; false, with an ERROR line of this class, when that
    // fails.
    bool ensureDirectoryExists(const std::filesystem::path& url);

private:
    void internalInit();
    void initializeEngine();
    void createSynth();
    // The internal synthesizer's unit; nullptr, after a log line naming operation, when it could not be made.
    std::shared_ptr<AUAudioUnit> synthUnit(const char* operation) const;
    void connectEngine();
    void engineStart();
    void ensureDefaultPreset();
    // The synthesizer's gain for a main volume value and its coarse tuning.
    void setSynthGainAndTuning(float volume, float transpose);
    void queue(uint8_t channel, uint8_t status, uint8_t data1, uint8_t data2);
    static void applyHostParameterEvent(void* context, AUParameterAddress address, AUValue value);

    std::shared_ptr<audioengine::Engine> engine_;
    std::shared_ptr<AudioUnitMIDISynth> synth_;
    std::shared_ptr<OrvoTunedeckDSPKernelAdapter> kernelAdapter_;
    std::unique_ptr<OrvoTunedeck_Parameters> parameters_;
    bool resourcesAllocated_ = false;
    // Whether a bank load was asked for (sound set, number or file); allocating the render resources loads sound
    // set "00" only without one.
    bool bankChosen_ = false;
    AUAudioUnitBusArray inputBusses_;
    AUAudioUnitBusArray outputBusses_;
    std::vector<std::string> midiOutputs_{kMIDIOutputName};
    AUMIDIOutputEventBlock midiOutputEventBlock_;
    std::shared_ptr<AUMIDIRecorder> recorder_;
    std::shared_ptr<AUMIDIMonitor> monitor_;
    std::shared_ptr<AUMIDISequencer> sequencer_;
    std::shared_ptr<AUMIDIEventListMixer> eventMixer_;
    AUMIDIEventListSorter eventSorter_;
    RenderTiming timing_;
    // The rate the synthesizer was last allocated at; none before its first allocation.
    std::optional<double> synthesizerRateHz_;
    // Which channel settings (levels up to the pitch bends, by address from 1032) went to the synthesizer.
    std::bitset<80> channelSettingsSent_;
    // The block internalRenderBlock() made last: deallocation delivers what it handed over before it goes.
    std::weak_ptr<OrvoTunedeckRenderBlock> renderBlock_;
    std::array<uint8_t, 16> bankLSB_{};
    std::array<uint8_t, 16> bankMSB_{};
    std::shared_ptr<Soundfontprograms> soundfontprograms_;
    std::string internalName_;
    // Queues a channel message from the control interface after checking channel, status and data bytes.
    void sendChecked(uint8_t channel, uint8_t status, uint8_t data1, uint8_t data2);
    // Full state and presets.
    std::optional<foundation::PlistDictionary> fullState_;
    std::optional<AUAudioUnitPreset> currentPreset_;
    // The player's transport serial when it was paused because the host stopped pulling sound (kFilePlayerOption).
    std::optional<std::uint64_t> pausedForHost_;
    bool hostStopped_ = false;
    std::vector<AUAudioUnitPreset> presets_;
    std::vector<std::filesystem::path> presetFiles_;  // the file of each entry of presets_
    bool applyPreset(const OrvoPreset& document);
    // Carries the event mixer's warnings from the render thread.
    foundation::RenderLogLines mixerLog_{"AUMIDIEvents::mixEvents()", 64};
};
