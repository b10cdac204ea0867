#pragma once
// The error that the throwing operations of units (construction, allocation, preset state) throw: a platform status
// code and a description.

#include <stdexcept>
#include <string>

#include "platform/foundation/Status.h"

class AudioUnitStatusError : public std::runtime_error {
public:
    AudioUnitStatusError(foundation::OSStatus status, const std::string& description)
        : std::runtime_error(description + " (" + std::to_string(status) + ")"), status_(status) {}

    foundation::OSStatus status() const { return status_; }

private:
    foundation::OSStatus status_;
};
