#include "shared/help/HelpViewController.h"

#include "platform/foundation/Folders.h"
#include "platform/ui/Url.h"
#include "shared/globals/Print.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace {

constexpr double kBarHeight = 44;

// A bar with the exit button at its right over the web view, laid out again whenever the screen is resized.
class HelpView : public ui::View {
public:
    HelpView(std::shared_ptr<ui::WebView> web, std::shared_ptr<ui::Button> exit) : web_(web), exit_(exit) {
        addSubview(std::move(web));
        addSubview(std::move(exit));
    }
    void setFrame(ui::Rect frame) override {
        View::setFrame(frame);
        const ui::Rect b = bounds();
        web_->setFrame({0, kBarHeight, b.width, std::max(0.0, b.height - kBarHeight)});
        exit_->setFrame({std::max(0.0, b.width - 88), 0, 80, kBarHeight});
    }
    void draw(ui::GraphicsContext& ctx, ui::Rect) override {
        ctx.fill(ui::Path::rect({0, 0, bounds().width, kBarHeight}), {0.96, 0.96, 0.96, 1});
    }

private:
    std::shared_ptr<ui::WebView> web_;
    std::shared_ptr<ui::Button> exit_;
};

}  // namespace

void HelpViewController::prepareInfo(std::string which) {
    identifier = std::move(which);
}

void HelpViewController::loadView() {
    auto web = std::make_shared<ui::WebView>();
    buttonExit = std::make_shared<ui::Button>(ui::Rect{}, "Close");
    webView = web;
    setView(std::make_shared<HelpView>(web, buttonExit));
}

void HelpViewController::viewDidLoad() {
    if (auto web = webView.lock()) {
        web->navigationDelegate = this;
        web->uiDelegate = this;
    }
    if (buttonExit) buttonExit->action = [this](ui::Button& sender) { onButtonExit(sender); };
}

void HelpViewController::viewWillAppear(bool) {
    if (identifier == "ShowHelp") {
        navigateWeb1();
    } else if (identifier == "ShowInfo" || identifier == "ShowProducts") {
        navigateWeb2();
    }
}

void HelpViewController::onButtonExit(ui::Button&) {
    dismiss(true, [] {});
}

void HelpViewController::didReceiveMemoryWarning() { ui::ViewController::didReceiveMemoryWarning(); }

void HelpViewController::navigateWeb1() {
    loadPage("index.html");
}

void HelpViewController::navigateWeb2() {
    loadPage("midi-files.html");
}

void HelpViewController::navigateWeb3() {
    loadPage("midi-files.html");
}

void HelpViewController::loadPage(std::string_view page) {
    auto web = webView.lock();
    if (!web) return;
    const auto resources = foundation::resourcesFolder();
    if (!resources) {
        safeprint("HelpViewController::loadPage : ERROR: No resources folder, so no help page.");
        return;
    }
    const std::string path = (*resources / "help" / page).string();
    web->load({ui::fileUrl(path), ui::CachePolicy::useProtocolCachePolicy, 60});
}

ui::NavigationPolicy HelpViewController::decidePolicyForAction(ui::WebView&, const ui::NavigationAction& action) {
    safeprint("webView::navigationAction");
    if (action.url) safeprint(ui::urlPath(*action.url));
    return ui::NavigationPolicy::allow;
}

ui::NavigationPolicy HelpViewController::decidePolicyForResponse(ui::WebView&,
                                                                 const ui::NavigationResponse& response) {
    safeprint("webView::navigationResponse");
    if (!response.url) return ui::NavigationPolicy::cancel;
    const std::string path = ui::urlPath(*response.url);
    safeprint(path);
    return isShownType(path) ? ui::NavigationPolicy::allow : ui::NavigationPolicy::cancel;
}

std::shared_ptr<ui::WebView> HelpViewController::createWebView(ui::WebView&, const ui::NavigationAction& action) {
    safeprint("webView::createWebViewWith");
    if (action.url) safeprint(ui::urlPath(*action.url));
    return nullptr;
}

bool HelpViewController::isShownType(std::string_view path) {
    std::string extension = ui::pathExtension(path);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    constexpr std::array<std::string_view, 4> shown{"", "PDF", "HTML", "M4A"};
    return std::find(shown.begin(), shown.end(), extension) != shown.end();
}
