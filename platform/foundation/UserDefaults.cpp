#include "platform/foundation/UserDefaults.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <mutex>
#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/foundation/PropertyList.h"

namespace foundation {
namespace {

// One lock for every store of this process: a write reads, changes and rewrites a file.
std::mutex& filesMutex() {
    static std::mutex mutex;
    return mutex;
}

// Holds an advisory lock on the domain's lock file beside its property list for as long as it lives, so that a
// read-change-write of one process never interleaves with that of another. Without a lock file (unwritable folder)
// it holds nothing and the write that follows reports the failure.
class DomainFileLock {
public:
    explicit DomainFileLock(const std::filesystem::path& lockPath)
        : fd_(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
        while (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~DomainFileLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    DomainFileLock(const DomainFileLock&) = delete;
    DomainFileLock& operator=(const DomainFileLock&) = delete;

private:
    int fd_;
};

template <typename Number>
std::optional<Number> parseWhole(const std::string& text) {
    Number value{};
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (result.ec != std::errc() || result.ptr != end) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

UserDefaults::UserDefaults(std::string domain, std::filesystem::path folder)
    : domain_(std::move(domain)), folder_(std::move(folder)) {}

std::filesystem::path UserDefaults::filePath() const {
    return folder_ / (domain_ + ".plist");
}

void UserDefaults::addSuite(const std::string& suite) {
    if (suite != domain_ && std::find(suites_.begin(), suites_.end(), suite) == suites_.end()) {
        suites_.push_back(suite);
    }
}

std::optional<PlistDictionary> UserDefaults::load(const std::string& domain, std::string& error) const {
    const auto path = folder_ / (domain + ".plist");
    std::error_code missing;
    if (!std::filesystem::exists(path, missing)) {
        return PlistDictionary{};
    }
    auto document = readPlistFile(path, error);
    if (!document) {
        return std::nullopt;
    }
    if (auto* entries = document->root.dictionary()) {
        return std::move(*entries);
    }
    error = path.string() + ": The property list is no dictionary.";
    return std::nullopt;
}

PlistDictionary UserDefaults::dictionaryRepresentation() const {
    std::lock_guard lock(filesMutex());
    PlistDictionary merged;
    std::string ignored;
    // Own domain first: insert() keeps the first value of a key.
    if (auto own = load(domain_, ignored)) {
        merged.insert(own->begin(), own->end());
    }
    for (const auto& suite : suites_) {
        if (auto entries = load(suite, ignored)) {
            merged.insert(entries->begin(), entries->end());
        }
    }
    return merged;
}

std::optional<PlistValue> UserDefaults::object(const std::string& key) const {
    const PlistDictionary entries = dictionaryRepresentation();
    const auto it = entries.find(key);
    if (it == entries.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::optional<std::string> UserDefaults::string(const std::string& key) const {
    const auto value = object(key);
    if (value && value->string()) {
        return *value->string();
    }
    return std::nullopt;
}

std::int64_t UserDefaults::integer(const std::string& key) const {
    const auto value = object(key);
    if (!value) return 0;
    if (auto* number = value->integer()) return *number;
    if (auto* number = value->real()) {
        return std::isfinite(*number) && std::fabs(*number) < 9.2e18 ? static_cast<std::int64_t>(*number) : 0;
    }
    if (auto* flag = value->boolean()) return *flag ? 1 : 0;
    if (auto* text = value->string()) return parseWhole<std::int64_t>(*text).value_or(0);
    return 0;
}

double UserDefaults::real(const std::string& key) const {
    const auto value = object(key);
    if (!value) return 0;
    if (auto* number = value->real()) return *number;
    if (auto* number = value->integer()) return static_cast<double>(*number);
    if (auto* flag = value->boolean()) return *flag ? 1 : 0;
    if (auto* text = value->string()) return parseWhole<double>(*text).value_or(0);
    return 0;
}

bool UserDefaults::boolean(const std::string& key) const {
    const auto value = object(key);
    if (!value) return false;
    if (auto* flag = value->boolean()) return *flag;
    if (auto* number = value->integer()) return *number != 0;
    if (auto* number = value->real()) return *number != 0;
    if (auto* text = value->string()) {
        if (strcasecmp(text->c_str(), "yes") == 0 || strcasecmp(text->c_str(), "true") == 0) return true;
        return parseWhole<double>(*text).value_or(0) != 0;
    }
    return false;
}

bool UserDefaults::set(const std::string& key, PlistValue value, std::string* error) {
    return change(key, std::move(value), error);
}

bool UserDefaults::remove(const std::string& key, std::string* error) {
    return change(key, std::nullopt, error);
}

bool UserDefaults::change(const std::string& key, std::optional<PlistValue> value, std::string* error) {
    std::lock_guard lock(filesMutex());
    std::error_code folderError;
    std::filesystem::create_directories(folder_, folderError);
    const DomainFileLock otherProcesses(folder_ / ("." + domain_ + ".plist.lock"));
    std::string description;
    auto entries = load(domain_, description);
    bool written = false;
    if (entries) {
        if (value) {
            entries->insert_or_assign(key, std::move(*value));
        } else {
            entries->erase(key);
        }
        written = writePlistFile(filePath(), PlistValue(std::move(*entries)), description);
    }
    if (!written && error != nullptr) {
        *error = description;
    }
    return written;
}

}  // namespace foundation
