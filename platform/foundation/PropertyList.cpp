#include "platform/foundation/PropertyList.h"

#include <plist/plist.h>

#include <cstring>
#include <memory>

#include "platform/foundation/BinaryPlistReader.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/XmlPlistReader.h"

namespace foundation {
namespace {

constexpr int kMaximumDepth = 512;
// Seconds from 1970-01-01 to 2001-01-01, the epoch of property-list dates.
constexpr std::int64_t kPlistEpochSeconds = 978307200;
constexpr char kBinaryMagic[] = "bplist00";

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistHandle = std::unique_ptr<void, PlistDeleter>;

plist_t toNode(const PlistValue& value);

struct ToNode {
    plist_t operator()(const PlistDictionary& entries) const {
        plist_t node = plist_new_dict();
        for (const auto& [key, entry] : entries) {
            plist_dict_set_item(node, key.c_str(), toNode(entry));
        }
        return node;
    }
    plist_t operator()(const PlistArray& items) const {
        plist_t node = plist_new_array();
        for (const auto& item : items) {
            plist_array_append_item(node, toNode(item));
        }
        return node;
    }
    plist_t operator()(const std::string& text) const { return plist_new_string(text.c_str()); }
    plist_t operator()(std::int64_t number) const { return plist_new_uint(static_cast<std::uint64_t>(number)); }
    plist_t operator()(double number) const { return plist_new_real(number); }
    plist_t operator()(bool flag) const { return plist_new_bool(flag ? 1 : 0); }
    plist_t operator()(const PlistData& bytes) const {
        return plist_new_data(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    plist_t operator()(PlistDate date) const {
        const std::int64_t micros = date.time_since_epoch().count() - kPlistEpochSeconds * 1000000;
        const std::int64_t seconds = micros >= 0 ? micros / 1000000 : -((-micros + 999999) / 1000000);
        return plist_new_date(static_cast<std::int32_t>(seconds), static_cast<std::int32_t>(micros - seconds * 1000000));
    }
};

plist_t toNode(const PlistValue& value) {
    return std::visit(ToNode{}, value.storage());
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
    PlistHandle node(toNode(root));
    char* xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(node.get(), &xml, &length);
    if (xml == nullptr) {
        return {};
    }
    std::vector<std::uint8_t> bytes(xml, xml + length);
    plist_to_xml_free(xml);
    return bytes;
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
    // Text that XML cannot carry (NUL and other control characters, broken UTF-8) would make a file that reads back
    // differently or not at all; refuse it rather than replace a good file.
    const auto check = readPlist(xml, error);
    if (!check || check->root != root) {
        error = path.string() + ": The property list holds values that its XML form cannot carry.";
        return false;
    }
    return writeFileAtomically(path, xml, error);
}

}  // namespace foundation
