// Full state and presets of the instrument: every parameter round-trips through the state and through preset files,
// states and files of other components or that cannot be read change nothing, and instances keep to themselves.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "tests/Orvo_Tunedeck_Extension/audiounit/UnitFixture.h"

namespace unit_test {
namespace {

using Values = std::map<AUParameterAddress, AUValue>;

Values treeValues(OrvoTunedeck_AudioUnit& unit) {
    Values values;
    for (const auto& parameter : unit.parameterTree()->allParameters()) {
        values[parameter->address()] = parameter->value();
    }
    return values;
}

// Values in range that differ from parameter to parameter, exact in binary; the other set differs from it everywhere.
Values patternValues(OrvoTunedeck_AudioUnit& unit, bool other) {
    Values values;
    int i = 0;
    for (const auto& parameter : unit.parameterTree()->allParameters()) {
        const AUValue low = parameter->minValue();
        const AUValue high = parameter->maxValue();
        AUValue value = low + std::fmod(0.25f * static_cast<float>(i++ % 9 + 1), high - low);
        if (other) {
            value = value == low ? high : low;
        }
        values[parameter->address()] = value;
    }
    return values;
}

void setAll(OrvoTunedeck_AudioUnit& unit, const Values& values) {
    for (const auto& [address, value] : values) {
        unit.setParameter(static_cast<int64_t>(address), value);
    }
}

void writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class PresetState : public UnitFixture {
protected:
    std::filesystem::path presets() const { return folder.path() / "Documents" / "Presets"; }

    // Lines the operation logs.
    template <typename Operation>
    std::vector<std::string> logOf(Operation operation) {
        foundation::LogCapture capture;
        operation();
        dispatch::MainQueue::shared().drain();
        return capture.lines();
    }

    bool logged(const std::vector<std::string>& lines, const std::string& part) {
        return std::any_of(lines.begin(), lines.end(),
                           [&](const std::string& line) { return line.find(part) != std::string::npos; });
    }
};

TEST_F(PresetState, FullStateRoundTripsEveryParameter) {
    const Values stored = patternValues(*unit, false);
    setAll(*unit, stored);
    const auto state = unit->fullState();
    ASSERT_TRUE(state);
    EXPECT_EQ(unit->fullState(), state) << "reading twice gives the same state";
    EXPECT_EQ(*state->at("name").string(), "Orvo Tunedeck Preset");
    EXPECT_EQ(*state->at("version").integer(), 1);
    EXPECT_EQ(*state->at("count").integer(), 11);

    setAll(*unit, patternValues(*unit, true));
    ASSERT_NE(treeValues(*unit), stored);
    const auto lines = logOf([&] { unit->setFullState(state); });
    EXPECT_FALSE(logged(lines, "ERROR")) << lines.front();
    EXPECT_EQ(treeValues(*unit), stored);
    EXPECT_EQ(treeValues(*unit).size(), 165u);
}

TEST_F(PresetState, StateOfAnotherComponentOrNoStateChangesNothing) {
    auto state = unit->fullState();
    setAll(*unit, patternValues(*unit, false));
    (*state)["manufacturer"] = foundation::PlistValue(std::int64_t{0x41424344});
    const Values before = treeValues(*unit);
    sentByNextRender(0);

    for (const auto& refused : {state, std::optional<foundation::PlistDictionary>{}}) {
        const auto lines = logOf([&] { unit->setFullState(refused); });
        EXPECT_TRUE(logged(lines, "OrvoTunedeck_AudioUnit::fullState() : ERROR: The component description of the "
                                  "patch does not match."));
        EXPECT_EQ(treeValues(*unit), before);
        EXPECT_TRUE(sentByNextRender(static_cast<AUEventSampleTime>(kFrames)).empty());
    }
}

TEST_F(PresetState, UserPresetsSaveListChooseAndDelete) {
    const Values stored = patternValues(*unit, false);
    setAll(*unit, stored);
    sentByNextRender(0);
    const AUAudioUnitPreset mine{-1, "Mine"};
    unit->saveUserPreset(mine);
    EXPECT_TRUE(sentByNextRender(static_cast<AUEventSampleTime>(kFrames)).empty()) << "saving sends no MIDI";

    const auto file = presets() / "Mine.aupreset";
    ASSERT_TRUE(std::filesystem::exists(file));
    const std::string check =
        "/usr/bin/python3 -c \"import plistlib,sys; d=plistlib.load(open(sys.argv[1],'rb')); "
        "n=sum(d[k]['count'] for k in d if k.startswith('group ')); sys.exit(0 if n==165 else 1)\" '" +
        file.string() + "'";
    EXPECT_EQ(std::system(check.c_str()), 0) << "plistlib reads the file with all 165 parameters";

    const auto listed = unit->userPresets();
    EXPECT_NE(std::find(listed.begin(), listed.end(), mine), listed.end());

    setAll(*unit, patternValues(*unit, true));
    unit->setCurrentPreset(mine);
    EXPECT_EQ(treeValues(*unit), stored);
    EXPECT_EQ(unit->currentPreset(), mine);

    unit->deleteUserPreset(mine);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_FALSE(unit->currentPreset());
    EXPECT_THROW(unit->presetStateFor(mine), AudioUnitStatusError);
}

TEST_F(PresetState, FactoryPresetsAreFoundByListedNumberAndFile) {
    const Values stored = patternValues(*unit, false);
    setAll(*unit, stored);
    unit->saveUserPreset(std::string("Upper.AUPRESET"));
    std::filesystem::remove(presets() / "default.aupreset");
    std::filesystem::copy_file(presets() / "Upper.AUPRESET", presets() / "a.aupreset");
    writeText(presets() / "b.txt", "notes");

    // Name order regardless of case: "a.aupreset", "b.txt", "Upper.AUPRESET"; the text file leaves a gap.
    const std::vector<AUAudioUnitPreset> listed{{0, "a"}, {2, "Upper"}};
    ASSERT_EQ(unit->factoryPresets(), listed);

    setAll(*unit, patternValues(*unit, true));
    unit->setCurrentPreset(AUAudioUnitPreset{2, "Upper"});
    EXPECT_EQ(treeValues(*unit), stored) << "found by its number, read from the file as listed";
    EXPECT_EQ(unit->currentPreset(), (AUAudioUnitPreset{2, "Upper"}));

    setAll(*unit, patternValues(*unit, true));
    unit->setCurrentPreset(AUAudioUnitPreset{0, "a"});
    EXPECT_EQ(treeValues(*unit), stored);
    EXPECT_EQ(unit->currentPreset(), (AUAudioUnitPreset{0, "a"}));

    for (const std::int64_t number : {1, 3}) {
        const auto lines = logOf([&] { unit->setCurrentPreset(AUAudioUnitPreset{number, "a"}); });
        EXPECT_TRUE(logged(lines, "The preset number " + std::to_string(number) + " is invalid."));
        EXPECT_EQ(unit->currentPreset(), (AUAudioUnitPreset{0, "a"}));
    }
}

TEST_F(PresetState, UnreadableOrForeignPresetsChangeNothing) {
    std::filesystem::create_directories(presets());
    writeText(presets() / "Broken.aupreset", "<?xml version=\"1.0\"?><plist><dict><key>name</key>");
    writeText(presets() / "List.aupreset", "<?xml version=\"1.0\"?><plist version=\"1.0\"><array/></plist>");
    setAll(*unit, patternValues(*unit, true));
    auto foreign = unit->fullState();
    (*foreign)["subtype"] = foundation::PlistValue(std::int64_t{1});
    std::string error;
    ASSERT_TRUE(foundation::writePlistFile(presets() / "Foreign.aupreset", foundation::PlistValue(*foreign), error));

    const Values before = patternValues(*unit, false);
    setAll(*unit, before);
    unit->saveUserPreset(AUAudioUnitPreset{-1, "Mine"});
    unit->setCurrentPreset(AUAudioUnitPreset{-1, "Mine"});
    const auto current = unit->currentPreset();
    ASSERT_TRUE(current);

    for (const std::string name : {"Broken", "List", "Missing", "../Presets/Broken", "..", "a/b"}) {
        try {
            unit->presetStateFor({-1, name});
            ADD_FAILURE() << name << " gave a state";
        } catch (const AudioUnitStatusError& thrown) {
            EXPECT_EQ(thrown.status(), -66742) << name;
        }
        unit->setCurrentPreset(AUAudioUnitPreset{-1, name});
        EXPECT_EQ(unit->currentPreset(), current) << name;
    }
    unit->setCurrentPreset(AUAudioUnitPreset{-2, "Foreign"});
    EXPECT_EQ(unit->currentPreset(), current) << "a preset of another component does not become current";
    EXPECT_FALSE(unit->loadPresetFile(presets() / "Foreign.aupreset"));
    EXPECT_FALSE(unit->loadPresetFile(presets() / "Broken.aupreset"));
    EXPECT_TRUE(logged(logOf([&] { EXPECT_FALSE(unit->loadUserPreset("Missing.aupreset")); }),
                       "OrvoTunedeck_AudioUnit::loadUserPreset() : ERROR: The preset does not exist."));
    unit->loadFactoryPreset("Foreign.aupreset");
    EXPECT_EQ(treeValues(*unit), before);
}

TEST_F(PresetState, NamesNeverLeaveThePresetsFolder) {
    for (const std::string name : {"../escape", "..", ".", "a/b", "/tmp/escape", ""}) {
        EXPECT_THROW(unit->saveUserPreset(AUAudioUnitPreset{-1, name}), AudioUnitStatusError) << name;
        unit->saveUserPreset(name + ".aupreset");
        unit->savePresetFile(name);
    }
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "Documents" / "escape.aupreset"));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "Documents" / "escape"));
    EXPECT_FALSE(std::filesystem::exists(presets() / "a"));
    EXPECT_FALSE(std::filesystem::exists("/tmp/escape.aupreset"));
}

TEST_F(PresetState, TwoInstancesKeepTheirPresetsApart) {
    auto other = std::make_shared<OrvoTunedeck_AudioUnit>();
    const Values otherValues = treeValues(*other);

    setAll(*unit, patternValues(*unit, false));
    unit->saveUserPreset(AUAudioUnitPreset{-1, "Shared"});
    unit->setFullState(unit->fullState());
    unit->setCurrentPreset(AUAudioUnitPreset{-1, "Shared"});
    EXPECT_EQ(treeValues(*other), otherValues);

    const Values unitValues = treeValues(*unit);
    other->setCurrentPreset(AUAudioUnitPreset{-1, "Shared"});
    other->setFullState(other->fullState());
    setAll(*other, patternValues(*other, true));
    EXPECT_EQ(treeValues(*unit), unitValues);
    other.reset();
    dispatch::MainQueue::shared().drain();
}

}  // namespace
}  // namespace unit_test
