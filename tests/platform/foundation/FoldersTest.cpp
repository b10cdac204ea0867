#include "platform/foundation/Folders.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestFolder.h"

namespace {

using namespace foundation;
using std::filesystem::path;

class Folders : public ::testing::Test {
protected:
    Folders() {
        for (const char* name : {"TUNEDECK_DOCUMENTS", "TUNEDECK_RESOURCES", "XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
            environment.unset(name);
        }
        environment.set("HOME", "/home/tester");
    }
    testsupport::ScopedEnvironment environment;
};

TEST_F(Folders, DocumentsFolderIsPerDeliverableUnderTheDataHome) {
    EXPECT_EQ(documentsFolder(kExtensionDeliverable), path("/home/tester/.local/share/Orvo-Tunedeck2-Extension/Documents"));
    environment.set("XDG_DATA_HOME", "/data");
    EXPECT_EQ(documentsFolder(kApplicationDeliverable), path("/data/Orvo-Tunedeck2/Documents"));
    environment.set("XDG_DATA_HOME", "relative/is/ignored");
    EXPECT_EQ(documentsFolder(kApplicationDeliverable), path("/home/tester/.local/share/Orvo-Tunedeck2/Documents"));
    environment.unset("HOME");
    EXPECT_EQ(documentsFolder(kApplicationDeliverable), std::nullopt);
}

TEST_F(Folders, DocumentsOverrideIsUsedAsItIsWithoutATrailingSeparator) {
    environment.set("TUNEDECK_DOCUMENTS", "/tmp/docs/");
    EXPECT_EQ(documentsFolder(kExtensionDeliverable), path("/tmp/docs"));
    EXPECT_EQ(documentsFolder(kApplicationDeliverable), path("/tmp/docs"));
}

TEST_F(Folders, ResourcesFolderMustExist) {
    testsupport::TestFolder folder;
    environment.set("TUNEDECK_RESOURCES", folder.path().string());
    EXPECT_EQ(resourcesFolder(), folder.path());
    environment.set("TUNEDECK_RESOURCES", (folder.path() / "missing").string());
    EXPECT_EQ(resourcesFolder(), std::nullopt);
}

TEST_F(Folders, AProgramFindsItsFoldersBesideItselfOrInItsBuildTree) {
    testsupport::TestFolder folder;
    const path prefix = folder.path() / "prefix";
    const path build = folder.path() / "build";
    std::filesystem::create_directories(prefix / "bin");
    std::filesystem::create_directories(prefix / "share/Product/resources");
    struct Case {
        path program;
        path found;
    };
    const std::vector<Case> cases = {
        {prefix / "bin/program", prefix / "share/Product/resources"},
        {build / "app/program", build / "resources"},
        // An installed program never falls back on a build tree, even when its own folder is missing.
        {folder.path() / "elsewhere/bin/program", folder.path() / "elsewhere/share/Product/resources"},
        {folder.path() / "build-other/program", folder.path() / "share/Product/resources"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        EXPECT_EQ(locateProductFolder(c.program, "../share/Product/resources", build, build / "resources"), c.found);
    }
}

TEST_F(Folders, DefaultsFolderIsUnderTheConfigHome) {
    EXPECT_EQ(defaultsFolder(), path("/home/tester/.config/OrvoTunedeck"));
    environment.set("XDG_CONFIG_HOME", "/config");
    EXPECT_EQ(defaultsFolder(), path("/config/OrvoTunedeck"));
}

}  // namespace
