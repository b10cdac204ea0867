#include "shared/globals/Print.h"

#include <utility>

#include "platform/foundation/Log.h"

void debugprint(std::string text) {
    foundation::queueLogLine(std::move(text));
}

void safeprint(std::string text) {
    foundation::queueLogLine(std::move(text));
}
