// The main screen in a GTK window: it opens, draws and closes. Needs a display (CI gives it one through xvfb).

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "Orvo_Tunedeck/app/MainViewController.h"
#include "Orvo_Tunedeck/app/WindowedHost.h"
#include "Orvo_Tunedeck/midi/MIDIConnection.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/ui/Window.h"
#include "platform/ui_gtk/GtkWindowHost.h"

namespace {

TEST(MainWindow, OpensShowingTheMainScreenAndCloses) {
    // No OpenGL: the drivers GDK would load keep allocations the leak checker cannot attribute.
    setenv("GDK_DEBUG", "gl-disable", 0);
    setenv("GSK_RENDERER", "cairo", 0);
    if (!windowAvailable()) GTEST_SKIP() << "no display";

    auto& queue = dispatch::MainQueue::shared();
    const auto screen = std::make_shared<MainViewController>(std::make_shared<ViewController>());
    ui::Window window({0, 0, 480, 360});
    window.setRootViewController(screen);
    ui::GtkWindowHost host(window.rootViewPointer(), "Orvo-Tunedeck2", queue);
    host.present();
    // Drawing the tree clears the redraw requests of the views drawn.
    const auto drawn = [&] { return !screen->buttonPlay->needsDisplay(); };
    for (int pass = 0; pass < 20000 && !drawn(); ++pass) {
        if (!host.iterate()) std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    EXPECT_TRUE(drawn());
    EXPECT_GT(window.rootView().frame().width, 0);
    host.close();
    EXPECT_FALSE(host.isOpen());
    queue.drain();
}

}  // namespace
