#pragma once

#include <string>

#include "platform/foundation/PlistValue.h"

// A property-list value as the application's dumps print it: strings as they are, numbers in decimal ("0.79"),
// booleans "true"/"false", arrays "[a, b]", dictionaries "[key: value, ...]", data "<n> bytes", dates "<date>".
// Any thread except the render thread.
std::string plistValueText(const foundation::PlistValue& value);
