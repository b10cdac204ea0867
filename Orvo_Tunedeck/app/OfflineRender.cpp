#include "Orvo_Tunedeck/app/OfflineRender.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>

#include "Orvo_Tunedeck/app/MidiFileSchedule.h"
#include "Orvo_Tunedeck/app/ProgramMessages.h"
#include "Orvo_Tunedeck/app/ProgressLine.h"
#include "Orvo_Tunedeck/app/RenderTargetChecks.h"
#include "Orvo_Tunedeck/app/ViewController.h"
#include "platform/audioengine/WavFileOutput.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/FileTarget.h"
#include "shared/globals/Print.h"

namespace {

// Frames rendered per step; the file's messages land on their exact frame inside a step.
constexpr int64_t kBlockFrames = 256;
// Messages scheduled per render call: well inside what the instrument's schedule queue holds for one call.
constexpr size_t kMessagesPerRender = 256;

// A point where tests catch a render in the middle: with TUNEDECK_TEST_HOLD_RENDER_AT_SECONDS set, once that much
// sound has been rendered (and is in the file), the render says so on standard error and waits until standard input
// ends.
class TestHold {
public:
    explicit TestHold(double sampleRateHz) {
        if (const char* seconds = std::getenv("TUNEDECK_TEST_HOLD_RENDER_AT_SECONDS"))
            holdFrame_ = std::llround(std::atof(seconds) * sampleRateHz);
    }

    void pass(int64_t frame, audioengine::WavFileOutput& wav) {
        if (holdFrame_ < 0 || frame < holdFrame_) return;
        holdFrame_ = -1;
        wav.flush();
        std::fprintf(stderr, "%s: render held at frame %lld\n", kProgramName, static_cast<long long>(frame));
        std::fflush(stderr);
        char ignored[256];
        while (::read(STDIN_FILENO, ignored, sizeof ignored) > 0) {
        }
    }

private:
    // Negative: no hold (any more).
    int64_t holdFrame_ = -1;
};

// Frames by which the chain delays the instrument's sound (the limiter's look-ahead and any other node's latency).
int64_t chainLatencyFrames(const AudioEngine& player, double sampleRateHz) {
    double seconds = 0.0;
    const audioengine::Node* chain[] = {player.reverb.get(), player.eq.get(), player.limiter.get()};
    for (const audioengine::Node* node : chain)
        if (node != nullptr) seconds += node->latency();
    return std::llround(seconds * sampleRateHz);
}

// Renders into the open file descriptor; the messages name request.wavFile, where the file goes when the render
// succeeds.
int renderInto(const OfflineRenderRequest& request, int descriptor) {
    MidiFileSchedule schedule;
    std::string error;
    if (!loadMidiFileSchedule(request.midiFile, request.sampleRateHz, schedule, error)) return reportError(error);

    auto output =
        std::make_unique<audioengine::WavFileOutput>(descriptor, request.wavFile.string(), request.sampleRateHz);
    audioengine::WavFileOutput& wav = *output;
    const auto controller = std::make_shared<ViewController>();
    controller->viewDidLoad(std::move(output));
    // The chosen bank goes to the instrument before it starts, so that it never loads its default bank first.
    std::optional<bool> soundApplied;
    if (request.sound.soundSet || request.sound.soundfont)
        controller->player->onInstrumentReady = [&] {
            soundApplied = applySoundChoice(*controller, request.sound, error);
        };
    auto& mainQueue = dispatch::MainQueue::shared();
    mainQueue.drain();
    AudioEngine& player = *controller->player;
    player.onInstrumentReady = nullptr;
    // The engine lets go of the file on every way out, before the caller closes or names it.
    const struct StopOnReturn {
        AudioEngine& engine;
        ~StopOnReturn() { engine.stopEngine(); }
    } stopOnReturn{player};
    if (!player.instrument || !player.instrument->audioUnit0) return reportError("the instrument could not be loaded");
    if (!soundApplied) soundApplied = applySoundChoice(*controller, request.sound, error);
    if (!*soundApplied) return reportError(error);
    if (!player.engine->isRunning()) return reportError("the audio engine could not be started");
    mainQueue.drain();

    const auto tailFrames =
        static_cast<int64_t>(std::ceil(player.instrument->audioUnit0->tailTime() * request.sampleRateHz));
    // The file starts where the instrument's first frame comes out of the chain, not where it goes in.
    const int64_t latencyFrames = chainLatencyFrames(player, request.sampleRateHz);
    const int64_t totalFrames = schedule.endFrame + tailFrames + latencyFrames;
    if (!checkRenderSize(request, wav, descriptor, totalFrames - latencyFrames, error)) return reportError(error);
    if (!wav.expectFrames(static_cast<uint64_t>(totalFrames - latencyFrames))) return reportError(wav.error());
    int64_t toDiscard = latencyFrames;
    size_t next = 0;
    TestHold hold(request.sampleRateHz);
    ProgressLine progress("rendering '" + request.midiFile.filename().string() + "'", stderr, request.showProgress);
    const double totalSeconds = static_cast<double>(totalFrames) / request.sampleRateHz;
    for (int64_t frame = 0; frame < totalFrames;) {
        hold.pass(frame, wav);
        auto frames = std::min<int64_t>(kBlockFrames, totalFrames - frame);
        size_t scheduled = 0;
        for (; next < schedule.messages.size() && schedule.messages[next].frame < frame + frames; ++next) {
            const ScheduledMessage& message = schedule.messages[next];
            if (scheduled == kMessagesPerRender) {
                // The rest waits for the next render call, which then begins at its frame (one frame on when the
                // messages are due now).
                frames = std::max<int64_t>(1, message.frame - frame);
                break;
            }
            const int64_t offset = std::max<int64_t>(0, message.frame - frame);
            player.sendMIDIAt(kAUEventSampleTimeImmediate + offset, message.bytes);
            ++scheduled;
        }
        const int64_t discarded = std::min(toDiscard, frames);
        toDiscard -= discarded;
        if (discarded > 0) wav.discard(static_cast<uint32_t>(discarded));
        if (frames > discarded && !wav.render(static_cast<uint32_t>(frames - discarded))) {
            progress.clear();
            return reportError(wav.error());
        }
        mainQueue.drain();
        frame += frames;
        progress.update(static_cast<double>(frame) / request.sampleRateHz, totalSeconds);
    }
    progress.clear();
    if (!wav.flush()) return reportError(wav.error());
    player.stopEngine();
    if (const uint64_t dropped = player.instrument->audioUnit0->droppedScheduledMIDICount(); dropped > 0)
        safeprint("OfflineRender : WARNING: " + std::to_string(dropped) +
                  " MIDI messages did not reach the instrument (longer than it takes at once).");
    safeprint("OfflineRender : " + std::to_string(wav.framesWritten()) + " frames written to " +
              request.wavFile.string());
    mainQueue.drain();
    return 0;
}

}  // namespace

int renderOffline(const OfflineRenderRequest& request) {
    std::string error;
    if (!targetIsNoInput(request, error)) return reportError(error);
    std::optional<foundation::FileTarget> target = foundation::FileTarget::open(request.wavFile, error);
    if (!target) return reportError(error);
    const int result = renderInto(request, target->descriptor());
    if (result != 0) return result;
    if (!target->commit(error)) return reportError(error);
    if (!target->warning().empty()) reportWarning(target->warning());
    return 0;
}
