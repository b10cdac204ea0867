#include <gtest/gtest.h>

#include <ctime>

#include "shared/filetree/FileEnumerator.h"
#include "shared/filetree/FileTree.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestFolder.h"

namespace {

using std::chrono::system_clock;

// 2026-12-10 13:57:48 UTC and a day and some hours later.
const system_clock::time_point kCreated = system_clock::from_time_t(1796911068);
const system_clock::time_point kModified = system_clock::from_time_t(1797007471);

class Listings : public ::testing::Test {
protected:
    void SetUp() override {
        environment.set("TZ", "UTC");
        ::tzset();
    }
    void TearDown() override { ::tzset(); }

    template <typename Node>
    std::shared_ptr<Node> node(const std::string& subpath, std::int64_t number, std::int64_t size, bool directory) {
        auto made = std::make_shared<Node>();
        made->rootpath = "/data/User Files";
        made->setSubpath(subpath);
        made->isDirectory = directory;
        made->exists = true;
        made->attributes = {{std::string(kNSFileSystemFileNumber), number},
                            {std::string(kNSFileSize), size},
                            {std::string(kNSFileCreationDate), kCreated},
                            {std::string(kNSFileModificationDate), kModified}};
        made->uid = number;
        return made;
    }

    // /data/User Files/{a.mid, d/{it's <b>.mid}, z (no attributes)}
    FileTree tree() {
        FileTree made;
        made.basePath = "/data/User Files";
        made.root = node<Folder>("", 10, 4096, true);
        made.root->_expanded = true;
        made.findParent(node<File>("a.mid", 11, 1234, false));
        auto d = node<Folder>("d", 12, 4096, true);
        made.findParent(d);
        made.filelist.push_back(d);
        made.findParent(node<File>("d/it's <b>.mid", 13, 2500000, false));
        auto z = std::make_shared<File>();
        z->rootpath = "/data/User Files";
        z->setSubpath("z");
        made.findParent(z);
        made.clearList();
        return made;
    }

    testsupport::ScopedEnvironment environment;
};

TEST_F(Listings, NestedListingOfTheWholeTree) {
    const std::string dates = "' created='Dec 10, 2026, 1:57:48 PM' modified='Dec 11, 2026, 4:44:31 PM' depth='";
    EXPECT_EQ(tree().xml(),
              "\n<folder path='/data/User Files' expanded='true" + dates + "0' >"
              "\n\t<file name='a.mid' size='1 KB" + dates + "0' />"
              "\n\t<folder subpath='d' expanded='false" + dates + "0' >"
              "\n\t\t<file name='it's <b>.mid' size='2.5 MB" + dates + "1' />"
              "\n\t</folder>"
              "\n\t<file name='z' size='(invalid attribute)' created='(invalid attribute)' "
              "modified='(invalid attribute)' depth='0' />"
              "\n</folder>");
}

TEST_F(Listings, FlatListingOfTheVisibleNodes) {
    auto listed = tree();
    listed.setExpanded(true);
    listed.makeExpandedList();
    const std::string dates = "' created='Dec 10, 2026, 1:57:48 PM' modified='Dec 11, 2026, 4:44:31 PM' depth='";
    EXPECT_EQ(listed.list(),
              "\n<!-- file list -->"
              "\n<files basepath='/data/User Files'>"
              "\n\t<file id='11' name='a.mid' size='1 KB" + dates + "0' />"
              "\n\t<folder id='12' name='d' subpath='d" + dates + "0' />"
              "\n\t\t<file id='13' name='it's <b>.mid' size='2.5 MB" + dates + "1' />"
              "\n\t<file id='-1' name='z' size='(invalid attribute)' created='(invalid attribute)' "
              "modified='(invalid attribute)' depth='0' />"
              "\n</files>");
}

TEST_F(Listings, CollapsedFlatListingHoldsOneLinePerTopEntry) {
    auto listed = tree();
    listed.makeExpandedList();
    const std::string text = listed.list();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2 + 3 + 1);
    EXPECT_EQ(text.find("it's"), std::string::npos);
}

TEST_F(Listings, EmptyRootAndFreshWalk) {
    testsupport::TestFolder folder;
    FileEnumerator enumerator;
    enumerator.enumerate(folder.path().string());
    const auto& root = enumerator.fileTree.root;
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(enumerator.fileTree.xml(), "\n<folder path='" + folder.path().string() + "' expanded='true' created='" +
                                             root->getCreationDateFormatted() + "' modified='" +
                                             root->getModifiedDateFormatted() + "' depth='0' >\n</folder>");
    EXPECT_EQ(enumerator.fileTree.list(),
              "\n<!-- file list -->\n<files basepath='" + enumerator.fileTree.basePath + "'>\n</files>");
}

}  // namespace
