#pragma once
// Hosts one audio unit in an audio engine. It creates and attaches the unit's engine node, watches its parameter
// tree (parameters are looked up by address), forwards MIDI output and parameter changes to the delegate, keeps the
// full state in property-list files and logs diagnostics. create() is the subclass's hook for picking the unit.
//
// Own wrappers through std::shared_ptr: the parameter observer and the MIDI forwarding block hold the wrapper weakly.
// The delegate is not owned (the owner of a wrapper is usually its delegate).
//
// Threads: every operation on the thread that owns the wrapper (the main queue in both deliverables), which is also
// where the wrapper must be made and destroyed. MIDI output reaches the delegate on the unit's render thread,
// parameter changes on the main queue. Log lines go through safeprint (on the main queue).

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/audioengine/Engine.h"
#include "platform/audioengine/UnitNode.h"
#include "platform/audiounit/AUAudioUnit.h"
#include "platform/foundation/RenderLogLines.h"
#include "shared/audiounitbase/AudioUnitBaseDelegate.h"

class AudioUnitBase : public std::enable_shared_from_this<AudioUnitBase> {
public:
    // Also makes this wrapper lastAudioUnitBase().
    explicit AudioUnitBase(std::shared_ptr<audioengine::Engine> engine);
    virtual ~AudioUnitBase();
    AudioUnitBase(const AudioUnitBase&) = delete;
    AudioUnitBase& operator=(const AudioUnitBase&) = delete;

    // A free slot for the owner; the wrapper never reads it.
    int64_t index = 0;
    std::shared_ptr<audioengine::Engine> engine;
    AudioUnitBaseDelegate* delegate = nullptr;  // not owned
    std::shared_ptr<audioengine::UnitNode> avAudioUnit;
    std::string contextName;
    AUParameterObserverToken parameterObserverToken = 0;  // 0: none

    // The node's unit, or nullptr without a node.
    std::shared_ptr<AUAudioUnit> audioUnit() const;
    // The node as an engine node; setting keeps a unit node and clears the wrapper's node for anything else.
    std::shared_ptr<audioengine::Node> audioNode() const { return avAudioUnit; }
    void setAudioNode(const std::shared_ptr<audioengine::Node>& node);

    // Makes the node (the base: the first component matching an all-zero description), names its unit, forwards
    // its MIDI output when it has some, attaches it to the engine, reads the parameters, prints diagnostics and
    // tells the delegate. May run again after destroy().
    virtual void create(const std::string& name);
    virtual void reassignMIDIOut() {}
    // Disconnects and detaches the node and drops it; the parameter tree and observer token stay as they were.
    virtual void destroy();
    // Reads the unit's parameter tree, prints it, lists its parameters and observes it.
    virtual void makeParameters();

    // The parameter at address (taken as unsigned) in the tree read by makeParameters(); a missing tree or address is
    // a log line and changes nothing (the getter answers 0).
    virtual void setParameter(int64_t address, float value);
    virtual float getParameter(int64_t address);

    // Writes fullState atomically as an XML plist (an empty dictionary if the unit has none).
    virtual void saveFullState(const std::filesystem::path& url);
    // Reads a property list file (XML or binary) holding a dictionary and gives it to the unit as its full state.
    virtual void loadFullState(const std::filesystem::path& url);

    // Passes messages that start with a status byte (>= 0x80) to the delegate's onMIDI and drops the rest; with no
    // delegate it logs a warning. Returns 0. Render thread; never allocates.
    virtual foundation::OSStatus midi(int64_t sampleTime, uint8_t cable, int64_t length, const uint8_t* data);
    // Whether the unit names at least one MIDI output (the names are printed).
    virtual bool isMIDIGenerator();
    // Whether the unit offers a schedule-MIDI block.
    virtual bool isMIDIReceiver();

    void nodeDiagnostics();
    void unitDiagnostics(AUAudioUnit& unit);
    void busDiagnostics(const AUAudioUnitBus& bus, uint32_t index);
    virtual void printParameter(const AUParameter& parameter, int level);

    // The most recently made wrapper still alive, or nullptr.
    static AudioUnitBase* lastAudioUnitBase();

protected:
    // A MIDI output block that applies midi() of this wrapper while it lives (for create() overrides).
    AUMIDIOutputEventBlock midiForwardingBlock();

private:
    void extractParameters(const std::string& name, const AUParameterGroup* tree, int level);
    void verboseFlags(AudioUnitParameterOptions flags, int level);
    static std::string verboseParameterKind(uint32_t kind);
    std::shared_ptr<AUParameter> lookUp(int64_t address, const char* operation, const char* missingText);

    std::shared_ptr<AUParameterTree> parameterTree_;
    std::vector<std::shared_ptr<AUParameter>> parameters_;
    // Carries the warning of midi() from the render thread to the main queue.
    foundation::RenderLogLines renderLog_{"AudioUnitBase::midi()", 64};
    bool renderLogAttached_ = false;
};

// midi() of lastAudioUnitBase(), for callers that hold no wrapper. Returns 0 at once when the first byte is 0.
foundation::OSStatus midi_static(int64_t sampleTime, uint8_t cable, int64_t length, const uint8_t* data);
