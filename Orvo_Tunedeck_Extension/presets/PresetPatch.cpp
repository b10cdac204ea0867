#include "Orvo_Tunedeck_Extension/presets/PresetPatch.h"

#include <algorithm>
#include <string_view>
#include <system_error>

#include "Orvo_Tunedeck_Extension/presets/OrvoPreset.h"
#include "Orvo_Tunedeck_Extension/presets/PresetFieldReading.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/PropertyList.h"
#include "shared/globals/Print.h"

namespace {

// The form the bytes claim to be in, for the log line of a file that does not parse.
foundation::PlistFormat claimedFormat(const std::vector<std::uint8_t>& bytes) {
    constexpr std::string_view kBinaryMagic = "bplist";
    const bool binary = bytes.size() >= kBinaryMagic.size() &&
                        std::equal(kBinaryMagic.begin(), kBinaryMagic.end(), bytes.begin());
    return binary ? foundation::PlistFormat::binary : foundation::PlistFormat::xml;
}

}  // namespace

foundation::PlistDictionary PresetPatch::toDictionary() {
    foundation::PlistDictionary dictionary{
        {"version", version},
        {"type", type},
        {"manufacturer", manufacturer},
        {"subtype", subtype},
        {"number", number},
        {"name", name},
        {"data", data},
        {"count", groups.size()},
        {"link", link},
    };
    for (std::size_t position = 0; position < groups.size(); ++position) {
        dictionary.emplace("group " + std::to_string(position), groups[position]->toDictionary());
    }
    return dictionary;
}

void PresetPatch::fromDictionary(const foundation::PlistDictionary& dictionary) {
    groups.clear();
    for (const auto& [key, entry] : dictionary) {
        if (key == "version") {
            if (const auto integer = presetfields::readInteger(entry)) version = *integer;
        } else if (key == "number") {
            if (const auto integer = presetfields::readInteger(entry)) number = *integer;
        } else if (key == "type") {
            if (const auto code = presetfields::readCode(entry)) {
                type = *code;
                if (parent != nullptr) parent->componentDescription.componentType = *code;
            }
        } else if (key == "manufacturer") {
            if (const auto code = presetfields::readCode(entry)) {
                manufacturer = *code;
                if (parent != nullptr) parent->componentDescription.componentManufacturer = *code;
            }
        } else if (key == "subtype") {
            if (const auto code = presetfields::readCode(entry)) {
                subtype = *code;
                if (parent != nullptr) parent->componentDescription.componentSubType = *code;
            }
        } else if (key == "name") {
            if (const auto* text = entry.string()) name = *text;
        } else if (key == "link") {
            if (const auto* text = entry.string()) link = *text;
        } else if (key == "data") {
            if (const auto* bytes = entry.data()) data = *bytes;
        }
    }
    for (const auto* entry : presetfields::entriesContaining(dictionary, "group")) {
        auto group = std::make_shared<PresetGroup>();
        group->fromDictionary(*entry);
        groups.push_back(std::move(group));
    }
}

bool PresetPatch::saveToFile(const std::filesystem::path& path) {
    std::string error;
    if (!foundation::writePlistFile(path, toDictionary(), error)) {
        safeprint("OrvoPreset::saveToFile() : ERROR: Could not write the preset: " + error);
        return false;
    }
    return true;
}

foundation::OSStatus PresetPatch::loadFromFile(const std::filesystem::path& path) {
    std::error_code exists;
    if (!std::filesystem::exists(path, exists)) {
        safeprint("OrvoPreset::loadFromFile() : ERROR: The path " + path.string() + " does not exist.");
        return foundation::kAudioUnitErr_InvalidFilePath;
    }
    std::string error;
    const auto bytes = foundation::readFile(path, foundation::kPropertyListFileByteLimit, error);
    if (!bytes) {
        safeprint("OrvoPreset::loadFromFile() : ERROR: The file is not readable.");
        return foundation::kAudioUnitErr_InvalidFilePath;
    }
    const auto document = foundation::readPlist(*bytes, error);
    if (!document) {
        safeprint("OrvoPreset::loadFromFile() : ERROR: Could not read the file '" + path.string() + "': " + error +
                  ", Format: " + foundation::plistFormatName(claimedFormat(*bytes)));
        return foundation::kAudioUnitErr_InvalidFilePath;
    }
    const auto* dictionary = document->root.dictionary();
    if (dictionary == nullptr) {
        safeprint("OrvoPreset::loadFromFile() : ERROR: The file '" + path.string() +
                  "' does not hold a dictionary.");
        return foundation::kAudioUnitErr_InvalidFilePath;
    }
    fromDictionary(*dictionary);
    return foundation::noErr;
}
