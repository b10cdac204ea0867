#include "platform/ui_gtk/GtkWindowHost.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

namespace {

class CountingView : public ui::View {
public:
    using View::View;
    void draw(ui::GraphicsContext& ctx, ui::Rect dirty) override {
        ++draws;
        ctx.fill(ui::Path::rect(dirty), ui::Color::white());
    }
    int draws = 0;
};

// Runs the loop until done() holds or a generous number of passes went by.
template <typename Done>
bool spinUntil(ui::GtkWindowHost& host, Done done) {
    for (int pass = 0; pass < 20000 && !done(); ++pass) {
        if (!host.iterate()) std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return done();
}

TEST(GtkWindowHost, ShowsTheTreeRedrawsOnRequestAndDrainsTheMainQueue) {
    // No OpenGL: the drivers GDK would load keep allocations the leak checker cannot attribute.
    setenv("GDK_DEBUG", "gl-disable", 0);
    setenv("GSK_RENDERER", "cairo", 0);
    if (!ui::GtkWindowHost::gtkAvailable()) GTEST_SKIP() << "no display";
    dispatch::MainQueue queue;
    auto root = std::make_shared<CountingView>(ui::Rect{0, 0, 240, 200});
    ui::GtkWindowHost host(root, "view test", queue);
    host.present();
    ASSERT_TRUE(spinUntil(host, [&] { return root->draws > 0; }));
    EXPECT_GT(root->frame().width, 0);

    const int before = root->draws;
    root->setNeedsDisplay();
    EXPECT_TRUE(spinUntil(host, [&] { return root->draws > before; }));

    bool ran = false;
    queue.async([&] { ran = true; });
    EXPECT_TRUE(spinUntil(host, [&] { return ran; }));

    host.close();
    EXPECT_FALSE(host.isOpen());
}

}  // namespace
