#pragma once
// Start-up, opened files and shutdown of the application.
//
// Threads: the main queue only. Posting is synchronous: the observer of "OpenInNotification" has handled the file
// when openURL returns.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/ui/Application.h"

class AppDelegate {
public:
    // The platform's calls when the application has started and when it ends: launchSetup and terminateTeardown.
    bool applicationDidFinishLaunchingWithOptions();
    void applicationWillTerminate();
    // The configuration of a scene that connects: "Default Configuration", in the role of its session.
    ui::SceneConfiguration applicationConfigurationForConnecting(const ui::SceneSession& session);
    // Scenes the user discarded leave nothing to clean up.
    void applicationDidDiscardSceneSessions(const std::vector<ui::SceneSession>& sessions);

    // Sets up MIDI (client, ports, network session; no source connected yet), then the audio session: playback,
    // 48000 Hz, active; a refusal is logged ("Error: ...") and the calls after it are not made. Once the session is
    // active the application receives remote-control events. Always true.
    bool launchSetup();
    // Posts "OpenInNotification" with {"url": url} between two log lines.
    void openURL(const std::filesystem::path& url, const std::string& message);
    // The three ways the platform asks the application to open a file (the command line's files come through
    // applicationOpenOptions); each opens it through openURL and answers true.
    bool applicationHandleOpen(const std::filesystem::path& url);
    bool applicationOpenSourceApplication(const std::filesystem::path& url);
    bool applicationOpenOptions(const std::filesystem::path& url);
    // Closes MIDI, stops the engine of the current view controller, when there is one, and deactivates the audio
    // session; once it is inactive the application no longer receives remote-control events.
    void terminateTeardown();
};
