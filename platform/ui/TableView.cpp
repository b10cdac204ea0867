#include "platform/ui/TableView.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace ui {

namespace {

// How far a finger may wander before a press becomes a scroll or a swipe.
constexpr double kDragSlop = 8;
// How far to the left a swipe must end for the delete gesture.
constexpr double kDeleteSwipe = 60;

}  // namespace

TableView::TableView(Rect frame) : View(frame) {}

TableView::~TableView() {
    for (auto& [path, cell] : visible_) cell->table_ = nullptr;
    for (auto& [id, cells] : pool_) {
        for (auto& cell : cells) cell->table_ = nullptr;
    }
}

void TableView::setRowHeight(double height) {
    rowHeight_ = std::max(1.0, height);
    if (countsRead_) {
        readCounts();
        layoutCells();
    }
}

void TableView::registerCell(const std::string& identifier, CellFactory factory) {
    factories_[identifier] = std::move(factory);
}

std::shared_ptr<TableViewCell> TableView::dequeueReusableCell(const std::string& identifier, IndexPath indexPath) {
    std::shared_ptr<TableViewCell> cell;
    auto& pooled = pool_[identifier];
    if (!pooled.empty()) {
        cell = std::move(pooled.back());
        pooled.pop_back();
        cell->prepareForReuse();
    } else {
        auto factory = factories_.find(identifier);
        if (factory != factories_.end() && factory->second) cell = factory->second();
        if (!cell) cell = std::make_shared<TableViewCell>(identifier);
    }
    cell->table_ = this;
    const Rect r = rectForRow(indexPath);
    cell->setFrame({0, r.y - offsetY_, frame().width, r.height});
    return cell;
}

void TableView::reloadData() {
    ++reloadCount_;
    endHighlight();
    pressed_.reset();
    if (selected_) {
        if (TableViewCell* cell = visibleCell(*selected_)) cell->setSelected(false);
        selected_.reset();
    }
    for (auto it = visible_.begin(); it != visible_.end();) {
        const IndexPath path = it->first;
        ++it;
        recycle(path);
    }
    readCounts();
    setContentOffset({0, offsetY_});
    layoutCells();
    setNeedsDisplay();
}

void TableView::readCounts() {
    countsRead_ = true;
    rowCounts_.clear();
    sections_.clear();
    if (!dataSource) return;
    const int count = std::max(0, dataSource->numberOfSections(*this));
    double top = 0;
    for (int s = 0; s < count; ++s) {
        SectionLayout layout;
        layout.top = top;
        layout.title = dataSource->titleForHeader(*this, s);
        layout.headerHeight = layout.title.empty() ? 0 : headerHeight;
        const int rows = std::max(0, dataSource->numberOfRows(*this, s));
        rowCounts_.push_back(rows);
        top += layout.headerHeight + rows * rowHeight_;
        sections_.push_back(std::move(layout));
    }
}

int TableView::rowCount(int section) const {
    if (section < 0 || section >= sectionCount()) return 0;
    return rowCounts_[static_cast<size_t>(section)];
}

bool TableView::exists(IndexPath indexPath) const {
    return indexPath.row >= 0 && indexPath.row < rowCount(indexPath.section);
}

Rect TableView::rectForRow(IndexPath indexPath) const {
    if (!exists(indexPath)) return {};
    const SectionLayout& s = sections_[static_cast<size_t>(indexPath.section)];
    return {0, s.top + s.headerHeight + indexPath.row * rowHeight_, frame().width, rowHeight_};
}

Size TableView::contentSize() const {
    if (sections_.empty()) return {frame().width, 0};
    const SectionLayout& last = sections_.back();
    return {frame().width, last.top + last.headerHeight + rowCounts_.back() * rowHeight_};
}

std::optional<IndexPath> TableView::rowAt(Point point) const {
    if (!bounds().contains(point)) return std::nullopt;
    const double y = point.y + offsetY_;
    for (int s = 0; s < sectionCount(); ++s) {
        const SectionLayout& layout = sections_[static_cast<size_t>(s)];
        const double rowsTop = layout.top + layout.headerHeight;
        const int rows = rowCounts_[static_cast<size_t>(s)];
        if (y >= rowsTop && y < rowsTop + rows * rowHeight_) {
            return IndexPath{s, static_cast<int>(std::floor((y - rowsTop) / rowHeight_))};
        }
    }
    return std::nullopt;
}

bool TableView::scrollBy(double dy) {
    const double before = offsetY_;
    setContentOffset({0, offsetY_ + dy});
    return offsetY_ != before;
}

double TableView::clampedOffset(double y) const {
    return std::clamp(y, 0.0, std::max(0.0, contentSize().height - frame().height));
}

void TableView::setContentOffset(Point offset) {
    const double y = clampedOffset(offset.y);
    if (y == offsetY_ && countsRead_) return;
    offsetY_ = y;
    if (countsRead_) layoutCells();
    setNeedsDisplay();
}

void TableView::recycle(IndexPath indexPath) {
    auto it = visible_.find(indexPath);
    if (it == visible_.end()) return;
    std::shared_ptr<TableViewCell> cell = std::move(it->second);
    visible_.erase(it);
    cell->setHighlighted(false);
    cell->removeFromSuperview();
    pool_[cell->reuseIdentifier()].push_back(std::move(cell));
}

void TableView::layoutCells() {
    const double top = offsetY_;
    const double bottom = offsetY_ + frame().height;
    auto onScreen = [&](IndexPath p) {
        const Rect r = rectForRow(p);
        return exists(p) && r.y + r.height > top && r.y < bottom;
    };
    std::vector<IndexPath> gone;
    for (const auto& [path, cell] : visible_) {
        // The pressed cell stays while its touch lasts: the touch is routed to it.
        if (!onScreen(path) && !(pressed_ && *pressed_ == path)) gone.push_back(path);
    }
    for (const IndexPath& path : gone) recycle(path);
    for (auto& [path, cell] : visible_) {
        const Rect r = rectForRow(path);
        cell->setFrame({0, r.y - offsetY_, frame().width, r.height});
    }
    if (!dataSource) return;
    for (int s = 0; s < sectionCount(); ++s) {
        for (int row = 0; row < rowCount(s); ++row) {
            const IndexPath path{s, row};
            if (!onScreen(path) || visible_.count(path)) continue;
            std::shared_ptr<TableViewCell> cell = dataSource->cellForRow(*this, path);
            if (!cell) continue;
            cell->table_ = this;
            const Rect r = rectForRow(path);
            cell->setFrame({0, r.y - offsetY_, frame().width, r.height});
            cell->setSelected(selected_ && *selected_ == path);
            cell->removeFromSuperview();
            addSubview(cell);
            visible_[path] = std::move(cell);
        }
    }
}

TableViewCell* TableView::visibleCell(IndexPath indexPath) const {
    auto it = visible_.find(indexPath);
    return it == visible_.end() ? nullptr : it->second.get();
}

std::vector<IndexPath> TableView::visibleRows() const {
    std::vector<IndexPath> rows;
    for (const auto& [path, cell] : visible_) rows.push_back(path);
    return rows;
}

void TableView::selectRow(std::optional<IndexPath> indexPath) {
    if (selected_) {
        if (TableViewCell* cell = visibleCell(*selected_)) cell->setSelected(false);
    }
    selected_ = indexPath && exists(*indexPath) ? indexPath : std::nullopt;
    if (selected_) {
        if (TableViewCell* cell = visibleCell(*selected_)) cell->setSelected(true);
    }
}

void TableView::deselectRow(IndexPath indexPath) {
    if (selected_ && *selected_ == indexPath) selectRow(std::nullopt);
}

bool TableView::deleteRow(IndexPath indexPath) {
    if (!dataSource || !exists(indexPath) || !dataSource->canEditRow(*this, indexPath)) return false;
    dataSource->commitEditingStyle(*this, EditingStyle::remove, indexPath);
    return true;
}

void TableView::setFrame(Rect frame) {
    View::setFrame(frame);
    if (!countsRead_) return;
    // The cells shown take the new width (and the rows that come into a taller frame appear) whether or not the
    // offset has to move.
    offsetY_ = clampedOffset(offsetY_);
    layoutCells();
    setNeedsDisplay();
}

void TableView::draw(GraphicsContext& ctx, Rect) {
    if (!countsRead_) {
        readCounts();
        layoutCells();
    }
    ctx.fill(Path::rect(bounds()), backgroundColor);
    const TextStyle style{Font::system(Font::systemFontSize - 1), Color::darkGray(), TextAlignment::left, false};
    for (const SectionLayout& s : sections_) {
        if (s.headerHeight <= 0) continue;
        const Rect header{0, s.top - offsetY_, frame().width, s.headerHeight};
        ctx.fill(Path::rect(header), Color{0.94, 0.94, 0.96, 1});
        ctx.drawText(s.title, header.insetBy(16, 0), style);
    }
}

void TableView::endHighlight() {
    if (!pressed_) return;
    if (TableViewCell* cell = visibleCell(*pressed_)) {
        if (cell->isHighlighted()) {
            cell->setHighlighted(false);
            if (delegate) delegate->didUnhighlightRow(*this, *pressed_);
        }
    }
}

void TableView::touchesBegan(const std::vector<Touch>& touches) {
    endHighlight();
    touchStart_ = touches.front().location;
    offsetAtStart_ = offsetY_;
    dragging_ = false;
    swiping_ = false;
    pressed_ = allowsSelection ? rowAt(touchStart_) : std::nullopt;
    if (!pressed_) return;
    if (delegate && !delegate->shouldHighlightRow(*this, *pressed_)) return;
    if (TableViewCell* cell = visibleCell(*pressed_)) cell->setHighlighted(true);
    if (delegate) delegate->didHighlightRow(*this, *pressed_);
}

void TableView::touchesMoved(const std::vector<Touch>& touches) {
    const Point p = touches.front().location;
    if (!dragging_ && std::abs(p.y - touchStart_.y) <= kDragSlop && std::abs(p.x - touchStart_.x) <= kDragSlop) {
        return;
    }
    if (!dragging_) {
        dragging_ = true;
        endHighlight();
        swiping_ = pressed_ && std::abs(p.x - touchStart_.x) > std::abs(p.y - touchStart_.y) && dataSource &&
                   dataSource->canEditRow(*this, *pressed_);
    }
    if (!swiping_) setContentOffset({0, offsetAtStart_ - (p.y - touchStart_.y)});
}

void TableView::touchesEnded(const std::vector<Touch>& touches) {
    endHighlight();
    const std::optional<IndexPath> pressed = pressed_;
    pressed_.reset();
    if (swiping_ && touches.front().location.x - touchStart_.x <= -kDeleteSwipe) {
        swiping_ = false;
        layoutCells();
        deleteRow(*pressed);
        return;
    }
    if (dragging_ || !pressed) {
        layoutCells();
        return;
    }
    layoutCells();
    if (selected_ && *selected_ != *pressed) {
        const IndexPath old = *selected_;
        selectRow(std::nullopt);
        if (delegate) delegate->didDeselectRow(*this, old);
    }
    selectRow(pressed);
    if (delegate) delegate->didSelectRow(*this, *pressed);
}

void TableView::touchesCancelled(const std::vector<Touch>&) {
    endHighlight();
    pressed_.reset();
    layoutCells();
}

}  // namespace ui
