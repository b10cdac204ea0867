#include "platform/foundation/UserDefaults.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

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
    const auto kept = readFile(folder.path() / "domain.plist", kPropertyListFileByteLimit, error);
    EXPECT_EQ(std::string(kept->begin(), kept->end()), garbage);
}

TEST(UserDefaults, TwoProcessesWritingOneDomainAtOnceKeepEveryKey) {
    testsupport::TestFolder folder;
    constexpr int kKeysPerProcess = 100;
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    pid_t writers[2];
    for (int w = 0; w < 2; ++w) {
        writers[w] = ::fork();
        ASSERT_GE(writers[w], 0);
        if (writers[w] == 0) {
            ::close(start[1]);
            char go;
            const bool started = ::read(start[0], &go, 1) == 0;
            UserDefaults store("shared.domain", folder.path());
            int failures = started ? 0 : 1;
            for (int k = 0; k < kKeysPerProcess; ++k) {
                failures += store.set("writer" + std::to_string(w) + "-key" + std::to_string(k), k) ? 0 : 1;
            }
            ::_exit(failures == 0 ? 0 : 1);
        }
    }
    ::close(start[0]);
    ::close(start[1]);  // both writers begin when the pipe closes
    for (const pid_t writer : writers) {
        int status = 0;
        ASSERT_EQ(::waitpid(writer, &status, 0), writer);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    const PlistDictionary kept = UserDefaults("shared.domain", folder.path()).dictionaryRepresentation();
    EXPECT_EQ(kept.size(), 2u * kKeysPerProcess);
    for (int w = 0; w < 2; ++w) {
        for (int k = 0; k < kKeysPerProcess; ++k) {
            const auto it = kept.find("writer" + std::to_string(w) + "-key" + std::to_string(k));
            ASSERT_NE(it, kept.end());
            EXPECT_EQ(it->second, PlistValue(k));
        }
    }
}

}  // namespace
