#pragma once

#include <cstdint>

// Callbacks from AUMIDISequencer: song ended, loop wrapped, load finished.
//
// Threads: every operation is called on the main queue.
class AUMIDISequencerDelegate {
public:
    virtual ~AUMIDISequencerDelegate() = default;
    // Playback ran out of events and has stopped.
    virtual void onSequencerEnd() = 0;
    // The song wrapped; loopCount is the number of wraps since the last rewind.
    virtual void onSequencerLoop(std::int64_t loopCount) = 0;
    // A load finished.
    virtual void onSequencerFileLoaded() = 0;
};
