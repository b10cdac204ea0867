#include "platform/foundation/PropertyList.h"

#include <plist/plist.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

#include "platform/foundation/BinaryPlistReader.h"
#include "platform/foundation/Files.h"

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

struct MallocDeleter {
    void operator()(void* p) const { std::free(p); }
};

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

std::optional<PlistValue> fromNode(plist_t node, int depth, std::string& error);

std::optional<PlistValue> fromDictionary(plist_t node, int depth, std::string& error) {
    PlistDictionary entries;
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(node, &iterator);
    std::unique_ptr<void, MallocDeleter> iteratorOwner(iterator);
    for (;;) {
        char* rawKey = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, iterator, &rawKey, &item);
        std::unique_ptr<char, MallocDeleter> key(rawKey);
        if (item == nullptr) {
            return PlistValue(std::move(entries));
        }
        auto value = fromNode(item, depth + 1, error);
        if (!value) {
            return std::nullopt;
        }
        entries.insert_or_assign(key ? std::string(key.get()) : std::string(), std::move(*value));
    }
}

std::optional<PlistValue> fromArray(plist_t node, int depth, std::string& error) {
    PlistArray items;
    const std::uint32_t count = plist_array_get_size(node);
    items.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        auto value = fromNode(plist_array_get_item(node, i), depth + 1, error);
        if (!value) {
            return std::nullopt;
        }
        items.push_back(std::move(*value));
    }
    return PlistValue(std::move(items));
}

std::optional<PlistValue> fromNode(plist_t node, int depth, std::string& error) {
    if (node == nullptr) {
        error = "The property list has a missing value.";
        return std::nullopt;
    }
    if (depth > kMaximumDepth) {
        error = "The property list is nested too deeply.";
        return std::nullopt;
    }
    switch (plist_get_node_type(node)) {
    case PLIST_DICT:
        return fromDictionary(node, depth, error);
    case PLIST_ARRAY:
        return fromArray(node, depth, error);
    case PLIST_STRING: {
        std::uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        return PlistValue(text ? std::string(text, length) : std::string());
    }
    case PLIST_UINT: {
        std::uint64_t number = 0;
        plist_get_uint_val(node, &number);
        return PlistValue(static_cast<std::int64_t>(number));
    }
    case PLIST_REAL: {
        double number = 0;
        plist_get_real_val(node, &number);
        return PlistValue(number);
    }
    case PLIST_BOOLEAN: {
        std::uint8_t flag = 0;
        plist_get_bool_val(node, &flag);
        return PlistValue(flag != 0);
    }
    case PLIST_DATA: {
        std::uint64_t length = 0;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(plist_get_data_ptr(node, &length));
        return PlistValue(bytes ? PlistData(bytes, bytes + length) : PlistData());
    }
    case PLIST_DATE: {
        std::int32_t seconds = 0;
        std::int32_t micros = 0;
        plist_get_date_val(node, &seconds, &micros);
        const std::int64_t sinceUnixEpoch = (kPlistEpochSeconds + seconds) * 1000000 + micros;
        return PlistValue(PlistDate(std::chrono::microseconds(sinceUnixEpoch)));
    }
    default:
        error = "The property list holds a value of an unsupported type.";
        return std::nullopt;
    }
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
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
        error = "The property list is too large.";
        return std::nullopt;
    }
    const auto* text = reinterpret_cast<const char*>(bytes.data());
    const auto length = static_cast<std::uint32_t>(bytes.size());
    if (bytes.size() >= 8 && std::memcmp(text, kBinaryMagic, 8) == 0) {
        auto value = readBinaryPlist(bytes, kMaximumDepth, error);
        if (!value) {
            return std::nullopt;
        }
        return PlistDocument{std::move(*value), PlistFormat::binary};
    }
    plist_t raw = nullptr;
    plist_from_xml(text, length, &raw);
    PlistHandle root(raw);
    if (!root) {
        error = "The data is not a valid XML property list.";
        return std::nullopt;
    }
    auto value = fromNode(root.get(), 0, error);
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
    const auto bytes = readFile(path, error);
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
    return writeFileAtomically(path, plistToXml(root), error);
}

}  // namespace foundation
