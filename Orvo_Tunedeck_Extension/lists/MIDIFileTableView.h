// The list of the MIDI-file browser: the factory files (the read-only "MIDI/Test" folder of the resources) or the
// user's files (the documents folder) as an indented tree whose folders open and close on a tap. A picked MIDI file
// goes to the screen's delegate and closes the screen; user entries can be deleted after a confirmation, factory
// entries never.
//
// Rows are the visible entries of the process-wide fileEnumerator()'s tree.
//
// Threads: main queue only. Log lines go straight to standard output.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "Orvo_Tunedeck_Extension/lists/MIDIFileRow.h"
#include "Orvo_Tunedeck_Extension/lists/MIDIFileScreen.h"
#include "platform/ui/TableView.h"

// Serves as its own data source and delegate once the screen connects them.
class MIDIFileTableView : public ui::TableView, public ui::TableViewDataSource, public ui::TableViewDelegate {
public:
    // Registers the four cell designs.
    explicit MIDIFileTableView(ui::Rect frame = {});

    // The screen holding the list; set before a root is listed. Not owned.
    MIDIFileScreen* viewController = nullptr;
    // Full path of the entry last picked, also when it then proved missing or unsupported.
    std::string currentFile;
    // Which root is listed: "factory" or "user"; changes only when a root is listed.
    std::string mode{kFactoryMode};
    // Full path of the entry waiting for the delete confirmation; empty when none.
    std::string pendingFile;

    // Lists the resources' "MIDI/Test" folder, every folder closed. Without a resources folder: "ERROR: Resources
    // folder is nil." and nothing changes.
    void showFactoryFiles();
    // Lists the documents folder (made when missing), every folder closed. Without a documents folder: "ERROR:
    // Documents directory is nil." and nothing changes.
    void showUserFiles();
    // Deletes pendingFile from disk (folders recursively) and, in user mode, relists the user root. pendingFile is
    // cleared unless the path was already gone.
    void deleteFile();

    // The number of visible entries.
    std::size_t itemCount() const;
    // Past the last entry: an empty row (no identifier), with an error logged.
    MIDIFileRow rowContent(int row) const;
    // A tap: opens or closes a folder, or picks a file.
    void pickRow(int row);
    // A swipe to delete: refused in factory mode; in user mode the entry becomes pendingFile and the screen asks for
    // the confirmation.
    void requestDelete(int row);

    // The table's questions and reports: one section of itemCount() rows, cells filled from rowContent(), every row
    // offers the delete gesture (requestDelete()), a tap is pickRow().
    int numberOfRows(ui::TableView& table, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRow(ui::TableView& table, ui::IndexPath indexPath) override;
    bool canEditRow(ui::TableView& table, ui::IndexPath indexPath) override;
    void commitEditingStyle(ui::TableView& table, ui::EditingStyle style, ui::IndexPath indexPath) override;
    void didSelectRow(ui::TableView& table, ui::IndexPath indexPath) override;

private:
    void listRoot(const std::string& folder, std::string_view newMode);
};
