#pragma once
// What the owner of the AudioEngine hears of the instrument's MIDI output. Both calls run on the main queue.

#include <cstdint>
#include <vector>

class AudioEngineDelegate {
public:
    virtual ~AudioEngineDelegate() = default;
    // A short message (one to three bytes; missing data bytes are 0).
    virtual void onInstrumentMIDI(uint8_t status, uint8_t data1, uint8_t data2) = 0;
    // A message of more than three bytes.
    virtual void onInstrumentSysEx(const std::vector<uint8_t>& bytes) = 0;
};
