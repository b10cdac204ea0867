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
#include <string>

#include "Orvo_Tunedeck_Extension/lists/MIDIFileRow.h"
#include "Orvo_Tunedeck_Extension/lists/MIDIFileScreen.h"

class MIDIFileTableView {
public:
    // The screen holding the list; set before a root is listed. Not owned.
    MIDIFileScreen* viewController = nullptr;
    // Full path of the entry last picked, also when it then proved missing or unsupported.
    std::string currentFile;
    // Which root is listed: "factory" or "user"; changes only when a root is listed.
    std::string mode{kFactoryMode};
    // Full path of the entry waiting for the delete confirmation; empty when none.
    std::string pendingFile;

    virtual ~MIDIFileTableView() = default;

    // Lists the resources' "MIDI/Test" folder, every folder closed. Without a resources folder: "ERROR: Resources
    // folder is nil." and nothing changes.
    void showFactoryFiles();
    // Lists the documents folder (made when missing), every folder closed. Without a documents folder: "ERROR:
    // Documents directory is nil." and nothing changes.
    void showUserFiles();
    // Removes the entry at pendingFile, a folder with everything in it, and in user mode lists the user root again.
    // pendingFile is emptied afterwards, unless nothing existed there.
    void deleteFile();

    std::size_t rowCount() const;
    // The row's content; an empty row (no identifier) and "MIDIFileTableView: Error: The row exceeds the count of
    // items." for a row beyond the entries.
    MIDIFileRow rowContent(int row) const;
    // A tap: opens or closes a folder, or picks a file.
    void pickRow(int row);
    // A swipe to delete: refused in factory mode; in user mode the entry becomes pendingFile and the screen asks for
    // the confirmation.
    void requestDelete(int row);

protected:
    // Asks the table to show the rows again; the platform table reloads its cells.
    virtual void reloadData() {}

private:
    void listRoot(const std::string& folder, std::string_view newMode);
};
