#pragma once
// Base class of every audio unit: a component that renders audio on request, takes MIDI and parameter events, and
// describes itself to hosts (buses, capabilities, parameters, state, presets).
//
// Subclasses supply internalRenderBlock(); hosts render through renderBlock(), which checks the frame count and the
// allocation state, provides output buffers when the host passes none, and joins MIDI queued through the
// schedule-MIDI block to the event list before it calls the unit's own block.
//
// Threads: everything is for the control thread (the host's, usually the main queue) unless noted. The blocks say
// their own contract (AURenderBlocks.h). Operations marked "throws" throw AudioUnitStatusError.

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/audiounit/AUAudioUnitBus.h"
#include "platform/audiounit/AUAudioUnitPreset.h"
#include "platform/audiounit/AUParameterTree.h"
#include "platform/audiounit/AUUnitProperties.h"
#include "platform/audiounit/AURenderBlocks.h"
#include "platform/audiounit/AudioUnitStatusError.h"
#include "platform/audiounit/ComponentDescription.h"
#include "platform/audiounit/ScheduledEventMerger.h"
#include "platform/audiounit/ScheduledMIDIQueue.h"
#include "platform/foundation/PlistValue.h"

namespace ui {
class ViewController;
}

// Receives the unit's own view controller, or none for a unit without a view.
using AUViewControllerCompletion = std::function<void(std::shared_ptr<ui::ViewController>)>;

class AUAudioUnit {
public:
    // A unit with one stereo output bus at 48000 Hz, and one stereo input bus when the description's type is an
    // effect ('aufx' or 'aumf'). Subclasses replace the buses by overriding inputBusses() and outputBusses().
    explicit AUAudioUnit(const AudioComponentDescription& componentDescription);
    virtual ~AUAudioUnit();
    AUAudioUnit(const AUAudioUnit&) = delete;
    AUAudioUnit& operator=(const AUAudioUnit&) = delete;

    // Identity. The registry gives a unit it makes its component's name ("Maker: Unit") and version.
    const AudioComponentDescription& componentDescription() const { return componentDescription_; }
    const std::string& componentName() const { return componentName_; }
    uint32_t componentVersion() const { return componentVersion_; }
    void setComponentIdentity(std::string name, uint32_t version);
    // The two halves of componentName around ": " (all of it is the unit's name when there is no ": ").
    std::string audioUnitName() const;
    std::string manufacturerName() const;
    // A name the host gives the unit for display in its context.
    std::string contextName() const;
    void setContextName(std::string name);

    // Render resources. allocate throws kAudioUnitErr_FormatNotSupported when a bus format is unusable and
    // kAudioUnitErr_FailedInitialization when maximumFramesToRender is 0; it fetches the internal render block (so a
    // MIDI output block must be set before). Allocating again while allocated is harmless.
    virtual void allocateRenderResources();
    virtual void deallocateRenderResources();
    virtual bool renderResourcesAllocated() const { return allocated_.load(); }
    virtual void reset() {}

    virtual AUAudioUnitBusArray& inputBusses() { return inputBusses_; }
    virtual AUAudioUnitBusArray& outputBusses() { return outputBusses_; }

    // Largest frame count one render call takes (default 1156); set while not allocated.
    virtual uint32_t maximumFramesToRender() const { return maximumFramesToRender_; }
    virtual void setMaximumFramesToRender(uint32_t frames) { maximumFramesToRender_ = frames; }

    // A switch for the unit's own render code; the base only stores it. Any thread.
    virtual bool shouldBypassEffect() const { return bypass_.load(); }
    virtual void setShouldBypassEffect(bool bypass) { bypass_.store(bypass); }

    // The host-facing render block. It returns kAudioUnitErr_Uninitialized while resources are not allocated,
    // kAudioUnitErr_TooManyFramesToProcess above maximumFramesToRender and kAudioUnitErr_InvalidElement for an
    // unknown output bus, without touching the buffers; it points buffers with no data at storage of its own when the
    // bus's shouldAllocateBuffer is set. The block must not outlive the unit.
    AURenderBlock renderBlock();
    // The unit's own render code; the base fetches it at each allocation.
    virtual AUInternalRenderBlock internalRenderBlock() = 0;

    // MIDI output: the names of the unit's MIDI outputs (none by default) and the host's block that receives them.
    virtual std::vector<std::string> MIDIOutputNames() const { return {}; }
    virtual AUMIDIOutputEventBlock MIDIOutputEventBlock() const;
    virtual void setMIDIOutputEventBlock(AUMIDIOutputEventBlock block);
    virtual int64_t virtualMIDICableCount() const { return 0; }

    // MIDI input: a block that any thread may call; each message joins the event list of the next render call, in
    // the order queued. Empty for units that take no MIDI (see providesScheduleMIDIEventBlock). Messages longer than
    // ScheduledMIDIQueue::kMaximumMessageBytes, or beyond its capacity, are dropped and counted.
    AUScheduleMIDIEventBlock scheduleMIDIEventBlock();
    uint64_t droppedScheduledMIDICount() const { return scheduledMIDI_.droppedCount(); }
    // Music devices and effects ('aumu', 'aumf', 'aufx') take MIDI.
    virtual bool providesScheduleMIDIEventBlock() const;
    virtual bool isMusicDeviceOrEffect() const;

    // Sets a unit property (AUUnitProperties.h) from size bytes at data. The base knows none:
    // kAudioUnitErr_InvalidProperty.
    virtual foundation::OSStatus setProperty(AudioUnitPropertyID property, AudioUnitScope scope,
                                             AudioUnitElement element, const void* data, uint32_t size);
    // Reads a unit property into the size bytes at data, which must be the property's value type. The base knows
    // none: kAudioUnitErr_InvalidProperty.
    virtual foundation::OSStatus getProperty(AudioUnitPropertyID property, AudioUnitScope scope,
                                             AudioUnitElement element, void* data, uint32_t size);
    // One short MIDI message for the next render, offsetFrames into it. The base queues it like the schedule-MIDI
    // block (data bytes above 127 are masked to seven bits); units that take no MIDI answer
    // kAudio_UnimplementedError. Any thread.
    virtual foundation::OSStatus musicDeviceMIDIEvent(uint32_t status, uint32_t data1, uint32_t data2,
                                                      uint32_t offsetFrames);

    // Capabilities, in seconds and channel counts.
    virtual double latency() const { return 0.0; }
    virtual double tailTime() const { return 0.0; }
    // Pairs of (input channels, output channels); empty means any.
    virtual std::vector<int32_t> channelCapabilities() const { return {}; }
    virtual bool canProcessInPlace() const { return false; }
    virtual bool canPerformInput() const { return false; }
    virtual bool canPerformOutput() const { return false; }
    // Indexes of the configurations the unit's view supports (all by default).
    virtual std::vector<size_t> supportedViewConfigurations(const std::vector<AUAudioUnitViewConfiguration>& offered);
    virtual std::vector<AUParameterAddress> parametersForOverview(int64_t count);
    // Asks for the unit's own view controller; completion always runs later, on the main queue. The base hands back
    // none. Any thread but the render thread.
    virtual void requestViewController(AUViewControllerCompletion completion);

    // A value written to an address the parameter tree does not hold, for units that take options there. True when
    // the unit owns the address (the value was taken or refused with a log line), false otherwise. Control thread.
    virtual bool setOption(int64_t address, float value) { (void)address; (void)value; return false; }
    virtual std::shared_ptr<AUParameterTree> parameterTree() const { return parameterTree_; }
    virtual void setParameterTree(std::shared_ptr<AUParameterTree> tree) { parameterTree_ = std::move(tree); }

    // Full state: a dictionary with "type", "subtype", "manufacturer", "version", "name" and "parameters" (the
    // values of the tree, keyed by address in decimal). Setting applies the parameters of a state whose
    // type, subtype and manufacturer match the unit's, and ignores any other.
    virtual std::optional<foundation::PlistDictionary> fullState();
    virtual void setFullState(const std::optional<foundation::PlistDictionary>& state);

    virtual std::vector<AUAudioUnitPreset> factoryPresets() { return {}; }
    virtual std::optional<AUAudioUnitPreset> currentPreset() { return currentPreset_; }
    // A factory preset must be in factoryPresets(); a user preset (negative number) is applied from its file. A
    // preset that cannot be applied leaves the current one unchanged.
    virtual void setCurrentPreset(const std::optional<AUAudioUnitPreset>& preset);

    // User presets: full-state files in userPresetsFolder(). Names are single path components.
    virtual bool supportsUserPresets() const { return false; }
    std::vector<AUAudioUnitPreset> userPresets() const;
    // Throws kAudio_UnimplementedError without user-preset support, kAudioUnitErr_InvalidPropertyValue for a
    // non-negative number or an unusable name, kAudioUnitErr_InvalidFilePath when the file cannot be written.
    virtual void saveUserPreset(const AUAudioUnitPreset& preset);
    // Throws kAudioUnitErr_InvalidFilePath when there is no such preset.
    virtual void deleteUserPreset(const AUAudioUnitPreset& preset);
    // The state stored for a user preset. Throws kAudioUnitErr_InvalidFilePath when the file is missing or
    // unreadable, kAudioUnitErr_InvalidPropertyValue when its content is not a dictionary.
    virtual foundation::PlistDictionary presetStateFor(const AUAudioUnitPreset& preset);
    // $TUNEDECK_USER_PRESETS when set, else the user-defaults folder; then "Presets/<type>.<subtype>.<maker>".
    virtual std::filesystem::path userPresetsFolder() const;

protected:
    // Storage the render block points empty output buffers at; valid while allocated.
    float* providedBuffer(uint32_t bus, uint32_t channel);

private:
    friend class AUAudioUnitBus;

    foundation::OSStatus render(AudioUnitRenderActionFlags* actionFlags, const AudioTimeStamp* timestamp,
                                AUAudioFrameCount frameCount, int64_t outputBusNumber, AudioBufferList* outputData,
                                const AURenderEvent* events, const AURenderPullInputBlock& pullInputBlock) noexcept;
    std::filesystem::path userPresetFile(const AUAudioUnitPreset& preset) const;

    AudioComponentDescription componentDescription_;
    std::string componentName_;
    uint32_t componentVersion_ = 0;
    mutable std::mutex contextNameMutex_;
    std::string contextName_;

    AUAudioUnitBusArray inputBusses_;
    AUAudioUnitBusArray outputBusses_;
    uint32_t maximumFramesToRender_ = 1156;
    std::atomic<bool> bypass_{false};
    std::atomic<bool> allocated_{false};

    AUInternalRenderBlock internalBlock_;
    uint32_t renderMaximumFrames_ = 0;  // maximumFramesToRender at allocation
    std::vector<std::vector<float>> providedBuffers_;  // per output bus, channel after channel

    mutable std::mutex midiOutputMutex_;
    AUMIDIOutputEventBlock midiOutputEventBlock_;
    ScheduledMIDIQueue scheduledMIDI_;
    ScheduledEventMerger merger_;

    std::shared_ptr<AUParameterTree> parameterTree_;
    std::optional<AUAudioUnitPreset> currentPreset_;
};
