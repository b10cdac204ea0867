#include "platform/ui/Url.h"
#include "platform/ui/WebView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Refuses actions to "/blocked" and responses for "/refused"; logs each decision.
struct Gate : ui::WebNavigationDelegate, ui::WebUIDelegate {
    ui::NavigationPolicy decidePolicyForAction(ui::WebView&, const ui::NavigationAction& a) override {
        log.push_back("action " + a.url.value_or("-"));
        return a.url && ui::urlPath(*a.url) == "/blocked" ? ui::NavigationPolicy::cancel : ui::NavigationPolicy::allow;
    }
    ui::NavigationPolicy decidePolicyForResponse(ui::WebView&, const ui::NavigationResponse& r) override {
        log.push_back("response " + r.url.value_or("-"));
        return r.url && ui::urlPath(*r.url) == "/refused" ? ui::NavigationPolicy::cancel
                                                           : ui::NavigationPolicy::allow;
    }
    std::shared_ptr<ui::WebView> createWebView(ui::WebView&, const ui::NavigationAction& a) override {
        log.push_back("window " + a.url.value_or("-"));
        return nullptr;
    }
    std::vector<std::string> log;
};

TEST(WebView, LoadsPassBothStepsAndAreRecorded) {
    ui::WebView web;
    Gate gate;
    web.navigationDelegate = &gate;
    web.uiDelegate = &gate;
    web.load({"https://h/page.html"});
    web.load({"https://h/refused"});
    web.load({"https://h/blocked"});
    EXPECT_EQ(web.currentUrl(), "https://h/page.html");
    ASSERT_EQ(web.loadedRequests().size(), 3u);
    EXPECT_EQ(web.loadedRequests()[0].timeoutSeconds, 60);
    EXPECT_EQ(web.loadedRequests()[0].cachePolicy, ui::CachePolicy::useProtocolCachePolicy);
    const std::vector<std::string> expected{"action https://h/page.html", "response https://h/page.html",
                                            "action https://h/refused", "response https://h/refused",
                                            "action https://h/blocked"};
    EXPECT_EQ(gate.log, expected);
}

TEST(WebView, NewWindowsAndAddresslessActionsShowNothing) {
    ui::WebView web;
    Gate gate;
    web.navigationDelegate = &gate;
    web.uiDelegate = &gate;
    web.follow({"https://h/popup.html", true});
    web.follow({std::nullopt, false});
    EXPECT_EQ(web.currentUrl(), "");
    EXPECT_EQ(gate.log, (std::vector<std::string>{"window https://h/popup.html", "action -"}));
}

// Answers loads later, as a browser engine does, through the view's steps.
struct LaterEngine : ui::WebEngine {
    explicit LaterEngine(ui::WebView& view) : view(view) {}
    void load(const ui::WebRequest& request) override { pending.push_back(request.url); }
    void finish() {
        for (const std::string& url : pending) {
            if (view.decideAction({url, false}) == ui::NavigationPolicy::allow &&
                view.decideResponse({url}) == ui::NavigationPolicy::allow) {
                view.didShow(url);
            }
        }
        pending.clear();
    }
    ui::WebView& view;
    std::vector<std::string> pending;
};

TEST(WebView, AnEngineRunsTheStepsAsThePageLoads) {
    LaterEngine* engine = nullptr;
    ui::WebView::setEngineFactory([&](ui::WebView& view) {
        auto made = std::make_unique<LaterEngine>(view);
        engine = made.get();
        return made;
    });
    ui::WebView web;
    Gate gate;
    web.navigationDelegate = &gate;
    web.load({"https://h/page.html"});
    ui::WebView::setEngineFactory({});
    ASSERT_NE(engine, nullptr);
    EXPECT_TRUE(gate.log.empty());
    EXPECT_EQ(web.currentUrl(), "");
    engine->finish();
    EXPECT_EQ(web.currentUrl(), "https://h/page.html");
    EXPECT_EQ(gate.log.size(), 2u);
}

TEST(Url, PathAndExtension) {
    struct Case {
        const char* url;
        const char* path;
        const char* extension;
    };
    const Case cases[] = {
        {"https://host/dir/page.html?x=1#top", "/dir/page.html", "html"},
        {"https://host", "", ""},
        {"https://host/dir/", "/dir/", ""},
        {"file:///res/help/index.html", "/res/help/index.html", "html"},
        {"https://host/a/.hidden", "/a/.hidden", ""},
        {"https://host/song.tar.ZIP", "/song.tar.ZIP", "ZIP"},
        {"/plain/file.pdf", "/plain/file.pdf", "pdf"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ui::urlPath(c.url), c.path) << c.url;
        EXPECT_EQ(ui::pathExtension(ui::urlPath(c.url)), c.extension) << c.url;
    }
    EXPECT_EQ(ui::fileUrl("/a b/c.html"), "file:///a b/c.html");
}

}  // namespace
