#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Orvo_Tunedeck_Extension/lists/ProgramsTableView.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"

namespace {

class FakeProgramsScreen : public ProgramsScreen, public ProgramsViewControllerDelegate {
public:
    std::vector<std::pair<int, SoundfontProgram>> picks;
    int closes = 0;

    ProgramsViewControllerDelegate* programDelegate() override { return this; }
    void close() override { ++closes; }
    void onProgramSelect(int index, const SoundfontProgram& program) override {
        picks.emplace_back(index, program);
    }
};

TEST(ProgramsTableView, ListsTheSharedCatalogueInItsOrder) {
    auto catalogue = std::make_shared<Soundfontprograms>();
    ProgramsTableView list;
    list.programs = catalogue;
    EXPECT_EQ(list.itemCount(), 235u);
    EXPECT_EQ(list.rowText(0), "MSB:000 / LSB:000 - P:000 : Piano 1");
    EXPECT_EQ(list.rowText(234), catalogue->formatInstrumentName(234));

    catalogue->makeGM();
    EXPECT_EQ(list.itemCount(), 137u);
    catalogue->makeXG();
    EXPECT_EQ(list.itemCount(), 482u);
}

TEST(ProgramsTableView, EveryRowMayTakeHighlightAndFocusButNoneOffersDeletion) {
    ProgramsTableView list;
    list.programs = std::make_shared<Soundfontprograms>();
    ui::TableViewDelegate& asked = list;
    ui::TableViewDataSource& source = list;
    for (const int row : {0, 117, 234}) {
        EXPECT_TRUE(asked.shouldHighlightRow(list, {0, row})) << row;
        EXPECT_TRUE(asked.canFocusRow(list, {0, row})) << row;
        EXPECT_FALSE(source.canEditRow(list, {0, row})) << row;
    }
}

TEST(ProgramsTableView, APickGoesToTheDelegateOnceThenTheScreenCloses) {
    auto catalogue = std::make_shared<Soundfontprograms>();
    FakeProgramsScreen screen;
    ProgramsTableView list;
    list.programs = catalogue;
    list.viewController = &screen;

    list.pickRow(5);
    ASSERT_EQ(screen.picks.size(), 1u);
    EXPECT_EQ(screen.picks[0].first, 5);
    EXPECT_EQ(screen.picks[0].second, catalogue->programs[5]);
    EXPECT_EQ(screen.closes, 1);
}

TEST(ProgramsTableView, WithoutACatalogueThereAreNoRowsAndATapDoesNothing) {
    FakeProgramsScreen screen;
    ProgramsTableView list;
    list.viewController = &screen;
    EXPECT_EQ(list.itemCount(), 0u);
    EXPECT_EQ(list.rowText(0), "");
    list.pickRow(0);
    EXPECT_TRUE(screen.picks.empty());
    EXPECT_EQ(screen.closes, 0);
}

TEST(ProgramsTableView, ARowBeyondACatalogueSwitchedToAShorterTableIsIgnored) {
    auto catalogue = std::make_shared<Soundfontprograms>();
    catalogue->makeXG();
    FakeProgramsScreen screen;
    ProgramsTableView list;
    list.programs = catalogue;
    list.viewController = &screen;
    catalogue->makeGM();

    foundation::LogCapture log;
    list.pickRow(400);
    EXPECT_EQ(list.rowText(137), "");
    list.pickRow(-1);
    dispatch::MainQueue::shared().drain();
    EXPECT_TRUE(screen.picks.empty());
    EXPECT_EQ(screen.closes, 0);
    const std::string expected = "ProgramsTableView: ERROR: The row exceeds the count of items.";
    EXPECT_EQ(log.lines(), std::vector<std::string>(3, expected));
}

}  // namespace
