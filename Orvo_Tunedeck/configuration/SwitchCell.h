#pragma once
// Configuration table cell: a label (content subview 0) and, right-aligned, a switch (subview 1).
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
