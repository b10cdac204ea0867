#include "platform/foundation/XmlPlistWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

namespace foundation {
namespace {

constexpr std::string_view kHeader =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
    "<plist version=\"1.0\">\n";
constexpr std::size_t kBase64LineLength = 68;

void appendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        // XML readers turn a bare carriage return into a line feed.
        case '\r': out += "&#13;"; break;
        default: out += c;
        }
    }
}

std::string base64(const PlistData& bytes) {
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t bits = std::uint32_t{bytes[i]} << 16;
        if (count > 1) bits |= std::uint32_t{bytes[i + 1]} << 8;
        if (count > 2) bits |= bytes[i + 2];
        for (std::size_t digit = 0; digit < 4; ++digit) {
            text += digit <= count ? kDigits[(bits >> (18 - 6 * digit)) & 0x3F] : '=';
        }
    }
    return text;
}

std::string realText(double number) {
    if (std::isnan(number)) return "nan";
    if (std::isinf(number)) return number > 0 ? "+infinity" : "-infinity";
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, number).ptr;
    return std::string(text, end);
}

std::string dateText(PlistDate date) {
    const auto seconds = std::chrono::floor<std::chrono::seconds>(date);
    const auto days = std::chrono::floor<std::chrono::days>(seconds);
    const std::chrono::year_month_day ymd{days};
    const std::chrono::hh_mm_ss time{seconds - days};
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text;
}

class Writer {
public:
    std::string take() { return std::move(out_); }

    void value(const PlistValue& node, int depth) {
        std::visit([&](const auto& item) { write(item, depth); }, node.storage());
    }

private:
    void indent(int depth) { out_.append(static_cast<std::size_t>(depth), '\t'); }

    void element(std::string_view name, std::string_view escapedText, int depth) {
        indent(depth);
        out_ += '<';
        out_ += name;
        out_ += '>';
        out_ += escapedText;
        out_ += "</";
        out_ += name;
        out_ += ">\n";
    }

    // <name/> when empty, else <name>, what writeItem writes of each item, </name>.
    template <typename Items, typename WriteItem>
    void container(std::string_view name, const Items& items, int depth, WriteItem writeItem) {
        indent(depth);
        out_ += '<';
        out_ += name;
        if (items.empty()) {
            out_ += "/>\n";
            return;
        }
        out_ += ">\n";
        for (const auto& item : items) writeItem(item);
        indent(depth);
        out_ += "</";
        out_ += name;
        out_ += ">\n";
    }

    void write(const PlistDictionary& entries, int depth) {
        container("dict", entries, depth, [&](const auto& entry) {
            std::string key;
            appendEscaped(key, entry.first);
            element("key", key, depth + 1);
            value(entry.second, depth + 1);
        });
    }
    void write(const PlistArray& items, int depth) {
        container("array", items, depth, [&](const PlistValue& item) { value(item, depth + 1); });
    }
    void write(const std::string& text, int depth) {
        std::string escaped;
        appendEscaped(escaped, text);
        element("string", escaped, depth);
    }
    void write(std::int64_t number, int depth) { element("integer", std::to_string(number), depth); }
    void write(double number, int depth) { element("real", realText(number), depth); }
    void write(bool flag, int depth) {
        indent(depth);
        out_ += flag ? "<true/>\n" : "<false/>\n";
    }
    void write(const PlistData& bytes, int depth) {
        const std::string text = base64(bytes);
        if (text.size() <= kBase64LineLength) {
            element("data", text, depth);
            return;
        }
        indent(depth);
        out_ += "<data>\n";
        for (std::size_t at = 0; at < text.size(); at += kBase64LineLength) {
            indent(depth);
            out_ += std::string_view(text).substr(at, kBase64LineLength);
            out_ += '\n';
        }
        indent(depth);
        out_ += "</data>\n";
    }
    void write(PlistDate date, int depth) { element("date", dateText(date), depth); }

    std::string out_;
};

}  // namespace

std::vector<std::uint8_t> writeXmlPlist(const PlistValue& root) {
    Writer writer;
    writer.value(root, 0);
    const std::string document = std::string(kHeader) + writer.take() + "</plist>\n";
    return {document.begin(), document.end()};
}

}  // namespace foundation
