#include "Orvo_Tunedeck/app/AppDelegate.h"

#include "Orvo_Tunedeck/app/NotificationCenter.h"
#include "Orvo_Tunedeck/app/ViewController.h"
#include "Orvo_Tunedeck/midi/MIDIConnection.h"
#include "platform/audioengine/AudioSession.h"
#include "shared/globals/Print.h"

bool AppDelegate::applicationDidFinishLaunchingWithOptions() { return launchSetup(); }

void AppDelegate::applicationWillTerminate() { terminateTeardown(); }

ui::SceneConfiguration AppDelegate::applicationConfigurationForConnecting(const ui::SceneSession& session) {
    return {"Default Configuration", session.role};
}

void AppDelegate::applicationDidDiscardSceneSessions(const std::vector<ui::SceneSession>&) {}

bool AppDelegate::launchSetup() {
    MIDIConnection::shared()._initialize();
    auto& session = audioengine::AudioSession::sharedInstance();
    if (!session.setCategory(audioengine::AudioSession::Category::playback)) {
        safeprint("Error: The audio session refused the playback category.");
    } else if (!session.setPreferredSampleRate(48000.0)) {
        safeprint("Error: The audio session refused the sample rate 48000 Hz.");
    } else if (!session.setActive(true)) {
        safeprint("Error: The audio session could not be activated.");
    } else {
        ui::Application::shared().beginReceivingRemoteControlEvents();
    }
    return true;
}

void AppDelegate::openURL(const std::filesystem::path& url, const std::string& message) {
    postOpenIn(url, message);
    safeprint("A notification was created and forwarded to the ViewController.");
}

bool AppDelegate::applicationHandleOpen(const std::filesystem::path& url) {
    openURL(url, "application(handleOpen) was called.");
    return true;
}

bool AppDelegate::applicationOpenSourceApplication(const std::filesystem::path& url) {
    openURL(url, "application(open, sourceApplication, annotation) was called.");
    return true;
}

bool AppDelegate::applicationOpenOptions(const std::filesystem::path& url) {
    openURL(url, "application(open, options) was called.");
    return true;
}

void AppDelegate::terminateTeardown() {
    MIDIConnection::shared().dispose();
    if (ViewController* controller = currentViewController(); controller != nullptr && controller->player)
        controller->player->stopEngine();
    if (audioengine::AudioSession::sharedInstance().setActive(false))
        ui::Application::shared().endReceivingRemoteControlEvents();
    else
        safeprint("Error: The audio session could not be deactivated.");
}
