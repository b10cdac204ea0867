#include "Orvo_Tunedeck/settings/PersistentAppData.h"

#include <gtest/gtest.h>

#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestFolder.h"

namespace {

using Storage = PersistentAppData::Storage;

constexpr Storage kAllStores[] = {Storage::defaults, Storage::shared, Storage::combined};

TEST(PersistentAppData, TypedValuesRoundTripThroughAFreshInstance) {
    testsupport::TestFolder folder;
    {
        PersistentAppData store("org.orvo.test", folder.path());
        store.setString("name", "Orvo", Storage::defaults);
        store.setInt("count", -42, Storage::shared);
        store.setFloat("gain", 0.79f, Storage::combined);
        store.setBool("on", true, Storage::defaults);
        store.setURL("file", std::string("file:///tmp/song.mid"), Storage::shared);
        store.setObject("list", foundation::PlistValue(foundation::PlistArray{1, "two"}), Storage::defaults);
    }
    PersistentAppData store("org.orvo.test", folder.path());
    EXPECT_EQ(store.getString("name", Storage::defaults), "Orvo");
    EXPECT_EQ(store.getInt("count", Storage::shared), -42);
    EXPECT_EQ(store.getFloat("gain", Storage::defaults), 0.79f);
    EXPECT_TRUE(store.getBool("on", Storage::combined));
    EXPECT_EQ(store.getURL("file", Storage::shared), "file:///tmp/song.mid");
    EXPECT_EQ(store.getObject("list", Storage::defaults), foundation::PlistValue(foundation::PlistArray{1, "two"}));

    store.setURL("file", std::nullopt, Storage::shared);
    store.setObject("list", std::nullopt, Storage::defaults);
    EXPECT_FALSE(store.getURL("file", Storage::shared));
    EXPECT_FALSE(store.getObject("list", Storage::defaults));
}

TEST(PersistentAppData, AbsentKeysGiveNoneZeroOrFalseInEveryStore) {
    testsupport::TestFolder folder;
    PersistentAppData store("org.orvo.test", folder.path());
    for (const Storage storage : kAllStores) {
        EXPECT_EQ(store.getInt("never", storage), 0);
        EXPECT_EQ(store.getFloat("never", storage), 0.0f);
        EXPECT_FALSE(store.getBool("never", storage));
        EXPECT_FALSE(store.getString("never", storage));
        EXPECT_FALSE(store.getURL("never", storage));
        EXPECT_FALSE(store.getObject("never", storage));
    }
}

TEST(PersistentAppData, GroupValuesShowThroughTheApplicationStoreUntilItHasItsOwn) {
    testsupport::TestFolder folder;
    PersistentAppData store("org.orvo.test", folder.path());
    store.setString("theme", "dark", Storage::shared);
    EXPECT_EQ(store.getString("theme", Storage::combined), "dark");
    EXPECT_EQ(store.getString("theme", Storage::defaults), "dark");

    store.setString("theme", "light", Storage::combined);
    EXPECT_EQ(store.getString("theme", Storage::defaults), "light");
    EXPECT_EQ(store.getString("theme", Storage::shared), "dark");
}

TEST(PersistentAppData, StorageRawValues) {
    EXPECT_EQ(PersistentAppData::storageFromRawValue(0), Storage::defaults);
    EXPECT_EQ(PersistentAppData::storageFromRawValue(2), Storage::combined);
    EXPECT_FALSE(PersistentAppData::storageFromRawValue(3));
    EXPECT_FALSE(PersistentAppData::storageFromRawValue(-1));
}

struct RectCase {
    const char* name;
    std::optional<foundation::PlistValue> stored;
    std::optional<AppRect> expected;
};

class RectFromDefaults : public testing::TestWithParam<RectCase> {};

TEST_P(RectFromDefaults, ReadsTheSharedStoresDefaults) {
    testsupport::TestFolder folder;
    testsupport::ScopedEnvironment environment;
    environment.set("XDG_CONFIG_HOME", folder.path().string());
    const std::string key = std::string("rect.") + GetParam().name;
    PersistentAppData::sharedStore().setObject(key, GetParam().stored, Storage::defaults);
    const std::optional<AppRect> rect = PersistentAppData::rectFromDefaults(key);
    ASSERT_EQ(rect.has_value(), GetParam().expected.has_value());
    if (rect) {
        EXPECT_EQ(rect->x, GetParam().expected->x);
        EXPECT_EQ(rect->y, GetParam().expected->y);
        EXPECT_EQ(rect->width, GetParam().expected->width);
        EXPECT_EQ(rect->height, GetParam().expected->height);
    }
    PersistentAppData::sharedStore().setObject(key, std::nullopt, Storage::defaults);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RectFromDefaults,
    testing::Values(
        RectCase{"RoundTrip", PersistentAppData::rectDictionary({12.5, -3.25, 640.1, 480}),
                 AppRect{12.5, -3.25, static_cast<double>(640.1f), 480}},
        RectCase{"NegativeWidthStartsAtTheMinimum", PersistentAppData::rectDictionary({100, 0, -40, 10}),
                 AppRect{60, 0, 40, 10}},
        RectCase{"OnlyTop", foundation::PlistValue(foundation::PlistDictionary{{"top", 20.0}}),
                 AppRect{0, 20, 100, 100}},
        RectCase{"OtherEntriesIgnored",
                 foundation::PlistValue(foundation::PlistDictionary{{"left", 5}, {"depth", 9.0}}),
                 AppRect{5, 0, 100, 100}},
        RectCase{"AString", foundation::PlistValue("not a rectangle"), std::nullopt},
        RectCase{"ADictionaryOfStrings", foundation::PlistValue(foundation::PlistDictionary{{"top", "20"}}),
                 std::nullopt},
        RectCase{"Absent", std::nullopt, std::nullopt}),
    [](const testing::TestParamInfo<RectCase>& info) { return std::string(info.param.name); });

TEST(PersistentAppData, DumpoutPrintsTheThreeStoresAtOnce) {
    testsupport::TestFolder folder;
    PersistentAppData store("org.orvo.test", folder.path());
    store.setInt("count", 3, Storage::defaults);
    store.setString("theme", "dark", Storage::shared);
    testing::internal::CaptureStdout();
    store.dumpout();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "PersistentAppData::dumpout() : UserDefaults.standard : \n"
              "count : 3\n"
              "theme : dark\n"
              "PersistentAppData::dumpout() : UserDefaults.shared : \n"
              "theme : dark\n"
              "PersistentAppData::dumpout() : UserDefaults.combined : \n"
              "count : 3\n"
              "theme : dark\n");
}

}  // namespace
