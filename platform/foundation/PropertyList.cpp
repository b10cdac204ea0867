#include "platform/foundation/PropertyList.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/foundation/BinaryPlistReader.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/XmlPlistReader.h"
#include "platform/foundation/XmlPlistWriter.h"

namespace foundation {
namespace {

constexpr int kMaximumDepth = 512;
constexpr char kBinaryMagic[] = "bplist00";

// Equal, but a NaN matches a NaN: the XML form carries a NaN although no NaN equals another.
bool sameValue(const PlistValue& a, const PlistValue& b) {
    if (a.storage().index() != b.storage().index()) return false;
    if (const double* number = a.real()) return *number == *b.real() || (std::isnan(*number) && std::isnan(*b.real()));
    if (const PlistArray* items = a.array()) {
        return std::ranges::equal(*items, *b.array(), sameValue);
    }
    if (const PlistDictionary* entries = a.dictionary()) {
        return std::ranges::equal(*entries, *b.dictionary(), [](const auto& x, const auto& y) {
            return x.first == y.first && sameValue(x.second, y.second);
        });
    }
    return a == b;
}

}  // namespace

const char* plistFormatName(PlistFormat format) {
    return format == PlistFormat::binary ? "binary" : "xml";
}

std::optional<PlistDocument> readPlist(std::span<const std::uint8_t> bytes, std::string& error) {
    if (bytes.empty()) {
        error = "The property list is empty.";
        return std::nullopt;
    }
    if (bytes.size() >= 8 && std::memcmp(bytes.data(), kBinaryMagic, 8) == 0) {
        auto value = readBinaryPlist(bytes, kMaximumDepth, error);
        if (!value) {
            return std::nullopt;
        }
        return PlistDocument{std::move(*value), PlistFormat::binary};
    }
    auto value = readXmlPlist(bytes, kMaximumDepth, error);
    if (!value) {
        return std::nullopt;
    }
    return PlistDocument{std::move(*value), PlistFormat::xml};
}

std::vector<std::uint8_t> plistToXml(const PlistValue& root) {
    auto xml = writeXmlPlist(root);
    // Text that XML cannot carry (NUL and other control characters, broken UTF-8) would make a document that reads
    // back differently or not at all; no document at all tells the caller.
    std::string error;
    const auto check = readPlist(xml, error);
    if (!check || !sameValue(check->root, root)) {
        return {};
    }
    return xml;
}

std::optional<PlistDocument> readPlistFile(const std::filesystem::path& path, std::string& error) {
    const auto bytes = readFile(path, kPropertyListFileByteLimit, error);
    if (!bytes) {
        return std::nullopt;
    }
    auto document = readPlist(*bytes, error);
    if (!document) {
        error = path.string() + ": " + error;
    }
    return document;
}

bool writePlistFile(const std::filesystem::path& path, const PlistValue& root, std::string& error) {
    const auto xml = plistToXml(root);
    if (xml.empty()) {
        error = path.string() + ": The property list holds values that its XML form cannot carry.";
        return false;
    }
    return writeFileAtomically(path, xml, error);
}

}  // namespace foundation
