#include "shared/filetree/FileEnumerator.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>

#include "platform/foundation/Log.h"
#include "tests/support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const std::string& content = "MThd") {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << content;
}

std::int64_t inodeOf(const fs::path& path) {
    struct stat info{};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return static_cast<std::int64_t>(info.st_ino);
}

std::vector<std::string> subpaths(const std::vector<std::shared_ptr<File>>& list) {
    std::vector<std::string> result;
    for (const auto& node : list) result.push_back(node->subpath());
    return result;
}

std::shared_ptr<File> nodeAt(const FileTree& tree, const std::string& subpath) {
    std::vector<std::shared_ptr<File>> all;
    for (const auto& child : tree.root->children) {
        child->setExpanded(true);
        child->makeExpandedList(all);
        child->setExpanded(false);
    }
    const auto found =
        std::find_if(all.begin(), all.end(), [&](const auto& node) { return node->subpath() == subpath; });
    return found == all.end() ? nullptr : *found;
}

long countOf(const std::vector<std::string>& lines, const std::string& line) {
    return std::count(lines.begin(), lines.end(), line);
}

// top/{a.mid, d/{b.mid, e/{c.mid}}}
class NestedFolder : public ::testing::Test {
protected:
    void SetUp() override {
        top = folder.path() / "top";
        writeFile(top / "a.mid");
        writeFile(top / "d" / "b.mid", std::string(1500, 'x'));
        writeFile(top / "d" / "e" / "c.mid");
        enumerator.enumerate(top.string());
        ASSERT_NE(tree().root, nullptr);
    }
    FileTree& tree() { return enumerator.fileTree; }

    testsupport::TestFolder folder;
    fs::path top;
    FileEnumerator enumerator;
};

TEST_F(NestedFolder, WalkBuildsTheTreeAndLeavesTheListEmpty) {
    EXPECT_TRUE(tree().filelist.empty());
    EXPECT_EQ(tree().basePath, fs::canonical(top).string());
    const auto& root = tree().root;
    EXPECT_EQ(root->rootpath, top.string());
    EXPECT_EQ(root->subpath(), "");
    EXPECT_TRUE(root->_expanded);
    EXPECT_TRUE(root->isDirectory && root->exists && root->isReadeble);
    EXPECT_EQ(root->uid, inodeOf(top));
    EXPECT_EQ(root->getFileName(), "top");

    ASSERT_EQ(root->children.size(), 2u);
    EXPECT_EQ(root->children[0]->subpath(), "a.mid");
    EXPECT_EQ(root->children[1]->subpath(), "d");
    EXPECT_EQ(root->children[0]->parent.lock(), root);

    const auto b = nodeAt(tree(), "d/b.mid");
    const auto c = nodeAt(tree(), "d/e/c.mid");
    ASSERT_TRUE(b && c);
    EXPECT_EQ(b->parent.lock(), nodeAt(tree(), "d"));
    EXPECT_EQ(c->parent.lock(), nodeAt(tree(), "d/e"));
    EXPECT_EQ(b->_indent, 1);
    EXPECT_EQ(c->_indent, 2);
    EXPECT_EQ(b->uid, inodeOf(top / "d" / "b.mid"));
    EXPECT_EQ(b->getFileSize(), 1500);
    EXPECT_EQ(b->getFileSizeFormatted(), "2 KB");
    EXPECT_FALSE(b->isDirectory);
    EXPECT_TRUE(b->exists);
}

TEST_F(NestedFolder, ExpandingAFolderInsertsItsEntriesRightAfterIt) {
    tree().makeExpandedList();
    EXPECT_EQ(subpaths(tree().filelist), (std::vector<std::string>{"a.mid", "d"}));
    tree().filelist[1]->_expanded = true;
    tree().makeExpandedList();
    EXPECT_EQ(subpaths(tree().filelist), (std::vector<std::string>{"a.mid", "d", "d/b.mid", "d/e"}));
    tree().setExpanded(true);
    tree().makeExpandedList();
    EXPECT_EQ(subpaths(tree().filelist), (std::vector<std::string>{"a.mid", "d", "d/b.mid", "d/e", "d/e/c.mid"}));
    EXPECT_FALSE(tree().filelist[0]->_expanded);
}

TEST_F(NestedFolder, LookupByFileNumber) {
    foundation::LogCapture capture;
    EXPECT_EQ(tree().findFileWithUID(std::to_string(inodeOf(top))), nullptr);
    EXPECT_EQ(tree().findFileWithUID(std::string(kRootContainerItemIdentifier)), tree().root);
    const auto b = tree().findFileWithUID(std::to_string(inodeOf(top / "d" / "b.mid")));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->subpath(), "d/b.mid");
    const auto d = tree().findFileWithUID(std::to_string(inodeOf(top / "d")));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(tree().findFileWithUID("no such number"), nullptr);
    const auto bNumber = std::to_string(inodeOf(top / "d" / "b.mid"));
    const auto dNumber = std::to_string(inodeOf(top / "d"));
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                   "FileTree: The file (root) was found :  NSFileProviderRootContainerItemIdentifier",
                                   "FileTree: The following file was found:  " + bNumber + " b.mid",
                                   "FileTree: The following folder was found:  " + dNumber + " d"}));
}

TEST_F(NestedFolder, PageListsOneFolderAndItsDirectEntries) {
    tree().setExpanded(true);
    tree().makeExpandedPage(std::to_string(inodeOf(top / "d")));
    EXPECT_EQ(subpaths(tree().filelist), (std::vector<std::string>{"d", "d/b.mid", "d/e"}));
    EXPECT_FALSE(nodeAt(tree(), "d/e")->_expanded);

    foundation::LogCapture capture;
    tree().makeExpandedPage(std::string(kRootContainerItemIdentifier));
    EXPECT_EQ(subpaths(tree().filelist), (std::vector<std::string>{"a.mid", "d"}));
    tree().makeExpandedPage(std::to_string(inodeOf(top / "a.mid")));
    EXPECT_TRUE(tree().filelist.empty());
    tree().makeExpandedPage("0");
    EXPECT_TRUE(tree().filelist.empty());
    const auto lines = capture.lines();
    EXPECT_EQ(countOf(lines, "FileTree: Root node was expanded."), 1);
    EXPECT_EQ(countOf(lines, "Warning: The file cannot become expanded."), 1);
    EXPECT_EQ(countOf(lines, "Warning: The file was not found."), 1);
}

TEST_F(NestedFolder, PathOpensEveryFolderAboveTheListedOne) {
    tree().makeExpandedPath(std::to_string(inodeOf(top / "d" / "e")));
    EXPECT_EQ(subpaths(tree().filelist), (std::vector<std::string>{"d/e", "d/e/c.mid"}));
    tree().makeExpandedList();
    EXPECT_EQ(subpaths(tree().filelist), (std::vector<std::string>{"a.mid", "d", "d/b.mid", "d/e", "d/e/c.mid"}));

    foundation::LogCapture capture;
    tree().makeExpandedPath(std::string(kWorkingSetContainerItemIdentifier));
    EXPECT_EQ(subpaths(tree().filelist), (std::vector<std::string>{"a.mid", "d"}));
    EXPECT_EQ(capture.lines(),
              (std::vector<std::string>{
                  "FileTree: (NSFileProviderWorkingSetContainerItemIdentifier) Root node was expanded."}));
}

TEST_F(NestedFolder, SecondWalkKeepsFileNumbersAndMakesNewNodes) {
    tree().makeExpandedList();
    const auto firstA = tree().filelist[0];
    enumerator.enumerate(top.string());
    tree().makeExpandedList();
    const auto secondA = tree().filelist[0];
    EXPECT_NE(firstA, secondA);
    EXPECT_EQ(firstA->uid, secondA->uid);
    EXPECT_GT(secondA->getID(), firstA->getID());
    EXPECT_EQ(subpaths(tree().filelist), (std::vector<std::string>{"a.mid", "d"}));
}

// The end of a walk is no event: a folder of ordinary entries is listed without a word.
TEST(FileEnumerator, AWalkOfOrdinaryEntriesLogsNothing) {
    testsupport::TestFolder folder;
    writeFile(folder.path() / "x" / "y.mid");
    FileEnumerator enumerator;
    foundation::LogCapture capture;
    enumerator.enumerate(folder.path().string());
    EXPECT_EQ(capture.lines(), std::vector<std::string>{});
}

TEST(FileEnumerator, EveryFileIsListedInNameOrderWhateverItsExtension) {
    testsupport::TestFolder folder;
    const auto top = folder.path();
    for (const char* name : {"e", "d.txt", "c.kar", "b.MIDI", "a.mid", "B.Mid"}) writeFile(top / name);
    FileEnumerator enumerator;
    enumerator.enumerate(top.string());
    auto& tree = enumerator.fileTree;
    tree.makeExpandedList();
    std::vector<std::string> extensions;
    for (const auto& node : tree.filelist) extensions.push_back(node->getFileExtension());
    EXPECT_EQ(subpaths(tree.filelist), (std::vector<std::string>{"B.Mid", "a.mid", "b.MIDI", "c.kar", "d.txt", "e"}));
    EXPECT_EQ(extensions, (std::vector<std::string>{"Mid", "mid", "MIDI", "kar", "txt", ""}));
}

TEST(FileEnumerator, MetadataItemsNamedExactlyAreRemovedAndOthersKept) {
    testsupport::TestFolder folder;
    const auto top = folder.path();
    writeFile(top / "__MACOSX" / "x" / "._a.mid");
    writeFile(top / ".DS_Store");
    writeFile(top / "sub" / ".DS_Store");
    writeFile(top / "a.mid");
    writeFile(top / "sub" / "b.mid");
    writeFile(top / "Songs__MACOSX" / "c.mid");
    writeFile(top / "x.DS_Store.mid");
    FileEnumerator enumerator;
    enumerator.enumerate(top.string());

    EXPECT_FALSE(fs::exists(top / "__MACOSX"));
    EXPECT_FALSE(fs::exists(top / ".DS_Store"));
    EXPECT_FALSE(fs::exists(top / "sub" / ".DS_Store"));
    EXPECT_TRUE(fs::exists(top / "Songs__MACOSX" / "c.mid"));
    EXPECT_TRUE(fs::exists(top / "x.DS_Store.mid"));

    auto& tree = enumerator.fileTree;
    tree.setExpanded(true);
    tree.makeExpandedList();
    EXPECT_EQ(subpaths(tree.filelist), (std::vector<std::string>{"Songs__MACOSX", "Songs__MACOSX/c.mid", "a.mid",
                                                                 "sub", "sub/b.mid", "x.DS_Store.mid"}));
}

TEST(FileEnumerator, MissingFolderIsLoggedAndLeavesTheTree) {
    testsupport::TestFolder folder;
    writeFile(folder.path() / "keep.mid");
    writeFile(folder.path() / "plain.txt");
    FileEnumerator enumerator;
    enumerator.enumerate(folder.path().string());
    const auto root = enumerator.fileTree.root;
    const auto workingDirectory = fs::current_path();

    foundation::LogCapture capture;
    const std::string missing = (folder.path() / "missing").string();
    enumerator.enumerate(missing);
    enumerator.enumerate((folder.path() / "plain.txt").string());
    EXPECT_EQ(capture.lines(),
              (std::vector<std::string>{"Error: Could not set current path '" + missing + "' for the file manager.",
                                        "Error: Could not set current path '" + (folder.path() / "plain.txt").string() +
                                            "' for the file manager."}));
    EXPECT_EQ(enumerator.fileTree.root, root);
    EXPECT_EQ(enumerator.fileTree.basePath, fs::canonical(folder.path()).string());
    EXPECT_EQ(fs::current_path(), workingDirectory);
}

TEST(FileEnumerator, EmptyFolderGivesAnEmptyList) {
    testsupport::TestFolder folder;
    FileEnumerator enumerator;
    enumerator.enumerate(folder.path().string());
    ASSERT_NE(enumerator.fileTree.root, nullptr);
    enumerator.fileTree.makeExpandedList();
    EXPECT_TRUE(enumerator.fileTree.filelist.empty());
}

TEST(FileEnumerator, SymbolicLinksAreListedButNeverFollowed) {
    testsupport::TestFolder folder;
    const auto top = folder.path();
    writeFile(top / "sub" / "a.mid");
    fs::create_directory_symlink("..", top / "sub" / "up");
    fs::create_directory_symlink(top, top / "loop");
    fs::create_symlink("self", top / "self");
    FileEnumerator enumerator;
    enumerator.enumerate(top.string());
    auto& tree = enumerator.fileTree;
    tree.setExpanded(true);
    tree.makeExpandedList();
    EXPECT_EQ(subpaths(tree.filelist), (std::vector<std::string>{"loop", "self", "sub", "sub/a.mid", "sub/up"}));
    const auto loop = nodeAt(tree, "loop");
    ASSERT_TRUE(loop && loop->isDirectory);
    EXPECT_TRUE(std::dynamic_pointer_cast<Folder>(loop)->children.empty());
    EXPECT_EQ(loop->uid, inodeOf(top / "loop"));
    const auto self = nodeAt(tree, "self");
    EXPECT_FALSE(self->exists);
    EXPECT_FALSE(self->isDirectory);
    EXPECT_TRUE(fs::is_symlink(top / "self"));
}

TEST(FileEnumerator, NamesWithSpacesAndNonAsciiLetters) {
    testsupport::TestFolder folder;
    const auto top = folder.path();
    writeFile(top / "Meine Lieder" / "Über Grün – Nr. 2.mid");
    writeFile(top / "歌" / "曲.kar");
    FileEnumerator enumerator;
    enumerator.enumerate(top.string());
    auto& tree = enumerator.fileTree;
    tree.setExpanded(true);
    tree.makeExpandedList();
    EXPECT_EQ(subpaths(tree.filelist), (std::vector<std::string>{"Meine Lieder", "Meine Lieder/Über Grün – Nr. 2.mid",
                                                                 "歌", "歌/曲.kar"}));
    EXPECT_EQ(tree.filelist[1]->getFileName(), "Über Grün – Nr. 2.mid");
    EXPECT_EQ(tree.filelist[1]->parent.lock(), tree.filelist[0]);
    EXPECT_EQ(tree.filelist[3]->getFileExtension(), "kar");
}

TEST(FileEnumerator, UnreadableFolderIsListedWithoutEntries) {
    if (::geteuid() == 0) GTEST_SKIP() << "the super-user reads every folder";
    testsupport::TestFolder folder;
    const auto top = folder.path();
    writeFile(top / "locked" / "hidden.mid");
    writeFile(top / "open.mid");
    fs::permissions(top / "locked", fs::perms::none);
    FileEnumerator enumerator;
    enumerator.enumerate(top.string());
    fs::permissions(top / "locked", fs::perms::owner_all);
    auto& tree = enumerator.fileTree;
    tree.setExpanded(true);
    tree.makeExpandedList();
    EXPECT_EQ(subpaths(tree.filelist), (std::vector<std::string>{"locked", "open.mid"}));
    EXPECT_FALSE(tree.filelist[0]->isReadeble);
}

TEST(FileEnumerator, MetadataItemThatCannotBeRemovedIsLoggedAndLeftOut) {
    if (::geteuid() == 0) GTEST_SKIP() << "the super-user removes from every folder";
    testsupport::TestFolder folder;
    const auto top = folder.path();
    writeFile(top / "ro" / ".DS_Store");
    writeFile(top / "ro" / "a.mid");
    fs::permissions(top / "ro", fs::perms::owner_read | fs::perms::owner_exec);
    FileEnumerator enumerator;
    foundation::LogCapture capture;
    enumerator.enumerate(top.string());
    fs::permissions(top / "ro", fs::perms::owner_all);
    EXPECT_TRUE(fs::exists(top / "ro" / ".DS_Store"));
    ASSERT_EQ(capture.lines().size(), 2u);
    EXPECT_EQ(capture.lines()[0].rfind("\".DS_Store\" couldn't be removed: ", 0), 0u) << capture.lines()[0];
    auto& tree = enumerator.fileTree;
    tree.setExpanded(true);
    tree.makeExpandedList();
    EXPECT_EQ(subpaths(tree.filelist), (std::vector<std::string>{"ro", "ro/a.mid"}));
}

TEST(FileEnumerator, SharedEnumeratorStartsEmptyAndStays) {
    FileEnumerator& shared = fileEnumerator();
    EXPECT_EQ(&shared, &fileEnumerator());
    EXPECT_EQ(shared.fileTree.root, nullptr);
    EXPECT_TRUE(shared.fileTree.filelist.empty());
}

TEST(FileEnumerator, ItsManagerAsksItAndItLetsEveryOperationGoAheadButNotPastAnError) {
    FileEnumerator enumerator;
    EXPECT_EQ(&enumerator.defaultFileManager, &foundation::FileManager::defaultManager());
    EXPECT_EQ(enumerator.fileManager.delegate, &enumerator);
    EXPECT_NE(&enumerator.fileManager, &enumerator.defaultFileManager);

    foundation::FileManager& manager = enumerator.fileManager;
    const std::error_code failure = std::make_error_code(std::errc::permission_denied);
    const fs::path a("/a");
    const fs::path b("/b");
    const struct {
        const char* question;
        bool answer;
    } answers[] = {
        {"remove", enumerator.shouldRemoveItemAt(manager, a)},
        {"remove path", enumerator.shouldRemoveItemAtPath(manager, "/a")},
        {"copy", enumerator.shouldCopyItemAt(manager, a, b)},
        {"copy path", enumerator.shouldCopyItemAtPath(manager, "/a", "/b")},
        {"link", enumerator.shouldLinkItemAt(manager, a, b)},
        {"link path", enumerator.shouldLinkItemAtPath(manager, "/a", "/b")},
        {"move", enumerator.shouldMoveItemAt(manager, a, b)},
        {"move path", enumerator.shouldMoveItemAtPath(manager, "/a", "/b")},
        {"!remove", !enumerator.shouldProceedAfterErrorRemovingItemAt(manager, failure, a)},
        {"!remove path", !enumerator.shouldProceedAfterErrorRemovingItemAtPath(manager, failure, "/a")},
        {"!copy", !enumerator.shouldProceedAfterErrorCopyingItemAt(manager, failure, a, b)},
        {"!copy path", !enumerator.shouldProceedAfterErrorCopyingItemAtPath(manager, failure, "/a", "/b")},
        {"!link", !enumerator.shouldProceedAfterErrorLinkingItemAt(manager, failure, a, b)},
        {"!link path", !enumerator.shouldProceedAfterErrorLinkingItemAtPath(manager, failure, "/a", "/b")},
        {"!move", !enumerator.shouldProceedAfterErrorMovingItemAt(manager, failure, a, b)},
        {"!move path", !enumerator.shouldProceedAfterErrorMovingItemAtPath(manager, failure, "/a", "/b")},
    };
    for (const auto& entry : answers) EXPECT_TRUE(entry.answer) << entry.question;

    testsupport::TestFolder folder;
    const auto top = folder.path();
    writeFile(top / "a.mid");
    writeFile(top / "b.mid");
    std::error_code error;
    EXPECT_TRUE(manager.copyItemAt(top / "a.mid", top / "c.mid", error)) << error.message();
    EXPECT_TRUE(fs::exists(top / "c.mid"));
    EXPECT_FALSE(manager.moveItemAtPath((top / "c.mid").string(), (top / "b.mid").string(), error));
    EXPECT_EQ(error, std::errc::file_exists) << "an existing destination stops the move";
    EXPECT_TRUE(manager.linkItemAt(top / "a.mid", top / "d.mid", error)) << error.message();
    EXPECT_EQ(fs::hard_link_count(top / "a.mid"), 2u);
    EXPECT_TRUE(manager.removeItemAtPath((top / "d.mid").string(), error)) << error.message();
    EXPECT_FALSE(manager.removeItemAt(top / "d.mid", error)) << "a missing item stops the removal";
    EXPECT_TRUE(error);
}

}  // namespace
