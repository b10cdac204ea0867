#pragma once

#include "platform/ui/View.h"

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
    // A link or script that asks for a new window.
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

// A view that shows web pages. Every load and link passes the navigation delegate twice (the action, then the
// response); only a page allowed at both steps is shown. This view draws no page itself: it records the requests
// and what it shows, which is all a machine without a display has; a back end that renders pages drives the same
// steps through follow().
//
// Thread contract: main thread only.
class WebView : public View {
public:
    explicit WebView(Rect frame = {});

    // Non-owning.
    WebNavigationDelegate* navigationDelegate = nullptr;
    WebUIDelegate* uiDelegate = nullptr;

    // Starts loading a request: the navigation runs through the delegates at once.
    void load(const WebRequest& request);
    // A navigation the page itself starts (a link, a script), or one with no address at all.
    void follow(const NavigationAction& action);

    // Every request handed to load, oldest first.
    const std::vector<WebRequest>& loadedRequests() const { return requests_; }
    // The address of the page shown; empty before any page was allowed.
    const std::string& currentUrl() const { return current_; }

    void draw(GraphicsContext& ctx, Rect dirty) override;

private:
    std::vector<WebRequest> requests_;
    std::string current_;
};

}  // namespace ui
