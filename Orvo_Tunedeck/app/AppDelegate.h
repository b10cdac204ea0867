#pragma once
// Start-up, opened files and shutdown of the application.
//
// Threads: the main queue only. Posting is synchronous: the observer of "OpenInNotification" has handled the file
// when openURL returns.

#include <filesystem>
#include <string>

class AppDelegate {
public:
    // Sets up MIDI (client, ports, network session; no source connected yet), then the audio session: playback,
    // 48000 Hz, active; a refusal is logged ("Error: ...") and the calls after it are not made. Always true.
    bool launchSetup();
    // Posts "OpenInNotification" with {"url": url} between two log lines.
    void openURL(const std::filesystem::path& url, const std::string& message);
    // The three ways the platform asks the application to open a file (the command line's files come through
    // applicationOpenOptions); each opens it through openURL and answers true.
    bool applicationHandleOpen(const std::filesystem::path& url);
    bool applicationOpenSourceApplication(const std::filesystem::path& url);
    bool applicationOpenOptions(const std::filesystem::path& url);
    // Closes MIDI, stops the engine of the current view controller, when there is one, and deactivates the audio
    // session.
    void terminateTeardown();
};
