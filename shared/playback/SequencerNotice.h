#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the file player's render side reports to the main queue: ends, loop wraps, completed loads, and the log lines
// of its transport and of events scheduled outside their cycle. Plain data, carried through a hand-off ring.
struct SequencerNotice {
    enum class Kind : std::uint8_t {
        End,         // ran out of events; stopped
        Loop,        // a loop wrap; loopCount is the new count
        FileLoaded,  // a staged song of generation was swapped in
        Stopped,     // the render side stopped the player (end of file)
        Rewound,     // the render side sought to the beginning
        Future,      // an event due after the cycle was moved to its end
        Past,        // an event due before the cycle was sent at once or dropped
    };

    Kind kind = Kind::End;
    std::int64_t loopCount = 0;
    std::uint64_t generation = 0;
    std::int64_t position = 0;  // sequencerPosition
    std::int64_t cycleStart = 0;
    std::int64_t frames = 0;
    std::int64_t due = 0;
    double ratio = 1.0;
};

// The log lines of notice, in order; none for End, Loop and FileLoaded.
std::vector<std::string> sequencerNoticeLines(const SequencerNotice& notice);
