#pragma once

#include "platform/midi/MIDIServer.h"

// Logs a client notification: three header lines, then by message identifier the record's fields (objects added or
// removed with their names, property changes, I/O errors), "- unknown -" for an identifier not known.
// Any thread except the render thread.
void reportNotification(midi::MIDIServer& server, const midi::MIDINotification& notification);

// Log a change of the network session, or of its contacts, with the session's state. Any thread except the render
// thread.
void midiNetworkChanged(midi::MIDIServer& server, const midi::MIDINetworkNotification& notification);
void midiNetworkContactsChanged(const midi::MIDINetworkNotification& notification);
