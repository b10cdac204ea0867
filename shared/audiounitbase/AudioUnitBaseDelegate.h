#pragma once
// What the owner of a hosted unit hears from its AudioUnitBase.

#include <cstdint>

class AudioUnitBase;

class AudioUnitBaseDelegate {
public:
    virtual ~AudioUnitBaseDelegate() = default;

    // The unit's node was made and attached. On the thread that created it.
    virtual void onFoundComponent(AudioUnitBase* unit) = 0;
    // One message of the unit's MIDI output: sample time, cable, byte count and bytes. On the unit's render thread:
    // be quick, do not block, do not allocate.
    virtual void onMIDI(AudioUnitBase* unit, int64_t time, uint8_t cable, int64_t length, const uint8_t* data) = 0;
    // A parameter of the unit changed. On the main queue.
    virtual void onParameter(AudioUnitBase* unit, uint64_t address, float value) = 0;
};
