#pragma once

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace testsupport {

// Sets or clears environment variables for the life of the object, then restores what was there.
// Use only while the test runs on one thread.
class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
    }

    void set(const std::string& name, const std::string& value) {
        save(name);
        ::setenv(name.c_str(), value.c_str(), 1);
    }

    void unset(const std::string& name) {
        save(name);
        ::unsetenv(name.c_str());
    }

private:
    void save(const std::string& name) {
        if (saved_.count(name) == 0) {
            const char* value = std::getenv(name.c_str());
            saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
        }
    }

    std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace testsupport
