#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Status.h"

// The status report logged after every failing MIDI call: nothing for noErr, otherwise three lines, "Error: " with
// the status in decimal, "error string '" with its four-character form and "'", and the name of the status
// constant or "Total Unbekannter Fehler". Any thread except the render thread.
void errorName(foundation::OSStatus status);

// The name of a status constant the report knows, or nullopt.
std::optional<std::string_view> statusConstantName(foundation::OSStatus status);

// The four bytes of code, most significant first, as four characters; "" as soon as one byte is 128 or more.
std::string fourCharString(std::uint32_t code);

// Logs the name of a MIDI object type ("- (midiObjectType) Source", ..., "- unknown -"). Any thread except the render
// thread.
void midiObjectTypeName(std::int32_t type);
