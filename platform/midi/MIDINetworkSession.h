#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/midi/MIDITypes.h"

namespace midi {

class MIDINetworkSession;

inline constexpr const char* MIDINetworkNotificationSessionDidChange = "MIDINetworkNotificationSessionDidChange";
inline constexpr const char* MIDINetworkNotificationContactsDidChange = "MIDINetworkNotificationContactsDidChange";

enum class MIDINetworkConnectionPolicy : std::uint32_t { noOne = 0, hostsInContactList = 1, anyone = 2 };

// A notification of the session: its name and the session it is about.
struct MIDINetworkNotification {
    std::string name;
    MIDINetworkSession* object = nullptr;

    std::string description() const;
};

// The MIDI network session: its state and its notifications. This system offers no network transport, so the
// session never has connections or contacts and its endpoints are 0; switching it on or changing its policy is
// recorded and posts MIDINetworkNotificationSessionDidChange to the observers, on the calling thread.
//
// Threads: any thread except the render thread. Observers are called without the session's lock held.
class MIDINetworkSession {
public:
    using Observer = std::function<void(const MIDINetworkNotification& notification)>;

    bool isEnabled() const;
    void setEnabled(bool enabled);
    MIDINetworkConnectionPolicy connectionPolicy() const;
    void setConnectionPolicy(MIDINetworkConnectionPolicy policy);
    std::uint32_t networkPort() const { return 0; }
    std::string networkName() const;
    std::string localName() const;
    MIDIEndpointRef sourceEndpoint() const { return 0; }
    MIDIEndpointRef destinationEndpoint() const { return 0; }
    // Descriptions of the session's connections and contacts.
    std::vector<std::string> connections() const { return {}; }
    std::vector<std::string> contacts() const { return {}; }
    std::string description() const;

    // Registers observer for notifications named name; returns a token for removeObserver.
    std::uint64_t addObserver(const std::string& name, Observer observer);
    void removeObserver(std::uint64_t token);
    // Posts a notification of this session named name to its observers.
    void post(const std::string& name);

private:
    struct Registration {
        std::uint64_t token;
        std::string name;
        Observer observer;
    };

    mutable std::mutex mutex_;
    bool enabled_ = false;
    MIDINetworkConnectionPolicy policy_ = MIDINetworkConnectionPolicy::noOne;
    std::uint64_t nextToken_ = 1;
    std::vector<Registration> observers_;
};

}  // namespace midi
