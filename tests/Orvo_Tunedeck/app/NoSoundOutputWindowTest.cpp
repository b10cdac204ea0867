// A window whose sound device cannot be opened says so in the window: its pixels show an alert over the dimmed main
// screen, and play and stop are disabled. Needs a display (CI gives it one through xvfb).

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "Orvo_Tunedeck/app/MainViewController.h"
#include "Orvo_Tunedeck/app/WindowedHost.h"
#include "Orvo_Tunedeck/midi/MIDIConnection.h"
#include "platform/audioengine/AlsaOutput.h"
#include "platform/audiounit/AudioComponentRegistry.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Window.h"
#include "platform/ui_gtk/GtkWindowHost.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestFolder.h"

namespace {

using Clock = std::chrono::steady_clock;

double luma(ui::Pixel p) { return (0.2126 * p.red + 0.7152 * p.green + 0.0722 * p.blue) / 255.0; }

// Pixels of a window rectangle darker, and lighter, than half.
struct Counts {
    int dark = 0;
    int light = 0;
};

Counts countPixels(const ui::ImageSurface& image, ui::Rect r) {
    Counts counts;
    for (int y = static_cast<int>(r.minY()); y < static_cast<int>(r.maxY()); ++y)
        for (int x = static_cast<int>(r.minX()); x < static_cast<int>(r.maxX()); ++x)
            (luma(image.pixel(x, y)) < 0.5 ? counts.dark : counts.light) += 1;
    return counts;
}

TEST(NoSoundOutputWindow, ShowsAnAlertNamingTheDeviceAndTheOption) {
    // No OpenGL: the drivers GDK would load keep allocations the leak checker cannot attribute. The whole
    // environment is set before GTK starts: its font threads read the environment while they run.
    setenv("GDK_DEBUG", "gl-disable", 0);
    setenv("GSK_RENDERER", "cairo", 0);
    testsupport::TestFolder folder;
    testsupport::ScopedEnvironment environment;
    environment.set("TUNEDECK_DOCUMENTS", (folder.path() / "Documents").string());
    if (!windowAvailable()) GTEST_SKIP() << "no display";
    auto& queue = dispatch::MainQueue::shared();
    AudioComponentRegistry::shared().addSearchFolder(TUNEDECK_AUDIO_MODULES_DIR);
    const auto hub = std::make_shared<ViewController>();
    hub->viewDidLoad(std::make_unique<audioengine::AlsaOutput>("nonexistent", 48000.0));
    queue.drain();
    ASSERT_TRUE(hub->player->instrument && hub->player->instrument->audioUnit0);
    ASSERT_FALSE(hub->player->engine->isRunning());

    ui::Window window({0, 0, 720, 640});
    const auto screen = std::make_shared<MainViewController>(hub);
    window.setRootViewController(screen);
    {
        ui::GtkWindowHost host(window.rootViewPointer(), "Orvo-Tunedeck2", queue);
        host.present();
        const std::shared_ptr<ui::AlertController> alert = showNoSoundOutput(*screen, "nonexistent");
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(screen->presentedViewController(), alert.get());
        EXPECT_NE(alert->message().find("'nonexistent'"), std::string::npos) << alert->message();
        EXPECT_NE(alert->message().find("--device"), std::string::npos) << alert->message();
        EXPECT_FALSE(screen->buttonPlay->isEnabled);
        EXPECT_FALSE(screen->buttonStop->isEnabled);

        const auto until = Clock::now() + std::chrono::milliseconds(500);
        while (Clock::now() < until && (host.root().needsDisplayInTree() || !host.capture())) {
            if (!host.iterate()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const auto shot = host.capture();
        ASSERT_TRUE(shot);
        // The alert's box: light, with the dark ink of its last lines just above its button, in the middle of the
        // window; the dimmed screen beside it stays dark.
        const std::vector<ui::Rect> buttons = alert->actionRects();
        ASSERT_EQ(buttons.size(), 1u);
        const ui::Rect button = buttons.front();
        EXPECT_NEAR(button.midX(), window.rootView().bounds().midX(), 1);
        const Counts inText = countPixels(*shot, {button.minX() + 16, button.minY() - 56, button.width - 32, 40});
        EXPECT_GT(inText.light, inText.dark) << "the alert's box is light";
        EXPECT_GT(inText.dark, 40) << "and has lines of text on it";
        const Counts beside = countPixels(*shot, {button.minX() - 40, button.minY() - 56, 20, 40});
        EXPECT_EQ(beside.light, 0) << "the screen around the alert is dimmed";
        host.close();
    }
    MIDIConnection::shared().setDelegate(nullptr);
    queue.drain();
}

}  // namespace
