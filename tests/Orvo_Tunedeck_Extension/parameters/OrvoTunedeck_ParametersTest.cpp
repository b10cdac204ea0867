#include "Orvo_Tunedeck_Extension/parameters/OrvoTunedeck_Parameters.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// The tree as the instrument documents it, written out independently of the code that builds it.
struct ExpectedParameter {
    std::string group;
    AUParameterAddress address;
    std::string key;
    std::string name;
    AudioUnitParameterUnit unit;
    AUValue minValue;
    AUValue maxValue;
    AUValue startValue;
};

struct ExpectedGroup {
    std::string identifier;
    std::string name;
};

const std::vector<ExpectedGroup> kExpectedGroups = {
    {"kTunedeckGlobal", "Orvo Tunedeck Global"},
    {"kTunedeckMutes", "Orvo Tunedeck Mutes"},
    {"kTunedeckLevels", "Orvo Tunedeck Levels"},
    {"kTunedeckPans", "Orvo Tunedeck Pans"},
    {"kTunedeckBanksMSB", "Orvo Tunedeck Banks MSB"},
    {"kTunedeckBanksLSB", "Orvo Tunedeck Banks LSB"},
    {"kTunedeckPrograms", "Orvo Tunedeck Programs"},
    {"kTunedeckPitchbends", "Orvo Tunedeck PitchBends"},
    {"kTunedeckModWheels", "Orvo Tunedeck ModWheels"},
    {"kTunedeckControlers1", "Orvo Tunedeck Controlers1"},
    {"kTunedeckControlers2", "Orvo Tunedeck Controlers2"},
};

std::vector<ExpectedParameter> expectedParameters() {
    constexpr auto generic = kAudioUnitParameterUnit_Generic;
    constexpr auto boolean = kAudioUnitParameterUnit_Boolean;
    constexpr auto controller = kAudioUnitParameterUnit_MIDIController;
    std::vector<ExpectedParameter> rows = {
        {"kTunedeckGlobal", 1001, "kTunedeckVolume", "Main Volume", generic, 0, 1, 0.78f},
        {"kTunedeckGlobal", 1002, "kTunedeckTranspose", "Main Transpose", generic, 0, 1, 0.5f},
        {"kTunedeckGlobal", 1003, "kTunedeckBank", "GM Mode", kAudioUnitParameterUnit_CustomUnit, 0, 127, 0},
        {"kTunedeckGlobal", 1004, "kTunedeckSound", "Internal Sound", boolean, 0, 1, 1},
        {"kTunedeckGlobal", 1005, "kTunedeckMIDIOut", "MIDI Output", boolean, 0, 1, 1},
    };
    struct PerChannel {
        const char* group;
        AUParameterAddress base;
        const char* key;
        const char* suffix;
        AudioUnitParameterUnit unit;
        AUValue maxValue;
        AUValue startValue;
    };
    const PerChannel perChannel[] = {
        {"kTunedeckMutes", 1016, "kTunedeckMute", " Mute", boolean, 1, 0},
        {"kTunedeckLevels", 1032, "kTunedeckLevel", " Level", generic, 1, 0.78f},
        {"kTunedeckPans", 1048, "kTunedeckPan", " Pan", generic, 1, 0.5f},
        {"kTunedeckBanksMSB", 1064, "kTunedeckBankMSB", " Bank MSB", controller, 127, 0},
        {"kTunedeckBanksLSB", 1080, "kTunedeckBankLSB", " Bank LSB", controller, 127, 0},
        {"kTunedeckPrograms", 1096, "kTunedeckBankProgram", " Program", controller, 127, 0},
        {"kTunedeckPitchbends", 1112, "kTunedeckPitchBend", " PitchBend", generic, 1, 0.5f},
        {"kTunedeckModWheels", 1128, "kTunedeckModWheel", " ModWheel", generic, 1, 0},
        {"kTunedeckControlers1", 1144, "kTunedeckController1_", " Controller1", generic, 1, 0.5f},
        {"kTunedeckControlers2", 1160, "kTunedeckController2_", " Controller2", generic, 1, 0.5f},
    };
    for (const PerChannel& g : perChannel)
        for (int ch = 0; ch < 16; ++ch)
            rows.push_back({g.group, g.base + ch, g.key + std::to_string(ch),
                            "Channel " + std::to_string(ch + 1) + g.suffix, g.unit, 0, g.maxValue, g.startValue});
    return rows;
}

class TunedeckParameters : public testing::Test {
protected:
    std::shared_ptr<OrvoTunedeckDSPKernelAdapter> adapter = std::make_shared<OrvoTunedeckDSPKernelAdapter>();
    OrvoTunedeck_Parameters parameters{adapter};
    AUParameterTree& tree = *parameters.parameterTree;
};

TEST_F(TunedeckParameters, ElevenGroupsInBuildOrder) {
    ASSERT_EQ(parameters.groups.size(), kExpectedGroups.size());
    ASSERT_EQ(tree.children().size(), kExpectedGroups.size());
    for (std::size_t i = 0; i < kExpectedGroups.size(); ++i) {
        SCOPED_TRACE(kExpectedGroups[i].identifier);
        EXPECT_EQ(parameters.groups[i]->identifier(), kExpectedGroups[i].identifier);
        EXPECT_EQ(parameters.groups[i]->displayName(), kExpectedGroups[i].name);
        EXPECT_EQ(tree.children()[i], parameters.groups[i]);
        EXPECT_EQ(parameters.groups[i]->children().size(), i == 0 ? 5u : 16u);
    }
}

TEST_F(TunedeckParameters, EveryParameterMatchesTheDocumentedTable) {
    const std::vector<ExpectedParameter> expected = expectedParameters();
    const auto all = tree.allParameters();
    ASSERT_EQ(all.size(), 165u);
    ASSERT_EQ(expected.size(), 165u);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const ExpectedParameter& row = expected[i];
        SCOPED_TRACE(row.key);
        EXPECT_EQ(all[i]->address(), row.address) << "tree order";

        const auto parameter = tree.parameterWithAddress(row.address);
        ASSERT_NE(parameter, nullptr);
        EXPECT_EQ(parameter->identifier(), row.key);
        EXPECT_EQ(parameter->displayName(), row.name);
        EXPECT_EQ(parameter->keyPath(), row.group + "." + row.key);
        EXPECT_EQ(parameter->unit(), row.unit);
        EXPECT_EQ(parameter->minValue(), row.minValue);
        EXPECT_EQ(parameter->maxValue(), row.maxValue);
        EXPECT_EQ(parameter->value(), row.startValue);
        EXPECT_EQ(adapter->getParameterEx(static_cast<std::int32_t>(row.address)), row.startValue);
        EXPECT_EQ(parameter->flags(), kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_IsWritable);
        EXPECT_FALSE(parameter->unitName().has_value());
        EXPECT_TRUE(parameter->valueStrings().empty());
        EXPECT_TRUE(parameter->dependentParameters().empty());
    }
}

TEST_F(TunedeckParameters, DocumentedSpellingsOfLastAndFirstChannels) {
    const auto program16 = tree.parameterWithAddress(1111);
    ASSERT_NE(program16, nullptr);
    EXPECT_EQ(program16->identifier(), "kTunedeckBankProgram15");
    EXPECT_EQ(program16->displayName(), "Channel 16 Program");
    const auto controller2Channel1 = tree.parameterWithAddress(1160);
    ASSERT_NE(controller2Channel1, nullptr);
    EXPECT_EQ(controller2Channel1->identifier(), "kTunedeckController2_0");
}

TEST_F(TunedeckParameters, AddressesOutsideTheTreeAreAbsent) {
    std::vector<AUParameterAddress> absent = {0, 1000, 1183, 1189, 2001};
    for (AUParameterAddress address = 1006; address <= 1015; ++address) absent.push_back(address);
    for (AUParameterAddress address = 1176; address <= 1192; ++address) absent.push_back(address);
    for (const AUParameterAddress address : absent)
        EXPECT_EQ(tree.parameterWithAddress(address), nullptr) << address;
}

TEST_F(TunedeckParameters, ValuesLiveInTheAdapterStore) {
    const auto volume = tree.parameterWithAddress(1001);
    volume->setValue(0.25f);
    EXPECT_EQ(adapter->getParameterEx(1001), 0.25f);

    adapter->setParameterEx(1175, 0.125f);
    EXPECT_EQ(tree.parameterWithAddress(1175)->value(), 0.125f);

    // Writes are not clamped: the view writes transposition in semitones.
    const auto transpose = tree.parameterWithAddress(1002);
    transpose->setValue(-12.0f);
    EXPECT_EQ(transpose->value(), -12.0f);
    EXPECT_EQ(adapter->getParameterEx(1002), -12.0f);
}

TEST_F(TunedeckParameters, ObserversSeeEveryWrite) {
    std::vector<std::pair<AUParameterAddress, AUValue>> seen;
    tree.tokenByAddingParameterObserver([&seen](AUParameterAddress address, AUValue value) {
        seen.emplace_back(address, value);
    });
    tree.parameterWithAddress(1048)->setValue(0.25f);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], (std::pair<AUParameterAddress, AUValue>{1048, 0.25f}));
}

TEST_F(TunedeckParameters, DisplayTextOfValues) {
    EXPECT_EQ(tree.parameterWithAddress(1001)->stringFromValue(), "0.78");
    EXPECT_EQ(tree.parameterWithAddress(1001)->stringFromValue(0.5f), "0.50");
    EXPECT_EQ(tree.parameterWithAddress(1096)->stringFromValue(42.0f), "42");
    EXPECT_EQ(tree.parameterWithAddress(1004)->stringFromValue(), "1");
    adapter->setParameterEx(1064, 3.0f);
    EXPECT_EQ(tree.parameterWithAddress(1064)->stringFromValue(), "3");
}

TEST(TunedeckParametersLifetime, TreeKeepsTheAdapterItReadsFrom) {
    std::shared_ptr<AUParameterTree> tree;
    {
        auto adapter = std::make_shared<OrvoTunedeckDSPKernelAdapter>();
        OrvoTunedeck_Parameters parameters(adapter);
        tree = parameters.parameterTree;
    }
    tree->parameterWithAddress(1032)->setValue(0.5f);
    EXPECT_EQ(tree->parameterWithAddress(1032)->value(), 0.5f);
}

}  // namespace
