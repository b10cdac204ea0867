#include "Orvo_Tunedeck_Extension/lists/MIDIFileRow.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"

namespace {

bool endsWithUpper(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    return std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char wanted, char c) { return std::toupper(static_cast<unsigned char>(c)) == wanted; });
}

std::string sizeText(const File& entry) { return std::to_string(entry.getFileSize()) + " bytes"; }

MIDIFileRow descriptionRow(const File& entry) {
    MIDIFileRow row;
    row.identifier = kInfoItemIdentifier;
    std::string reason;
    if (const auto content = foundation::readFile(entry.rootpath + "/" + entry.subpath(),
                                                  kFolderDescriptionByteLimit, reason)) {
        row.title = "Info: " + std::string(content->begin(), content->end());
    } else {
        foundation::writeLogLine("ERROR: Could not load folder description: " + reason);
    }
    return row;
}

}  // namespace

bool isMIDIFileName(std::string_view name) {
    constexpr std::array<std::string_view, 3> suffixes{"MID", "MIDI", "KAR"};
    return std::any_of(suffixes.begin(), suffixes.end(),
                       [name](std::string_view suffix) { return endsWithUpper(name, suffix); });
}

MIDIFileRow makeMIDIFileRow(const File& entry, std::string_view mode) {
    const std::string name = entry.getFileName();
    if (!entry.isDirectory && name == kFolderDescriptionName) return descriptionRow(entry);

    MIDIFileRow row;
    row.iconOffset = static_cast<double>(entry._indent) * kIndentPoints;
    row.textOffset = row.iconOffset + kTextOffsetPoints;
    if (entry.isDirectory) {
        row.identifier = kFolderItemIdentifier;
        row.title = name;
        if (name.empty()) row.title = mode == kFactoryMode ? "Factory Files" : mode == kUserMode ? "User Files" : "";
        row.detail = sizeText(entry);
        row.detailFollowsIndent = true;
    } else if (isMIDIFileName(name)) {
        row.identifier = kMIDIFileItemIdentifier;
        row.title = name;
        row.detail = sizeText(entry);
    } else {
        row.identifier = kUnsupportedItemIdentifier;
        row.title = "Unsupported File ( '" + name + "' )";
        row.detail = "This file type is not supported.";
        row.detailFollowsIndent = true;
    }
    return row;
}
