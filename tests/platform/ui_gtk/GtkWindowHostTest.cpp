#include "platform/ui_gtk/GtkWindowHost.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/DroppedFiles.h"

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

TEST(GtkWindowHost, DropsHandOnTheirLocalFilesThroughTheMainQueueAndRefuseAnythingElse) {
    setenv("GDK_DEBUG", "gl-disable", 0);
    setenv("GSK_RENDERER", "cairo", 0);
    if (!ui::GtkWindowHost::gtkAvailable()) GTEST_SKIP() << "no display";
    using Paths = std::vector<std::filesystem::path>;
    dispatch::MainQueue queue;
    ui::GtkWindowHost host(std::make_shared<ui::View>(ui::Rect{0, 0, 100, 100}), "drop test", queue);
    const testsupport::DroppedFiles song({"file:///music/song.mid"});
    EXPECT_FALSE(host.drop(song.value())) << "taken without a handler";

    std::vector<Paths> handed;
    host.onFilesDropped([&](const Paths& paths) { handed.push_back(paths); });
    GValue text = G_VALUE_INIT;
    g_value_init(&text, G_TYPE_STRING);
    g_value_set_static_string(&text, "file:///music/song.mid");
    EXPECT_FALSE(host.drop(&text));
    g_value_unset(&text);

    const struct {
        std::vector<std::string> uris;
        Paths local;  // none: refused
    } drops[] = {
        {{"file:///music/song.mid"}, {"/music/song.mid"}},
        {{"file:///music/a.mid", "file:///music/b%20c.kar", "file:///d.mid"},
         {"/music/a.mid", "/music/b c.kar", "/d.mid"}},
        {{"http://example.com/song.mid"}, {}},
        {{"http://example.com/a.mid", "file:///music/b.mid"}, {"/music/b.mid"}},
        {{}, {}},
    };
    for (const auto& drop : drops) {
        SCOPED_TRACE(drop.uris.empty() ? "no file" : drop.uris.front());
        handed.clear();
        const testsupport::DroppedFiles dropped(drop.uris);
        EXPECT_EQ(host.drop(dropped.value()), !drop.local.empty());
        EXPECT_TRUE(handed.empty()) << "handed on before the main queue ran";
        queue.drain();
        EXPECT_EQ(handed, drop.local.empty() ? std::vector<Paths>{} : std::vector<Paths>{drop.local});
    }
    host.close();
}

}  // namespace
