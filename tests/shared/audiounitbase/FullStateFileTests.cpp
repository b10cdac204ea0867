#include <fstream>

#include "platform/foundation/PropertyList.h"
#include "tests/shared/audiounitbase/WrapperFixture.h"
#include "tests/support/TestFolder.h"

using namespace wrapper_testing;

namespace {

// The file as python3's plistlib reads it, printed by Python.
std::string readByPlistlib(const std::filesystem::path& file) {
    int exitCode = -1;
    const std::string output = testsupport::runCommand(
        "python3 -c 'import plistlib,sys; print(sorted(plistlib.load(open(sys.argv[1], \"rb\")).items()))' '" +
            file.string() + "'",
        exitCode);
    return exitCode == 0 ? output : "plistlib failed: " + output;
}

}  // namespace

TEST_F(WrapperTest, FullStateFilesAreReadByPlistlib) {
    testsupport::TestFolder folder;
    const auto wrapper = makeWrapper();
    wrapper->create("Synth");
    WrappedUnit& unit = unitOf(*wrapper);

    const auto empty = folder.path() / "empty.plist";
    wrapper->saveFullState(empty);
    EXPECT_EQ(readByPlistlib(empty), "[]\n") << "a unit without full state gives an empty dictionary";

    unit.state = foundation::PlistDictionary{{"name", "Warm"},
                                             {"version", 1},
                                             {"gain", -6.5},
                                             {"groups", foundation::PlistArray{"a", "b"}}};
    const auto full = folder.path() / "full.plist";
    wrapper->saveFullState(full);
    const std::string fullByPlistlib = "[('gain', -6.5), ('groups', ['a', 'b']), ('name', 'Warm'), ('version', 1)]\n";
    EXPECT_EQ(readByPlistlib(full), fullByPlistlib);

    // A state whose text XML cannot hold is refused before the file is touched.
    for (const std::string& text : {std::string("bell\x07"), std::string("nul\0", 4), std::string("bad\xC3\x28")}) {
        SCOPED_TRACE(testing::PrintToString(text));
        unit.state = foundation::PlistDictionary{{"name", text}};
        wrapper->saveFullState(full);
        EXPECT_TRUE(logged("AudioUnitBase::saveFullState(): FEHLER: Die Daten konnten nicht serialisiert werden."));
        EXPECT_EQ(readByPlistlib(full), fullByPlistlib);
    }

    unit.state.reset();
    wrapper->loadFullState(full);
    ASSERT_TRUE(unit.state);
    EXPECT_EQ(unit.state->at("name"), foundation::PlistValue("Warm"));
    EXPECT_EQ(unit.state->at("gain"), foundation::PlistValue(-6.5));
}

TEST_F(WrapperTest, LoadingRefusesMissingUnreadableAndForeignFilesAndChangesNothing) {
    testsupport::TestFolder folder;
    const auto wrapper = makeWrapper();
    wrapper->create("Synth");
    WrappedUnit& unit = unitOf(*wrapper);

    const auto missing = folder.path() / "missing.plist";
    wrapper->loadFullState(missing);
    EXPECT_TRUE(logged("AudioUnitBase::loadFullState(): ERROR: The path " + missing.string() +
                       " for loading presets does not exist."));

    const auto garbage = folder.path() / "garbage.plist";
    std::ofstream(garbage) << "<plist><dict><key>open";
    wrapper->loadFullState(garbage);
    const auto lines = drainedLines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
        return line.starts_with("AudioUnitBase::loadFullState(): FEHLER: Die Datei konnte nicht eingelesen werden: ") &&
               line.ends_with(", Format: xml");
    }));

    const auto array = folder.path() / "array.plist";
    std::string error;
    ASSERT_TRUE(foundation::writePlistFile(array, foundation::PlistValue(foundation::PlistArray{1, 2}), error));
    wrapper->loadFullState(array);
    EXPECT_TRUE(logged("AudioUnitBase::loadFullState(): ERROR: The property list holds no dictionary, Format: xml"));

    EXPECT_EQ(unit.stateWrites, 0) << "no refused file reached the unit";

    const auto unwritable = folder.path() / "no-such-folder" / "state.plist";
    wrapper->saveFullState(unwritable);
    const auto after = drainedLines();
    EXPECT_TRUE(std::any_of(after.begin(), after.end(), [](const std::string& line) {
        return line.starts_with("AudioUnitBase::saveFullState(): FEHLER: Die Daten konnten nicht gespeichert werden. (");
    }));

    const auto without = makeWrapper();
    without->contextName = "Nothing";
    without->saveFullState(folder.path() / "x.plist");
    without->loadFullState(array);
    EXPECT_TRUE(logged("AudioUnitBase::saveFullState(): ERROR: The audio unit (Nothing) is nil."));
    EXPECT_TRUE(logged("AudioUnitBase::loadFullState(): ERROR: The audio unit (Nothing) is nil."));
}
