#include "Orvo_Tunedeck_Extension/lists/ProgramsTableView.h"

#include "platform/foundation/Log.h"

namespace {

void logRowBeyondCount() { foundation::queueLogLine("ProgramsTableView: ERROR: The row exceeds the count of items."); }

}  // namespace

std::size_t ProgramsTableView::numberOfRows() const { return programs ? programs->programs.size() : 0; }

bool ProgramsTableView::holdsRow(std::ptrdiff_t row) const {
    return row >= 0 && static_cast<std::size_t>(row) < numberOfRows();
}

std::string ProgramsTableView::rowText(std::ptrdiff_t row) const {
    if (!programs) return {};
    if (!holdsRow(row)) {
        logRowBeyondCount();
        return {};
    }
    return programs->formatInstrumentName(row);
}

void ProgramsTableView::selectRow(std::ptrdiff_t row) {
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
