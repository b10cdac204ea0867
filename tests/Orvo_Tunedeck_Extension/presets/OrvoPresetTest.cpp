#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Orvo_Tunedeck_Extension/presets/OrvoPreset.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "tests/Orvo_Tunedeck_Extension/presets/PresetTrees.h"
#include "tests/Orvo_Tunedeck_Extension/presets/RecordingPresetDelegate.h"

namespace {

using foundation::PlistDictionary;
using foundation::PlistValue;
using presettest::kUnit;
using Report = RecordingPresetDelegate::Report;

PlistDictionary paramDictionary(std::int64_t address, const char* identifier, double value) {
    return {{"address", address}, {"identifier", identifier}, {"value", value}};
}

TEST(PresetDocument, NewDocumentWritesTheDefaults) {
    OrvoPreset preset;
    const PlistDictionary expected{
        {"version", 1},
        {"type", 0},
        {"subtype", 0},
        {"manufacturer", 1264009804},
        {"number", 0},
        {"name", "Preset"},
        {"data", foundation::PlistData{}},
        {"count", 0},
        {"link", ""},
    };
    EXPECT_EQ(preset.patch->toDictionary(), expected);
    EXPECT_EQ(preset.patch->parent, &preset);
    EXPECT_FALSE(preset.matches(kUnit));
}

TEST(PresetDocument, GroupWritesItsParametersByAddressAndKeepsThatOrder) {
    PresetGroup group;
    group.identifier = "kTunedeckGlobal";
    for (const std::uint64_t address : {1003u, 1001u, 1002u}) {
        auto param = std::make_shared<PresetParam>();
        param->address = address;
        param->identifier = "k" + std::to_string(address);
        param->value = 0.5f;
        group.params.push_back(param);
    }
    const PlistDictionary expected{
        {"identifier", "kTunedeckGlobal"},
        {"count", 3},
        {"param 0", paramDictionary(1001, "k1001", 0.5)},
        {"param 1", paramDictionary(1002, "k1002", 0.5)},
        {"param 2", paramDictionary(1003, "k1003", 0.5)},
    };
    EXPECT_EQ(group.toDictionary(), expected);
    ASSERT_EQ(group.params.size(), 3u);
    EXPECT_EQ(group.params[0]->address, 1001u);
    EXPECT_EQ(group.params[1]->address, 1002u);
    EXPECT_EQ(group.params[2]->address, 1003u);
}

TEST(PresetDocument, MakeFromRecordsEveryGroupWithItsOwnParametersNestedAfterTheParent) {
    const auto tree = presettest::smallTree();
    OrvoPreset preset;
    preset.setup(kUnit, 1, "Orvo Tunedeck Preset");
    preset.makeFrom(tree.get());

    auto dictionary = preset.patch->toDictionary();
    const PlistDictionary expected{
        {"version", 1},
        {"type", 0x61756D75},
        {"subtype", 0x7142766E},
        {"manufacturer", 0x4B57424C},
        {"number", 0},
        {"name", "Orvo Tunedeck Preset"},
        {"data", foundation::PlistData{}},
        {"count", 3},
        {"group 0", PlistDictionary{{"identifier", "kTunedeckGlobal"},
                                    {"count", 2},
                                    {"param 0", paramDictionary(1001, "kTunedeckVolume", 0.75)},
                                    {"param 1", paramDictionary(1002, "kTunedeckTranspose", 0.5)}}},
        {"group 1", PlistDictionary{{"identifier", "kTunedeckMutes"},
                                    {"count", 2},
                                    {"param 0", paramDictionary(1016, "kTunedeckMute0", 0.0)},
                                    {"param 1", paramDictionary(1017, "kTunedeckMute1", 1.0)}}},
        {"group 2",
         PlistDictionary{
             {"identifier", "kNested 7"}, {"count", 1}, {"param 0", paramDictionary(1048, "kTunedeckPan0", 127.0)}}},
        {"link", ""},
    };
    EXPECT_EQ(dictionary, expected);
    EXPECT_TRUE(preset.matches(kUnit));
}

TEST(PresetDocument, MakeFromWithoutGroupLogsAndAddsNothing) {
    foundation::LogCapture capture;
    OrvoPreset preset;
    preset.makeFrom(nullptr);
    dispatch::MainQueue::shared().drain();
    EXPECT_TRUE(preset.patch->groups.empty());
    EXPECT_EQ(capture.lines(),
              std::vector<std::string>{"OrvoPreset::makeFrom() : The parameter group has no children."});
}

TEST(PresetDocument, EveryValueSurvivesTheDictionary) {
    const auto tree = presettest::smallTree();
    OrvoPreset written;
    written.setup({0x61756D75, 0x7142766E, 0x4B57424C, 7, 9}, 3, "Grüße / Straße");
    written.makeFrom(tree.get());
    written.patch->number = -5;
    written.patch->data = {0x00, 0xFF, 0x80, 0x7F};
    written.patch->link = "https://example.invalid/preset";
    written.patch->groups[0]->params[0]->value = 0.1f;
    written.patch->groups[0]->params[1]->value = -12.0f;
    const auto dictionary = written.patch->toDictionary();

    OrvoPreset read;
    read.patch->fromDictionary(dictionary);
    EXPECT_EQ(read.patch->toDictionary(), dictionary);
    EXPECT_EQ(read.patch->version, 3);
    EXPECT_EQ(read.patch->number, -5);
    EXPECT_EQ(read.patch->name, "Grüße / Straße");
    EXPECT_EQ(read.patch->data, (std::vector<std::uint8_t>{0x00, 0xFF, 0x80, 0x7F}));
    EXPECT_EQ(read.patch->groups[0]->params[0]->value, 0.1f);
    EXPECT_EQ(read.componentDescription.componentType, 0x61756D75u);
    EXPECT_EQ(read.componentDescription.componentSubType, 0x7142766Eu);
    EXPECT_EQ(read.componentDescription.componentManufacturer, 0x4B57424Cu);
    EXPECT_TRUE(read.matches(kUnit));
}

TEST(PresetDocument, ReadingTakesEveryKeyContainingGroupOrParamInPositionOrder) {
    PlistDictionary dictionary;
    // Eleven groups make "group 10" sort before "group 2" as a key; position order must win.
    for (int position = 0; position < 11; ++position) {
        dictionary.emplace("group " + std::to_string(position),
                           PlistDictionary{{"identifier", "g" + std::to_string(position)}, {"count", 99}});
    }
    dictionary.emplace("groups", PlistDictionary{{"identifier", "plural"}});
    dictionary.emplace("mygroup", PlistDictionary{{"identifier", "mine"},
                                                  {"param 1", paramDictionary(1003, "c", 0.3)},
                                                  {"params", paramDictionary(1001, "a", 0.1)},
                                                  {"myparam", paramDictionary(1002, "b", 0.2)},
                                                  {"param 2", PlistValue("not a dictionary")}});
    dictionary.emplace("group 11", PlistValue(5));
    dictionary.emplace("count", 40);

    OrvoPreset preset;
    preset.patch->fromDictionary(dictionary);
    const auto& groups = preset.patch->groups;
    ASSERT_EQ(groups.size(), 13u);
    for (int position = 0; position < 11; ++position) {
        EXPECT_EQ(groups[position]->identifier, "g" + std::to_string(position));
    }
    EXPECT_EQ(groups[11]->identifier, "plural");
    EXPECT_EQ(groups[12]->identifier, "mine");
    const auto& params = groups[12]->params;
    ASSERT_EQ(params.size(), 3u);
    EXPECT_EQ(params[0]->identifier, "a");
    EXPECT_EQ(params[1]->identifier, "b");
    EXPECT_EQ(params[2]->identifier, "c");
    EXPECT_EQ(groups[0]->count, 0);
}

TEST(PresetDocument, GroupIdIsTheNumberAfterTheLastBlank) {
    const struct {
        const char* identifier;
        std::int64_t id;
    } cases[] = {
        {"kTunedeckGlobal", 0},
        {"Channel 12", 12},
        {"a b 3", 3},
        {"7", 7},
        {"Group 4x", 0},
        {"Group -2", -2},
        {"Group ", 0},
        {"", 0},
        {"Group 99999999999999999999", 0},
    };
    for (const auto& c : cases) {
        PresetGroup group;
        group.fromDictionary({{"identifier", c.identifier}});
        EXPECT_EQ(group.id, c.id) << c.identifier;
    }
}

TEST(PresetDocument, ValuesOfAnotherTypeAreSkipped) {
    const PlistDictionary patch{
        {"version", "two"},
        {"type", -1},
        {"manufacturer", 0x1'0000'0000},
        {"subtype", 2.5},
        {"number", PlistDictionary{}},
        {"name", 12},
        {"link", foundation::PlistData{1}},
        {"data", "bytes"},
        {"group 0",
         PlistDictionary{{"identifier", 4},
                         {"param 0", PlistDictionary{{"address", "1001"}, {"identifier", 1}, {"value", "x"}}},
                         {"param 1", PlistDictionary{{"address", -1016}, {"value", true}}},
                         {"param 2", PlistDictionary{{"address", std::nan("")}}},
                         {"param 3", PlistDictionary{{"address", 1e30}}},
                         {"param 4", PlistDictionary{{"address", 1017.9}, {"value", 3}}}}},
    };
    OrvoPreset preset;
    preset.patch->fromDictionary(patch);
    EXPECT_EQ(preset.patch->version, 1);
    EXPECT_EQ(preset.patch->type, 0u);
    EXPECT_EQ(preset.patch->manufacturer, 0x4B57424Cu);
    EXPECT_EQ(preset.patch->subtype, 2u);
    EXPECT_EQ(preset.patch->number, 0);
    EXPECT_EQ(preset.patch->name, "Preset");
    EXPECT_EQ(preset.patch->link, "");
    EXPECT_TRUE(preset.patch->data.empty());
    EXPECT_EQ(preset.componentDescription.componentManufacturer, 0u);
    ASSERT_EQ(preset.patch->groups.size(), 1u);
    const auto& group = *preset.patch->groups[0];
    EXPECT_EQ(group.identifier, "group");
    ASSERT_EQ(group.params.size(), 5u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(group.params[i]->address, 0u);
        EXPECT_EQ(group.params[i]->identifier, "parameter");
        EXPECT_EQ(group.params[i]->value, 0.0f);
    }
    EXPECT_EQ(group.params[4]->address, 1017u);
    EXPECT_EQ(group.params[4]->value, 3.0f);
}

TEST(PresetDocument, ApplyingReportsEachParameterOnceWithGroupZero) {
    OrvoPreset source;
    source.setup(kUnit, 1, "Orvo Tunedeck Preset");
    const auto tree = presettest::smallTree();
    source.makeFrom(tree.get());
    const auto dictionary = source.patch->toDictionary();

    OrvoPreset preset;
    preset.patch->fromDictionary(dictionary);
    RecordingPresetDelegate delegate;
    EXPECT_TRUE(preset.applyTo(delegate, kUnit));
    const std::vector<Report> expected{
        {0, "kTunedeckVolume", 1001, 0.75f}, {0, "kTunedeckTranspose", 1002, 0.5f}, {0, "kTunedeckMute0", 1016, 0.0f},
        {0, "kTunedeckMute1", 1017, 1.0f},   {0, "kTunedeckPan0", 1048, 127.0f},
    };
    EXPECT_EQ(delegate.reports, expected);
}

TEST(PresetDocument, ADocumentOfAnotherComponentAppliesNothing) {
    const struct {
        const char* field;
        AudioComponentDescription stored;
        bool applies;
    } cases[] = {
        {"same", kUnit, true},
        {"flags differ", {kUnit.componentType, kUnit.componentSubType, kUnit.componentManufacturer, 1, 1}, true},
        {"type", {0x61756678, kUnit.componentSubType, kUnit.componentManufacturer, 0, 0}, false},
        {"subtype", {kUnit.componentType, 0x6D73796E, kUnit.componentManufacturer, 0, 0}, false},
        {"manufacturer", {kUnit.componentType, kUnit.componentSubType, 0x6170706C, 0, 0}, false},
    };
    for (const auto& c : cases) {
        OrvoPreset source;
        source.setup(c.stored, 1, "Orvo Tunedeck Preset");
        const auto tree = presettest::smallTree();
        source.makeFrom(tree.get());
        OrvoPreset preset;
        preset.patch->fromDictionary(source.patch->toDictionary());
        RecordingPresetDelegate delegate;
        EXPECT_EQ(preset.applyTo(delegate, kUnit), c.applies) << c.field;
        EXPECT_EQ(delegate.reports.size(), c.applies ? 5u : 0u) << c.field;
    }
}

TEST(PresetDocument, AnEmptyDictionaryMatchesNoUnitAndAppliesNothing) {
    OrvoPreset preset;
    preset.patch->fromDictionary({});
    RecordingPresetDelegate delegate;
    EXPECT_FALSE(preset.applyTo(delegate, kUnit));
    EXPECT_TRUE(delegate.reports.empty());
}

TEST(PresetDocument, TwoUnitsEachReceiveOnlyTheDocumentTheyApply) {
    OrvoPreset first;
    first.patch->fromDictionary(
        {{"type", kUnit.componentType},
         {"subtype", kUnit.componentSubType},
         {"manufacturer", kUnit.componentManufacturer},
         {"group 0", PlistDictionary{{"param 0", paramDictionary(1001, "kTunedeckVolume", 0.25)}}}});
    OrvoPreset second;
    second.patch->fromDictionary(
        {{"type", kUnit.componentType},
         {"subtype", kUnit.componentSubType},
         {"manufacturer", kUnit.componentManufacturer},
         {"group 0", PlistDictionary{{"param 0", paramDictionary(1001, "kTunedeckVolume", 1.0)}}}});
    RecordingPresetDelegate unitA;
    RecordingPresetDelegate unitB;
    first.applyTo(unitA, kUnit);
    second.applyTo(unitB, kUnit);
    EXPECT_EQ(unitA.reports, (std::vector<Report>{{0, "kTunedeckVolume", 1001, 0.25f}}));
    EXPECT_EQ(unitB.reports, (std::vector<Report>{{0, "kTunedeckVolume", 1001, 1.0f}}));
}

TEST(PresetDocument, PatchOutlivingItsDocumentForgetsIt) {
    std::shared_ptr<PresetPatch> patch;
    {
        OrvoPreset preset;
        patch = preset.patch;
    }
    EXPECT_EQ(patch->parent, nullptr);
    patch->fromDictionary({{"type", 1}});
    EXPECT_EQ(patch->type, 1u);
}

}  // namespace
