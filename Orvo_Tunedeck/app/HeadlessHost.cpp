#include "Orvo_Tunedeck/app/HeadlessHost.h"

#include <pthread.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "Orvo_Tunedeck/app/AppDelegate.h"
#include "Orvo_Tunedeck/app/OfflineRender.h"
#include "Orvo_Tunedeck/app/ProgramMessages.h"
#include "Orvo_Tunedeck/app/ViewController.h"
#include "Orvo_Tunedeck/midi/MIDIConnection.h"
#include "platform/audioengine/AlsaOutput.h"
#include "platform/audioengine/AudioSession.h"
#include "platform/audiounit/AudioComponentRegistry.h"
#include "platform/dispatch/MainQueue.h"

namespace {

std::string soundText(const SoundChoice& sound) {
    if (sound.soundfont) return "the sound bank '" + sound.soundfont->string() + "'";
    return "sound set " + std::to_string(sound.soundSet.value_or(0));
}

// Plays until SIGINT or SIGTERM: the signals are taken by a thread of their own, which stops the main queue.
int playLive(const HeadlessOptions& options) {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    auto& mainQueue = dispatch::MainQueue::shared();
    const auto controller = std::make_shared<ViewController>();
    controller->viewDidLoad(std::make_unique<audioengine::AlsaOutput>(
        options.device, audioengine::AudioSession::sharedInstance().sampleRate()));
    mainQueue.drain();
    if (!controller->player->instrument || !controller->player->instrument->audioUnit0)
        return reportError("the instrument could not be loaded");
    if (std::string error; !applySoundChoice(*controller, options.sound, error)) return reportError(error);
    for (const std::filesystem::path& file : options.files) AppDelegate().applicationOpenOptions(file);
    mainQueue.drain();
    if (!controller->player->engine->isRunning())
        return reportError("no sound output on ALSA PCM '" + options.device +
                           "'. Is there a sound card? (Offline rendering works without one: --render OUT.wav --midi "
                           "FILE.mid)");
    // Without a configuration screen every MIDI source there is now is switched on.
    MIDIConnection::shared().connectAllInputs();
    reportStatus("playing MIDI input with " + soundText(options.sound) + " on ALSA PCM '" + options.device +
                 "'. Stop with Ctrl-C.");
    std::thread waiter([&signals, &mainQueue] {
        int signal = 0;
        sigwait(&signals, &signal);
        mainQueue.stop();
    });
    mainQueue.run();
    AppDelegate().terminateTeardown();
    mainQueue.drain();
    // The waiter has returned from sigwait (it is what stopped the queue).
    waiter.join();
    return 0;
}

}  // namespace

int runHeadless(const HeadlessOptions& options) {
    AudioComponentRegistry::shared().addSearchFolder(TUNEDECK_AUDIO_MODULES_DIR);
    AppDelegate appDelegate;
    appDelegate.launchSetup();
    dispatch::MainQueue::shared().drain();
    if (options.picture) {
        const int result = drawMainScreenPicture(*options.picture);
        appDelegate.terminateTeardown();
        dispatch::MainQueue::shared().drain();
        return result;
    }
    if (!options.renderTo.empty()) {
        OfflineRenderRequest request;
        request.midiFile = options.midiFile;
        request.wavFile = options.renderTo;
        request.sound = options.sound;
        request.sampleRateHz = audioengine::AudioSession::sharedInstance().sampleRate();
        const auto started = std::chrono::steady_clock::now();
        const int result = renderOffline(request);
        if (result == 0) {
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
            char seconds[32];
            std::snprintf(seconds, sizeof seconds, "%.1f", took.count());
            reportStatus("rendered '" + options.midiFile.string() + "' with " + soundText(options.sound) + " into '" +
                         options.renderTo.string() + "' in " + seconds + " s.");
        }
        appDelegate.terminateTeardown();
        dispatch::MainQueue::shared().drain();
        return result;
    }
    return playLive(options);
}
