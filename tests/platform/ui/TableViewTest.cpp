#include "platform/ui/HeadlessRenderer.h"
#include "platform/ui/TableView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

// A table that is its own data source and delegate, as the list screens are: rows "row <n>" in sections of the
// given sizes, and a log of the delegate calls.
class NumberTable : public ui::TableView, public ui::TableViewDataSource, public ui::TableViewDelegate {
public:
    explicit NumberTable(std::vector<int> sizes) : TableView({0, 0, 200, 220}), sizes(std::move(sizes)) {
        dataSource = this;
        delegate = this;
        registerCell("Number", [this] {
            ++made;
            return std::make_shared<ui::TableViewCell>("Number");
        });
    }

    int numberOfSections(ui::TableView&) override { return static_cast<int>(sizes.size()); }
    int numberOfRows(ui::TableView&, int section) override { return sizes[static_cast<size_t>(section)]; }
    std::shared_ptr<ui::TableViewCell> cellForRow(ui::TableView& table, ui::IndexPath p) override {
        auto cell = table.dequeueReusableCell("Number", p);
        cell->textLabel().setText("row " + std::to_string(p.section) + "." + std::to_string(p.row));
        cell->setAccessory(p.row == checked ? ui::CellAccessory::checkmark : ui::CellAccessory::none);
        return cell;
    }
    bool canEditRow(ui::TableView&, ui::IndexPath p) override { return p.row != 0; }
    void commitEditingStyle(ui::TableView&, ui::EditingStyle, ui::IndexPath p) override { log("delete", p); }

    void didHighlightRow(ui::TableView&, ui::IndexPath p) override { log("highlight", p); }
    void didUnhighlightRow(ui::TableView&, ui::IndexPath p) override { log("unhighlight", p); }
    void didSelectRow(ui::TableView&, ui::IndexPath p) override { log("select", p); }
    void didDeselectRow(ui::TableView&, ui::IndexPath p) override { log("deselect", p); }

    std::vector<int> sizes;
    int checked = -1;
    int made = 0;
    std::vector<std::string> calls;

private:
    void log(const char* what, ui::IndexPath p) {
        calls.push_back(std::string(what) + " " + std::to_string(p.section) + "." + std::to_string(p.row));
    }
};

bool drewText(const std::vector<std::string>& calls, const std::string& text) {
    for (const std::string& line : calls) {
        if (line.find(text) != std::string::npos) return true;
    }
    return false;
}

void tap(ui::HeadlessRenderer& r, ui::View& root, ui::Point p) {
    r.pointer().press(root, p);
    r.pointer().release(p);
}

TEST(TableView, DrawsTheVisibleRowsOnly) {
    NumberTable table({3, 20});
    ui::HeadlessRenderer renderer;
    renderer.startRecording();
    renderer.render(table);
    // 220 high with rows of 44: five rows, the first section's three and two of the second.
    EXPECT_TRUE(drewText(renderer.recordedCalls(), "row 0.0"));
    EXPECT_TRUE(drewText(renderer.recordedCalls(), "row 1.1"));
    EXPECT_FALSE(drewText(renderer.recordedCalls(), "row 1.2"));
    EXPECT_EQ(table.visibleRows().size(), 5u);
    EXPECT_EQ(table.contentSize().height, 23 * 44);
}

TEST(TableView, CountsStayUntilReload) {
    NumberTable table({4});
    table.reloadData();
    table.sizes = {2};
    EXPECT_EQ(table.rowCount(0), 4);
    table.reloadData();
    EXPECT_EQ(table.rowCount(0), 2);
    EXPECT_EQ(table.visibleRows().size(), 2u);
    EXPECT_EQ(table.rowCount(5), 0);
    EXPECT_EQ(table.reloadCount(), 2);
}

TEST(TableView, ReusesCellsOfScrolledOutRows) {
    NumberTable table({100});
    table.reloadData();
    const int firstScreen = table.made;
    for (int y = 0; y < 2000; y += 30) table.setContentOffset({0, double(y)});
    EXPECT_LE(table.made, firstScreen + 1);
    table.setContentOffset({0, 2000});
    table.reloadData();
    EXPECT_LE(table.made, firstScreen + 1);
    // The cell of a visible row shows that row, not the one it was made for.
    ASSERT_NE(table.visibleCell({0, 50}), nullptr);
    EXPECT_EQ(table.visibleCell({0, 50})->textLabel().text(), "row 0.50");
    EXPECT_EQ(table.visibleCell({0, 0}), nullptr);
}

TEST(TableView, OffsetIsClampedToTheContent) {
    NumberTable table({10});
    table.reloadData();
    table.setContentOffset({0, -50});
    EXPECT_EQ(table.contentOffset().y, 0);
    table.setContentOffset({0, 10000});
    EXPECT_EQ(table.contentOffset().y, 10 * 44 - 220);
    NumberTable shortTable({2});
    shortTable.reloadData();
    shortTable.setContentOffset({0, 30});
    EXPECT_EQ(shortTable.contentOffset().y, 0);
}

TEST(TableView, TheCellsShownFollowEveryNewFrame) {
    // A list filled at one size and then shown at another, as a screen made at its design size and presented in a
    // larger window; each step keeps the offset where it was or clamps it.
    struct Step {
        ui::Rect frame;
        double offsetBefore;
        double offsetAfter;
        size_t rowsShown;
    };
    const std::vector<Step> steps = {
        {{0, 0, 600, 220}, 0, 0, 5},       // wider, same height
        {{0, 0, 1280, 440}, 0, 0, 10},     // wider and taller: more rows appear
        {{0, 0, 320, 220}, 200, 200, 6},   // narrower, scrolled: the offset stays
        {{0, 0, 320, 400}, 200, 40, 10},   // taller than what is left below: the offset is clamped
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.frame.width);
        NumberTable table({10});
        table.reloadData();
        table.setContentOffset({0, step.offsetBefore});
        table.setFrame(step.frame);
        EXPECT_EQ(table.contentOffset().y, step.offsetAfter);
        EXPECT_EQ(table.visibleRows().size(), step.rowsShown);
        for (const ui::IndexPath row : table.visibleRows())
            EXPECT_EQ(table.visibleCell(row)->frame().width, step.frame.width) << row.row;
    }
}

TEST(TableView, TapSelectsTheRowUnderTheFinger) {
    NumberTable table({3, 20});
    ui::HeadlessRenderer renderer;
    renderer.render(table);
    tap(renderer, table, {50, 50});
    tap(renderer, table, {50, 140});
    const std::vector<std::string> expected{"highlight 0.1", "unhighlight 0.1", "select 0.1",
                                            "highlight 1.0", "unhighlight 1.0", "deselect 0.1", "select 1.0"};
    EXPECT_EQ(table.calls, expected);
    ASSERT_TRUE(table.selectedRow());
    EXPECT_EQ(*table.selectedRow(), (ui::IndexPath{1, 0}));
    EXPECT_TRUE(table.visibleCell({1, 0})->isSelected());
    EXPECT_FALSE(table.visibleCell({0, 1})->isSelected());
}

TEST(TableView, DragScrollsWithoutSelecting) {
    NumberTable table({30});
    ui::HeadlessRenderer renderer;
    renderer.render(table);
    renderer.pointer().press(table, {50, 200});
    renderer.pointer().move({50, 150});
    renderer.pointer().move({50, 100});
    renderer.pointer().release({50, 100});
    EXPECT_EQ(table.contentOffset().y, 100);
    EXPECT_EQ(table.calls, (std::vector<std::string>{"highlight 0.4", "unhighlight 0.4"}));
    EXPECT_FALSE(table.selectedRow());
    // Rows are found through the offset: the top of the view now shows row 2.
    tap(renderer, table, {50, 1});
    EXPECT_EQ(table.calls.back(), "select 0.2");
}

TEST(TableView, TheWheelScrollsTheListUnderThePointerWithinItsContent) {
    // The list sits in a screen beside a view that does not scroll; the wheel turns over a row (a cell's label).
    ui::View screen({0, 0, 400, 220});
    const auto table = std::make_shared<NumberTable>(std::vector<int>{30});
    const auto beside = std::make_shared<ui::View>(ui::Rect{200, 0, 200, 220});
    screen.addSubview(table);
    screen.addSubview(beside);
    ui::HeadlessRenderer renderer;
    renderer.render(screen);
    EXPECT_TRUE(renderer.pointer().scroll(screen, {50, 30}, 120));
    EXPECT_EQ(table->contentOffset().y, 120);
    EXPECT_TRUE(renderer.pointer().scroll(screen, {50, 30}, -40));
    EXPECT_EQ(table->contentOffset().y, 80);
    EXPECT_FALSE(renderer.pointer().scroll(screen, {300, 30}, 40)) << "nothing scrolls beside the list";
    EXPECT_EQ(table->contentOffset().y, 80);
    // At its end the list stays there, and says it did not scroll.
    const double end = table->contentSize().height - table->frame().height;
    EXPECT_TRUE(renderer.pointer().scroll(screen, {50, 30}, 100000));
    EXPECT_EQ(table->contentOffset().y, end);
    EXPECT_FALSE(renderer.pointer().scroll(screen, {50, 30}, 40));
    EXPECT_TRUE(table->calls.empty()) << "the wheel selects nothing";
}

TEST(TableView, TapOutsideTheRowsSelectsNothing) {
    NumberTable table({1});
    ui::HeadlessRenderer renderer;
    renderer.render(table);
    tap(renderer, table, {50, 150});
    EXPECT_TRUE(table.calls.empty());
}

TEST(TableView, DeleteAsksTheDataSource) {
    NumberTable table({3});
    table.reloadData();
    EXPECT_FALSE(table.deleteRow({0, 0}));
    EXPECT_TRUE(table.deleteRow({0, 2}));
    EXPECT_FALSE(table.deleteRow({0, 3}));
    EXPECT_EQ(table.calls, std::vector<std::string>{"delete 0.2"});
}

TEST(TableView, SwipeLeftOnAnEditableRowDeletes) {
    NumberTable table({3});
    ui::HeadlessRenderer renderer;
    renderer.render(table);
    auto swipe = [&](double y, double toX) {
        renderer.pointer().press(table, {150, y});
        renderer.pointer().move({120, y + 2});
        renderer.pointer().release({toX, y + 2});
    };
    swipe(66, 80);    // row 1, 70 points: far enough
    swipe(110, 120);  // row 2, 30 points: too short
    swipe(22, 40);    // row 0 is not editable
    // Only the first swipe deletes, and no swipe selects.
    std::vector<std::string> decisive;
    std::copy_if(table.calls.begin(), table.calls.end(), std::back_inserter(decisive),
                 [](const std::string& c) { return c.rfind("delete", 0) == 0 || c.rfind("select", 0) == 0; });
    EXPECT_EQ(decisive, std::vector<std::string>{"delete 0.1"});
    EXPECT_EQ(table.contentOffset().y, 0);
}

TEST(TableView, UnregisteredIdentifierGivesAPlainCell) {
    ui::TableView table({0, 0, 100, 100});
    auto cell = table.dequeueReusableCell("Other", {0, 0});
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->reuseIdentifier(), "Other");
}

TEST(TableViewCell, DesignedSubviewsKeepTheirPositions) {
    ui::TableViewCell cell("Item", {0, 0, 300, 44});
    cell.contentView().addSubview(std::make_shared<ui::View>(ui::Rect{4, 4, 30, 30}));
    cell.textLabel().setText("after the design");
    EXPECT_EQ(cell.contentView().subviews().size(), 2u);
    EXPECT_EQ(cell.contentView().subviews()[0]->frame(), (ui::Rect{4, 4, 30, 30}));
    EXPECT_EQ(cell.contentView().subviews()[1].get(), &cell.textLabel());
}

TEST(TableViewCell, CheckmarkIsDrawnAtTheRightEdge) {
    NumberTable table({3});
    table.checked = 1;
    ui::HeadlessRenderer renderer;
    renderer.render(table, ui::Color::white());
    // The checkmark's blue stroke passes through the middle of the accessory area of row 1 only.
    const ui::Pixel inRow1 = renderer.image().pixel(180, 44 + 24);
    const ui::Pixel inRow0 = renderer.image().pixel(180, 24);
    EXPECT_GT(inRow1.blue, inRow1.red + 100);
    EXPECT_EQ(inRow0.blue, inRow0.red);
}

}  // namespace
