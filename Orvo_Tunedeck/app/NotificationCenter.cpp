#include "Orvo_Tunedeck/app/NotificationCenter.h"

#include "shared/globals/Print.h"

#include <algorithm>

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

uint64_t NotificationCenter::addObserver(const std::string& name, Observer observer) {
    entries_.push_back({nextToken_, name, std::move(observer)});
    return nextToken_++;
}

void NotificationCenter::removeObserver(uint64_t token) {
    std::erase_if(entries_, [token](const Entry& entry) { return entry.token == token; });
}

void NotificationCenter::post(const std::string& name, const std::optional<NotificationUserInfo>& userInfo) {
    // Observers added or removed by an observer take effect from the next post.
    const std::vector<Entry> entries = entries_;
    for (const Entry& entry : entries)
        if (entry.name == name) entry.observer(userInfo);
}

void postOpenIn(const std::filesystem::path& url, const std::string& message) {
    safeprint("Note: openURL() : " + message);
    safeprint(url.filename().string());
    NotificationCenter::defaultCenter().post(kOpenInNotification, NotificationUserInfo{{"url", url}});
}
