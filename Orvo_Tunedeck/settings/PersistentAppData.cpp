#include "Orvo_Tunedeck/settings/PersistentAppData.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <sstream>
#include <utility>

#include "Orvo_Tunedeck/identity/ApplicationIdentity.h"
#include "Orvo_Tunedeck/text/PlistValueText.h"
#include "platform/foundation/Folders.h"
#include "shared/globals/Print.h"

namespace {

constexpr double kDefaultRectSide = 100;

std::optional<AppRect> rectFrom(const std::optional<foundation::PlistValue>& value) {
    const foundation::PlistDictionary* dictionary = value ? value->dictionary() : nullptr;
    if (!dictionary) {
        return std::nullopt;
    }
    AppRect rect{0, 0, kDefaultRectSide, kDefaultRectSide};
    for (const auto& [key, entry] : *dictionary) {
        double number = 0;
        if (const double* real = entry.real()) {
            number = *real;
        } else if (const std::int64_t* integer = entry.integer()) {
            number = static_cast<double>(*integer);
        } else {
            return std::nullopt;
        }
        const auto asFloat = static_cast<double>(static_cast<float>(number));
        if (key == "left") {
            rect.x = asFloat;
        } else if (key == "top") {
            rect.y = asFloat;
        } else if (key == "width") {
            rect.width = asFloat;
        } else if (key == "height") {
            rect.height = asFloat;
        }
    }
    return rect;
}

}  // namespace

std::optional<PersistentAppData::Storage> PersistentAppData::storageFromRawValue(int rawValue) {
    if (rawValue < 0 || rawValue > 2) {
        return std::nullopt;
    }
    return static_cast<Storage>(rawValue);
}

PersistentAppData& PersistentAppData::sharedStore() {
    static PersistentAppData store = [] {
        std::optional<std::filesystem::path> folder = foundation::defaultsFolder();
        if (!folder) {
            folder = std::filesystem::temp_directory_path() / "OrvoTunedeck";
            safeprint("PersistentAppData : ERROR: No folder for the settings is known (HOME and XDG_CONFIG_HOME are "
                      "unset); the settings are kept in " + folder->string() + ".");
        }
        return PersistentAppData(kApplicationBundleIdentifier, *folder);
    }();
    return store;
}

PersistentAppData::PersistentAppData(const std::string& applicationDomain, const std::filesystem::path& folder)
    : folder_(folder), defaults_(applicationDomain, folder), shared_(groupName, folder) {
    defaults_.addSuite(groupName);
}

foundation::UserDefaults& PersistentAppData::store(Storage storage) {
    return storage == Storage::shared ? shared_ : defaults_;
}

const foundation::UserDefaults& PersistentAppData::store(Storage storage) const {
    return storage == Storage::shared ? shared_ : defaults_;
}

void PersistentAppData::write(const std::string& key, std::optional<foundation::PlistValue> value, Storage storage) {
    std::string error;
    const bool written =
        value ? store(storage).set(key, std::move(*value), &error) : store(storage).remove(key, &error);
    if (!written) {
        safeprint("PersistentAppData : ERROR: The value for '" + key + "' could not be stored: " + error);
    }
}

void PersistentAppData::setString(const std::string& key, const std::string& value, Storage storage) {
    write(key, foundation::PlistValue(value), storage);
}

std::optional<std::string> PersistentAppData::getString(const std::string& key, Storage storage) const {
    return store(storage).string(key);
}

void PersistentAppData::setInt(const std::string& key, std::int64_t value, Storage storage) {
    write(key, foundation::PlistValue(value), storage);
}

std::int64_t PersistentAppData::getInt(const std::string& key, Storage storage) const {
    return store(storage).integer(key);
}

void PersistentAppData::setFloat(const std::string& key, float value, Storage storage) {
    write(key, foundation::PlistValue(value), storage);
}

float PersistentAppData::getFloat(const std::string& key, Storage storage) const {
    return static_cast<float>(store(storage).real(key));
}

void PersistentAppData::setBool(const std::string& key, bool value, Storage storage) {
    write(key, foundation::PlistValue(value), storage);
}

bool PersistentAppData::getBool(const std::string& key, Storage storage) const {
    return store(storage).boolean(key);
}

void PersistentAppData::setURL(const std::string& key, const std::optional<std::string>& url, Storage storage) {
    write(key, url ? std::optional<foundation::PlistValue>(*url) : std::nullopt, storage);
}

std::optional<std::string> PersistentAppData::getURL(const std::string& key, Storage storage) const {
    return store(storage).string(key);
}

void PersistentAppData::setObject(const std::string& key, const std::optional<foundation::PlistValue>& value,
                                  Storage storage) {
    write(key, value, storage);
}

std::optional<foundation::PlistValue> PersistentAppData::getObject(const std::string& key, Storage storage) const {
    return store(storage).object(key);
}

foundation::PlistDictionary PersistentAppData::rectDictionary(const AppRect& rect) {
    const double left = std::min(rect.x, rect.x + rect.width);
    const double top = std::min(rect.y, rect.y + rect.height);
    return {{"left", static_cast<float>(left)},
            {"top", static_cast<float>(top)},
            {"width", static_cast<float>(std::abs(rect.width))},
            {"height", static_cast<float>(std::abs(rect.height))}};
}

std::optional<AppRect> PersistentAppData::rectFromDefaults(const std::string& key) {
    return sharedStore().rectFromStore(key);
}

std::optional<AppRect> PersistentAppData::rectFromStore(const std::string& key) const {
    return rectFrom(defaults_.object(key));
}

void PersistentAppData::dumpout() const {
    const foundation::UserDefaults newShared(groupName, folder_);
    std::ostringstream text;
    const auto section = [&text](const char* title, const foundation::UserDefaults& store) {
        text << title << '\n';
        for (const auto& [key, value] : store.dictionaryRepresentation()) {
            text << key << " : " << plistValueText(value) << '\n';
        }
    };
    section("PersistentAppData::dumpout() : UserDefaults.standard : ", defaults_);
    section("PersistentAppData::dumpout() : UserDefaults.shared : ", newShared);
    section("PersistentAppData::dumpout() : UserDefaults.combined : ", defaults_);
    std::cout << text.str() << std::flush;
}
