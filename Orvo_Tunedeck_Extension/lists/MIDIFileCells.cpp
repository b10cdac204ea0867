#include "Orvo_Tunedeck_Extension/lists/MIDIFileCells.h"

#include <string>
#include <vector>

#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace {

constexpr double kRowHeight = 44.0;
constexpr ui::Rect kAnchorFrame{8, 8, 28, 28};

std::shared_ptr<ui::TableViewCell> entryCell(std::string_view identifier, const char* icon, ui::Rect detailFrame) {
    auto cell = std::make_shared<ui::TableViewCell>(std::string(identifier), ui::Rect{0, 0, 600, kRowHeight});
    auto& content = cell->contentView();
    content.addSubview(std::make_shared<ui::ImageView>(kAnchorFrame));
    content.addSubview(std::make_shared<ui::ImageView>(kAnchorFrame, icon));
    content.addSubview(std::make_shared<ui::Label>(ui::Rect{kAnchorFrame.x + kTextOffsetPoints, 4, 400, 20}));
    auto detail = std::make_shared<ui::Label>(detailFrame);
    detail->textColor = ui::Color::gray();
    content.addSubview(detail);
    return cell;
}

std::shared_ptr<ui::TableViewCell> infoCell() {
    auto cell = std::make_shared<ui::TableViewCell>(std::string(kInfoItemIdentifier), ui::Rect{0, 0, 600, kRowHeight});
    cell->contentView().addSubview(std::make_shared<ui::Label>(ui::Rect{kAnchorFrame.x, 4, 580, 36}));
    return cell;
}

// The frame at the anchor's left edge moved right by offset, keeping its own top, width and height.
ui::Rect besideAnchor(ui::Rect frame, const ui::View& anchor, double offset) {
    frame.x = anchor.frame().x + offset;
    return frame;
}

}  // namespace

void registerMIDIFileCells(ui::TableView& table) {
    const ui::Rect besideName{kAnchorFrame.x + kTextOffsetPoints, 24, 400, 16};
    table.registerCell(std::string(kFolderItemIdentifier), [besideName] {
        return entryCell(kFolderItemIdentifier, "folder", besideName);
    });
    table.registerCell(std::string(kMIDIFileItemIdentifier), [] {
        return entryCell(kMIDIFileItemIdentifier, "midifile", ui::Rect{460, 12, 120, 20});
    });
    table.registerCell(std::string(kUnsupportedItemIdentifier), [besideName] {
        return entryCell(kUnsupportedItemIdentifier, "file", besideName);
    });
    table.registerCell(std::string(kInfoItemIdentifier), [] { return infoCell(); });
}

void fillMIDIFileCell(ui::TableViewCell& cell, const MIDIFileRow& row) {
    const auto& views = cell.contentView().subviews();
    if (row.identifier == kInfoItemIdentifier) {
        if (views.empty()) return;
        if (auto* label = dynamic_cast<ui::Label*>(views[0].get())) label->setText(row.title);
        return;
    }
    if (views.size() < 4) return;
    const ui::View& anchor = *views[0];
    if (auto* icon = dynamic_cast<ui::ImageView*>(views[1].get())) {
        icon->setFrame(besideAnchor(anchor.frame(), anchor, row.iconOffset));
    }
    if (auto* title = dynamic_cast<ui::Label*>(views[2].get())) {
        title->setText(row.title);
        title->setFrame(besideAnchor(title->frame(), anchor, row.textOffset));
    }
    auto* detail = dynamic_cast<ui::Label*>(views[3].get());
    if (!detail) return;
    detail->setText(row.detail);
    if (row.detailFollowsIndent) detail->setFrame(besideAnchor(detail->frame(), anchor, row.textOffset));
}
