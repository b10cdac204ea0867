#pragma once
// The delegate of the application's window: holds the window and hands files opened into it on to the main screen's
// hub, through the same "OpenInNotification" the application delegate posts.
//
// Threads: the main queue only.

#include <filesystem>
#include <string>
#include <vector>

namespace ui {
class Window;
}

class SceneDelegate {
public:
    // The window of the scene, once the window host has made it (WindowedHost.cpp); not owned: the host's.
    ui::Window* window = nullptr;

    void sceneWillConnect() {}
    // Logs the files, then opens the first of them (the others are left alone).
    void sceneOpenURLContexts(const std::vector<std::filesystem::path>& urls);
    void sceneDidDisconnect() {}
    void sceneDidBecomeActive() {}
    void sceneWillResignActive() {}
    void sceneWillEnterForeground() {}
    void sceneDidEnterBackground() {}

    // Posts "OpenInNotification" with {"url": url} between two log lines.
    void openURL(const std::filesystem::path& url, const std::string& message);
};
