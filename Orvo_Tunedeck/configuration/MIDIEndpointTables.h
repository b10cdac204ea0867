#pragma once
// The models of the configuration screen's MIDI tables: one row per source (switch on: connected to the input port)
// and one per destination (switch on: receives the instrument's MIDI output), read from and written to the MIDI
// connection. The switch states survive closing and reopening the screen because the connection keeps them.
//
// Threads: the main queue only.

#include <cstdint>
#include <string>

#include "Orvo_Tunedeck/midi/MIDIConnection.h"

struct EndpointRow {
    std::string text;
    bool switchOn = false;
    midi::MIDIEndpointRef tag = 0;
};

class MIDISourcesTable {
public:
    explicit MIDISourcesTable(MIDIConnection& connection) : connection_(connection) {}
    // Lists the sources anew and answers their number.
    int64_t numberOfRows();
    // The row as last listed; an empty row with tag 0 beyond the list's end.
    EndpointRow row(int64_t index) const;
    // Connects (on) or disconnects (off) the source with that endpoint reference.
    void onSwitchChanged(midi::MIDIEndpointRef tag, bool on);

private:
    MIDIConnection& connection_;
};

class MIDIDestinationsTable {
public:
    explicit MIDIDestinationsTable(MIDIConnection& connection) : connection_(connection) {}
    int64_t numberOfRows();
    EndpointRow row(int64_t index) const;
    // Switches the destination's output on or off; no MIDI call is made.
    void onSwitchChanged(midi::MIDIEndpointRef tag, bool on);

private:
    MIDIConnection& connection_;
};
