#include "Orvo_Tunedeck_Extension/lists/MIDIFileTableView.h"

#include "Orvo_Tunedeck_Extension/lists/MIDIFileCells.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"
#include "shared/filetree/FileEnumerator.h"
#include "shared/filetree/Folder.h"

namespace {

using foundation::writeLogLine;

std::string fullPath(const File& entry) { return entry.rootpath + "/" + entry.subpath(); }

}  // namespace

MIDIFileTableView::MIDIFileTableView(ui::Rect frame) : ui::TableView(frame) { registerMIDIFileCells(*this); }

void MIDIFileTableView::showFactoryFiles() {
    const auto resources = foundation::resourcesFolder();
    if (!resources) {
        writeLogLine("ERROR: Resources folder is nil.");
        return;
    }
    listRoot((*resources / "MIDI/Test").string(), kFactoryMode);
}

void MIDIFileTableView::showUserFiles() {
    const auto documents = foundation::documentsFolder(foundation::kExtensionDeliverable);
    if (!documents) {
        writeLogLine("ERROR: Documents directory is nil.");
        return;
    }
    std::error_code error;
    std::filesystem::create_directories(*documents, error);
    listRoot(documents->string(), kUserMode);
}

void MIDIFileTableView::listRoot(const std::string& folder, std::string_view newMode) {
    mode = newMode;
    auto& enumerator = fileEnumerator();
    std::error_code error;
    if (std::filesystem::is_directory(folder, error)) {
        enumerator.enumerate(folder);
        enumerator.fileTree.makeExpandedList();
    } else {
        // Keeping the rows of the root listed before would show them under the wrong tab (and offer the factory
        // files for deletion), so a missing root lists nothing.
        writeLogLine("ERROR: The folder '" + folder + "' does not exist.");
        enumerator.fileTree.clearList();
    }
    if (viewController) {
        const bool factory = mode == kFactoryMode;
        viewController->setTabTitleColors(factory ? ui::Color::orange() : ui::Color::gray(),
                                          factory ? ui::Color::gray() : ui::Color::orange());
    }
    reloadData();
}

int MIDIFileTableView::numberOfRows(ui::TableView&, int) { return static_cast<int>(itemCount()); }

std::shared_ptr<ui::TableViewCell> MIDIFileTableView::cellForRow(ui::TableView&, ui::IndexPath indexPath) {
    const MIDIFileRow row = rowContent(indexPath.row);
    if (row.identifier.empty()) return std::make_shared<ui::TableViewCell>();
    auto cell = dequeueReusableCell(row.identifier, indexPath);
    fillMIDIFileCell(*cell, row);
    return cell;
}

bool MIDIFileTableView::canEditRow(ui::TableView&, ui::IndexPath) { return true; }

void MIDIFileTableView::commitEditingStyle(ui::TableView&, ui::EditingStyle style, ui::IndexPath indexPath) {
    if (style == ui::EditingStyle::remove) requestDelete(indexPath.row);
}

void MIDIFileTableView::didSelectRow(ui::TableView&, ui::IndexPath indexPath) { pickRow(indexPath.row); }

std::size_t MIDIFileTableView::itemCount() const { return fileEnumerator().fileTree.filelist.size(); }

MIDIFileRow MIDIFileTableView::rowContent(int row) const {
    const auto& list = fileEnumerator().fileTree.filelist;
    if (row < 0 || static_cast<std::size_t>(row) >= list.size()) {
        writeLogLine("MIDIFileTableView: Error: The row exceeds the count of items.");
        return {};
    }
    return makeMIDIFileRow(*list[static_cast<std::size_t>(row)], mode);
}

void MIDIFileTableView::pickRow(int row) {
    auto& tree = fileEnumerator().fileTree;
    writeLogLine("row: " + std::to_string(row));
    writeLogLine("count: " + std::to_string(tree.filelist.size()));
    if (row < 0 || static_cast<std::size_t>(row) >= tree.filelist.size()) {
        writeLogLine("Error: The row exceeds the count of items.");
        return;
    }
    const std::shared_ptr<File> entry = tree.filelist[static_cast<std::size_t>(row)];
    if (std::dynamic_pointer_cast<Folder>(entry)) {
        entry->_expanded = !entry->_expanded;
        tree.makeExpandedList();
        writeLogLine("new count: " + std::to_string(tree.filelist.size()));
        reloadData();
        return;
    }
    writeLogLine(std::to_string(row));
    currentFile = fullPath(*entry);
    std::error_code error;
    if (!std::filesystem::exists(currentFile, error)) {
        writeLogLine("ERROR: The file '" + currentFile + "' does not exist.");
        return;
    }
    if (!isMIDIFileName(currentFile)) {
        writeLogLine("WARNING: The file format is not supported.");
        return;
    }
    if (!viewController) return;
    if (auto* delegate = viewController->fileDelegate()) delegate->onMIDIFileSelect(row, currentFile);
    if (viewController->hasCloseButton()) viewController->close();
}

void MIDIFileTableView::requestDelete(int row) {
    const auto& list = fileEnumerator().fileTree.filelist;
    if (row < 0 || static_cast<std::size_t>(row) >= list.size()) {
        writeLogLine("MIDIFileTableView: Error: The row exceeds the count of items.");
        return;
    }
    if (!viewController) return;
    if (mode == kFactoryMode) {
        viewController->showFactoryDeleteRefusal();
        return;
    }
    // The path is in place before the alert shows, so an answer given at once deletes this entry.
    pendingFile = fullPath(*list[static_cast<std::size_t>(row)]);
    viewController->confirmDelete();
}

void MIDIFileTableView::deleteFile() {
    std::error_code error;
    if (pendingFile.empty() || !std::filesystem::exists(pendingFile, error)) {
        writeLogLine("MIDIFileTableView: ERROR: The file for deletion (" + pendingFile + ") does not exist.");
        return;
    }
    std::filesystem::remove_all(pendingFile, error);
    if (error) {
        writeLogLine("MIDIFileTableView: ERROR:  " + error.message());
    } else {
        writeLogLine("MIDIFileTableView: The file was removed.");
        if (mode == kUserMode) showUserFiles();
    }
    pendingFile.clear();
}
