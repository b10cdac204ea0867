#include "Orvo_Tunedeck_Extension/lists/ProgramsTableView.h"

#include "platform/foundation/Log.h"
#include "platform/ui/Label.h"

namespace {

void logRowBeyondCount() { foundation::queueLogLine("ProgramsTableView: ERROR: The row exceeds the count of items."); }

}  // namespace

ProgramsTableView::ProgramsTableView(ui::Rect frame) : ui::TableView(frame) {
    registerCell(std::string(kProgramCellIdentifier), [] {
        auto cell = std::make_shared<ui::TableViewCell>(std::string(kProgramCellIdentifier), ui::Rect{0, 0, 600, 44});
        auto label = std::make_shared<ui::Label>(ui::Rect{16, 0, 568, 44});
        cell->contentView().addSubview(label);
        return cell;
    });
}

int ProgramsTableView::numberOfRows(ui::TableView&, int) { return static_cast<int>(itemCount()); }

std::shared_ptr<ui::TableViewCell> ProgramsTableView::cellForRow(ui::TableView&, ui::IndexPath indexPath) {
    const std::string text = rowText(indexPath.row);
    if (!holdsRow(indexPath.row)) return std::make_shared<ui::TableViewCell>();
    auto cell = dequeueReusableCell(std::string(kProgramCellIdentifier), indexPath);
    const auto& views = cell->contentView().subviews();
    if (!views.empty()) {
        if (auto* label = dynamic_cast<ui::Label*>(views.front().get())) label->setText(text);
    }
    return cell;
}

void ProgramsTableView::didSelectRow(ui::TableView&, ui::IndexPath indexPath) { pickRow(indexPath.row); }

std::size_t ProgramsTableView::itemCount() const { return programs ? programs->programs.size() : 0; }

bool ProgramsTableView::holdsRow(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < itemCount();
}

std::string ProgramsTableView::rowText(int row) const {
    if (!programs) return {};
    if (!holdsRow(row)) {
        logRowBeyondCount();
        return {};
    }
    return programs->formatInstrumentName(row);
}

void ProgramsTableView::pickRow(int row) {
    if (!programs) return;
    if (!holdsRow(row)) {
        logRowBeyondCount();
        return;
    }
    const SoundfontProgram program = programs->programs[static_cast<std::size_t>(row)];
    if (!viewController) return;
    if (auto* delegate = viewController->programDelegate()) delegate->onProgramSelect(row, program);
    viewController->close();
}
