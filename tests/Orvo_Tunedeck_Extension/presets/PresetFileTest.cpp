#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "Orvo_Tunedeck_Extension/presets/OrvoPreset.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "tests/Orvo_Tunedeck_Extension/presets/PresetTrees.h"
#include "tests/Orvo_Tunedeck_Extension/presets/RecordingPresetDelegate.h"
#include "tests/support/TestFolder.h"

namespace {

namespace fs = std::filesystem;
using foundation::PlistDictionary;
using presettest::kUnit;
using Report = RecordingPresetDelegate::Report;

// Prints a property-list file as sorted lines "key/key/... type value", read with the distribution's plistlib.
constexpr const char* kFlattenScript = R"(import plistlib, sys
def flat(path, value, out):
    if isinstance(value, dict):
        for key in value:
            flat(path + "/" + key if path else key, value[key], out)
    elif isinstance(value, bool):
        out.append(f"{path} bool {value}")
    elif isinstance(value, int):
        out.append(f"{path} int {value}")
    elif isinstance(value, float):
        out.append(f"{path} real {value!r}")
    elif isinstance(value, str):
        out.append(f"{path} string {value}")
    elif isinstance(value, bytes):
        out.append(f"{path} data {value.hex()}")
    else:
        out.append(f"{path} {type(value).__name__}")
raw = open(sys.argv[1], "rb").read()
print("xml" if raw.startswith(b"<?xml") else "not xml")
out = []
flat("", plistlib.loads(raw), out)
print("\n".join(sorted(out)))
)";

// Writes the same preset with plistlib in the form given as second argument ("xml" or "binary").
constexpr const char* kWriteScript = R"(import plistlib, sys
preset = {
    "version": 2, "type": 0x61756D75, "subtype": 0x7142766E, "manufacturer": 0x4B57424C, "number": 4,
    "name": "Von Python", "data": b"\x01\x02", "count": 2, "link": "",
    "group 1": {"identifier": "kTunedeckMutes", "count": 1,
                "param 0": {"address": 1016, "identifier": "kTunedeckMute0", "value": 1.0}},
    "group 0": {"identifier": "kTunedeckGlobal", "count": 2,
                "param 0": {"address": 1002, "identifier": "kTunedeckTranspose", "value": 0.5},
                "param 1": {"address": 1001, "identifier": "kTunedeckVolume", "value": 0.25}},
}
form = plistlib.FMT_BINARY if sys.argv[2] == "binary" else plistlib.FMT_XML
open(sys.argv[1], "wb").write(plistlib.dumps(preset, fmt=form))
)";

void writeText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string readText(const fs::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

std::string python(const testsupport::TestFolder& folder, const char* script, const std::string& arguments) {
    const auto scriptPath = folder.path() / "script.py";
    writeText(scriptPath, script);
    int exitCode = -1;
    const auto output =
        testsupport::runCommand("/usr/bin/python3 '" + scriptPath.string() + "' " + arguments, exitCode);
    EXPECT_EQ(exitCode, 0) << output;
    return output;
}

// A document of the instrument made from the small tree.
void makeUnitDocument(OrvoPreset& preset) {
    const auto tree = presettest::smallTree();
    preset.setup(kUnit, 1, "Orvo Tunedeck Preset");
    preset.makeFrom(tree.get());
}

TEST(PresetFile, EveryValueSurvivesTheFile) {
    testsupport::TestFolder folder;
    const auto path = folder.path() / "Grüße.aupreset";
    OrvoPreset written;
    makeUnitDocument(written);
    written.patch->number = 12;
    written.patch->data = {0xDE, 0xAD, 0x00};
    written.patch->link = "a & <b>";
    written.patch->groups[1]->params[0]->value = 0.1f;
    ASSERT_TRUE(written.patch->saveToFile(path));

    OrvoPreset read;
    EXPECT_EQ(read.patch->loadFromFile(path), foundation::noErr);
    EXPECT_EQ(read.patch->toDictionary(), written.patch->toDictionary());
    RecordingPresetDelegate delegate;
    EXPECT_TRUE(read.applyTo(delegate, kUnit));
    EXPECT_EQ(delegate.reports.size(), 5u);
    EXPECT_EQ(delegate.reports[2], (Report{0, "kTunedeckMute0", 1016, 0.0f}));
    EXPECT_EQ(delegate.reports[3], (Report{0, "kTunedeckMute1", 1017, 0.1f}));
}

TEST(PresetFile, PlistlibReadsTheKeysAndValuesWeWrite) {
    testsupport::TestFolder folder;
    const auto path = folder.path() / "default.aupreset";
    OrvoPreset preset;
    makeUnitDocument(preset);
    preset.patch->data = {0x01, 0xFF};
    ASSERT_TRUE(preset.patch->saveToFile(path));

    const auto output = python(folder, kFlattenScript, "'" + path.string() + "'");
    EXPECT_EQ(output,
              "xml\n"
              "count int 3\n"
              "data data 01ff\n"
              "group 0/count int 2\n"
              "group 0/identifier string kTunedeckGlobal\n"
              "group 0/param 0/address int 1001\n"
              "group 0/param 0/identifier string kTunedeckVolume\n"
              "group 0/param 0/value real 0.75\n"
              "group 0/param 1/address int 1002\n"
              "group 0/param 1/identifier string kTunedeckTranspose\n"
              "group 0/param 1/value real 0.5\n"
              "group 1/count int 2\n"
              "group 1/identifier string kTunedeckMutes\n"
              "group 1/param 0/address int 1016\n"
              "group 1/param 0/identifier string kTunedeckMute0\n"
              "group 1/param 0/value real 0.0\n"
              "group 1/param 1/address int 1017\n"
              "group 1/param 1/identifier string kTunedeckMute1\n"
              "group 1/param 1/value real 1.0\n"
              "group 2/count int 1\n"
              "group 2/identifier string kNested 7\n"
              "group 2/param 0/address int 1048\n"
              "group 2/param 0/identifier string kTunedeckPan0\n"
              "group 2/param 0/value real 127.0\n"
              "link string \n"
              "manufacturer int 1264009804\n"
              "name string Orvo Tunedeck Preset\n"
              "number int 0\n"
              "subtype int 1900181102\n"
              "type int 1635085685\n"
              "version int 1\n");
}

TEST(PresetFile, FilesWrittenByPlistlibAreReadInEitherForm) {
    for (const std::string form : {"xml", "binary"}) {
        testsupport::TestFolder folder;
        const auto path = folder.path() / "python.aupreset";
        python(folder, kWriteScript, "'" + path.string() + "' " + form);

        OrvoPreset preset;
        ASSERT_EQ(preset.patch->loadFromFile(path), foundation::noErr) << form;
        EXPECT_EQ(preset.patch->version, 2) << form;
        EXPECT_EQ(preset.patch->number, 4) << form;
        EXPECT_EQ(preset.patch->name, "Von Python") << form;
        EXPECT_EQ(preset.patch->data, (std::vector<std::uint8_t>{1, 2})) << form;
        RecordingPresetDelegate delegate;
        EXPECT_TRUE(preset.applyTo(delegate, kUnit)) << form;
        const std::vector<Report> expected{
            {0, "kTunedeckVolume", 1001, 0.25f},
            {0, "kTunedeckTranspose", 1002, 0.5f},
            {0, "kTunedeckMute0", 1016, 1.0f},
        };
        EXPECT_EQ(delegate.reports, expected) << form;
    }
}

TEST(PresetFile, AFileThatCannotBeReadOrParsedChangesNothing) {
    testsupport::TestFolder folder;
    OrvoPreset valid;
    makeUnitDocument(valid);
    const auto validPath = folder.path() / "valid.aupreset";
    ASSERT_TRUE(valid.patch->saveToFile(validPath));
    const auto validText = readText(validPath);

    const struct {
        const char* name;
        std::string content;
        bool missing;         // nothing is made at the path
        bool folderInstead;   // a folder is made at the path
        std::string logLine;  // the expected line, or its beginning when it ends in "..."
    } cases[] = {
        {"missing.aupreset", "", true, false, "OrvoPreset::loadFromFile() : ERROR: The path {} does not exist."},
        {"folder.aupreset", "", false, true, "OrvoPreset::loadFromFile() : ERROR: The file is not readable."},
        {"empty.aupreset", "", false, false, "OrvoPreset::loadFromFile() : ERROR: Could not read the file '{}': ..."},
        {"text.aupreset", "just some words", false, false,
         "OrvoPreset::loadFromFile() : ERROR: Could not read the file '{}': ..."},
        {"truncated.aupreset", validText.substr(0, validText.size() / 2), false, false,
         "OrvoPreset::loadFromFile() : ERROR: Could not read the file '{}': ..."},
        {"binary.aupreset", "bplist00\x01\x02\x03", false, false,
         "OrvoPreset::loadFromFile() : ERROR: Could not read the file '{}': ..."},
        {"array.aupreset",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist "
         "version=\"1.0\"><array><integer>1</integer></array></plist>",
         false, false, "OrvoPreset::loadFromFile() : ERROR: The file '{}' does not hold a dictionary."},
    };
    for (const auto& c : cases) {
        const auto path = folder.path() / c.name;
        if (c.folderInstead) {
            fs::create_directory(path);
        } else if (!c.missing) {
            writeText(path, c.content);
        }
        OrvoPreset preset;
        preset.patch->fromDictionary(valid.patch->toDictionary());
        const auto before = preset.patch->toDictionary();

        foundation::LogCapture capture;
        EXPECT_EQ(preset.patch->loadFromFile(path), foundation::kAudioUnitErr_InvalidFilePath) << c.name;
        dispatch::MainQueue::shared().drain();
        EXPECT_EQ(preset.patch->toDictionary(), before) << c.name;
        EXPECT_TRUE(preset.matches(kUnit)) << c.name;

        auto expected = c.logLine;
        if (const auto at = expected.find("{}"); at != std::string::npos) expected.replace(at, 2, path.string());
        const auto lines = capture.lines();
        ASSERT_EQ(lines.size(), 1u) << c.name;
        if (expected.ends_with("...")) {
            EXPECT_TRUE(lines[0].starts_with(expected.substr(0, expected.size() - 3))) << lines[0];
            const char* format =
                std::string_view(c.content).starts_with("bplist") ? ", Format: binary" : ", Format: xml";
            EXPECT_TRUE(lines[0].ends_with(format)) << lines[0];
        } else {
            EXPECT_EQ(lines[0], expected);
        }
    }
}

TEST(PresetFile, AFailedSaveLeavesTheOldFileWhole) {
    testsupport::TestFolder folder;
    const auto path = folder.path() / "kept.aupreset";
    OrvoPreset preset;
    makeUnitDocument(preset);
    ASSERT_TRUE(preset.patch->saveToFile(path));
    const auto before = readText(path);

    foundation::LogCapture capture;
    preset.patch->name = std::string("bell\x07", 5);
    EXPECT_FALSE(preset.patch->saveToFile(path));
    EXPECT_FALSE(preset.patch->saveToFile(folder.path() / "no such folder" / "new.aupreset"));
    dispatch::MainQueue::shared().drain();

    EXPECT_EQ(readText(path), before);
    std::vector<fs::path> entries;
    for (const auto& entry : fs::directory_iterator(folder.path())) entries.push_back(entry.path().filename());
    EXPECT_EQ(entries, std::vector<fs::path>{"kept.aupreset"});
    const auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 2u);
    for (const auto& line : lines) {
        EXPECT_TRUE(line.starts_with("OrvoPreset::saveToFile() : ERROR: Could not write the preset: ")) << line;
    }
}

}  // namespace
