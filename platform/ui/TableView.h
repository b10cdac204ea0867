#pragma once

#include "platform/ui/TableViewCell.h"
#include "platform/ui/View.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui {

struct IndexPath {
    int section = 0;
    int row = 0;
    friend auto operator<=>(const IndexPath&, const IndexPath&) = default;
};

enum class EditingStyle { none, remove, insert };

class TableView;

// What a table shows. A table may be its own data source (and delegate): the table holds non-owning pointers.
class TableViewDataSource {
public:
    virtual ~TableViewDataSource() = default;
    virtual int numberOfSections(TableView&) { return 1; }
    virtual int numberOfRows(TableView& table, int section) = 0;
    // The cell for a row, normally from table.dequeueReusableCell; a null result leaves the row blank.
    virtual std::shared_ptr<TableViewCell> cellForRow(TableView& table, IndexPath indexPath) = 0;
    // A section header line; empty: no header.
    virtual std::string titleForHeader(TableView&, int) { return {}; }
    // Whether a row offers the delete gesture, and what a confirmed gesture does.
    virtual bool canEditRow(TableView&, IndexPath) { return false; }
    virtual void commitEditingStyle(TableView&, EditingStyle, IndexPath) {}
};

// What a table reports. Every callback has a default that does nothing (or allows).
class TableViewDelegate {
public:
    virtual ~TableViewDelegate() = default;
    virtual bool shouldHighlightRow(TableView&, IndexPath) { return true; }
    // Whether the row may take the focus (of a keyboard or a remote); no focus engine asks yet.
    virtual bool canFocusRow(TableView&, IndexPath) { return true; }
    virtual void didHighlightRow(TableView&, IndexPath) {}
    virtual void didUnhighlightRow(TableView&, IndexPath) {}
    virtual void didSelectRow(TableView&, IndexPath) {}
    virtual void didDeselectRow(TableView&, IndexPath) {}
};

// A vertically scrolling list of rows in sections. The row counts and header titles are read from the data source
// at reloadData (and the first layout) and kept until the next reload, so a data source whose content changes must
// reload. Only the cells of visible rows exist as subviews; cells scrolled out go to a pool per reuse identifier
// and come back through dequeueReusableCell. A tap on a row highlights it while pressed and selects it on release
// (the delegate's didSelectRow); a drag of more than a few points scrolls instead. A mostly horizontal drag on an
// editable row is the delete gesture: released at least 60 points to the left of where it started, it commits
// the deletion as deleteRow does.
//
// Thread contract: main thread only.
class TableView : public View {
public:
    explicit TableView(Rect frame = {});
    ~TableView() override;

    TableViewDataSource* dataSource = nullptr;
    TableViewDelegate* delegate = nullptr;

    // Every row has this height; section headers take headerHeight (read at reloadData) when they have a title.
    double rowHeight() const { return rowHeight_; }
    void setRowHeight(double height);
    double headerHeight = 28;
    Color backgroundColor = Color::white();
    bool allowsSelection = true;

    // Cell designs by identifier: dequeueReusableCell makes new cells with the factory.
    using CellFactory = std::function<std::shared_ptr<TableViewCell>()>;
    void registerCell(const std::string& identifier, CellFactory factory);
    // A cell of that identifier: a pooled one (after prepareForReuse), else a new one from the registered design,
    // else a plain cell with that identifier. Sized to the row at indexPath.
    std::shared_ptr<TableViewCell> dequeueReusableCell(const std::string& identifier, IndexPath indexPath);

    // The queries below have names of their own so that a table can be its own data source without hiding them.
    // Reads the counts again and asks the data source for every visible cell anew; the selection is cleared.
    void reloadData();
    int reloadCount() const { return reloadCount_; }

    int sectionCount() const { return static_cast<int>(rowCounts_.size()); }
    // 0 for a section that does not exist.
    int rowCount(int section) const;

    // The visible cell of a row, or null when the row is not on screen or does not exist.
    TableViewCell* visibleCell(IndexPath indexPath) const;
    std::vector<IndexPath> visibleRows() const;
    // The row under a point of the table's bounds, if any.
    std::optional<IndexPath> rowAt(Point point) const;
    // A row's rectangle in content coordinates (y grows down from the top of the first section).
    Rect rectForRow(IndexPath indexPath) const;

    // Scrolling: the offset is clamped to [0, content height - view height] (0 when the content fits).
    Point contentOffset() const { return {0, offsetY_}; }
    void setContentOffset(Point offset);
    Size contentSize() const;
    // Moves the content offset by dy within its range.
    bool scrollBy(double dy) override;

    std::optional<IndexPath> selectedRow() const { return selected_; }
    // Selects without calling the delegate; a row that does not exist clears the selection.
    void selectRow(std::optional<IndexPath> indexPath);
    void deselectRow(IndexPath indexPath);

    // The delete gesture on a row: when the data source allows editing the row, commits EditingStyle::remove.
    // Returns whether it was committed.
    bool deleteRow(IndexPath indexPath);

    void setFrame(Rect frame) override;
    void draw(GraphicsContext& ctx, Rect dirty) override;

    void touchesBegan(const std::vector<Touch>& touches) override;
    void touchesMoved(const std::vector<Touch>& touches) override;
    void touchesEnded(const std::vector<Touch>& touches) override;
    void touchesCancelled(const std::vector<Touch>& touches) override;

private:
    struct SectionLayout {
        double top = 0;
        double headerHeight = 0;
        std::string title;
    };

    void readCounts();
    // y within 0 and the content's height less the frame's (0 for content that fits).
    double clampedOffset(double y) const;
    void layoutCells();
    void recycle(IndexPath indexPath);
    bool exists(IndexPath indexPath) const;
    void endHighlight();

    double rowHeight_ = 44;
    double offsetY_ = 0;
    bool countsRead_ = false;
    int reloadCount_ = 0;
    std::vector<int> rowCounts_;
    std::vector<SectionLayout> sections_;
    std::map<std::string, CellFactory> factories_;
    std::map<std::string, std::vector<std::shared_ptr<TableViewCell>>> pool_;
    std::map<IndexPath, std::shared_ptr<TableViewCell>> visible_;
    std::optional<IndexPath> selected_;

    // Touch tracking.
    std::optional<IndexPath> pressed_;
    bool dragging_ = false;
    bool swiping_ = false;
    Point touchStart_;
    double offsetAtStart_ = 0;
};

}  // namespace ui
