// Property lists in XML and binary form; what reads is written as XML and must read back equal.
#include <cmath>
#include <cstdlib>

#include "platform/foundation/PropertyList.h"
#include "platform/foundation/XmlPlistWriter.h"

namespace {

// Values whose XML form is not the value: NaN equals nothing, and the XML form keeps dates to the whole second.
bool cannotBeEqualAfterXml(const foundation::PlistValue& value) {
    if (const auto* number = value.real()) return std::isnan(*number);
    if (const auto* date = value.date()) return date->time_since_epoch() % std::chrono::seconds(1) != std::chrono::microseconds(0);
    if (const auto* items = value.array()) {
        for (const auto& item : *items)
            if (cannotBeEqualAfterXml(item)) return true;
    }
    if (const auto* entries = value.dictionary()) {
        for (const auto& [key, entry] : *entries)
            if (cannotBeEqualAfterXml(entry)) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const auto document = foundation::readPlist(std::span(data, size), error);
    if (!document) return 0;
    const auto xml = foundation::writeXmlPlist(document->root);
    const auto again = foundation::readPlist(xml, error);
    // Text the XML form cannot carry makes it unreadable, and the file writer refuses it; all else must survive.
    if (again && again->root != document->root && !cannotBeEqualAfterXml(document->root)) std::abort();
    return 0;
}
