#pragma once

#include "platform/ui/Button.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/WebView.h"

#include <memory>
#include <string>
#include <string_view>

// Help screen: a web view and an exit button. Each time it appears, the identifier the opener set picks the page:
// "ShowHelp" -> help/index.html, "ShowInfo" or "ShowProducts" -> help/midi-files.html (both in the resources), any
// other -> none. Navigation is logged through safeprint and stays in this view; only pages, PDF and M4A responses are
// accepted, and new-window requests are ignored.
//
// Thread contract: main thread only (view calls and web-view delegate calls).
class HelpViewController : public ui::ViewController, public ui::WebNavigationDelegate, public ui::WebUIDelegate {
public:
    std::string identifier = "ShowInfo";
    // Outlets; the view hierarchy owns the web view.
    std::weak_ptr<ui::WebView> webView;
    std::shared_ptr<ui::Button> buttonExit;

    // For the opener, before the screen is shown.
    void prepareInfo(std::string which);

    // Builds the screen: a bar with the exit button over the web view.
    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void onButtonExit(ui::Button& sender);
    void didReceiveMemoryWarning() override;

    ui::NavigationPolicy decidePolicyForAction(ui::WebView& view, const ui::NavigationAction& action) override;
    ui::NavigationPolicy decidePolicyForResponse(ui::WebView& view, const ui::NavigationResponse& response) override;
    std::shared_ptr<ui::WebView> createWebView(ui::WebView& view, const ui::NavigationAction& action) override;

    // Whether a response whose address has this path may be shown: its extension, upper-cased, is "", "PDF",
    // "HTML" or "M4A".
    static bool isShownType(std::string_view path);

private:
    void navigateWeb1();
    void navigateWeb2();
    void navigateWeb3();
    void loadPage(std::string_view page);
};
