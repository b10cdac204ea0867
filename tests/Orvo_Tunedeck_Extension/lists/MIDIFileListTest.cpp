#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "Orvo_Tunedeck_Extension/lists/MIDIFileTableView.h"
#include "platform/foundation/Log.h"
#include "shared/filetree/Folder.h"

namespace fs = std::filesystem;

namespace {

class FakeFileScreen : public MIDIFileScreen, public MIDIFileViewControllerDelegate {
public:
    MIDIFileTableView* list = nullptr;
    std::vector<std::pair<int, std::string>> picks;
    int closes = 0;
    int refusals = 0;
    // The list's pendingFile as it was when the confirmation was asked for.
    std::vector<std::string> confirmations;
    std::pair<ui::Color, ui::Color> tabColors;

    MIDIFileViewControllerDelegate* fileDelegate() override { return this; }
    void showFactoryDeleteRefusal() override { ++refusals; }
    void confirmDelete() override { confirmations.push_back(list->pendingFile); }
    bool hasCloseButton() const override { return true; }
    void close() override { ++closes; }
    void setTabTitleColors(ui::Color factory, ui::Color user) override { tabColors = {factory, user}; }
    void onMIDIFileSelect(int index, const std::string& path) override { picks.emplace_back(index, path); }
};

void writeFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

class MIDIFileList : public testing::Test {
protected:
    fs::path resources;
    fs::path factory;
    fs::path documents;
    FakeFileScreen screen;
    MIDIFileTableView list;

    void SetUp() override {
        const char* scratch = std::getenv("TUNEDECK_TEST_TMP");
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        const fs::path base = fs::path(scratch ? scratch : fs::temp_directory_path().string()) / "lists" / test->name();
        fs::remove_all(base);
        resources = base / "resources";
        factory = resources / "MIDI" / "Test";
        documents = base / "Documents";
        for (const char* name : {"a.mid", "b.MIDI", "c.Kar", "PYRAMID", "d.smf", "INFO.TXT"}) {
            writeFile(factory / name, "MThd");
        }
        writeFile(factory / "info.txt", "Songs for testing");
        writeFile(factory / "songs" / "one.mid", "1");
        writeFile(factory / "songs" / "two.mid", "22");
        writeFile(factory / "songs" / "deep" / "three.mid", "333");
        writeFile(documents / "album" / "inner" / "x.mid", "x");
        writeFile(documents / "mine.mid", "m");
        setenv("TUNEDECK_RESOURCES", resources.c_str(), 1);
        setenv("TUNEDECK_DOCUMENTS", documents.c_str(), 1);
        screen.list = &list;
        list.viewController = &screen;
    }

    std::vector<std::string> titles() const {
        std::vector<std::string> result;
        for (std::size_t row = 0; row < list.itemCount(); ++row) {
            result.push_back(list.rowContent(static_cast<int>(row)).title);
        }
        return result;
    }

    int rowOf(const std::string& title) const {
        const auto all = titles();
        const auto found = std::find(all.begin(), all.end(), title);
        EXPECT_NE(found, all.end()) << title;
        return static_cast<int>(found - all.begin());
    }
};

struct RowCase {
    const char* title;
    const char* identifier;
    const char* detail;
    double textOffset;
};

TEST_F(MIDIFileList, FactoryRowsTakeTheirDesignByNameAndShowTheirSize) {
    list.showFactoryFiles();
    EXPECT_EQ(list.mode, "factory");
    EXPECT_EQ(screen.tabColors, std::make_pair(ui::Color::orange(), ui::Color::gray()));
    ASSERT_EQ(list.itemCount(), 8u);
    const std::vector<RowCase> cases{
        {"a.mid", "MIDIFileItem", "4 bytes", 54.0},
        {"b.MIDI", "MIDIFileItem", "4 bytes", 54.0},
        {"c.Kar", "MIDIFileItem", "4 bytes", 54.0},
        {"PYRAMID", "MIDIFileItem", "4 bytes", 54.0},
        {"Unsupported File ( 'd.smf' )", "Item", "This file type is not supported.", 54.0},
        {"Unsupported File ( 'INFO.TXT' )", "Item", "This file type is not supported.", 54.0},
        {"Info: Songs for testing", "InfoItem", "", 0.0},
    };
    for (const auto& c : cases) {
        const MIDIFileRow row = list.rowContent(rowOf(c.title));
        EXPECT_EQ(row.identifier, c.identifier) << c.title;
        EXPECT_EQ(row.detail, c.detail) << c.title;
        EXPECT_EQ(row.textOffset, c.textOffset) << c.title;
    }
    const MIDIFileRow folder = list.rowContent(rowOf("songs"));
    EXPECT_EQ(folder.identifier, "FolderItem");
    // A folder's size is what the file system reports for the folder itself.
    EXPECT_TRUE(folder.detail.ends_with(" bytes")) << folder.detail;
    EXPECT_FALSE(folder.detail.starts_with("-")) << folder.detail;
    EXPECT_TRUE(folder.detailFollowsIndent);
}

TEST_F(MIDIFileList, FoldersOpenAndCloseWithTheirOpenSubfolders) {
    list.showFactoryFiles();
    list.pickRow(rowOf("songs"));
    EXPECT_EQ(list.itemCount(), 11u);
    list.pickRow(rowOf("deep"));
    EXPECT_EQ(list.itemCount(), 12u);

    const MIDIFileRow deepest = list.rowContent(rowOf("three.mid"));
    EXPECT_EQ(deepest.iconOffset, 40.0);
    EXPECT_EQ(deepest.textOffset, 94.0);
    EXPECT_EQ(deepest.detail, "3 bytes");
    EXPECT_FALSE(deepest.detailFollowsIndent);

    list.pickRow(rowOf("songs"));
    EXPECT_EQ(list.itemCount(), 8u);
    list.pickRow(rowOf("songs"));
    EXPECT_EQ(list.itemCount(), 12u);
    EXPECT_TRUE(screen.picks.empty());

    // Listing the root again closes every folder.
    list.showFactoryFiles();
    EXPECT_EQ(list.itemCount(), 8u);
}

TEST_F(MIDIFileList, APickedMIDIFileGoesToTheDelegateOnceAndClosesTheScreen) {
    list.showFactoryFiles();
    list.pickRow(rowOf("songs"));
    const auto row = rowOf("two.mid");
    list.pickRow(row);
    ASSERT_EQ(screen.picks.size(), 1u);
    EXPECT_EQ(screen.picks[0].first, row);
    EXPECT_EQ(screen.picks[0].second, fs::canonical(factory).string() + "/songs/two.mid");
    EXPECT_EQ(screen.closes, 1);
    EXPECT_EQ(list.currentFile, screen.picks[0].second);
}

TEST_F(MIDIFileList, UnsupportedMissingAndOutOfRangePicksKeepTheScreenOpen) {
    list.showFactoryFiles();
    const auto unsupported = rowOf("Unsupported File ( 'd.smf' )");
    const auto missing = rowOf("a.mid");
    fs::remove(factory / "a.mid");
    const std::string missingPath = fs::canonical(factory).string() + "/a.mid";

    foundation::LogCapture log;
    list.pickRow(unsupported);
    list.pickRow(missing);
    list.pickRow(8);
    EXPECT_TRUE(screen.picks.empty());
    EXPECT_EQ(screen.closes, 0);
    EXPECT_EQ(list.currentFile, missingPath);
    const std::vector<std::string> expected{
        "row: " + std::to_string(unsupported), "count: 8", std::to_string(unsupported),
        "WARNING: The file format is not supported.",
        "row: " + std::to_string(missing), "count: 8", std::to_string(missing),
        "ERROR: The file '" + missingPath + "' does not exist.",
        "row: 8", "count: 8", "Error: The row exceeds the count of items.",
    };
    EXPECT_EQ(log.lines(), expected);
    EXPECT_TRUE(list.rowContent(8).identifier.empty());
}

TEST_F(MIDIFileList, FactoryContentIsNeverDeleted) {
    list.showFactoryFiles();
    list.requestDelete(rowOf("a.mid"));
    EXPECT_EQ(screen.refusals, 1);
    EXPECT_TRUE(screen.confirmations.empty());
    EXPECT_EQ(list.pendingFile, "");
    EXPECT_TRUE(fs::exists(factory / "a.mid"));
}

TEST_F(MIDIFileList, UserDeleteIsConfirmedWithThePathAlreadyPending) {
    list.showUserFiles();
    EXPECT_EQ(list.mode, "user");
    EXPECT_EQ(screen.tabColors, std::make_pair(ui::Color::gray(), ui::Color::orange()));
    list.pickRow(rowOf("album"));
    ASSERT_EQ(list.itemCount(), 3u);

    const std::string album = fs::canonical(documents).string() + "/album";
    list.requestDelete(rowOf("album"));
    ASSERT_EQ(screen.confirmations, std::vector<std::string>{album});

    // "Cancel"
    list.pendingFile.clear();
    EXPECT_TRUE(fs::exists(documents / "album" / "inner" / "x.mid"));

    // "OK"
    list.requestDelete(rowOf("album"));
    foundation::LogCapture log;
    list.deleteFile();
    EXPECT_FALSE(fs::exists(documents / "album"));
    EXPECT_TRUE(fs::exists(documents / "mine.mid"));
    EXPECT_EQ(list.pendingFile, "");
    EXPECT_EQ(titles(), std::vector<std::string>{"mine.mid"});
    EXPECT_EQ(log.lines().front(), "MIDIFileTableView: The file was removed.");
}

TEST_F(MIDIFileList, DeletingAnEntryThatIsGoneKeepsItPending) {
    list.showUserFiles();
    list.requestDelete(rowOf("mine.mid"));
    const std::string pending = list.pendingFile;
    fs::remove(documents / "mine.mid");
    foundation::LogCapture log;
    list.deleteFile();
    EXPECT_EQ(list.pendingFile, pending);
    const std::string expected = "MIDIFileTableView: ERROR: The file for deletion (" + pending + ") does not exist.";
    EXPECT_EQ(log.lines(), std::vector<std::string>{expected});
}

TEST_F(MIDIFileList, AMissingRootListsNothingUnderItsTab) {
    list.showUserFiles();
    ASSERT_EQ(list.itemCount(), 2u);
    fs::remove_all(factory);
    list.showFactoryFiles();
    EXPECT_EQ(list.mode, "factory");
    EXPECT_EQ(list.itemCount(), 0u);
    list.requestDelete(0);
    EXPECT_EQ(screen.refusals, 0);
    EXPECT_EQ(list.pendingFile, "");
}

TEST_F(MIDIFileList, AMissingDocumentsFolderIsMadeAndListedEmpty) {
    fs::remove_all(documents);
    list.showUserFiles();
    EXPECT_TRUE(fs::is_directory(documents));
    EXPECT_EQ(list.mode, "user");
    EXPECT_EQ(list.itemCount(), 0u);
}

TEST(MIDIFileRowText, AFolderWithoutANameIsNamedForItsTab) {
    Folder folder;
    folder.isDirectory = true;
    EXPECT_EQ(makeMIDIFileRow(folder, "factory").title, "Factory Files");
    EXPECT_EQ(makeMIDIFileRow(folder, "user").title, "User Files");
    EXPECT_EQ(makeMIDIFileRow(folder, "user").detail, "-1 bytes");
}

}  // namespace
