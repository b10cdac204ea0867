#include "Orvo_Tunedeck/app/HeadlessHost.h"

#include <pthread.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "Orvo_Tunedeck/app/AppDelegate.h"
#include "Orvo_Tunedeck/app/FilePlayback.h"
#include "Orvo_Tunedeck/app/OfflineRender.h"
#include "Orvo_Tunedeck/app/ProgramMessages.h"
#include "Orvo_Tunedeck/app/ViewController.h"
#include "Orvo_Tunedeck/midi/MIDIConnection.h"
#include "platform/audioengine/AlsaOutput.h"
#include "platform/audioengine/AudioSession.h"
#include "platform/audiounit/AudioComponentRegistry.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Folders.h"

namespace {

std::string soundText(const SoundChoice& sound) {
    if (sound.soundfont) return "the sound bank '" + sound.soundfont->string() + "'";
    return "sound set " + std::to_string(sound.soundSet.value_or(0));
}

// Plays the files one after another, each with its tail; stops the main queue after the last.
class FileQueue {
public:
    FileQueue(AudioEngine& player, const HeadlessOptions& options) : playback_(player), options_(options) {}

    // Starts the next file; false with error when it cannot be played, and false with an empty error after the
    // last.
    bool startNext(std::string& error) {
        if (next_ == options_.files.size()) return false;
        const std::filesystem::path& file = options_.files[next_++];
        if (!playback_.start(file, error)) return false;
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.1f", playback_.durationSeconds());
        reportStatus("playing '" + file.string() + "' (" + seconds + " s) with " + soundText(options_.sound) +
                     " on ALSA PCM '" + options_.device + "'. Stop with Ctrl-C.");
        return true;
    }
    bool finished() const { return playback_.finished(); }

private:
    FilePlayback playback_;
    const HeadlessOptions& options_;
    size_t next_ = 0;
};

int reportNoSoundOutput(const std::string& reason) {
    return reportError("no sound output: " + reason +
                       ". Is there a sound card? (Offline rendering works without one: --render OUT.wav --midi "
                       "FILE.mid)");
}

// Plays the files named on the command line, or else MIDI input, until the files have been played, the sound
// output fails, or SIGINT or SIGTERM arrives: the signals are taken by a thread of their own, which stops the main
// queue.
int playLive(const HeadlessOptions& options) {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    auto& mainQueue = dispatch::MainQueue::shared();
    const auto controller = std::make_shared<ViewController>();
    auto alsa = std::make_unique<audioengine::AlsaOutput>(options.device,
                                                          audioengine::AudioSession::sharedInstance().sampleRate());
    // A device that cannot play is found out before the engine would try it and log its own failure; the engine
    // then runs on the null output until the sound choice has been checked, which is reported first.
    const std::string noOutput = alsa->probe();
    // Owned by the engine from here on when the device plays, and kept by it for as long as the controller lives.
    const audioengine::AlsaOutput& output = *alsa;
    controller->viewDidLoad(noOutput.empty() ? std::move(alsa) : nullptr);
    mainQueue.drain();
    if (!controller->player->instrument || !controller->player->instrument->audioUnit0)
        return reportError("the instrument could not be loaded");
    if (std::string error; !applySoundChoice(*controller, options.sound, error)) return reportError(error);
    if (!noOutput.empty()) return reportNoSoundOutput(noOutput);
    for (const std::filesystem::path& file : options.files) AppDelegate().applicationOpenOptions(file);
    mainQueue.drain();
    if (!controller->player->engine->isRunning())
        return reportNoSoundOutput("the audio engine could not be started on ALSA PCM '" + options.device + "'");
    // Without a configuration screen every MIDI source there is now is switched on.
    MIDIConnection::shared().connectAllInputs();
    FileQueue files(*controller->player, options);
    if (options.files.empty()) {
        reportStatus("playing MIDI input with " + soundText(options.sound) + " on ALSA PCM '" + options.device +
                     "'. Stop with Ctrl-C.");
    } else if (std::string error; !files.startNext(error)) {
        return reportError(error);
    }
    int status = 0;
    // A sound output that gave up would leave the files' time standing still: that ends the play too.
    const auto watch = mainQueue.scheduleRepeatingTimer(0.1, [&](dispatch::Timer& timer) {
        std::string error = output.failure();
        if (error.empty() && (options.files.empty() || !files.finished() || files.startNext(error))) return;
        if (!error.empty()) status = reportError(error);
        timer.invalidate();
        mainQueue.stop();
    });
    std::thread waiter([&signals, &mainQueue] {
        int signal = 0;
        sigwait(&signals, &signal);
        mainQueue.stop();
    });
    mainQueue.run();
    watch->invalidate();
    AppDelegate().applicationWillTerminate();
    mainQueue.drain();
    // When the files came to their end the waiter still waits for a signal: it is sent one (blocked everywhere, it
    // can only end the wait).
    pthread_kill(waiter.native_handle(), SIGTERM);
    waiter.join();
    return status;
}

}  // namespace

int runHeadless(const HeadlessOptions& options) {
    AudioComponentRegistry::shared().addSearchFolder(foundation::audioModulesFolder());
    AppDelegate appDelegate;
    appDelegate.applicationDidFinishLaunchingWithOptions();
    dispatch::MainQueue::shared().drain();
    if (options.picture) {
        const int result = drawMainScreenPicture(*options.picture);
        appDelegate.applicationWillTerminate();
        dispatch::MainQueue::shared().drain();
        return result;
    }
    if (!options.renderTo.empty()) {
        OfflineRenderRequest request;
        request.midiFile = options.midiFile;
        request.wavFile = options.renderTo;
        request.sound = options.sound;
        request.sampleRateHz = audioengine::AudioSession::sharedInstance().sampleRate();
        request.showProgress = options.showProgress;
        const auto started = std::chrono::steady_clock::now();
        const int result = renderOffline(request);
        if (result == 0) {
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
            char seconds[32];
            std::snprintf(seconds, sizeof seconds, "%.1f", took.count());
            reportStatus("rendered '" + options.midiFile.string() + "' with " + soundText(options.sound) + " into '" +
                         options.renderTo.string() + "' in " + seconds + " s.");
        }
        appDelegate.applicationWillTerminate();
        dispatch::MainQueue::shared().drain();
        return result;
    }
    return playLive(options);
}
