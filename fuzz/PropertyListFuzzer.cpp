// Property lists in XML and binary form; what reads is written as XML and must read back equal.
#include <cstdlib>

#include "platform/foundation/PropertyList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const auto document = foundation::readPlist(std::span(data, size), error);
    if (!document) return 0;
    const auto xml = foundation::plistToXml(document->root);
    const auto again = foundation::readPlist(xml, error);
    // Values the XML form cannot carry are refused by the writer; others must survive the round trip.
    if (again && again->root != document->root && !xml.empty()) std::abort();
    return 0;
}
