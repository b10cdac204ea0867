#include "platform/foundation/PropertyList.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <string>

#include "platform/foundation/Files.h"
#include "tests/support/TestFolder.h"

namespace {

using namespace foundation;
using namespace std::chrono_literals;

// The same values, once as our value and once as a Python literal for plistlib.
PlistValue sample() {
    using std::chrono::sys_days;
    return PlistDictionary{
        {"name", "Orvo Tunedeck \u00e4 <&>"},
        {"negative", -5},
        {"large", std::int64_t{1} << 40},
        {"real", 0.79},
        {"whole", 120.0},
        {"yes", true},
        {"no", false},
        {"bytes", PlistData{0, 1, 0xFF}},
        {"empty data", PlistData{}},
        {"when", PlistDate(sys_days{std::chrono::year{2020} / 1 / 2} + 3h + 4min + 5s)},
        {"list", PlistArray{1, "zwei", 3.5, PlistDictionary{}}},
        {"nested", PlistDictionary{{"inner", PlistArray{}}, {"address", 1189}}},
    };
}

constexpr const char* kSampleInPython =
    "{'name': 'Orvo Tunedeck \\u00e4 <&>', 'negative': -5, 'large': 2**40, 'real': 0.79, 'whole': 120.0,"
    " 'yes': True, 'no': False, 'bytes': b'\\x00\\x01\\xff', 'empty data': b'',"
    " 'when': datetime.datetime(2020, 1, 2, 3, 4, 5), 'list': [1, 'zwei', 3.5, {}],"
    " 'nested': {'inner': [], 'address': 1189}}";

std::string python(const std::string& script) {
    int exitCode = 0;
    const std::string output = testsupport::runCommand("python3 -c \"" + script + "\" 2>&1", exitCode);
    EXPECT_EQ(exitCode, 0) << output;
    return output;
}

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

TEST(PropertyList, OurXmlReadsBackToTheSameValues) {
    std::string error;
    const auto document = readPlist(plistToXml(sample()), error);
    ASSERT_TRUE(document) << error;
    EXPECT_EQ(document->format, PlistFormat::xml);
    EXPECT_EQ(document->root, sample());
}

TEST(PropertyList, PlistlibReadsOurFileWithTheSameValues) {
    testsupport::TestFolder folder;
    const auto path = folder.path() / "ours.plist";
    std::string error;
    ASSERT_TRUE(writePlistFile(path, sample(), error)) << error;
    EXPECT_EQ(python("import plistlib, datetime; v = plistlib.load(open('" + path.string() +
                     "', 'rb')); print(v == " + kSampleInPython + ")"),
              "True\n");
}

TEST(PropertyList, WeReadPlistlibXmlAndBinaryWithTheSameValues) {
    testsupport::TestFolder folder;
    for (const auto& [format, name] : {std::pair{PlistFormat::xml, "FMT_XML"}, {PlistFormat::binary, "FMT_BINARY"}}) {
        const auto path = folder.path() / (std::string(name) + ".plist");
        python("import plistlib, datetime; plistlib.dump(" + std::string(kSampleInPython) + ", open('" +
               path.string() + "', 'wb'), fmt=plistlib." + name + ")");
        std::string error;
        const auto document = readPlistFile(path, error);
        ASSERT_TRUE(document) << name << ": " << error;
        EXPECT_EQ(document->format, format) << name;
        EXPECT_EQ(document->root, sample()) << name;
    }
}

TEST(PropertyList, TopLevelValuesOtherThanDictionariesRoundTrip) {
    PlistData manyBytes(200);
    for (std::size_t i = 0; i < manyBytes.size(); ++i) manyBytes[i] = static_cast<std::uint8_t>(i * 7);
    for (const PlistValue& value :
         {PlistValue(PlistArray{}), PlistValue("text"), PlistValue(-1), PlistValue(0.25), PlistValue(true),
          PlistValue(PlistData{7}), PlistValue("carriage\r\nreturns\r"), PlistValue(manyBytes),
          PlistValue(std::numeric_limits<std::int64_t>::min()), PlistValue(-std::numeric_limits<double>::infinity()),
          PlistValue(1e300), PlistValue(PlistDictionary{{"<&>", PlistArray{PlistDictionary{}}}})}) {
        std::string error;
        const auto document = readPlist(plistToXml(value), error);
        ASSERT_TRUE(document) << error;
        EXPECT_EQ(document->root, value);
    }
}

TEST(PropertyList, MalformedInputIsRefusedWithAnError) {
    const std::string xml(reinterpret_cast<const char*>(plistToXml(sample()).data()), plistToXml(sample()).size());
    std::string deep;
    for (int i = 0; i < 2000; ++i) deep += "<array>";
    // One array that holds itself: header, the array at offset 8, offset table at 10, trailer.
    const std::string selfHolding = std::string("bplist00\xA1\x00\x08", 11) + std::string(6, '\0') + "\x01\x01" +
                                    std::string(7, '\0') + "\x01" + std::string(8, '\0') + std::string(7, '\0') +
                                    "\x0A";
    const std::string cases[] = {
        "",
        "garbage",
        "bplist00",
        "bplist00\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff"
        "\xff\xff\xff\xff\xff\xff\xff\xff",
        xml.substr(0, xml.size() / 2),
        xml.substr(0, xml.find("</dict>")),
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><true/></dict></plist>",
        "<plist><dict><key>a</key></dict></plist>",
        "<plist><dict><key>a</key><key>b</key><true/></dict></plist>",
        "<plist><integer>12x</integer></plist>",
        "<plist><real>1.5.2</real></plist>",
        "<plist><date>2020-13-01T00:00:00Z</date></plist>",
        "<plist><data>A=B=</data></plist>",
        "<plist><true/><true/></plist>",
        "<plist><true/></plist><false/>",
        "<plist><string>a</string>",
        "<plist><string>a<b/></string></plist>",
        "<plist>text<true/></plist>",
        "<plist><set/></plist>",
        "<plist></plist>",
        "<!DOCTYPE plist [<!ENTITY a \"aaaaaaaaaa\">]><plist><string>&a;&a;</string></plist>",
        "<plist><string>\xff\xfe</string></plist>",
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a&#0;</key><true/></dict></plist>",
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key><uid>1</uid></dict></plist>",
        "<?xml version=\"1.0\"?><plist version=\"1.0\">" + deep + "</plist>",
        selfHolding,
    };
    for (const auto& input : cases) {
        std::string error;
        EXPECT_FALSE(readPlist(bytesOf(input), error)) << input.substr(0, 80);
        EXPECT_FALSE(error.empty()) << input.substr(0, 80);
    }
}

TEST(PropertyList, XmlFromOtherWritersIsRead) {
    const struct {
        std::string xml;
        PlistValue value;
    } cases[] = {
        {"<dict><key>a</key><integer> 0x1F </integer></dict>", PlistDictionary{{"a", 31}}},
        {"<?xml version=\"1.0\"?>\n<!-- note -->\n<plist version=\"1.0\"><array><real>-inf</real><real>1e3</real>"
         "<string><![CDATA[<&>]]></string><data>AAEC\n/w==</data></array></plist>",
         PlistArray{-std::numeric_limits<double>::infinity(), 1000.0, "<&>", PlistData{0, 1, 2, 0xFF}}},
        {"<plist><integer>18446744073709551615</integer></plist>", PlistValue(-1)},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto document = readPlist(bytesOf(c.xml), error);
        ASSERT_TRUE(document) << c.xml << ": " << error;
        EXPECT_EQ(document->root, c.value) << c.xml;
    }
}

TEST(PropertyList, ValuesTheXmlFormCannotCarryAreRefusedAndTheFileIsKept) {
    testsupport::TestFolder folder;
    const auto path = folder.path() / "kept.plist";
    std::string error;
    ASSERT_TRUE(writePlistFile(path, PlistDictionary{{"good", 1}}, error)) << error;
    for (const PlistValue& bad : {PlistValue(PlistDictionary{{std::string("a\0b", 3), true}}),
                                  PlistValue(std::string("bell\x07")), PlistValue(std::string("\xff")),
                                  PlistValue(kEarliestPlistDate - 1s), PlistValue(kLatestPlistDate + 1us),
                                  PlistValue(kEarliestPlistDate + 500ms)}) {
        error.clear();
        EXPECT_FALSE(writePlistFile(path, bad, error));
        EXPECT_FALSE(error.empty());
    }
    const auto document = readPlistFile(path, error);
    ASSERT_TRUE(document) << error;
    EXPECT_EQ(document->root, PlistValue(PlistDictionary{{"good", 1}}));
}

// Each value at an edge of its kind goes through a file of ours and comes back the same to us and to plistlib; a real
// the same to the bit, or a NaN.
TEST(PropertyList, ValuesAtTheEdgesOfTheirKindsSurviveOurFile) {
    const struct {
        const char* key;
        PlistValue value;
        const char* python;
    } cases[] = {
        {"nan", std::numeric_limits<double>::quiet_NaN(), "float('nan')"},
        {"minus zero", -0.0, "-0.0"},
        {"smallest denormal", std::numeric_limits<double>::denorm_min(), "5e-324"},
        {"largest real", std::numeric_limits<double>::max(), "1.7976931348623157e308"},
        {"a tenth", 0.1, "0.1"},
        {"single 0.2", double{0.2f}, "0.20000000298023224"},
        {"infinity", std::numeric_limits<double>::infinity(), "float('inf')"},
        {"smallest integer", std::numeric_limits<std::int64_t>::min(), "-2**63"},
        {"largest integer", std::numeric_limits<std::int64_t>::max(), "2**63-1"},
        {"", "an empty key", "'an empty key'"},
        {"outside the plane", "\U0001F3B9 \u20ac", "'\\U0001F3B9 \\u20ac'"},
        {"markup", "]]> <![CDATA[ &amp; '", "']]> <![CDATA[ &amp; \\''"},
        {"line ends", " a\tb\nc\r\nd\re ", "' a\\tb\\nc\\r\\nd\\re '"},
        {"bytes", PlistData{0, 0xFF, 0x3E}, "b'\\x00\\xff>'"},
    };
    PlistDictionary entries;
    std::string literal = "{";
    for (const auto& c : cases) {
        entries.emplace(c.key, c.value);
        literal += "'" + std::string(c.key) + "': " + c.python + ", ";
    }
    literal += "}";
    testsupport::TestFolder folder;
    const auto path = folder.path() / "edges.plist";
    std::string error;
    ASSERT_TRUE(writePlistFile(path, entries, error)) << error;

    const auto document = readPlistFile(path, error);
    ASSERT_TRUE(document) << error;
    for (const auto& c : cases) {
        const PlistValue* read = document->root.find(c.key);
        ASSERT_NE(read, nullptr) << c.key;
        if (const double* number = c.value.real()) {
            ASSERT_NE(read->real(), nullptr) << c.key;
            EXPECT_TRUE(std::isnan(*number) ? std::isnan(*read->real())
                                            : std::bit_cast<std::uint64_t>(*number) ==
                                                  std::bit_cast<std::uint64_t>(*read->real()))
                << c.key << ": " << *read->real();
        } else {
            EXPECT_EQ(*read, c.value) << c.key;
        }
    }
    // The keys whose values plistlib reads otherwise.
    EXPECT_EQ(python("import plistlib, math; v = plistlib.load(open('" + path.string() + "', 'rb')); e = " + literal +
                     "; same = lambda a, b: type(a) == type(b) and (repr(a) == repr(b)); "
                     "print(sorted(k for k in e if not same(v.get(k), e[k])))"),
              "[]\n");
}

// Containers nest as deep as 512 levels in either form, and what reads is written back; one level more is refused.
TEST(PropertyList, NestingOfTheLargestDepthIsReadInBothFormsAndWrittenBack) {
    testsupport::TestFolder folder;
    const auto file = [&](const char* format, int levels) {
        return (folder.path() / (std::string(format) + std::to_string(levels) + ".plist")).string();
    };
    std::string script = "import plistlib, sys; sys.setrecursionlimit(10000)\nv = [[]]\nfor i in range(510): v = [v]";
    for (const char* format : {"FMT_XML", "FMT_BINARY"}) {
        script += "\nplistlib.dump(v, open('" + file(format, 512) + "', 'wb'), fmt=plistlib." + format + ")" +
                  "\nplistlib.dump([v], open('" + file(format, 513) + "', 'wb'), fmt=plistlib." + format + ")";
    }
    python(script);
    for (const char* format : {"FMT_XML", "FMT_BINARY"}) {
        for (const int levels : {512, 513}) {
            std::string error;
            const auto document = readPlistFile(file(format, levels), error);
            EXPECT_EQ(document.has_value(), levels == 512) << format << " " << levels << ": " << error;
            if (document) {
                EXPECT_TRUE(writePlistFile(folder.path() / "back.plist", document->root, error)) << format << error;
            }
        }
    }
}

TEST(PropertyList, BinaryKeysMayHoldNulCharacters) {
    testsupport::TestFolder folder;
    const auto path = folder.path() / "nul.plist";
    python("import plistlib; plistlib.dump({'a\\x00b': True}, open('" + path.string() +
           "', 'wb'), fmt=plistlib.FMT_BINARY)");
    std::string error;
    const auto document = readPlistFile(path, error);
    ASSERT_TRUE(document) << error;
    EXPECT_EQ(document->root, PlistValue(PlistDictionary{{std::string("a\0b", 3), true}}));
}

// A binary property list whose one object is a date of the given seconds from 2001-01-01.
std::vector<std::uint8_t> binaryDate(double seconds) {
    std::vector<std::uint8_t> bytes{'b', 'p', 'l', 'i', 's', 't', '0', '0', 0x33};
    const auto bits = std::bit_cast<std::uint64_t>(seconds);
    for (int shift = 56; shift >= 0; shift -= 8) bytes.push_back(static_cast<std::uint8_t>(bits >> shift));
    bytes.push_back(8);  // offset table: the object at 8
    const std::uint8_t trailer[32] = {0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1,
                                      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 17};
    bytes.insert(bytes.end(), std::begin(trailer), std::end(trailer));
    return bytes;
}

TEST(PropertyList, DatesOfEveryYearTheFormsHoldAreWrittenBackAsRead) {
    using std::chrono::year;
    const struct {
        const char* name;
        PlistDate date;
        const char* python;
    } cases[] = {
        {"first", kEarliestPlistDate, "datetime.datetime(1, 1, 1)"},
        {"1900", PlistDate(std::chrono::sys_days{year{1900} / 1 / 1} + 12h), "datetime.datetime(1900, 1, 1, 12)"},
        {"after-32-bit", PlistDate(std::chrono::sys_days{year{2069} / 1 / 20}), "datetime.datetime(2069, 1, 20)"},
        {"2100", PlistDate(std::chrono::sys_days{year{2100} / 1 / 1}), "datetime.datetime(2100, 1, 1)"},
        {"last", std::chrono::floor<std::chrono::seconds>(kLatestPlistDate),
         "datetime.datetime(9999, 12, 31, 23, 59, 59)"},
    };
    testsupport::TestFolder folder;
    const auto file = [&](const std::string& name, const char* format, const char* kind) {
        return (folder.path() / (name + "-" + format + "-" + kind + ".plist")).string();
    };
    std::string writeScript = "import plistlib, datetime";
    std::string checkScript = "import plistlib, datetime";
    for (const auto& c : cases) {
        for (const char* format : {"FMT_XML", "FMT_BINARY"}) {
            writeScript += "; plistlib.dump({'when': " + std::string(c.python) + "}, open('" +
                           file(c.name, format, "theirs") + "', 'wb'), fmt=plistlib." + format + ")";
            checkScript += "; print(plistlib.load(open('" + file(c.name, format, "ours") + "', 'rb')) == {'when': " +
                           c.python + "})";
        }
    }
    python(writeScript);
    std::string expected;
    for (const auto& c : cases) {
        for (const char* format : {"FMT_XML", "FMT_BINARY"}) {
            std::string error;
            const auto document = readPlistFile(file(c.name, format, "theirs"), error);
            ASSERT_TRUE(document) << c.name << " " << format << ": " << error;
            EXPECT_EQ(document->root, PlistValue(PlistDictionary{{"when", c.date}})) << c.name << " " << format;
            EXPECT_TRUE(writePlistFile(file(c.name, format, "ours"), document->root, error)) << c.name << ": " << error;
            expected += "True\n";
        }
    }
    EXPECT_EQ(python(checkScript), expected);
}

TEST(PropertyList, DatesBeyondTheYearsTheFormsHoldAreRefusedOnReading) {
    // Seconds from 2001-01-01 to the first moment of the year 1 and to the first moment of the year 10000.
    constexpr double earliest = -63113904000.0;
    constexpr double afterLatest = 252423993600.0;
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
        std::optional<PlistDate> date;  // nullopt: refused
    } cases[] = {
        {"binary first moment", binaryDate(earliest), kEarliestPlistDate},
        {"binary half a second before the end", binaryDate(afterLatest - 0.5), kLatestPlistDate - 499999us},
        {"binary a quarter second past 2100", binaryDate(3124137600.25),
         PlistDate(std::chrono::sys_days{std::chrono::year{2100} / 1 / 1} + 250ms)},
        {"binary a second before the year 1", binaryDate(earliest - 1), std::nullopt},
        {"binary the year 10000", binaryDate(afterLatest), std::nullopt},
        {"binary the last double before the year 10000", binaryDate(std::nextafter(afterLatest, 0.0)),
         kLatestPlistDate - 30us},
        {"binary 1e14 seconds", binaryDate(1e14), std::nullopt},
        {"binary -1e14 seconds", binaryDate(-1e14), std::nullopt},
        {"binary -9.2e12 seconds", binaryDate(-9.2e12), std::nullopt},
        {"binary largest double", binaryDate(std::numeric_limits<double>::max()), std::nullopt},
        {"binary infinity", binaryDate(std::numeric_limits<double>::infinity()), std::nullopt},
        {"binary not a number", binaryDate(std::numeric_limits<double>::quiet_NaN()), std::nullopt},
        {"xml first moment", bytesOf("<plist><date>0001-01-01T00:00:00Z</date></plist>"), kEarliestPlistDate},
        {"xml year 0", bytesOf("<plist><date>0000-12-31T23:59:59Z</date></plist>"), std::nullopt},
        {"xml year 10000", bytesOf("<plist><date>10000-01-01T00:00:00Z</date></plist>"), std::nullopt},
        {"xml negative year", bytesOf("<plist><date>-001-01-01T00:00:00Z</date></plist>"), std::nullopt},
        {"xml signed fields", bytesOf("<plist><date>2000-+1-01T00:00:00Z</date></plist>"), std::nullopt},
        {"xml leap second", bytesOf("<plist><date>2016-12-31T23:59:60Z</date></plist>"), std::nullopt},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto document = readPlist(c.bytes, error);
        if (c.date) {
            ASSERT_TRUE(document) << c.what << ": " << error;
            EXPECT_EQ(document->root, PlistValue(*c.date)) << c.what;
        } else {
            EXPECT_FALSE(document) << c.what;
            EXPECT_FALSE(error.empty()) << c.what;
        }
    }
}

TEST(PropertyList, CorruptedInputNeverCrashes) {
    testsupport::TestFolder folder;
    const auto binaryPath = folder.path() / "binary.plist";
    python("import plistlib, datetime; plistlib.dump(" + std::string(kSampleInPython) + ", open('" +
           binaryPath.string() + "', 'wb'), fmt=plistlib.FMT_BINARY)");
    std::string error;
    const auto binary = readFile(binaryPath, kPropertyListFileByteLimit, error);
    ASSERT_TRUE(binary) << error;
    const auto xml = plistToXml(sample());

    std::mt19937 random(1234);
    for (const auto* original : {&*binary, &xml}) {
        for (std::size_t cut = 0; cut < original->size(); ++cut) {
            std::vector<std::uint8_t> truncated(original->begin(), original->begin() + cut);
            const auto document = readPlist(truncated, error);
            EXPECT_FALSE(document && original == &*binary) << "binary cut at " << cut;
        }
        for (int round = 0; round < 2000; ++round) {
            auto corrupted = *original;
            for (int flips = 0; flips < 1 + round % 4; ++flips) {
                corrupted[random() % corrupted.size()] = static_cast<std::uint8_t>(random());
            }
            readPlist(corrupted, error);
        }
    }
}

}  // namespace
