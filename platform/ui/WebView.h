#pragma once

#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui {

class WebView;

enum class CachePolicy { useProtocolCachePolicy, reloadIgnoringCache };

struct WebRequest {
    std::string url;
    CachePolicy cachePolicy = CachePolicy::useProtocolCachePolicy;
    double timeoutSeconds = 60;
};

// A step of a navigation as the delegates see it; the address is missing when the engine has none.
struct NavigationAction {
    std::optional<std::string> url;
    // Set when the page wants the target opened in another window.
    bool targetsNewWindow = false;
};

struct NavigationResponse {
    std::optional<std::string> url;
};

enum class NavigationPolicy { allow, cancel };

// Decides each step of every navigation exactly once, by its return value. The defaults allow.
class WebNavigationDelegate {
public:
    virtual ~WebNavigationDelegate() = default;
    virtual NavigationPolicy decidePolicyForAction(WebView&, const NavigationAction&) {
        return NavigationPolicy::allow;
    }
    virtual NavigationPolicy decidePolicyForResponse(WebView&, const NavigationResponse&) {
        return NavigationPolicy::allow;
    }
};

class WebUIDelegate {
public:
    virtual ~WebUIDelegate() = default;
    // A new window was asked for; null (the default) opens nothing.
    virtual std::shared_ptr<WebView> createWebView(WebView&, const NavigationAction&) { return nullptr; }
};

// What renders pages for a web view in a back end with a browser engine. The engine reports each step of a
// navigation back through the view's decideAction, decideResponse, requestNewWindow and didShow.
class WebEngine {
public:
    virtual ~WebEngine() = default;
    virtual void load(const WebRequest& request) = 0;
};

// A view that shows web pages. Every load and link passes the navigation delegate twice (the action, then the
// response); only a page allowed at both steps is shown. Without an engine (headless) the view draws no page: it
// records the requests and runs each navigation's steps at once; with an engine, the engine runs them as the page
// loads.
//
// Thread contract: main thread only.
class WebView : public View {
public:
    explicit WebView(Rect frame = {});
    ~WebView() override;

    // The back end's engine maker, used by web views from their first load on; process-wide, set once at
    // start-up by a back end (empty: headless).
    using EngineFactory = std::function<std::unique_ptr<WebEngine>(WebView&)>;
    static void setEngineFactory(EngineFactory factory);

    // Non-owning.
    WebNavigationDelegate* navigationDelegate = nullptr;
    WebUIDelegate* uiDelegate = nullptr;

    // Starts loading a request.
    void load(const WebRequest& request);
    // Headless: a navigation the page itself would start (a link, a script), or one with no address at all, run
    // through every step at once.
    void follow(const NavigationAction& action);

    // The steps of a navigation, for engines: each asks the delegates once (allow without a delegate).
    NavigationPolicy decideAction(const NavigationAction& action);
    NavigationPolicy decideResponse(const NavigationResponse& response);
    void requestNewWindow(const NavigationAction& action);
    void didShow(std::string url);

    // Every request handed to load, oldest first.
    const std::vector<WebRequest>& loadedRequests() const { return requests_; }
    // The address of the page shown; empty before any page was allowed.
    const std::string& currentUrl() const { return current_; }

    void draw(GraphicsContext& ctx, Rect dirty) override;

private:
    std::vector<WebRequest> requests_;
    std::string current_;
    std::unique_ptr<WebEngine> engine_;
};

}  // namespace ui
