#pragma once
// What the owner of a hosted unit hears from its AudioUnitBase.

#include <cstdint>

class AudioUnitBase;

class AudioUnitBaseDelegate {
public:
    virtual ~AudioUnitBaseDelegate() = default;

    // The unit's node was made and attached. On the thread that created it.
    virtual void onFoundComponent(AudioUnitBase* unit) = 0;
    // A MIDI message the unit sent. Called on the unit's render thread: return fast; no blocking, no allocation.
    virtual void onMIDI(AudioUnitBase* unit, int64_t time, uint8_t cable, int64_t length, const uint8_t* data) = 0;
    // A parameter of the unit changed. On the main queue.
    virtual void onParameter(AudioUnitBase* unit, uint64_t address, float value) = 0;
};
