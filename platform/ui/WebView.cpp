#include "platform/ui/WebView.h"

#include <utility>

namespace ui {

namespace {

WebView::EngineFactory& engineFactory() {
    static WebView::EngineFactory instance;
    return instance;
}

}  // namespace

WebView::WebView(Rect frame) : View(frame) {}

WebView::~WebView() = default;

void WebView::setEngineFactory(EngineFactory factory) {
    engineFactory() = std::move(factory);
}

void WebView::load(const WebRequest& request) {
    requests_.push_back(request);
    if (!engine_ && engineFactory()) engine_ = engineFactory()(*this);
    if (engine_) {
        engine_->load(request);
    } else {
        follow({request.url, false});
    }
}

void WebView::follow(const NavigationAction& action) {
    if (action.targetsNewWindow) {
        requestNewWindow(action);
        return;
    }
    if (decideAction(action) == NavigationPolicy::cancel || !action.url) return;
    if (decideResponse({action.url}) == NavigationPolicy::cancel) return;
    didShow(*action.url);
}

NavigationPolicy WebView::decideAction(const NavigationAction& action) {
    return navigationDelegate ? navigationDelegate->decidePolicyForAction(*this, action) : NavigationPolicy::allow;
}

NavigationPolicy WebView::decideResponse(const NavigationResponse& response) {
    return navigationDelegate ? navigationDelegate->decidePolicyForResponse(*this, response)
                              : NavigationPolicy::allow;
}

void WebView::requestNewWindow(const NavigationAction& action) {
    if (uiDelegate) uiDelegate->createWebView(*this, action);
}

void WebView::didShow(std::string url) {
    current_ = std::move(url);
    setNeedsDisplay();
}

void WebView::draw(GraphicsContext& ctx, Rect) {
    ctx.fill(Path::rect(bounds()), Color::white());
    ctx.drawText(current_, bounds().insetBy(8, 8), {Font::system(12), Color::gray(), TextAlignment::left, false});
}

}  // namespace ui
