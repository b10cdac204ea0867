#include "Orvo_Tunedeck/app/MainScreenPicture.h"

#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Orvo_Tunedeck/app/MainViewController.h"
#include "Orvo_Tunedeck/app/ProgramMessages.h"
#include "Orvo_Tunedeck/app/ViewController.h"
#include "platform/audioengine/AudioSession.h"
#include "platform/audioengine/ManualRenderingOutput.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/FileTarget.h"
#include "platform/ui/HeadlessRenderer.h"
#include "platform/ui/Window.h"
#include "shared/globals/Print.h"

namespace {

// The display timers run at 60 Hz; one step of play is one of their ticks.
constexpr double kTickSeconds = 1.0 / 60;

}  // namespace

int drawMainScreenPicture(const MainScreenPictureRequest& request) {
    // The file is checked and claimed before the screen is played and drawn.
    std::string error;
    std::optional<foundation::FileTarget> target = foundation::FileTarget::open(request.pngFile, error);
    if (!target) return reportError(error);
    auto& mainQueue = dispatch::MainQueue::shared();
    mainQueue.useManualClock();
    const double sampleRateHz = audioengine::AudioSession::sharedInstance().sampleRate();
    auto output = std::make_unique<audioengine::ManualRenderingOutput>(sampleRateHz);
    audioengine::ManualRenderingOutput& pull = *output;
    const auto hub = std::make_shared<ViewController>();
    hub->viewDidLoad(std::move(output));
    mainQueue.drain();
    if (!hub->player->instrument || !hub->player->instrument->audioUnit0)
        return reportError("the instrument could not be loaded");

    ui::Window window({0, 0, static_cast<double>(request.width), static_cast<double>(request.height)});
    window.setRootViewController(std::make_shared<MainViewController>(hub));
    mainQueue.drain();

    const auto framesPerTick = static_cast<uint32_t>(std::lround(sampleRateHz * kTickSeconds));
    std::vector<float> left(framesPerTick);
    std::vector<float> right(framesPerTick);
    const auto ticks = static_cast<long>(std::lround(request.seconds / kTickSeconds));
    for (long tick = 0; tick < ticks; ++tick) {
        if (!pull.render(framesPerTick, left.data(), right.data()))
            return reportError("the audio engine is not running");
        mainQueue.advanceClock(kTickSeconds);
    }
    ui::HeadlessRenderer renderer;
    renderer.render(window.rootView());
    const std::vector<std::uint8_t> png = renderer.image().pngBytes();
    if (png.empty()) return reportError("the picture could not be encoded as PNG");
    if (!target->write(png, error) || !target->commit(error)) return reportError(error);
    if (!target->warning().empty()) reportWarning(target->warning());
    safeprint("MainScreenPicture : The main screen was drawn into " + request.pngFile.string());
    hub->player->stopEngine();
    mainQueue.drain();
    return 0;
}
