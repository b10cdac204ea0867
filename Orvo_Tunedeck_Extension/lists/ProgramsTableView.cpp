#include "Orvo_Tunedeck_Extension/lists/ProgramsTableView.h"

#include "platform/foundation/Log.h"

namespace {

void logRowBeyondCount() { foundation::queueLogLine("ProgramsTableView: ERROR: The row exceeds the count of items."); }

}  // namespace

std::size_t ProgramsTableView::rowCount() const { return programs ? programs->programs.size() : 0; }

bool ProgramsTableView::holdsRow(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < rowCount();
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
