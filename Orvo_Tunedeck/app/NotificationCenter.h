#pragma once
// The process's notification centre: observers by name, posts delivered synchronously on the posting thread, in the
// order the observers were added.
//
// Threads: the main queue only.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// A notification's user info: keys to URLs (the only values the application posts).
using NotificationUserInfo = std::map<std::string, std::filesystem::path>;

class NotificationCenter {
public:
    using Observer = std::function<void(const std::optional<NotificationUserInfo>& userInfo)>;

    static NotificationCenter& defaultCenter();

    // Returns a token for removeObserver (never 0).
    uint64_t addObserver(const std::string& name, Observer observer);
    void removeObserver(uint64_t token);
    void post(const std::string& name, const std::optional<NotificationUserInfo>& userInfo);

private:
    struct Entry {
        uint64_t token;
        std::string name;
        Observer observer;
    };
    std::vector<Entry> entries_;
    uint64_t nextToken_ = 1;
};

inline constexpr const char* kOpenInNotification = "OpenInNotification";

// What both delegates do with a file the platform asks them to open: logs the reason and the file's name, then posts
// kOpenInNotification with {"url": url}.
void postOpenIn(const std::filesystem::path& url, const std::string& message);
