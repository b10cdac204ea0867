#include "platform/midi/MIDINetworkSession.h"

#include <unistd.h>

#include <utility>

namespace midi {

namespace {

std::string hostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') {
        return "localhost";
    }
    return name;
}

}  // namespace

std::string MIDINetworkNotification::description() const {
    return "MIDINetworkNotification(name: " + name + ", object: " + (object ? object->description() : "nil") + ")";
}

bool MIDINetworkSession::isEnabled() const {
    std::lock_guard lock(mutex_);
    return enabled_;
}

void MIDINetworkSession::setEnabled(bool enabled) {
    {
        std::lock_guard lock(mutex_);
        if (enabled_ == enabled) {
            return;
        }
        enabled_ = enabled;
    }
    post(MIDINetworkNotificationSessionDidChange);
}

MIDINetworkConnectionPolicy MIDINetworkSession::connectionPolicy() const {
    std::lock_guard lock(mutex_);
    return policy_;
}

void MIDINetworkSession::setConnectionPolicy(MIDINetworkConnectionPolicy policy) {
    {
        std::lock_guard lock(mutex_);
        if (policy_ == policy) {
            return;
        }
        policy_ = policy;
    }
    post(MIDINetworkNotificationSessionDidChange);
}

std::string MIDINetworkSession::networkName() const {
    return hostName();
}

std::string MIDINetworkSession::localName() const {
    return hostName();
}

std::string MIDINetworkSession::description() const {
    return "MIDINetworkSession(enabled: " + std::string(isEnabled() ? "true" : "false") +
           ", policy: " + std::to_string(static_cast<std::uint32_t>(connectionPolicy())) +
           ", port: 0, name: " + networkName() + ")";
}

std::uint64_t MIDINetworkSession::addObserver(const std::string& name, Observer observer) {
    std::lock_guard lock(mutex_);
    const std::uint64_t token = nextToken_++;
    observers_.push_back({token, name, std::move(observer)});
    return token;
}

void MIDINetworkSession::removeObserver(std::uint64_t token) {
    std::lock_guard lock(mutex_);
    std::erase_if(observers_, [token](const Registration& r) { return r.token == token; });
}

void MIDINetworkSession::post(const std::string& name) {
    std::vector<Observer> called;
    {
        std::lock_guard lock(mutex_);
        for (const Registration& r : observers_) {
            if (r.name == name) {
                called.push_back(r.observer);
            }
        }
    }
    const MIDINetworkNotification notification{name, this};
    for (const Observer& observer : called) {
        observer(notification);
    }
}

}  // namespace midi
