// The configuration screen as the user meets it: its three tables of label-and-switch rows, taps on switches and
// rows, and its closing, over the in-process MIDI system.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Orvo_Tunedeck/configuration/ConfigurationViewController.h"
#include "Orvo_Tunedeck/configuration/MIDIEndpointScreens.h"
#include "Orvo_Tunedeck/configuration/SwitchCell.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/midi/LoopbackServer.h"
#include "platform/ui/TouchRouter.h"

namespace {

struct Recorder : ConfigurationViewControllerDelegate {
    std::vector<int64_t> chosen;
    void onSoundsetSelected(int64_t index) override { chosen.push_back(index); }
};

// A tap at the middle of a view, routed from the root as the window would.
void tap(ui::View& root, ui::View& target) {
    ui::Point point{target.frame().width / 2, target.frame().height / 2};
    for (const ui::View* view = &target; view != &root; view = view->superview()) {
        point.x += view->frame().x;
        point.y += view->frame().y;
    }
    ui::TouchRouter router;
    router.press(root, point);
    router.release(point);
}

ui::Switch& switchOf(ui::TableView& table, int row) {
    ui::TableViewCell* cell = table.visibleCell({0, row});
    EXPECT_NE(cell, nullptr) << "row " << row;
    ui::Switch* control = cell == nullptr ? nullptr : cellSwitch(*cell);
    EXPECT_NE(control, nullptr) << "row " << row;
    return *control;
}

class ConfigurationScreen : public ::testing::Test {
protected:
    void SetUp() override {
        connection._initialize();
        dispatch::MainQueue::shared().drain();
    }
    void TearDown() override {
        connection.dispose();
        dispatch::MainQueue::shared().drain();
    }

    // Presents a new screen over the presenter, as every opening of the screen does.
    ConfigurationViewController& open(ConfigurationViewControllerDelegate* delegate) {
        auto screen = std::make_shared<ConfigurationViewController>(connection);
        screen->delegate = delegate;
        presenter->view().setFrame({0, 0, 480, 1000});
        EXPECT_TRUE(presenter->present(screen, true));
        return *screen;
    }

    std::shared_ptr<midi::LoopbackServer> server = std::make_shared<midi::LoopbackServer>();
    MIDIConnection connection{server, std::string("org.orvo.test")};
    std::shared_ptr<ui::ViewController> presenter = std::make_shared<ui::ViewController>();
};

TEST_F(ConfigurationScreen, FreshScreenShowsTheSixSoundSetsWithTheSecondOn) {
    ConfigurationViewController& screen = open(nullptr);
    ui::TableView& table = *screen.tableSoundset;
    ASSERT_EQ(table.rowCount(0), 6);
    for (int row = 0; row < 6; ++row) {
        ui::TableViewCell* cell = table.visibleCell({0, row});
        ASSERT_NE(cell, nullptr);
        ASSERT_NE(cellLabel(*cell), nullptr);
        EXPECT_EQ(cellLabel(*cell)->text(), kSoundsetRows[static_cast<size_t>(row)]);
        EXPECT_EQ(switchOf(table, row).isOn(), row == 1);
        EXPECT_EQ(switchOf(table, row).tag, row);
        EXPECT_EQ(cell->reuseIdentifier(), "Soundfont");
    }
    // A tap on the row itself neither highlights nor selects it.
    tap(presenter->view(), *table.visibleCell({0, 3}));
    EXPECT_FALSE(table.selectedRow().has_value());
    EXPECT_EQ(switchOf(table, 1).isOn(), true);
}

TEST_F(ConfigurationScreen, RowsFollowTheScreenWidth) {
    ConfigurationViewController& screen = open(nullptr);
    for (const double width : {640.0, 320.0}) {
        screen.view().setFrame({0, 0, width, 900});
        const ui::TableViewCell* cell = screen.tableSoundset->visibleCell({0, 0});
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->frame().width, width);
        const ui::Rect control = switchOf(*screen.tableSoundset, 0).frame();
        EXPECT_LE(control.x + control.width, width);
        EXPECT_GT(control.x + control.width, width - 40);
    }
}

TEST_F(ConfigurationScreen, AnySoundSetSwitchReportsItsRowOnceAndClosesTheScreen) {
    // Row 1 starts on: flipping it off chooses it all the same.
    for (const int row : {4, 1, 0}) {
        Recorder recorder;
        ConfigurationViewController& screen = open(&recorder);
        tap(presenter->view(), switchOf(*screen.tableSoundset, row));
        EXPECT_EQ(recorder.chosen, std::vector<int64_t>{row}) << "row " << row;
        EXPECT_EQ(presenter->presentedViewController(), nullptr) << "row " << row;
    }
}

TEST_F(ConfigurationScreen, WithoutADelegateASoundSetSwitchOnlyMovesTheSelection) {
    ConfigurationViewController& screen = open(nullptr);
    tap(presenter->view(), switchOf(*screen.tableSoundset, 3));
    EXPECT_EQ(presenter->presentedViewController(), &screen);
    EXPECT_EQ(screen.soundsets().selected, 3);
    for (int row = 0; row < 6; ++row) EXPECT_EQ(switchOf(*screen.tableSoundset, row).isOn(), row == 3);

    tap(presenter->view(), *screen.buttonClose);
    EXPECT_EQ(presenter->presentedViewController(), nullptr);
}

TEST_F(ConfigurationScreen, MIDISwitchesSurviveReopeningAndDestinationRowsReload) {
    {
        ConfigurationViewController& empty = open(nullptr);
        EXPECT_EQ(empty.tableMIDIIn->rowCount(0), 0);
        EXPECT_EQ(empty.tableMIDIOut->rowCount(0), 0);
        empty.onButtonClose();
    }
    const midi::MIDIEndpointRef keyboard = server->plugInSource("Keyboard");
    const midi::MIDIEndpointRef module = server->plugInDestination("Sound Module");
    dispatch::MainQueue::shared().drain();

    ConfigurationViewController& first = open(nullptr);
    ASSERT_EQ(first.tableMIDIIn->rowCount(0), 1);
    ASSERT_EQ(first.tableMIDIOut->rowCount(0), 1);
    EXPECT_EQ(cellLabel(*first.tableMIDIIn->visibleCell({0, 0}))->text(), "Keyboard");
    EXPECT_EQ(cellLabel(*first.tableMIDIOut->visibleCell({0, 0}))->text(), "Sound Module");
    EXPECT_EQ(switchOf(*first.tableMIDIIn, 0).tag, keyboard);
    EXPECT_EQ(switchOf(*first.tableMIDIOut, 0).tag, module);
    EXPECT_FALSE(switchOf(*first.tableMIDIIn, 0).isOn());
    EXPECT_FALSE(switchOf(*first.tableMIDIOut, 0).isOn());
    tap(presenter->view(), switchOf(*first.tableMIDIIn, 0));
    tap(presenter->view(), switchOf(*first.tableMIDIOut, 0));
    connection.sendMidiMessage(0x90, 0, 60, 100, 0);
    EXPECT_EQ(server->delivered(module).packets.size(), 1u);

    // A tap on a destination row reloads the destinations; a tap on a source row does nothing.
    const int destinationReloads = first.tableMIDIOut->reloadCount();
    tap(presenter->view(), *first.tableMIDIOut->visibleCell({0, 0}));
    EXPECT_EQ(first.tableMIDIOut->reloadCount(), destinationReloads + 1);
    const int sourceReloads = first.tableMIDIIn->reloadCount();
    tap(presenter->view(), *first.tableMIDIIn->visibleCell({0, 0}));
    EXPECT_EQ(first.tableMIDIIn->reloadCount(), sourceReloads);
    EXPECT_FALSE(first.tableMIDIIn->selectedRow().has_value());
    first.onButtonClose();

    ConfigurationViewController& reopened = open(nullptr);
    EXPECT_TRUE(switchOf(*reopened.tableMIDIIn, 0).isOn());
    EXPECT_TRUE(switchOf(*reopened.tableMIDIOut, 0).isOn());
    tap(presenter->view(), switchOf(*reopened.tableMIDIOut, 0));
    connection.sendMidiMessage(0x80, 0, 60, 0, 0);
    EXPECT_EQ(server->delivered(module).packets.size(), 1u);
}

TEST_F(ConfigurationScreen, ASmallWindowScrollsToTheLastTable) {
    auto screen = std::make_shared<ConfigurationViewController>(connection);
    presenter->view().setFrame({0, 0, 360, 400});
    ASSERT_TRUE(presenter->present(screen, true));
    ui::ScrollView& scroll = *screen->scrollView;
    EXPECT_EQ(scroll.contentSize(), (ui::Size{360, 1000}));
    const ui::Rect last = screen->tableMIDIOut->frame();
    ASSERT_GT(last.y + last.height, 400) << "the destinations end below a 400-point window";

    // A drag on the content's background, right of the close button, pulls the content up as far as it goes.
    ui::TouchRouter router;
    router.press(presenter->view(), {300, 30});
    router.move({300, 20});
    router.move({300, -700});
    router.release({300, -700});
    EXPECT_EQ(scroll.contentOffset(), (ui::Point{0, 600}));
    const ui::Rect shown = presenter->view().convertRectFrom(screen->tableMIDIOut->bounds(), screen->tableMIDIOut.get());
    EXPECT_GE(shown.y, 0);
    EXPECT_LE(shown.y + shown.height, 400) << "the destinations are wholly in the window now";

    presenter->view().setFrame({0, 0, 500, 900});
    screen->view().setFrame({0, 0, 500, 900});
    EXPECT_EQ(scroll.contentSize(), (ui::Size{500, 1000}));
    EXPECT_EQ(scroll.contentOffset(), (ui::Point{0, 100})) << "the offset stays within the content";
    EXPECT_EQ(screen->tableMIDIOut->frame().width, 500);
}

TEST_F(ConfigurationScreen, OnlyDestinationRowsMayTakeHighlightAndFocus) {
    server->plugInSource("Keyboard");
    server->plugInDestination("Sound Module");
    dispatch::MainQueue::shared().drain();
    ConfigurationViewController& screen = open(nullptr);
    const struct {
        const char* table;
        ui::TableView& view;
        bool answer;
    } cases[] = {{"sound sets", *screen.tableSoundset, false},
                 {"sources", *screen.tableMIDIIn, false},
                 {"destinations", *screen.tableMIDIOut, true}};
    for (const auto& c : cases) {
        ASSERT_NE(c.view.delegate, nullptr) << c.table;
        EXPECT_EQ(c.view.delegate->shouldHighlightRow(c.view, {0, 0}), c.answer) << c.table;
        EXPECT_EQ(c.view.delegate->canFocusRow(c.view, {0, 0}), c.answer) << c.table;
    }
}

TEST_F(ConfigurationScreen, RefreshListsTheDestinationsAnewAndLeavesTheSourcesAlone) {
    MIDISourcesTable sources(connection);
    MIDIDestinationsTable destinations(connection);
    const auto sourceRows = makeSourcesTableSource(sources);
    const auto destinationRows = makeDestinationsTableSource(destinations);
    ui::TableView sourceTable({0, 0, 300, 300});
    ui::TableView destinationTable({0, 0, 300, 300});
    sourceRows->setup(sourceTable);
    destinationRows->setup(destinationTable);
    EXPECT_EQ(sourceTable.dataSource, sourceRows.get());
    EXPECT_EQ(sourceTable.delegate, sourceRows.get());
    EXPECT_EQ(destinationTable.dataSource, destinationRows.get());
    EXPECT_EQ(destinationTable.delegate, destinationRows.get());
    sourceTable.reloadData();
    destinationTable.reloadData();

    server->plugInSource("Keyboard");
    server->plugInDestination("Sound Module");
    dispatch::MainQueue::shared().drain();
    sourceRows->refresh();
    destinationRows->refresh();
    EXPECT_EQ(sourceTable.rowCount(0), 0);
    EXPECT_EQ(destinationTable.rowCount(0), 1);
}

TEST_F(ConfigurationScreen, TheLastScreenLoadedIsTheCurrentOneWhileItLives) {
    EXPECT_EQ(currentConfigurationViewController(), nullptr);
    ConfigurationViewController& first = open(nullptr);
    EXPECT_EQ(currentConfigurationViewController().get(), &first);
    first.onButtonClose();
    ConfigurationViewController& second = open(nullptr);
    EXPECT_EQ(currentConfigurationViewController().get(), &second);
    second.onButtonClose();
    EXPECT_EQ(currentConfigurationViewController(), nullptr);
}

TEST_F(ConfigurationScreen, TheSingleTableScreensSwitchSourcesAndDestinationsAndExit) {
    const midi::MIDIEndpointRef keyboard = server->plugInSource("Keyboard");
    const midi::MIDIEndpointRef module = server->plugInDestination("Sound Module");
    dispatch::MainQueue::shared().drain();
    presenter->view().setFrame({0, 0, 480, 1000});

    auto inputs = std::make_shared<MIDIInputsViewController>(connection);
    ASSERT_TRUE(presenter->present(inputs, true));
    ASSERT_EQ(inputs->tableView->rowCount(0), 1);
    EXPECT_EQ(cellLabel(*inputs->tableView->visibleCell({0, 0}))->text(), "Keyboard");
    EXPECT_EQ(switchOf(*inputs->tableView, 0).tag, keyboard);
    tap(presenter->view(), switchOf(*inputs->tableView, 0));
    EXPECT_TRUE(connection.inputs().front()->active.load());
    tap(presenter->view(), *inputs->exitButton);
    EXPECT_EQ(presenter->presentedViewController(), nullptr);

    auto outputs = std::make_shared<MIDIOutputsViewController>(connection);
    ASSERT_TRUE(presenter->present(outputs, true));
    ASSERT_EQ(outputs->tableView->rowCount(0), 1);
    EXPECT_EQ(cellLabel(*outputs->tableView->visibleCell({0, 0}))->text(), "Sound Module");
    tap(presenter->view(), switchOf(*outputs->tableView, 0));
    connection.sendMidiMessage(0x90, 0, 60, 100, 0);
    EXPECT_EQ(server->delivered(module).packets.size(), 1u);
    const int reloads = outputs->tableView->reloadCount();
    tap(presenter->view(), *outputs->tableView->visibleCell({0, 0}));
    EXPECT_EQ(outputs->tableView->reloadCount(), reloads + 1);
    outputs->onExit();
    EXPECT_EQ(presenter->presentedViewController(), nullptr);
}

}  // namespace
