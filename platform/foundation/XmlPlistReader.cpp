#include "platform/foundation/XmlPlistReader.h"

#include <expat.h>

#include <charconv>
#include <chrono>
#include <cstring>
#include <limits>
#include <memory>
#include <string_view>
#include <vector>

namespace foundation {
namespace {

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::optional<std::int64_t> parseInteger(std::string_view text) {
    text = trimmed(text);
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    std::uint64_t magnitude = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    if (negative) {
        if (magnitude > std::uint64_t{1} << 63) return std::nullopt;
        return static_cast<std::int64_t>(0 - magnitude);
    }
    // Unsigned values above the signed range are kept as their bit pattern.
    return static_cast<std::int64_t>(magnitude);
}

std::optional<double> parseReal(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

// "YYYY-MM-DDTHH:MM:SSZ" exactly: digits where digits belong, years 0001 to 9999.
std::optional<PlistDate> parseDate(std::string_view text) {
    text = trimmed(text);
    constexpr std::string_view kPattern = "0000-00-00T00:00:00Z";
    if (text.size() != kPattern.size()) return std::nullopt;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kPattern[i] == '0' ? !digit : text[i] != kPattern[i]) return std::nullopt;
    }
    const auto number = [&](std::size_t at, std::size_t length) {
        int value = 0;
        for (std::size_t i = at; i < at + length; ++i) value = value * 10 + (text[i] - '0');
        return value;
    };
    const int year = number(0, 4);
    const int hour = number(11, 2);
    const int minute = number(14, 2);
    const int second = number(17, 2);
    const auto month = static_cast<unsigned>(number(5, 2));
    const auto day = static_cast<unsigned>(number(8, 2));
    const std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{month}, std::chrono::day{day}};
    if (year < 1 || !date.ok() || hour > 23 || minute > 59 || second > 59) return std::nullopt;
    return PlistDate(std::chrono::sys_days(date) + std::chrono::hours(hour) + std::chrono::minutes(minute) +
                     std::chrono::seconds(second));
}

std::optional<PlistData> parseBase64(std::string_view text) {
    PlistData bytes;
    std::uint32_t bits = 0;
    int bitCount = 0;
    int padding = 0;
    for (const char c : text) {
        int sextet;
        if (c >= 'A' && c <= 'Z') sextet = c - 'A';
        else if (c >= 'a' && c <= 'z') sextet = c - 'a' + 26;
        else if (c >= '0' && c <= '9') sextet = c - '0' + 52;
        else if (c == '+') sextet = 62;
        else if (c == '/') sextet = 63;
        else if (c == '=') { ++padding; continue; }
        else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        else return std::nullopt;
        if (padding > 0) return std::nullopt;
        bits = bits << 6 | static_cast<std::uint32_t>(sextet);
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            bytes.push_back(static_cast<std::uint8_t>(bits >> bitCount));
        }
    }
    if (padding > 2 || bitCount >= 6 || (bits & ((1u << bitCount) - 1)) != 0) return std::nullopt;
    return bytes;
}

class Reader {
public:
    Reader(int maximumDepth, std::string& error) : maximumDepth_(maximumDepth), error_(error) {}

    std::optional<PlistValue> read(std::span<const std::uint8_t> bytes) {
        std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)> parser(XML_ParserCreate(nullptr), XML_ParserFree);
        if (!parser || bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
            error_ = "The XML property list cannot be read.";
            return std::nullopt;
        }
        parser_ = parser.get();
        XML_SetUserData(parser_, this);
        XML_SetElementHandler(parser_, &Reader::onStart, &Reader::onEnd);
        XML_SetCharacterDataHandler(parser_, &Reader::onText);
        XML_SetEntityDeclHandler(parser_, &Reader::onEntityDeclaration);
        const auto status = XML_Parse(parser_, reinterpret_cast<const char*>(bytes.data()),
                                      static_cast<int>(bytes.size()), XML_TRUE);
        if (!error_.empty()) {
            return std::nullopt;
        }
        if (status != XML_STATUS_OK) {
            error_ = std::string("The data is not a valid XML property list: ") +
                     XML_ErrorString(XML_GetErrorCode(parser_)) + " at line " +
                     std::to_string(XML_GetCurrentLineNumber(parser_)) + ".";
            return std::nullopt;
        }
        if (!root_) {
            error_ = "The XML property list holds no value.";
            return std::nullopt;
        }
        return std::move(root_);
    }

private:
    struct Frame {
        std::string element;
        PlistValue container;                // dictionary or array
        std::optional<std::string> key;      // dictionaries: the key waiting for its value
        bool hasValue = false;               // <plist>: its one value was seen
    };

    static void XMLCALL onStart(void* self, const XML_Char* name, const XML_Char**) {
        static_cast<Reader*>(self)->start(name);
    }
    static void XMLCALL onEnd(void* self, const XML_Char* name) { static_cast<Reader*>(self)->end(name); }
    static void XMLCALL onText(void* self, const XML_Char* text, int length) {
        static_cast<Reader*>(self)->text(std::string_view(text, static_cast<std::size_t>(length)));
    }
    static void XMLCALL onEntityDeclaration(void* self, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                                            const XML_Char*, const XML_Char*, const XML_Char*) {
        static_cast<Reader*>(self)->fail("entity declarations are not allowed");
    }

    void fail(const std::string& what) {
        if (error_.empty()) {
            error_ = "The data is not a valid XML property list: " + what + " at line " +
                     std::to_string(XML_GetCurrentLineNumber(parser_)) + ".";
        }
        XML_StopParser(parser_, XML_FALSE);
    }

    static bool isScalar(std::string_view name) {
        for (const char* scalar : {"key", "string", "integer", "real", "date", "data", "true", "false"}) {
            if (name == scalar) return true;
        }
        return false;
    }

    void start(std::string_view name) {
        if (!error_.empty()) return;
        if (scalar_) {
            return fail("element <" + std::string(name) + "> inside <" + *scalar_ + ">");
        }
        // Containers count, <plist> does not, as in the binary form.
        const bool inPlist = !stack_.empty() && stack_.front().element == "plist";
        if ((name == "dict" || name == "array") &&
            stack_.size() - (inPlist ? 1 : 0) >= static_cast<std::size_t>(maximumDepth_)) {
            return fail("nesting too deep");
        }
        if (name == "plist") {
            if (!stack_.empty() || root_) return fail("misplaced <plist>");
            stack_.push_back(Frame{"plist", PlistValue(), std::nullopt, false});
        } else if (name == "dict") {
            stack_.push_back(Frame{"dict", PlistValue(PlistDictionary{}), std::nullopt, false});
        } else if (name == "array") {
            stack_.push_back(Frame{"array", PlistValue(PlistArray{}), std::nullopt, false});
        } else if (isScalar(name)) {
            scalar_ = std::string(name);
            text_.clear();
        } else {
            fail("unknown element <" + std::string(name) + ">");
        }
    }

    void text(std::string_view text) {
        if (!error_.empty()) return;
        if (scalar_) {
            text_ += text;
        } else if (!trimmed(text).empty()) {
            fail("text outside a value");
        }
    }

    void end(std::string_view name) {
        if (!error_.empty()) return;
        if (scalar_) {
            const std::string element = std::move(*scalar_);
            scalar_.reset();
            if (element == "key") return addKey(std::move(text_));
            if (auto value = scalarValue(element)) return add(std::move(*value));
            return fail("bad <" + element + "> value");
        }
        Frame frame = std::move(stack_.back());
        stack_.pop_back();
        if (frame.key) return fail("missing value for key '" + *frame.key + "'");
        if (name == "plist") {
            if (!frame.hasValue) fail("empty <plist>");
            return;
        }
        add(std::move(frame.container));
    }

    std::optional<PlistValue> scalarValue(const std::string& element) const {
        if (element == "string") return PlistValue(text_);
        if (element == "true" || element == "false") {
            if (!trimmed(text_).empty()) return std::nullopt;
            return PlistValue(element == "true");
        }
        if (element == "integer") {
            if (auto number = parseInteger(text_)) return PlistValue(*number);
        } else if (element == "real") {
            if (auto number = parseReal(text_)) return PlistValue(*number);
        } else if (element == "date") {
            if (auto date = parseDate(text_)) return PlistValue(*date);
        } else if (element == "data") {
            if (auto bytes = parseBase64(text_)) return PlistValue(std::move(*bytes));
        }
        return std::nullopt;
    }

    void addKey(std::string key) {
        if (stack_.empty() || stack_.back().element != "dict") return fail("<key> outside a dictionary");
        if (stack_.back().key) return fail("missing value for key '" + *stack_.back().key + "'");
        stack_.back().key = std::move(key);
    }

    void add(PlistValue value) {
        if (stack_.empty()) {
            if (root_) return fail("more than one value");
            root_ = std::move(value);
            return;
        }
        Frame& parent = stack_.back();
        if (parent.element == "plist") {
            if (parent.hasValue) return fail("more than one value in <plist>");
            parent.hasValue = true;
            root_ = std::move(value);
        } else if (parent.element == "array") {
            parent.container.array()->push_back(std::move(value));
        } else {
            if (!parent.key) return fail("value without key");
            parent.container.dictionary()->insert_or_assign(std::move(*parent.key), std::move(value));
            parent.key.reset();
        }
    }

    int maximumDepth_;
    std::string& error_;
    XML_Parser parser_ = nullptr;
    std::vector<Frame> stack_;
    std::optional<std::string> scalar_;  // the scalar element being read
    std::string text_;
    std::optional<PlistValue> root_;
};

}  // namespace

std::optional<PlistValue> readXmlPlist(std::span<const std::uint8_t> bytes, int maximumDepth, std::string& error) {
    error.clear();
    return Reader(maximumDepth, error).read(bytes);
}

}  // namespace foundation
