// The main screen in a GTK window: it opens, draws and closes, names the program and carries its icon for the
// desktop, and its help screen shows the help page. Needs a display (CI gives it one through xvfb).

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "Orvo_Tunedeck/app/MainViewController.h"
#include "Orvo_Tunedeck/app/WindowedHost.h"
#include "Orvo_Tunedeck/midi/MIDIConnection.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/ui/ImageSurface.h"
#include "platform/ui/WebView.h"
#include "platform/ui/Window.h"
#include "platform/ui_gtk/GtkWindowHost.h"
#include "shared/help/HelpViewController.h"
#include "tests/Orvo_Tunedeck/app/X11WindowIdentity.h"

namespace {

// The main screen over a hub that loaded nothing, in a window of the given size.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        // No OpenGL: the drivers GDK would load keep allocations the leak checker cannot attribute.
        setenv("GDK_DEBUG", "gl-disable", 0);
        setenv("GSK_RENDERER", "cairo", 0);
        if (!windowAvailable()) GTEST_SKIP() << "no display";
    }
    ui::GtkWindowHost& open(ui::Size size) {
        window = std::make_unique<ui::Window>(ui::Rect{0, 0, size.width, size.height});
        window->setRootViewController(screen);
        host = std::make_unique<ui::GtkWindowHost>(window->rootViewPointer(), "Orvo-Tunedeck2", queue);
        return *host;
    }

    dispatch::MainQueue& queue = dispatch::MainQueue::shared();
    const std::shared_ptr<MainViewController> screen =
        std::make_shared<MainViewController>(std::make_shared<ViewController>());
    std::unique_ptr<ui::Window> window;
    std::unique_ptr<ui::GtkWindowHost> host;
};

TEST_F(MainWindow, OpensShowingTheMainScreenAndCloses) {
    ui::GtkWindowHost& host = open({480, 360});
    installWindowServices(host);
    host.present();
    // Drawing the tree clears the redraw requests of the views drawn.
    const auto drawn = [&] { return !screen->buttonPlay->needsDisplay(); };
    for (int pass = 0; pass < 20000 && !drawn(); ++pass) {
        if (!host.iterate()) std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    EXPECT_TRUE(drawn());
    EXPECT_GT(window->rootView().frame().width, 0);
    // The desktop entry is Orvo-Tunedeck2.desktop: the window's class names it, and the window shows its icon.
    if (const std::optional<X11WindowIdentity> identity = x11WindowIdentity(host.drawingArea())) {
        EXPECT_EQ(identity->instanceName, "Orvo-Tunedeck2");
        EXPECT_EQ(identity->className, "Orvo-Tunedeck2");
        EXPECT_TRUE(identity->hasIcon) << "no _NET_WM_ICON";
    } else {
        ADD_FAILURE() << "the window is not an X11 window (CI's display is xvfb)";
    }
    host.close();
    EXPECT_FALSE(host.isOpen());
    queue.drain();
}

// Where the help page's heading is on a picture of the window: the style sheet gives the heading alone its orange
// (#c60).
struct HeadingPixels {
    int count = 0;
    int left = std::numeric_limits<int>::max(), right = -1;
    int top = std::numeric_limits<int>::max(), bottom = -1;
};

HeadingPixels headingPixels(const ui::ImageSurface& shot) {
    HeadingPixels found;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const ui::Pixel p = shot.pixel(x, y);
            if (std::abs(p.red - 0xCC) > 24 || std::abs(p.green - 0x66) > 24 || p.blue > 40) continue;
            ++found.count;
            found.left = std::min(found.left, x);
            found.right = std::max(found.right, x);
            found.top = std::min(found.top, y);
            found.bottom = std::max(found.bottom, y);
        }
    }
    return found;
}

TEST_F(MainWindow, TheHelpScreenShowsTheHelpPageWithItsHeading) {
    screen->openURL = [](const std::string&) { return true; };
    ui::GtkWindowHost& host = open({720, 640});
    installWindowServices(host);
    host.present();
    screen->showHelp();
    auto* help = dynamic_cast<HelpViewController*>(screen->presentedViewController());
    ASSERT_NE(help, nullptr);
    const auto web = help->webView.lock();
    ASSERT_NE(web, nullptr);

    // The page is in the window once the heading's orange is on the screen. Taking a picture of the window holds up
    // the browser engine, so one is taken only every so often.
    HeadingPixels heading;
    std::unique_ptr<ui::ImageSurface> shot;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    auto nextShot = std::chrono::steady_clock::now();
    while (heading.count <= 50 && std::chrono::steady_clock::now() < end) {
        if (!host.iterate()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (std::chrono::steady_clock::now() < nextShot) continue;
        nextShot = std::chrono::steady_clock::now() + std::chrono::milliseconds(250);
        if ((shot = host.capture())) heading = headingPixels(*shot);
    }
    ASSERT_NE(shot, nullptr);
    if (const char* folder = std::getenv("TUNEDECK_TEST_TMP"))
        shot->writePng(std::filesystem::path(folder) / "help-page.png");
    EXPECT_EQ(std::filesystem::path(web->currentUrl()).filename(), "index.html");
    ASSERT_GT(heading.count, 50) << "no heading on the screen";
    const ui::Size text = shot->context().textSize("Tunedeck", {"DejaVu Sans", true, false, 25.6});
    const double width = heading.right - heading.left + 1;
    EXPECT_NEAR(width, text.width, text.width * 0.2);
    EXPECT_LT(heading.bottom - heading.top + 1, 2 * text.height);
    EXPECT_GT(heading.top, web->frame().y) << "the heading is on the page, below the help screen's bar";

    ui::WebView::setEngineFactory({});
    help->dismiss(false);
    host.close();
    queue.drain();
}

}  // namespace
