// The four cell designs of the MIDI-file browser and how a row's content goes into them.
//
// "FolderItem", "MIDIFileItem" and "Item" hold, by position: 0 the anchor icon, 1 the icon that moves with the
// depth, 2 the name label, 3 the detail label. "InfoItem" holds one label.
//
// Threads: main queue only.
#pragma once

#include <memory>

#include "Orvo_Tunedeck_Extension/lists/MIDIFileRow.h"
#include "platform/ui/TableView.h"

// Registers the four designs with table.
void registerMIDIFileCells(ui::TableView& table);

// Sets the cell's texts and moves its icon and labels for the row's depth. Subviews of another kind than the design
// has are skipped (a missing detail label ends the filling).
void fillMIDIFileCell(ui::TableViewCell& cell, const MIDIFileRow& row);
