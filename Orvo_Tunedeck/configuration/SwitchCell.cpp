#include "Orvo_Tunedeck/configuration/SwitchCell.h"

#include <algorithm>

namespace {

constexpr double kMargin = 16;
constexpr double kSwitchWidth = 51;
constexpr double kSwitchHeight = 31;

}  // namespace

SwitchCell::SwitchCell(std::string reuseIdentifier) : TableViewCell(std::move(reuseIdentifier)) {
    contentView().addSubview(std::make_shared<ui::Label>());
    contentView().addSubview(std::make_shared<ui::Switch>());
}

void SwitchCell::setFrame(ui::Rect frame) {
    TableViewCell::setFrame(frame);
    const ui::Rect content = contentView().bounds();
    const double switchX = std::max(kMargin, content.width - kMargin - kSwitchWidth);
    if (ui::Label* label = cellLabel(*this))
        label->setFrame({kMargin, 0, std::max(0.0, switchX - 2 * kMargin), content.height});
    if (ui::Switch* control = cellSwitch(*this))
        control->setFrame({switchX, (content.height - kSwitchHeight) / 2, kSwitchWidth, kSwitchHeight});
}

void SwitchCell::prepareForReuse() {
    TableViewCell::prepareForReuse();
    if (ui::Switch* control = cellSwitch(*this)) control->valueChanged = nullptr;
}

ui::Label* cellLabel(ui::TableViewCell& cell) {
    const auto& views = cell.contentView().subviews();
    return views.empty() ? nullptr : dynamic_cast<ui::Label*>(views[0].get());
}

ui::Switch* cellSwitch(ui::TableViewCell& cell) {
    const auto& views = cell.contentView().subviews();
    return views.size() < 2 ? nullptr : dynamic_cast<ui::Switch*>(views[1].get());
}
