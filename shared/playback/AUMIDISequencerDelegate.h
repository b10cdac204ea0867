#pragma once

#include <cstdint>

// Told by the file player of the end of the song, of each loop wrap and of each completed load.
//
// Threads: every operation is called on the main queue.
class AUMIDISequencerDelegate {
public:
    virtual ~AUMIDISequencerDelegate() = default;
    // The last event was played and the player stopped.
    virtual void onSequencerEnd() = 0;
    // The song wrapped; loopCount is the number of wraps since the last rewind.
    virtual void onSequencerLoop(std::int64_t loopCount) = 0;
    // A load finished.
    virtual void onSequencerFileLoaded() = 0;
};
