#include "platform/ui/WebView.h"

namespace ui {

WebView::WebView(Rect frame) : View(frame) {}

void WebView::load(const WebRequest& request) {
    requests_.push_back(request);
    follow({request.url, false});
}

void WebView::follow(const NavigationAction& action) {
    if (action.targetsNewWindow) {
        if (uiDelegate) uiDelegate->createWebView(*this, action);
        return;
    }
    if (navigationDelegate && navigationDelegate->decidePolicyForAction(*this, action) == NavigationPolicy::cancel) {
        return;
    }
    if (!action.url) return;
    const NavigationResponse response{action.url};
    if (navigationDelegate &&
        navigationDelegate->decidePolicyForResponse(*this, response) == NavigationPolicy::cancel) {
        return;
    }
    current_ = *action.url;
    setNeedsDisplay();
}

void WebView::draw(GraphicsContext& ctx, Rect) {
    ctx.fill(Path::rect(bounds()), Color::white());
    ctx.drawText(current_, bounds().insetBy(8, 8), {Font::system(12), Color::gray(), TextAlignment::left, false});
}

}  // namespace ui
