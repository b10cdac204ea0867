#include "platform/foundation/UserDefaults.h"

#include <gtest/gtest.h>

#include "platform/foundation/Files.h"
#include "tests/support/TestFolder.h"

namespace {

using namespace foundation;

TEST(UserDefaults, ValuesPersistInTheDomainFileAndAbsentKeysGiveZeroValues) {
    testsupport::TestFolder folder;
    UserDefaults writer("org.orvo.tunedeck", folder.path() / "config");
    EXPECT_EQ(writer.integer("never"), 0);
    EXPECT_EQ(writer.real("never"), 0.0);
    EXPECT_FALSE(writer.boolean("never"));
    EXPECT_EQ(writer.string("never"), std::nullopt);
    EXPECT_EQ(writer.object("never"), std::nullopt);

    ASSERT_TRUE(writer.set("row", 3));
    ASSERT_TRUE(writer.set("name", "Tunedeck"));
    ASSERT_TRUE(writer.set("rect", PlistDictionary{{"top", 20.0}}));
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "config" / "org.orvo.tunedeck.plist"));

    UserDefaults reader("org.orvo.tunedeck", folder.path() / "config");
    EXPECT_EQ(reader.integer("row"), 3);
    EXPECT_EQ(reader.string("name"), "Tunedeck");
    EXPECT_EQ(reader.object("rect"), PlistValue(PlistDictionary{{"top", 20.0}}));

    ASSERT_TRUE(reader.remove("row"));
    EXPECT_EQ(writer.integer("row"), 0);
}

TEST(UserDefaults, SuitesAreSearchedAfterTheOwnDomainAndWritesStayInIt) {
    testsupport::TestFolder folder;
    UserDefaults shared("group.org.orvo.tunedeck", folder.path());
    UserDefaults standard("org.orvo.tunedeck", folder.path());
    standard.addSuite("group.org.orvo.tunedeck");
    ASSERT_TRUE(shared.set("greeting", "from the group"));
    ASSERT_TRUE(shared.set("both", "group"));
    ASSERT_TRUE(standard.set("both", "own"));

    EXPECT_EQ(standard.string("greeting"), "from the group");
    EXPECT_EQ(standard.string("both"), "own");
    EXPECT_EQ(shared.string("both"), "group");
    EXPECT_EQ(standard.dictionaryRepresentation(),
              (PlistDictionary{{"both", "own"}, {"greeting", "from the group"}}));
}

TEST(UserDefaults, TypedReadsConvertBetweenTypes) {
    testsupport::TestFolder folder;
    UserDefaults store("domain", folder.path());
    const struct {
        PlistValue value;
        std::int64_t integer;
        double real;
        bool boolean;
    } cases[] = {
        {PlistValue(7), 7, 7.0, true},           {PlistValue(-2.75), -2, -2.75, true},
        {PlistValue(true), 1, 1.0, true},        {PlistValue(false), 0, 0.0, false},
        {PlistValue("12"), 12, 12.0, true},      {PlistValue("1.5"), 0, 1.5, true},
        {PlistValue("YES"), 0, 0.0, true},       {PlistValue("true"), 0, 0.0, true},
        {PlistValue("no"), 0, 0.0, false},       {PlistValue(PlistArray{1}), 0, 0.0, false},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(store.set("key", c.value));
        EXPECT_EQ(store.integer("key"), c.integer);
        EXPECT_EQ(store.real("key"), c.real);
        EXPECT_EQ(store.boolean("key"), c.boolean);
    }
}

TEST(UserDefaults, AnUnreadableFileIsNeitherOverwrittenNorRead) {
    testsupport::TestFolder folder;
    const std::string garbage = "this is not a property list";
    std::string error;
    ASSERT_TRUE(writeFileAtomically(folder.path() / "domain.plist",
                                    std::vector<std::uint8_t>(garbage.begin(), garbage.end()), error));
    UserDefaults store("domain", folder.path());
    EXPECT_EQ(store.integer("key"), 0);
    EXPECT_FALSE(store.set("key", 1, &error));
    EXPECT_FALSE(error.empty());
    const auto kept = readFile(folder.path() / "domain.plist", error);
    EXPECT_EQ(std::string(kept->begin(), kept->end()), garbage);
}

}  // namespace
