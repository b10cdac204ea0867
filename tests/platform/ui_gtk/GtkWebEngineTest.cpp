#include "platform/ui/Url.h"
#include "platform/ui/WebView.h"
#include "platform/ui_gtk/GtkWebEngine.h"
#include "platform/ui_gtk/GtkWindowHost.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

// Allows pages and refuses responses for MIDI files, logging each step.
struct PageGate : ui::WebNavigationDelegate {
    ui::NavigationPolicy decidePolicyForAction(ui::WebView&, const ui::NavigationAction& a) override {
        steps.push_back("action " + a.url.value_or("-"));
        return ui::NavigationPolicy::allow;
    }
    ui::NavigationPolicy decidePolicyForResponse(ui::WebView&, const ui::NavigationResponse& r) override {
        steps.push_back("response " + r.url.value_or("-"));
        return r.url && ui::pathExtension(ui::urlPath(*r.url)) == "mid" ? ui::NavigationPolicy::cancel
                                                                          : ui::NavigationPolicy::allow;
    }
    std::vector<std::string> steps;
};

template <typename Done>
bool spinUntil(ui::GtkWindowHost& host, Done done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done() && std::chrono::steady_clock::now() < end) {
        if (!host.iterate()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

TEST(GtkWebEngine, PagesLoadThroughTheDelegatesDecisions) {
    setenv("GDK_DEBUG", "gl-disable", 0);
    setenv("GSK_RENDERER", "cairo", 0);
    if (!ui::GtkWindowHost::gtkAvailable()) GTEST_SKIP() << "no display";
    testsupport::TestFolder folder;
    const std::string page = (folder.path() / "page.html").string();
    const std::string song = (folder.path() / "song.mid").string();
    std::ofstream(page) << "<!DOCTYPE html><html><body><p>page</p></body></html>";
    std::ofstream(song) << "MThd";

    dispatch::MainQueue queue;
    auto root = std::make_shared<ui::View>(ui::Rect{0, 0, 320, 240});
    ui::GtkWindowHost host(root, "web test", queue);
    ui::installGtkWebEngine(host);
    auto web = std::make_shared<ui::WebView>(ui::Rect{0, 40, 320, 200});
    root->addSubview(web);
    PageGate gate;
    web->navigationDelegate = &gate;
    host.present();

    web->load({ui::fileUrl(page)});
    ASSERT_TRUE(spinUntil(host, [&] { return web->currentUrl() == ui::fileUrl(page); }));
    ASSERT_GE(gate.steps.size(), 2u);
    EXPECT_EQ(gate.steps[0], "action " + ui::fileUrl(page));

    web->load({ui::fileUrl(song)});
    ASSERT_TRUE(spinUntil(host, [&] { return gate.steps.back() == "response " + ui::fileUrl(song); }));
    for (int i = 0; i < 50; ++i) host.iterate();
    EXPECT_EQ(web->currentUrl(), ui::fileUrl(page));

    ui::WebView::setEngineFactory({});
    root->removeFromSuperview();
    web.reset();
    host.close();
}

}  // namespace
