#include "shared/help/HelpViewController.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "platform/ui/HeadlessRenderer.h"
#include "platform/ui/Window.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

// A resources folder of its own with the two help pages; the help screen presented over a plain screen.
struct Help : ::testing::Test {
    testsupport::TestFolder folder;
    ui::Window window{{0, 0, 400, 600}};
    std::shared_ptr<ui::ViewController> opener = std::make_shared<ui::ViewController>();
    std::shared_ptr<HelpViewController> help = std::make_shared<HelpViewController>();
    foundation::LogCapture capture;

    void SetUp() override {
        std::filesystem::create_directories(folder.path() / "help");
        setenv("TUNEDECK_RESOURCES", folder.path().c_str(), 1);
        window.setRootViewController(opener);
    }
    void TearDown() override { unsetenv("TUNEDECK_RESOURCES"); }

    std::string page(const char* name) const { return "file://" + (folder.path() / "help" / name).string(); }
    // Runs the queued log lines, then returns every line since the last clear.
    std::vector<std::string> log() {
        dispatch::MainQueue::shared().drain();
        return capture.lines();
    }
    ui::WebView& web() { return *help->webView.lock(); }
};

TEST_F(Help, IdentifierChoosesThePageOnEveryAppearance) {
    struct Case {
        const char* identifier;
        const char* page;
    };
    const Case cases[] = {{"ShowHelp", "index.html"},
                          {"ShowInfo", "midi-files.html"},
                          {"ShowProducts", "midi-files.html"},
                          {"showhelp", nullptr}};
    for (const Case& c : cases) {
        auto screen = std::make_shared<HelpViewController>();
        screen->prepareInfo(c.identifier);
        ASSERT_TRUE(opener->present(screen, true));
        ASSERT_FALSE(screen->webView.expired());
        const auto& loads = screen->webView.lock()->loadedRequests();
        if (c.page) {
            ASSERT_EQ(loads.size(), 1u) << c.identifier;
            EXPECT_EQ(loads[0].url, page(c.page));
            EXPECT_EQ(loads[0].timeoutSeconds, 60);
            EXPECT_EQ(screen->webView.lock()->currentUrl(), page(c.page));
        } else {
            EXPECT_TRUE(loads.empty()) << c.identifier;
        }
        screen->viewWillAppear(false);
        EXPECT_EQ(screen->webView.lock()->loadedRequests().size(), c.page ? 2u : 0u);
        opener->dismiss(false);
    }
}

TEST_F(Help, DefaultIdentifierShowsTheCollectionPage) {
    ASSERT_TRUE(opener->present(help, true));
    EXPECT_EQ(web().currentUrl(), page("midi-files.html"));
    const std::string path = (folder.path() / "help" / "midi-files.html").string();
    EXPECT_EQ(log(), (std::vector<std::string>{"webView::navigationAction", path, "webView::navigationResponse",
                                               path}));
}

TEST_F(Help, ResponsesAreShownOnlyForPagesDocumentsAndAudio) {
    struct Case {
        const char* path;
        bool shown;
    };
    const Case cases[] = {{"/a.html", true}, {"/b.PDF", true},  {"/c.m4a", true},  {"/dir/", true},
                          {"/x.mid", false}, {"/y.zip", false}, {"/z.htm", false}, {"/song.Kar", false}};
    for (const Case& c : cases) EXPECT_EQ(HelpViewController::isShownType(c.path), c.shown) << c.path;

    ASSERT_TRUE(opener->present(help, true));
    log();
    capture.clear();
    web().follow({"https://example.org/files/song.mid", false});
    EXPECT_EQ(web().currentUrl(), page("midi-files.html"));
    web().follow({"https://example.org/docs/manual.pdf", false});
    EXPECT_EQ(web().currentUrl(), "https://example.org/docs/manual.pdf");
}

TEST_F(Help, StepsWithoutAnAddressGetOneDecisionEach) {
    ASSERT_TRUE(opener->present(help, true));
    log();
    capture.clear();
    EXPECT_EQ(help->decidePolicyForAction(web(), {}), ui::NavigationPolicy::allow);
    EXPECT_EQ(help->decidePolicyForResponse(web(), {}), ui::NavigationPolicy::cancel);
    EXPECT_EQ(log(), (std::vector<std::string>{"webView::navigationAction", "webView::navigationResponse"}));
}

TEST_F(Help, NewWindowsOpenNothing) {
    ASSERT_TRUE(opener->present(help, true));
    log();
    capture.clear();
    web().follow({"https://example.org/shop/", true});
    EXPECT_EQ(web().currentUrl(), page("midi-files.html"));
    EXPECT_EQ(log(), (std::vector<std::string>{"webView::createWebViewWith", "/shop/"}));
}

TEST_F(Help, ExitButtonClosesTheScreen) {
    ASSERT_TRUE(opener->present(help, true));
    ASSERT_NE(help->buttonExit, nullptr);
    // The page fills the screen below the button's bar, also after the window was resized.
    window.rootView().setFrame({0, 0, 500, 300});
    EXPECT_EQ(web().frame(), (ui::Rect{0, 44, 500, 256}));
    const ui::Rect exit = help->buttonExit->frame();
    ui::HeadlessRenderer renderer;
    renderer.pointer().press(window.rootView(), {exit.midX(), exit.midY()});
    renderer.pointer().release({exit.midX(), exit.midY()});
    EXPECT_EQ(opener->presentedViewController(), nullptr);
}

TEST_F(Help, WithoutResourcesNothingLoads) {
    unsetenv("TUNEDECK_RESOURCES");
    setenv("TUNEDECK_RESOURCES", (folder.path() / "missing").c_str(), 1);
    ASSERT_TRUE(opener->present(help, true));
    EXPECT_TRUE(web().loadedRequests().empty());
    EXPECT_EQ(log(), std::vector<std::string>{"HelpViewController::loadPage : ERROR: No resources folder, so no help page."});
}

}  // namespace
