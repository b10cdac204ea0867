#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/midi/MIDIServer.h"

// Property readers and dumps of MIDI objects. Failures are logged (German texts) with the status report.
// Threads: any thread except the render thread.

// The object's "uniqueID", or 0 when its properties cannot be read (logged).
std::int64_t getID(midi::MIDIServer& server, midi::MIDIObjectRef object);
// The object's "name"; "<no name property>" without one; "<has no name>" when its properties cannot be read
// (logged).
std::string getName(midi::MIDIServer& server, midi::MIDIObjectRef object);
// The object's name property, or nullopt when it cannot be read (logged with the status report).
std::optional<std::string> getDeviceName(midi::MIDIServer& server, midi::MIDIObjectRef object);
// Logs every property of the object, one line each; nothing for object 0.
void printProperties(midi::MIDIServer& server, midi::MIDIObjectRef object);

// Logs every external device, device, destination and source with a count line and their properties.
void allExternalDeviceProps(midi::MIDIServer& server);
void allDeviceProps(midi::MIDIServer& server);
void allDestinationProps(midi::MIDIServer& server);
void allSourceProps(midi::MIDIServer& server);
void diagnostics(midi::MIDIServer& server);
