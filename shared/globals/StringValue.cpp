#include "shared/globals/StringValue.h"

#include "platform/foundation/FourCharCode.h"

std::string stringValue(std::uint32_t value) {
    return foundation::fourCharCodeText(value);
}
