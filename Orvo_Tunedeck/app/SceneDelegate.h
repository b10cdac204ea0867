#pragma once
// The delegate of the application's window: holds the window and hands files opened into it on to the main screen's
// hub, through the same "OpenInNotification" the application delegate posts.
//
// Threads: the main queue only.

#include <filesystem>
#include <string>
#include <vector>

// The window itself is the window host's (WindowedHost.cpp); the delegate keeps no reference to it.
class SceneDelegate {
public:
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
