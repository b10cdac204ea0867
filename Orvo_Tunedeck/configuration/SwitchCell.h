#pragma once
// The cell of the configuration screen's tables: a content view whose first subview is a label and whose second is
// a switch, the switch at the right edge.
//
// Threads: the main queue only.

#include <memory>
#include <string>

#include "platform/ui/Label.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TableViewCell.h"

class SwitchCell final : public ui::TableViewCell {
public:
    explicit SwitchCell(std::string reuseIdentifier);

    void setFrame(ui::Rect frame) override;
    void prepareForReuse() override;
};

// The label and the switch of a cell, each only when the content view's first or second subview is one.
ui::Label* cellLabel(ui::TableViewCell& cell);
ui::Switch* cellSwitch(ui::TableViewCell& cell);
