#include "shared/globals/Paths.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "shared/globals/Capitals.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestFolder.h"

namespace {

std::vector<std::string> drainedLines(const foundation::LogCapture& capture) {
    dispatch::MainQueue::shared().drain();
    return capture.lines();
}

TEST(GetPaths, SetsBothFoldersAndLogsThem) {
    testsupport::TestFolder folder;
    testsupport::ScopedEnvironment environment;
    environment.set("TUNEDECK_DOCUMENTS", (folder.path() / "documents").string());
    environment.set("TUNEDECK_RESOURCES", folder.path().string());
    foundation::LogCapture capture;
    getPaths();
    EXPECT_EQ(documentsURL, folder.path() / "documents");
    EXPECT_EQ(resourcesURL, folder.path());
    EXPECT_EQ(drainedLines(capture),
              (std::vector<std::string>{
                  "AudioUnitViewController::getPaths() : Audio Unit's documents path is: " +
                      (folder.path() / "documents").string(),
                  "AudioUnitViewController::getPaths() : Audio Unit's resources path is: " + folder.path().string()}));
}

TEST(GetPaths, MissingLocationsLeaveTheGlobalsEmptyAndLogErrors) {
    testsupport::TestFolder folder;
    testsupport::ScopedEnvironment environment;
    for (const char* name : {"TUNEDECK_DOCUMENTS", "XDG_DATA_HOME", "HOME"}) environment.unset(name);
    environment.set("TUNEDECK_RESOURCES", (folder.path() / "missing").string());
    foundation::LogCapture capture;
    getPaths();
    EXPECT_EQ(documentsURL, std::nullopt);
    EXPECT_EQ(resourcesURL, std::nullopt);
    EXPECT_EQ(drainedLines(capture),
              (std::vector<std::string>{
                  "AudioUnitViewController::getPaths() : ERROR: Audio Unit's documents path is nil.",
                  "AudioUnitViewController::getPaths() : ERROR: Audio Unit's resources path is nil."}));
}

TEST(EnsureDirectoryExists, ExistingOrCreatableFoldersSucceedSilently) {
    testsupport::TestFolder folder;
    foundation::LogCapture capture;
    EXPECT_TRUE(ensureDirectoryExists(folder.path()));
    const auto nested = folder.path() / "Presets" / "User";
    EXPECT_TRUE(ensureDirectoryExists(nested));
    EXPECT_TRUE(std::filesystem::is_directory(nested));
    EXPECT_TRUE(drainedLines(capture).empty());
}

TEST(EnsureDirectoryExists, ARegularFileInTheWayIsAFailureWithTheLogLine) {
    testsupport::TestFolder folder;
    const auto file = folder.path() / "Presets";
    std::ofstream(file) << "not a folder";
    foundation::LogCapture capture;
    EXPECT_FALSE(ensureDirectoryExists(file));
    EXPECT_FALSE(ensureDirectoryExists(file / "below"));
    EXPECT_EQ(drainedLines(capture),
              (std::vector<std::string>{
                  "ensureDirectoryExists() : ERROR: Creating required directory '" + file.string() +
                      "' failed: Not a directory",
                  "ensureDirectoryExists() : ERROR: Creating required directory '" + (file / "below").string() +
                      "' failed: Not a directory"}));
    EXPECT_TRUE(std::filesystem::is_regular_file(file));
}

TEST(Globals, SharedFoldersStayEmptyAndCapitalsStartWithAfghanistans) {
    EXPECT_EQ(sharedURLAudio, std::nullopt);
    EXPECT_EQ(sharedURLMIDI, std::nullopt);
    static_assert(capitals.size() == 197);
    static_assert(capitals.front() == "Kabul" && capitals.back() == "Harare");
}

}  // namespace
