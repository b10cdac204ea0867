#include "platform/ui/TableViewCell.h"

#include "platform/ui/TableView.h"

#include <utility>

namespace ui {

namespace {

constexpr double kAccessoryWidth = 40;
constexpr double kLabelInset = 16;

// The content view hands the touches that no control of the design took to its cell.
class ContentView : public View {
public:
    void touchesBegan(const std::vector<Touch>& t) override { forward(&View::touchesBegan, t); }
    void touchesMoved(const std::vector<Touch>& t) override { forward(&View::touchesMoved, t); }
    void touchesEnded(const std::vector<Touch>& t) override { forward(&View::touchesEnded, t); }
    void touchesCancelled(const std::vector<Touch>& t) override { forward(&View::touchesCancelled, t); }

private:
    void forward(void (View::*handler)(const std::vector<Touch>&), const std::vector<Touch>& touches) {
        View* cell = superview();
        if (!cell) return;
        std::vector<Touch> moved = touches;
        for (Touch& t : moved) {
            t.location.x += frame().x;
            t.location.y += frame().y;
        }
        (cell->*handler)(moved);
    }
};

}  // namespace

TableViewCell::TableViewCell(std::string reuseIdentifier, Rect frame)
    : View(frame), reuseIdentifier_(std::move(reuseIdentifier)), contentView_(std::make_shared<ContentView>()) {
    addSubview(contentView_);
    layoutLabels();
}

Label& TableViewCell::textLabel() {
    if (!textLabel_) {
        textLabel_ = std::make_shared<Label>();
        contentView_->addSubview(textLabel_);
        layoutLabels();
    }
    return *textLabel_;
}

Label& TableViewCell::detailTextLabel() {
    if (!detailTextLabel_) {
        detailTextLabel_ = std::make_shared<Label>();
        detailTextLabel_->textColor = Color::gray();
        detailTextLabel_->font = Font::system(Font::systemFontSize - 2);
        contentView_->addSubview(detailTextLabel_);
        layoutLabels();
    }
    return *detailTextLabel_;
}

void TableViewCell::setAccessory(CellAccessory accessory) {
    accessory_ = accessory;
    layoutLabels();
    setNeedsDisplay();
}

void TableViewCell::setSelected(bool selected) {
    selected_ = selected;
    setNeedsDisplay();
}

void TableViewCell::setHighlighted(bool highlighted) {
    highlighted_ = highlighted;
    setNeedsDisplay();
}

void TableViewCell::prepareForReuse() {
    selected_ = false;
    highlighted_ = false;
    setNeedsDisplay();
}

void TableViewCell::setFrame(Rect frame) {
    View::setFrame(frame);
    layoutLabels();
}

void TableViewCell::layoutLabels() {
    const Rect b = bounds();
    const double accessoryWidth = accessory_ == CellAccessory::none ? 0 : kAccessoryWidth;
    contentView_->setFrame({0, 0, b.width - accessoryWidth, b.height});
    const double width = b.width - accessoryWidth - 2 * kLabelInset;
    if (textLabel_ && detailTextLabel_) {
        textLabel_->setFrame({kLabelInset, 0, width, b.height * 0.6});
        detailTextLabel_->setFrame({kLabelInset, b.height * 0.55, width, b.height * 0.4});
    } else if (textLabel_) {
        textLabel_->setFrame({kLabelInset, 0, width, b.height});
    } else if (detailTextLabel_) {
        detailTextLabel_->setFrame({kLabelInset, 0, width, b.height});
    }
}

void TableViewCell::draw(GraphicsContext& ctx, Rect) {
    const Rect b = bounds();
    ctx.fill(Path::rect(b), selected_ || highlighted_ ? selectionColor : backgroundColor);
    ctx.fill(Path::rect({kLabelInset, b.height - 0.5, b.width - kLabelInset, 0.5}), Color::lightGray());
    const double cx = b.width - kAccessoryWidth / 2;
    const double cy = b.height / 2;
    Path mark;
    if (accessory_ == CellAccessory::checkmark) {
        mark.moveTo({cx - 7, cy});
        mark.lineTo({cx - 2, cy + 5});
        mark.lineTo({cx + 7, cy - 6});
    } else if (accessory_ == CellAccessory::disclosureIndicator) {
        mark.moveTo({cx - 3, cy - 6});
        mark.lineTo({cx + 3, cy});
        mark.lineTo({cx - 3, cy + 6});
    } else {
        return;
    }
    const Color color = accessory_ == CellAccessory::checkmark ? Color{0, 0.48, 1, 1} : Color::gray();
    ctx.stroke(mark, color, {2, LineCap::round, LineJoin::round, 10});
}

std::vector<Touch> TableViewCell::inTableCoordinates(const std::vector<Touch>& touches) const {
    std::vector<Touch> moved = touches;
    for (Touch& t : moved) {
        t.location.x += frame().x;
        t.location.y += frame().y;
    }
    return moved;
}

void TableViewCell::touchesBegan(const std::vector<Touch>& t) {
    if (table_) table_->touchesBegan(inTableCoordinates(t));
}

void TableViewCell::touchesMoved(const std::vector<Touch>& t) {
    if (table_) table_->touchesMoved(inTableCoordinates(t));
}

void TableViewCell::touchesEnded(const std::vector<Touch>& t) {
    if (table_) table_->touchesEnded(inTableCoordinates(t));
}

void TableViewCell::touchesCancelled(const std::vector<Touch>& t) {
    if (table_) table_->touchesCancelled(inTableCoordinates(t));
}

}  // namespace ui
