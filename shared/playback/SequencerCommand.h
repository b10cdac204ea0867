#pragma once

#include <cstdint>

#include "shared/events/AUMIDIEventEx.h"

struct SequencerSong;

// One change that the main queue hands to the file player's render side. The render thread applies the commands in
// the order they were queued, at the start of the next render cycle.
struct SequencerCommand {
    enum class Kind : std::uint8_t {
        Message,          // send eventType, cable, bytes[0 .. length) this cycle; flags the file's notes for release
        AllNotesOff,      // All Notes Off on the sixteen channels; flags the notes for release
        Start,            // play from the beginning counted from sampleTime (when flag is set); follows a Stop
        Stop,             // notes off twice, controller and program resets, rewind, stopped
        Pause,            // remember the cycle time, All Notes Off, stopped
        Continue,         // resume; the start time moves later by the pause length
        Seek,             // play position := value (0 to 1) of the song, release the notes
        SeekEvent,        // next event := index when it exists (the play position stays), release the notes
        SetLooping,       // flag
        SetChannelMask,   // mask: bit c set lets channel c pass
        SetStatusMask,    // mask: bit n set drops messages of type n << 4
        SetTempoFactor,   // value
        SetRate,          // value
        Load,             // song becomes the loaded song from its beginning; flag: rewound, tempo factor 1
        StageLoad,        // song is swapped in at the next loop wrap
        ReplaceSong,      // song takes the place of the song (loaded or staged) of generation, position scaled by value
        Reset,            // back to the empty player
    };

    static constexpr std::uint32_t kMaxBytes = AUMIDIEventEx::MAXBYTES;

    Kind kind = Kind::Message;
    bool flag = false;
    std::uint8_t eventType = 0;
    std::uint8_t cable = 0;
    std::uint16_t length = 0;
    std::uint32_t mask = 0;
    std::uint64_t serial = 0;
    std::uint64_t generation = 0;
    std::int64_t sampleTime = 0;
    std::int64_t index = 0;
    double value = 0.0;
    const SequencerSong* song = nullptr;
    std::uint8_t bytes[kMaxBytes] = {};
};
