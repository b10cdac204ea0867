#pragma once

#include <memory>
#include <string>

#include "platform/midi/MIDIServer.h"

namespace midi {

// The real MIDI system of the machine through the ALSA sequencer: the program becomes one sequencer client, its
// ports are sequencer ports, sources and destinations are the readable and writable ports of the other clients
// (and the program's own virtual ones), and the announce port's events become client notifications.
//
// Opens the sequencer; returns nullptr when it cannot, with status kMIDIServerStartErr and error saying why (a
// machine without /dev/snd/seq gives "the ALSA sequencer is not available: /dev/snd/seq does not exist").
// Any thread except the render thread. The server receives on a thread of its own and sends system-exclusive
// messages on another; it supports one client.
std::shared_ptr<MIDIServer> openALSASequencer(OSStatus* status, std::string* error);

}  // namespace midi
