// What one row of the MIDI-file browser shows for one entry of the file tree: which cell design it takes, its two
// texts and how far its icon and texts move right for the entry's depth.
//
// Threads: main queue only (reads the entry and, for a folder description, the disk).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "shared/filetree/File.h"

// The cell designs of the browser, by reuse identifier.
inline constexpr std::string_view kFolderItemIdentifier = "FolderItem";
inline constexpr std::string_view kInfoItemIdentifier = "InfoItem";
inline constexpr std::string_view kMIDIFileItemIdentifier = "MIDIFileItem";
inline constexpr std::string_view kUnsupportedItemIdentifier = "Item";

// A folder holding a plain-text file of this exact name shows its content as a description row.
inline constexpr std::string_view kFolderDescriptionName = "info.txt";
// A larger description is not shown (and not read): the row shows one line of text.
inline constexpr std::uint64_t kFolderDescriptionByteLimit = std::uint64_t{64} << 10;

// Which root the browser lists.
inline constexpr std::string_view kFactoryMode = "factory";
inline constexpr std::string_view kUserMode = "user";

// Points a row's icon moves right per level of depth, and how far beyond the icon its texts start.
inline constexpr double kIndentPoints = 20.0;
inline constexpr double kTextOffsetPoints = 54.0;

struct MIDIFileRow {
    std::string identifier;
    // Shift of the second icon from the anchor icon; the texts start textOffset right of the anchor's left edge.
    double iconOffset = 0.0;
    double textOffset = 0.0;
    // The name line and the detail line (the detail is empty for a description row, which has one line only).
    std::string title;
    std::string detail;
    // Whether the detail line moves with the title (folder and unsupported rows) or keeps its designed place.
    bool detailFollowsIndent = false;
};

// True when name, upper-cased, ends in "MID", "MIDI" or "KAR"; no dot is needed ("PYRAMID" counts).
bool isMIDIFileName(std::string_view name);

// The row for entry as listed in mode ("factory" or "user"). A description row reads its file now: "Info: " and the
// whole content, or an empty title and the line "ERROR: Could not load folder description: " + the reason on
// standard output when it cannot be read.
MIDIFileRow makeMIDIFileRow(const File& entry, std::string_view mode);
