#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/foundation/PlistValue.h"
#include "platform/foundation/UserDefaults.h"

// The application group both deliverables join; it names the shared settings store.
inline constexpr const char* groupName = "group.org.orvo.tunedeck";

// A rectangle in points.
struct AppRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

// The application's key-value settings over three stores: its own standard store, the store shared through the
// application group, and the combined view (the standard store searching the group's after its own domain; it is the
// same store as `defaults`, so reads through `defaults` find group values too). Writes through `defaults` or
// `combined` go to the application's own domain. Values absent give none, 0 or false.
//
// Threads: any thread except the render thread, one at a time per instance.
class PersistentAppData {
public:
    enum class Storage : int { defaults = 0, shared = 1, combined = 2 };
    // The case of a raw value; none for values outside 0 to 2.
    static std::optional<Storage> storageFromRawValue(int rawValue);

    // Lazily created singleton over the app's and the group's domains in the user-defaults folder; never destroyed.
    static PersistentAppData& sharedStore();

    // applicationDomain: the standard store's domain; folder: where the stores' files are.
    PersistentAppData(const std::string& applicationDomain, const std::filesystem::path& folder);

    void setString(const std::string& key, const std::string& value, Storage storage);
    std::optional<std::string> getString(const std::string& key, Storage storage) const;
    void setInt(const std::string& key, std::int64_t value, Storage storage);
    std::int64_t getInt(const std::string& key, Storage storage) const;
    void setFloat(const std::string& key, float value, Storage storage);
    float getFloat(const std::string& key, Storage storage) const;
    void setBool(const std::string& key, bool value, Storage storage);
    bool getBool(const std::string& key, Storage storage) const;
    // A URL as its text ("file:///..."); none removes the value.
    void setURL(const std::string& key, const std::optional<std::string>& url, Storage storage);
    std::optional<std::string> getURL(const std::string& key, Storage storage) const;
    // Any property-list value; none removes the value.
    void setObject(const std::string& key, const std::optional<foundation::PlistValue>& value, Storage storage);
    std::optional<foundation::PlistValue> getObject(const std::string& key, Storage storage) const;

    // {"left": minimum x, "top": minimum y, "width", "height"}, each a 32-bit float.
    static foundation::PlistDictionary rectDictionary(const AppRect& rect);
    // The rectangle stored under key in the `defaults` store of sharedStore(): x 0, y 0, width 100, height 100,
    // each replaced by the entry present; none when the value is absent or no dictionary of numbers.
    static std::optional<AppRect> rectFromDefaults(const std::string& key);
    // The same for this instance.
    std::optional<AppRect> rectFromStore(const std::string& key) const;

    // Prints the standard, shared and combined stores to standard output, one "key : value" line per entry.
    void dumpout() const;

private:
    foundation::UserDefaults& store(Storage storage);
    const foundation::UserDefaults& store(Storage storage) const;
    void write(const std::string& key, std::optional<foundation::PlistValue> value, Storage storage);

    std::filesystem::path folder_;
    foundation::UserDefaults defaults_;  // also the combined store
    foundation::UserDefaults shared_;
};
