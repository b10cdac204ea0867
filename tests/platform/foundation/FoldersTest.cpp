#include "platform/foundation/Folders.h"

#include <gtest/gtest.h>

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

TEST_F(Folders, DefaultsFolderIsUnderTheConfigHome) {
    EXPECT_EQ(defaultsFolder(), path("/home/tester/.config/OrvoTunedeck"));
    environment.set("XDG_CONFIG_HOME", "/config");
    EXPECT_EQ(defaultsFolder(), path("/config/OrvoTunedeck"));
}

}  // namespace
