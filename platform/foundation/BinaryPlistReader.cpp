#include "platform/foundation/BinaryPlistReader.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/foundation/Utf8.h"

namespace foundation {
namespace {

constexpr std::size_t kHeaderBytes = 8;
constexpr std::size_t kTrailerBytes = 32;
// Binary dates count seconds from 2001-01-01.
constexpr PlistDate kEpoch{std::chrono::sys_days{std::chrono::year{2001} / 1 / 1}};
constexpr double kEarliestSeconds =
    static_cast<double>(std::chrono::floor<std::chrono::seconds>(kEarliestPlistDate - kEpoch).count());
constexpr double kAfterLatestSeconds =
    static_cast<double>(std::chrono::ceil<std::chrono::seconds>(kLatestPlistDate - kEpoch).count());

class Reader {
public:
    Reader(std::span<const std::uint8_t> bytes, int maximumDepth, std::string& error)
        : bytes_(bytes), maximumDepth_(maximumDepth), error_(error) {}

    std::optional<PlistValue> read() {
        if (bytes_.size() < kHeaderBytes + kTrailerBytes || std::memcmp(bytes_.data(), "bplist00", 8) != 0) {
            return fail("The binary property list is too short.");
        }
        const std::size_t trailer = bytes_.size() - kTrailerBytes;
        offsetSize_ = bytes_[trailer + 6];
        referenceSize_ = bytes_[trailer + 7];
        objectCount_ = bigEndian(trailer + 8, 8);
        const std::uint64_t top = bigEndian(trailer + 16, 8);
        offsetTable_ = bigEndian(trailer + 24, 8);
        objectsEnd_ = trailer;
        const bool sizesValid = (offsetSize_ >= 1 && offsetSize_ <= 8) && (referenceSize_ >= 1 && referenceSize_ <= 8);
        if (!sizesValid || objectCount_ == 0 || top >= objectCount_ || offsetTable_ < kHeaderBytes ||
            offsetTable_ > trailer || objectCount_ > (trailer - offsetTable_) / offsetSize_) {
            return fail("The binary property list has an invalid trailer.");
        }
        onPath_.assign(objectCount_, false);
        budget_ = bytes_.size();
        return object(top, 0);
    }

private:
    std::nullopt_t fail(const char* description) {
        if (error_.empty()) {
            error_ = description;
        }
        return std::nullopt;
    }

    std::uint64_t bigEndian(std::size_t at, std::size_t size) const {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < size; ++i) value = value << 8 | bytes_[at + i];
        return value;
    }

    // True when size bytes from at lie inside the object area.
    bool inside(std::uint64_t at, std::uint64_t size) const { return at <= objectsEnd_ && size <= objectsEnd_ - at; }

    // The object count that follows a marker (the low nibble, or an integer object after it when that is 15).
    std::optional<std::uint64_t> count(std::uint64_t& at, std::uint8_t marker) {
        const std::uint8_t info = marker & 0x0F;
        if (info != 0x0F) return info;
        if (!inside(at, 1) || (bytes_[at] & 0xF0) != 0x10) return fail("The binary property list has a bad count.");
        const std::size_t size = std::size_t{1} << (bytes_[at] & 0x0F);
        if (size > 8 || !inside(at + 1, size)) return fail("The binary property list has a bad count.");
        const std::uint64_t value = bigEndian(at + 1, size);
        at += 1 + size;
        return value;
    }

    std::optional<PlistValue> object(std::uint64_t index, int depth) {
        if (index >= objectCount_) return fail("The binary property list refers to a missing object.");
        if (budget_ == 0) return fail("The binary property list expands to too many values.");
        --budget_;
        const std::uint64_t offset = bigEndian(offsetTable_ + index * offsetSize_, offsetSize_);
        if (offset < kHeaderBytes || !inside(offset, 1)) return fail("The binary property list has a bad offset.");
        const std::uint8_t marker = bytes_[offset];
        std::uint64_t at = offset + 1;
        switch (marker >> 4) {
        case 0x0:
            if (marker == 0x08 || marker == 0x09) return PlistValue(marker == 0x09);
            return fail("The property list holds a value of an unsupported type.");
        case 0x1: return integer(at, marker);
        case 0x2: return real(at, marker);
        case 0x3: return date(at, marker);
        case 0x4: return data(at, marker);
        case 0x5: return asciiString(at, marker);
        case 0x6: return utf16String(at, marker);
        case 0xA: return container(index, at, marker, depth, false);
        case 0xD: return container(index, at, marker, depth, true);
        default: return fail("The property list holds a value of an unsupported type.");
        }
    }

    std::optional<PlistValue> integer(std::uint64_t at, std::uint8_t marker) {
        const std::size_t size = std::size_t{1} << (marker & 0x0F);
        if (size > 16 || !inside(at, size)) return fail("The binary property list has a bad integer.");
        if (size == 16) {
            // Written only for values beyond the signed 64-bit range; the upper half must be a sign extension.
            const std::uint64_t high = bigEndian(at, 8);
            const std::uint64_t low = bigEndian(at + 8, 8);
            if (high != ((low >> 63) ? ~std::uint64_t{0} : 0)) return fail("The property list holds too large an integer.");
            return PlistValue(static_cast<std::int64_t>(low));
        }
        return PlistValue(static_cast<std::int64_t>(bigEndian(at, size)));
    }

    std::optional<PlistValue> real(std::uint64_t at, std::uint8_t marker) {
        if (marker == 0x22 && inside(at, 4)) {
            return PlistValue(static_cast<double>(std::bit_cast<float>(static_cast<std::uint32_t>(bigEndian(at, 4)))));
        }
        if (marker == 0x23 && inside(at, 8)) return PlistValue(std::bit_cast<double>(bigEndian(at, 8)));
        return fail("The binary property list has a bad real number.");
    }

    std::optional<PlistValue> date(std::uint64_t at, std::uint8_t marker) {
        if (marker != 0x33 || !inside(at, 8)) return fail("The binary property list has a bad date.");
        // Seconds from the epoch, checked as a double before any conversion to an integer (NaN fails both tests).
        const double seconds = std::bit_cast<double>(bigEndian(at, 8));
        if (!(seconds >= kEarliestSeconds && seconds < kAfterLatestSeconds)) {
            return fail("The binary property list has a date outside the years 1 to 9999.");
        }
        // Near the year 10000 doubles step by 30 microseconds, so the fraction never rounds up into the next year.
        const double whole = std::floor(seconds);
        return PlistValue(kEpoch + std::chrono::seconds(static_cast<std::int64_t>(whole)) +
                          std::chrono::microseconds(std::llround((seconds - whole) * 1e6)));
    }

    std::optional<PlistValue> data(std::uint64_t at, std::uint8_t marker) {
        const auto size = count(at, marker);
        if (!size) return std::nullopt;
        if (!inside(at, *size)) return fail("The binary property list has cut data.");
        return PlistValue(PlistData(bytes_.begin() + static_cast<std::ptrdiff_t>(at),
                                    bytes_.begin() + static_cast<std::ptrdiff_t>(at + *size)));
    }

    std::optional<PlistValue> asciiString(std::uint64_t at, std::uint8_t marker) {
        const auto size = count(at, marker);
        if (!size) return std::nullopt;
        if (!inside(at, *size)) return fail("The binary property list has a cut string.");
        std::string text;
        for (std::uint64_t i = 0; i < *size; ++i) {
            appendUtf8(text, bytes_[at + i]);
        }
        return PlistValue(std::move(text));
    }

    std::optional<PlistValue> utf16String(std::uint64_t at, std::uint8_t marker) {
        const auto units = count(at, marker);
        if (!units) return std::nullopt;
        if (*units > objectsEnd_ / 2 || !inside(at, *units * 2)) return fail("The binary property list has a cut string.");
        std::string text;
        for (std::uint64_t i = 0; i < *units; ++i) {
            char32_t unit = static_cast<char32_t>(bigEndian(at + 2 * i, 2));
            if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < *units) {
                const auto next = static_cast<char32_t>(bigEndian(at + 2 * (i + 1), 2));
                if (next >= 0xDC00 && next < 0xE000) {
                    unit = 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00);
                    ++i;
                }
            }
            appendUtf8(text, (unit >= 0xD800 && unit < 0xE000) ? char32_t{0xFFFD} : unit);
        }
        return PlistValue(std::move(text));
    }

    std::optional<PlistValue> container(std::uint64_t index, std::uint64_t at, std::uint8_t marker, int depth,
                                        bool isDictionary) {
        // The root container is at depth 0, so maximumDepth containers may nest, as in the XML form.
        if (depth >= maximumDepth_) return fail("The property list is nested too deeply.");
        const auto entries = count(at, marker);
        if (!entries) return std::nullopt;
        const std::uint64_t references = isDictionary ? 2 : 1;
        if (*entries > objectsEnd_ || !inside(at, *entries * references * referenceSize_)) {
            return fail("The binary property list has a cut container.");
        }
        if (onPath_[index]) return fail("The binary property list contains itself.");
        onPath_[index] = true;
        std::optional<PlistValue> result;
        if (isDictionary) {
            PlistDictionary dictionary;
            for (std::uint64_t i = 0; i < *entries; ++i) {
                auto key = object(bigEndian(at + i * referenceSize_, referenceSize_), depth + 1);
                if (!key) return std::nullopt;
                if (key->string() == nullptr) return fail("The binary property list has a key that is no string.");
                auto value = object(bigEndian(at + (*entries + i) * referenceSize_, referenceSize_), depth + 1);
                if (!value) return std::nullopt;
                dictionary.insert_or_assign(*key->string(), std::move(*value));
            }
            result = PlistValue(std::move(dictionary));
        } else {
            PlistArray array;
            for (std::uint64_t i = 0; i < *entries; ++i) {
                auto item = object(bigEndian(at + i * referenceSize_, referenceSize_), depth + 1);
                if (!item) return std::nullopt;
                array.push_back(std::move(*item));
            }
            result = PlistValue(std::move(array));
        }
        onPath_[index] = false;
        return result;
    }

    std::span<const std::uint8_t> bytes_;
    int maximumDepth_;
    std::string& error_;
    std::uint64_t offsetSize_ = 0;
    std::uint64_t referenceSize_ = 0;
    std::uint64_t objectCount_ = 0;
    std::uint64_t offsetTable_ = 0;
    std::uint64_t objectsEnd_ = 0;
    std::uint64_t budget_ = 0;
    std::vector<bool> onPath_;
};

}  // namespace

std::optional<PlistValue> readBinaryPlist(std::span<const std::uint8_t> bytes, int maximumDepth, std::string& error) {
    error.clear();
    return Reader(bytes, maximumDepth, error).read();
}

}  // namespace foundation
