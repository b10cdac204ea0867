#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Orvo_Tunedeck_Extension/presets/PresetGroup.h"
#include "platform/foundation/PlistValue.h"
#include "platform/foundation/Status.h"

class OrvoPreset;

// What a preset document holds: identification and parameter groups. The same dictionary serves as the unit's
// fullState and as the preset file's body. Only OrvoPreset makes one. One thread at a time, never the render thread.
class PresetPatch {
public:
    OrvoPreset* parent = nullptr;  // not owning; the document that made this patch, cleared when it goes
    std::int64_t version = 1;
    std::uint32_t type = 0;
    std::uint32_t manufacturer = 0x4B57424C;  // 'KWBL'
    std::uint32_t subtype = 0;
    std::int64_t number = 0;
    std::string name = "Preset";
    std::vector<std::uint8_t> data;
    std::vector<std::shared_ptr<PresetGroup>> groups;
    std::string link;

    // "version", "type", "manufacturer", "subtype", "number", "name", "data", "count" (the number of groups),
    // "group 0", "group 1", ... and "link". Sorts each group's parameters by address in place.
    foundation::PlistDictionary toDictionary();

    // Replaces groups with every dictionary under a key containing "group" (keys "group N" in the order of N, then
    // the others); takes the other fields when their values have a usable type, and copies "type", "manufacturer"
    // and "subtype" into the parent's component description as well. Values of another type and all other keys
    // ("count" among them) are skipped. Reports nothing: a document reaches a delegate only through
    // OrvoPreset::applyTo.
    void fromDictionary(const foundation::PlistDictionary& dictionary);

    // Writes the dictionary as an XML property list, atomically: the file keeps its old content or gets the whole
    // new one. False, with a log line, when the values cannot be written as XML or the file cannot be written.
    bool saveToFile(const std::filesystem::path& path);

    // Reads a property-list file (XML or binary) whose top level is a dictionary into this patch (fromDictionary).
    // A missing or unreadable file, a file that is no property list or whose top level is no dictionary gives
    // kAudioUnitErr_InvalidFilePath and a log line, and leaves the patch as it was.
    foundation::OSStatus loadFromFile(const std::filesystem::path& path);

private:
    friend class OrvoPreset;
    explicit PresetPatch(OrvoPreset* document) : parent(document) {}
};
