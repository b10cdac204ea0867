#include "shared/filetree/FileTree.h"

#include <gtest/gtest.h>

#include <chrono>

#include "platform/foundation/Log.h"

namespace {

// Each test runs in a process of its own, so the first node made here is the process's first.
TEST(FileTreeNodes, NodeNumbersStartAtOneAndKeepRisingAcrossTrees) {
    FileTree first;
    first.root = std::make_shared<Folder>();
    auto file = std::make_shared<File>();
    FileTree second;
    second.root = std::make_shared<Folder>();
    EXPECT_EQ(first.root->getID(), 1);
    EXPECT_EQ(file->getID(), 2);
    EXPECT_EQ(second.root->getID(), 3);
    EXPECT_EQ(second.root->getIDFormatted(), "3");
}

TEST(FileTreeNodes, NewNodesAreClosedFilesWithoutAttributes) {
    File file;
    EXPECT_EQ(file.uid, -1);
    EXPECT_EQ(file._indent, 0);
    EXPECT_FALSE(file._expanded);
    EXPECT_FALSE(file.isDirectory);
    EXPECT_TRUE(file.attributes.empty());
    EXPECT_TRUE(Folder().children.empty());
}

TEST(FileTreeNodes, SubpathGivesDepthAndNames) {
    struct Case {
        const char* subpath;
        std::int64_t indent;
        const char* name;
        const char* extension;
        const char* parentPath;
    };
    const Case cases[] = {
        {"", 0, "Top", "", ""},
        {"a.mid", 0, "a.mid", "mid", ""},
        {"d/b.MIDI", 1, "b.MIDI", "MIDI", "d"},
        {"d/e/c.kar", 2, "c.kar", "kar", "d/e"},
        {"d/e/noext", 2, "noext", "", "d/e"},
        {"Meine Lieder/Über Grün.mid", 1, "Über Grün.mid", "mid", "Meine Lieder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.subpath);
        File file;
        file.rootpath = "/music/Top";
        file.setSubpath(c.subpath);
        EXPECT_EQ(file._indent, c.indent);
        EXPECT_EQ(file.getFileName(), c.name);
        EXPECT_EQ(file.getFileExtension(), c.extension);
        EXPECT_EQ(file.getParentPath(), c.parentPath);
        EXPECT_EQ(file.getFilePath(), std::string("/music/Top/") + c.subpath);
    }
}

TEST(FileTreeNodes, EmptyAttributesGiveMinusOneNowAndInvalidTexts) {
    File file;
    const auto before = std::chrono::system_clock::now();
    const auto created = file.getCreationDate();
    const auto modified = file.getModificationDate();
    const auto after = std::chrono::system_clock::now();
    EXPECT_EQ(file.getSystemFileNumber(), -1);
    EXPECT_EQ(file.getFileSize(), -1);
    EXPECT_TRUE(before <= created && created <= after);
    EXPECT_TRUE(before <= modified && modified <= after);
    EXPECT_EQ(file.getSystemFileNumberFormatted(), "(invalid attribute)");
    EXPECT_EQ(file.getFileSizeFormatted(), "(invalid attribute)");
    EXPECT_EQ(file.getCreationDateFormatted(), "(invalid attribute)");
    EXPECT_EQ(file.getModifiedDateFormatted(), "(invalid attribute)");
}

TEST(FileTreeNodes, FilesNeverExpandAndFoldersPassExpansionDown) {
    auto folder = std::make_shared<Folder>();
    folder->isDirectory = true;
    auto sub = std::make_shared<Folder>();
    sub->isDirectory = true;
    auto file = std::make_shared<File>();
    folder->children = {sub, file};
    folder->setExpanded(true);
    EXPECT_TRUE(folder->_expanded);
    EXPECT_TRUE(sub->_expanded);
    EXPECT_FALSE(file->_expanded);
    folder->setExpanded(false);
    EXPECT_FALSE(sub->_expanded);
}

TEST(FileTreeNodes, WithoutRootTheTreeOperationsDoNothing) {
    foundation::LogCapture capture;
    FileTree tree;
    tree.findParent(std::make_shared<File>());
    tree.makeExpandedList();
    tree.makeExpandedPage(std::string(kRootContainerItemIdentifier));
    tree.makeExpandedPath(std::string(kWorkingSetContainerItemIdentifier));
    tree.makeExpandedPath(std::string(kRootContainerItemIdentifier));
    EXPECT_TRUE(tree.filelist.empty());
    EXPECT_EQ(tree.findFileWithUID("42"), nullptr);
    EXPECT_EQ(tree.xml(), "");
}

TEST(FileTreeNodes, BaseDumpLineShowsFlagsAfterIndentTabs) {
    foundation::LogCapture capture;
    FileBase node;
    node._indent = 2;
    node._expanded = true;
    node.dumpout();
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_EQ(capture.lines()[0], "\t\t<item id=" + node.getIDFormatted() +
                                      " _remote='false' _expanded='true' _selected='false' _indent='2' />");
}

}  // namespace
