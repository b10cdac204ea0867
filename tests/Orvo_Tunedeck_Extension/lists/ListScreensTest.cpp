#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Orvo_Tunedeck_Extension/lists/EventTableView.h"
#include "Orvo_Tunedeck_Extension/lists/ListScreenView.h"
#include "Orvo_Tunedeck_Extension/lists/MIDIFileViewController.h"
#include "Orvo_Tunedeck_Extension/lists/ProgramsViewController.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/HeadlessRenderer.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace fs = std::filesystem;

namespace {

class Opener : public ui::ViewController,
               public MIDIFileViewControllerDelegate,
               public ProgramsViewControllerDelegate {
public:
    std::vector<std::pair<int, std::string>> files;
    std::vector<std::pair<int, SoundfontProgram>> programs;

    void onMIDIFileSelect(int index, const std::string& path) override { files.emplace_back(index, path); }
    void onProgramSelect(int index, const SoundfontProgram& program) override { programs.emplace_back(index, program); }
};

std::string labelText(ui::TableViewCell& cell, std::size_t position) {
    return dynamic_cast<ui::Label&>(*cell.contentView().subviews().at(position)).text();
}

ui::Rect subviewFrame(ui::TableViewCell& cell, std::size_t position) {
    return cell.contentView().subviews().at(position)->frame();
}

void writeFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

class FileBrowserScreen : public testing::Test {
protected:
    fs::path factory;
    fs::path documents;
    Opener opener;
    std::shared_ptr<MIDIFileViewController> screen = std::make_shared<MIDIFileViewController>();

    void SetUp() override {
        const char* scratch = std::getenv("TUNEDECK_TEST_TMP");
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        const fs::path base =
            fs::path(scratch ? scratch : fs::temp_directory_path().string()) / "list-screens" / test->name();
        fs::remove_all(base);
        factory = base / "resources" / "MIDI" / "Test";
        documents = base / "Documents";
        writeFile(factory / "sets" / "inner" / "deep.mid", "MThd");
        writeFile(documents / "album" / "take.mid", "MThd");
        setenv("TUNEDECK_RESOURCES", (base / "resources").c_str(), 1);
        setenv("TUNEDECK_DOCUMENTS", documents.c_str(), 1);
        screen->delegate = &opener;
    }

    MIDIFileTableView& table() { return *screen->midiFileTableView; }
    ui::AlertController* alert() { return dynamic_cast<ui::AlertController*>(screen->presentedViewController()); }
};

TEST_F(FileBrowserScreen, OpensOnTheFactoryFilesUnlessToldOtherwise) {
    ASSERT_TRUE(opener.present(screen, true));
    EXPECT_EQ(table().mode, "factory");
    EXPECT_EQ(screen->buttonFactory->titleColor(), ui::Color::orange());
    EXPECT_EQ(screen->buttonUser->titleColor(), ui::Color::gray());
    EXPECT_EQ(table().rowCount(0), 1);

    screen->buttonUser->sendAction();
    EXPECT_EQ(table().mode, "user");
    EXPECT_EQ(screen->buttonUser->titleColor(), ui::Color::orange());
    screen->buttonFactory->sendAction();
    EXPECT_EQ(table().mode, "factory");
    screen->closeButton->sendAction();
    EXPECT_EQ(opener.presentedViewController(), nullptr);

    auto userScreen = std::make_shared<MIDIFileViewController>();
    userScreen->startFolder = "user";
    userScreen->view();
    EXPECT_EQ(userScreen->midiFileTableView->mode, "user");
}

TEST_F(FileBrowserScreen, DrawsItsRowsAndOpensAFolderOnATap) {
    opener.view().setFrame({0, 0, 600, 500});
    opener.present(screen, true);
    ui::HeadlessRenderer renderer;
    renderer.startRecording();
    renderer.render(screen->view());
    const auto& calls = renderer.recordedCalls();
    const auto drew = [&calls](const std::string& text) {
        return std::any_of(calls.begin(), calls.end(),
                           [&text](const std::string& call) { return call.starts_with("text \"" + text + "\""); });
    };
    EXPECT_TRUE(drew("sets"));
    EXPECT_TRUE(drew("Factory"));

    const ui::Point firstRow{100, screen->midiFileTableView->frame().y + 22};
    renderer.pointer().press(screen->view(), firstRow);
    renderer.pointer().release(firstRow);
    EXPECT_EQ(table().rowCount(0), 2);
}

TEST_F(FileBrowserScreen, NothingOfThePresenterShowsThroughItsButtonRow) {
    opener.view().setFrame({0, 0, 600, 500});
    opener.present(screen, true);
    ui::HeadlessRenderer renderer;
    // What the presenter shows is red here.
    const ui::Color red{1, 0, 0, 1};
    renderer.render(screen->view(), red);
    const ui::ImageSurface& image = renderer.image();
    int through = 0;
    for (int y = 0; y < static_cast<int>(ListScreenView::kButtonHeight); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const ui::Pixel p = image.pixel(x, y);
            if (p.red > 200 && p.green < 60 && p.blue < 60) ++through;
        }
    EXPECT_EQ(through, 0);
}

TEST_F(FileBrowserScreen, CellsMoveWithTheDepthOfTheirEntry) {
    opener.present(screen, true);
    table().didSelectRow(table(), {0, 0});
    table().didSelectRow(table(), {0, 1});
    ASSERT_EQ(table().rowCount(0), 3);

    auto folder = table().cellForRow(table(), {0, 1});
    EXPECT_EQ(folder->reuseIdentifier(), "FolderItem");
    EXPECT_EQ(labelText(*folder, 2), "inner");
    const ui::Rect anchor = subviewFrame(*folder, 0);
    EXPECT_EQ(subviewFrame(*folder, 1).x, anchor.x + 20);
    EXPECT_EQ(subviewFrame(*folder, 2).x, anchor.x + 74);
    EXPECT_EQ(subviewFrame(*folder, 3).x, anchor.x + 74);

    auto file = table().cellForRow(table(), {0, 2});
    EXPECT_EQ(file->reuseIdentifier(), "MIDIFileItem");
    EXPECT_EQ(labelText(*file, 2), "deep.mid");
    EXPECT_EQ(labelText(*file, 3), "4 bytes");
    EXPECT_EQ(subviewFrame(*file, 1).x, subviewFrame(*file, 0).x + 40);
    EXPECT_EQ(subviewFrame(*file, 2).x, subviewFrame(*file, 0).x + 94);
    // The size of a MIDI row keeps the place its design gives it.
    auto fresh = std::make_shared<MIDIFileTableView>();
    EXPECT_EQ(subviewFrame(*file, 3), subviewFrame(*fresh->dequeueReusableCell("MIDIFileItem", {0, 0}), 3));

    EXPECT_EQ(table().cellForRow(table(), {0, 3})->reuseIdentifier(), "");
}

TEST_F(FileBrowserScreen, APickedFileReachesTheOpenerAndClosesTheBrowser) {
    opener.present(screen, true);
    table().didSelectRow(table(), {0, 0});
    table().didSelectRow(table(), {0, 1});
    table().didSelectRow(table(), {0, 2});
    ASSERT_EQ(opener.files.size(), 1u);
    EXPECT_EQ(opener.files[0], std::make_pair(2, fs::canonical(factory).string() + "/sets/inner/deep.mid"));
    EXPECT_EQ(opener.presentedViewController(), nullptr);
}

TEST_F(FileBrowserScreen, ATapThatClosesTheBrowserLeavesItsListAliveUntilTheTapIsHandled) {
    opener.present(std::exchange(screen, nullptr), true);
    auto* list = dynamic_cast<MIDIFileViewController&>(*opener.presentedViewController()).midiFileTableView.get();
    list->didSelectRow(*list, {0, 0});
    list->didSelectRow(*list, {0, 1});
    list->didSelectRow(*list, {0, 2});
    EXPECT_EQ(opener.presentedViewController(), nullptr);
    // The table goes on with its tap after the pick: it must still be there.
    EXPECT_EQ(list->rowCount(0), 3);
    dispatch::MainQueue::shared().drain();
}

TEST_F(FileBrowserScreen, FactoryDeleteIsRefusedByAnAlert) {
    opener.present(screen, true);
    EXPECT_TRUE(table().deleteRow({0, 0}));
    ASSERT_NE(alert(), nullptr);
    EXPECT_EQ(alert()->title(), "Delete Files");
    EXPECT_EQ(alert()->message(), "Factory content cannot be deleted.");
    alert()->tapAction("OK");
    EXPECT_EQ(alert(), nullptr);
    EXPECT_TRUE(fs::exists(factory / "sets"));
}

TEST_F(FileBrowserScreen, UserDeleteAsksAndOnlyOKRemoves) {
    screen->startFolder = "user";
    opener.present(screen, true);
    const std::string album = fs::canonical(documents).string() + "/album";

    ASSERT_TRUE(table().deleteRow({0, 0}));
    ASSERT_NE(alert(), nullptr);
    EXPECT_EQ(alert()->message(),
              "Do You really want to delete the file or folder? \nThis cannot be undone! The files or folders (with "
              "all the included subfolders) are permanently deleted from the apps 'Documents' directory and no "
              "linger available.");
    EXPECT_EQ(table().pendingFile, album);
    alert()->tapAction("Cancel");
    EXPECT_EQ(table().pendingFile, "");
    EXPECT_TRUE(fs::exists(documents / "album" / "take.mid"));

    table().didSelectRow(table(), {0, 0});
    table().deleteRow({0, 0});
    alert()->tapAction("OK");
    EXPECT_FALSE(fs::exists(documents / "album"));
    EXPECT_EQ(table().pendingFile, "");
    EXPECT_EQ(table().rowCount(0), 0);
}

TEST(ProgramsScreen, ShowsTheCatalogueAndHandsAPickToTheOpener) {
    Opener opener;
    auto catalogue = std::make_shared<Soundfontprograms>();
    auto screen = std::make_shared<ProgramsViewController>();
    screen->delegate = &opener;
    screen->programs = catalogue;
    opener.view().setFrame({0, 0, 800, 600});
    ASSERT_TRUE(opener.present(screen, true));
    // The list fills the presenter's size below the buttons.
    EXPECT_EQ(screen->programsTableView->frame(), (ui::Rect{0, 44, 800, 556}));

    auto& table = *screen->programsTableView;
    EXPECT_EQ(table.rowCount(0), 235);
    auto first = table.cellForRow(table, {0, 0});
    EXPECT_EQ(first->reuseIdentifier(), "Item");
    EXPECT_EQ(labelText(*first, 0), "MSB:000 / LSB:000 - P:000 : Piano 1");
    EXPECT_FALSE(table.canEditRow(table, {0, 0}));
    EXPECT_EQ(table.cellForRow(table, {0, 235})->reuseIdentifier(), "");

    screen->onExportButton();
    EXPECT_EQ(opener.presentedViewController(), screen.get());

    table.didSelectRow(table, {0, 12});
    ASSERT_EQ(opener.programs.size(), 1u);
    EXPECT_EQ(opener.programs[0], std::make_pair(12, catalogue->programs[12]));
    EXPECT_EQ(opener.presentedViewController(), nullptr);
}

TEST(EventScreen, CellsShowTheSixLabelsInTheChannelColour) {
    EventTableView list;
    list.channelColors[3] = ui::Color::orange();
    const std::vector<std::uint8_t> bytes{0xC3, 0x05, 0x00};
    list.events = {std::make_shared<AUMIDIEventEx>(8, bytes, 3, 96)};
    list.reloadData();
    ASSERT_EQ(list.rowCount(0), 1);
    auto cell = list.cellForRow(list, {0, 0});
    EXPECT_EQ(cell->reuseIdentifier(), "Event");
    const std::vector<std::string> expected{"t: 96", "ch: 3", "s: 192", "d1: 5", "d2: 0", "PROGRAM         5 VAL 0"};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(labelText(*cell, i), expected[i]);
        EXPECT_EQ(dynamic_cast<ui::Label&>(*cell->contentView().subviews()[i]).textColor, ui::Color::orange());
    }
}

}  // namespace
