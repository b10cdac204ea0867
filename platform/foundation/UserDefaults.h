#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/PlistValue.h"

namespace foundation {

// A user-defaults store: the key-value dictionary of one domain, kept as the XML property list
// <folder>/<domain>.plist. Every read looks at the file and every write rewrites it atomically, so several stores of
// the same domain (also in another process) see each other's values. A write reads, changes and rewrites the file
// under an advisory lock on "." + domain + ".plist.lock" in the folder, so writes from other processes are merged,
// not lost. Reads search the own domain first, then the
// suites added, in the order added; writes go to the own domain only.
//
// Threads: any thread except the render thread; a store is not to be changed (addSuite) while another thread uses it.
class UserDefaults {
public:
    // folder: usually foundation::defaultsFolder(); created on the first write.
    UserDefaults(std::string domain, std::filesystem::path folder);

    const std::string& domain() const { return domain_; }
    std::filesystem::path filePath() const;

    // Adds the domain suite to the search list of reads (once; the own domain is never added).
    void addSuite(const std::string& suite);

    // The value for key, or nullopt.
    std::optional<PlistValue> object(const std::string& key) const;
    // Typed reads. A string value only gives string(). integer(): integers; reals truncated toward zero; booleans 0 or
    // 1; strings holding a whole decimal number; otherwise 0. real(): numbers, booleans 0 or 1, strings holding a
    // number; otherwise 0. boolean(): booleans; numbers other than 0; strings "YES", "true" (any case) or holding a
    // number other than 0; otherwise false.
    std::optional<std::string> string(const std::string& key) const;
    std::int64_t integer(const std::string& key) const;
    double real(const std::string& key) const;
    bool boolean(const std::string& key) const;

    // Every key visible to reads, the own domain winning over suites.
    PlistDictionary dictionaryRepresentation() const;

    // Stores value for key in the own domain. Fails, leaving the file as it was, when it cannot be written or holds
    // no readable property-list dictionary; error then describes why.
    bool set(const std::string& key, PlistValue value, std::string* error = nullptr);
    // Removes key from the own domain; same failure rule.
    bool remove(const std::string& key, std::string* error = nullptr);

private:
    std::optional<PlistDictionary> load(const std::string& domain, std::string& error) const;
    bool change(const std::string& key, std::optional<PlistValue> value, std::string* error);

    std::string domain_;
    std::filesystem::path folder_;
    std::vector<std::string> suites_;
};

}  // namespace foundation
