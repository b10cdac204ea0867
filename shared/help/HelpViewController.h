#pragma once

#include "platform/ui/Button.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/WebView.h"

#include <memory>
#include <string>
#include <string_view>

// The help screen: a web view with an exit button. Its identifier, set by the opener before the screen is shown,
// chooses the page on every appearance: "ShowHelp" the start page, "ShowInfo" and "ShowProducts" the page about
// the MIDI-file collection; any other identifier loads nothing. The pages are the help folder of the resources
// ("help/index.html" and "help/midi-files.html"). The screen logs every navigation through safeprint, lets every
// page load inside its web view, refuses responses of types other than pages, PDF documents and M4A audio, and
// never opens a second window.
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

    ui::NavigationPolicy decidePolicyForAction(ui::WebView& view, const ui::NavigationAction& action) override;
    ui::NavigationPolicy decidePolicyForResponse(ui::WebView& view, const ui::NavigationResponse& response) override;
    std::shared_ptr<ui::WebView> createWebView(ui::WebView& view, const ui::NavigationAction& action) override;

    // Whether a response whose address has this path may be shown: its extension, upper-cased, is "", "PDF",
    // "HTML" or "M4A".
    static bool isShownType(std::string_view path);

private:
    void navigateWeb1();
    void navigateWeb2();
    void loadPage(std::string_view page);
};
