#pragma once

#include <string>

namespace ui {

// A scene session as the application's delegate sees it when a scene connects: the role it plays.
struct SceneSession {
    static constexpr const char* kWindowApplicationRole = "window application";
    std::string role = kWindowApplicationRole;
};

// What a connecting scene is set up from: a configuration named in the application's description, in the role of
// the session it is for.
struct SceneConfiguration {
    std::string name;
    std::string sessionRole;
};

// The running application: the state the platform keeps for the whole program. Remote-control events (the media
// keys and the system's play controls) are only received between begin and end; nothing delivers them yet.
//
// Thread contract: main thread only.
class Application {
public:
    static Application& shared();

    void beginReceivingRemoteControlEvents() { receivingRemoteControlEvents_ = true; }
    void endReceivingRemoteControlEvents() { receivingRemoteControlEvents_ = false; }
    bool isReceivingRemoteControlEvents() const { return receivingRemoteControlEvents_; }

private:
    bool receivingRemoteControlEvents_ = false;
};

}  // namespace ui
