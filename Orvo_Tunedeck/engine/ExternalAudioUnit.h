#pragma once
// Finds an audio-unit component in the component registry by its description, instantiates the first match, attaches
// it to the engine it was made for, forwards the unit's MIDI output to the delegate and reads its parameter tree.
// The application uses it for its one instrument.
//
// Threads: made, searched and destroyed on the main queue; the instantiation completes on the main queue as well.
// midiOutputHandler runs on the unit's render thread and only forwards.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audiounit/AudioComponentRegistry.h"
#include "shared/audiounitbase/AudioUnitBase.h"

class ExternalAudioUnit : public AudioUnitBase {
public:
    explicit ExternalAudioUnit(std::shared_ptr<audioengine::Engine> engine,
                               AudioComponentRegistry& registry = AudioComponentRegistry::shared());

    // The result of the last registry search.
    std::vector<AudioComponent> _availableAudioUnits;
    // The description given to the last create(); all zero before.
    AudioComponentDescription componentDescription{};
    // The instantiated unit; the target of every MIDI message the application sends. nullptr until instantiated.
    std::shared_ptr<AUAudioUnit> audioUnit0;

    // Searches the registry on the calling thread and instantiates the first match; the delegate's onFoundComponent
    // follows on the main queue. Nothing matching (or a failing instantiation) is a log line and no delegate call.
    void createAsync(const AudioComponentDescription& description, const std::string& contextName);

    // Makes the unit of description at once, on the calling thread, without a registry search for a list: effects
    // ('aufx', 'aumf'), generators ('augn') and instruments ('aumu', 'aumi'); any other type is refused with a log
    // line. Then as after an instantiation: MIDI output handler, attached, parameters read, delegate told.
    void create(const AudioComponentDescription& description, const std::string& contextName);

    // The unit's MIDI output: drops empty messages and those starting with a data byte, forwards the rest to the
    // delegate (a warning without one). Returns 0. Render thread.
    foundation::OSStatus midiOutputHandler(int64_t sampleTime, uint8_t cable, int64_t length, const uint8_t* bytes);

    // The description as the application prints it: process name and identifier, then type, subtype, manufacturer
    // and flags.
    static std::string describe(const AudioComponentDescription& description);

private:
    void search(const AudioComponentDescription& description);
    void onInstantiated(std::shared_ptr<AUAudioUnit> unit, foundation::OSStatus status);
    // Makes node the held one (dropping a node held before) and names its unit with the context name.
    void hold(std::shared_ptr<audioengine::UnitNode> node);
    // What follows every new unit: its MIDI output handled when it has one, attached, parameters read, delegate
    // told.
    void adopt();

    AudioComponentRegistry& registry_;
};
