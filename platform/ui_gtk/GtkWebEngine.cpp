#include "platform/ui_gtk/GtkWebEngine.h"

#include "platform/ui/WebView.h"

#include <webkit/webkit.h>

#include <memory>
#include <optional>
#include <string>

namespace ui {

namespace {

std::optional<std::string> address(const char* uri) {
    if (!uri || !*uri) return std::nullopt;
    return std::string(uri);
}

class GtkWebEngine : public WebEngine {
public:
    GtkWebEngine(WebView& view, std::weak_ptr<GtkEmbeddedWidgets> site) : view_(view), site_(std::move(site)) {
        page_ = webkit_web_view_new();
        g_object_ref_sink(page_);
        g_signal_connect(page_, "decide-policy", G_CALLBACK(&GtkWebEngine::decide), this);
        g_signal_connect(page_, "create", G_CALLBACK(&GtkWebEngine::create), this);
        g_signal_connect(page_, "load-changed", G_CALLBACK(&GtkWebEngine::loadChanged), this);
        if (auto site = site_.lock()) site->add(view_, page_);
    }

    ~GtkWebEngine() override {
        g_signal_handlers_disconnect_by_data(page_, this);
        if (auto site = site_.lock()) site->remove(page_);
        g_object_unref(page_);
    }

    void load(const WebRequest& request) override {
        webkit_web_view_load_uri(WEBKIT_WEB_VIEW(page_), request.url.c_str());
    }

private:
    static gboolean decide(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                           gpointer data) {
        WebView& view = static_cast<GtkWebEngine*>(data)->view_;
        NavigationPolicy policy = NavigationPolicy::cancel;
        switch (type) {
        case WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION:
        case WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION: {
            WebKitNavigationAction* action =
                webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
            const NavigationAction step{address(webkit_uri_request_get_uri(webkit_navigation_action_get_request(action))),
                                        type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION};
            if (step.targetsNewWindow) {
                view.requestNewWindow(step);
            } else {
                policy = view.decideAction(step);
            }
            break;
        }
        case WEBKIT_POLICY_DECISION_TYPE_RESPONSE: {
            WebKitURIResponse* response =
                webkit_response_policy_decision_get_response(WEBKIT_RESPONSE_POLICY_DECISION(decision));
            policy = view.decideResponse({address(webkit_uri_response_get_uri(response))});
            break;
        }
        default:
            return FALSE;
        }
        if (policy == NavigationPolicy::allow) {
            webkit_policy_decision_use(decision);
        } else {
            webkit_policy_decision_ignore(decision);
        }
        return TRUE;
    }

    // New windows were refused at their decision already; should the engine still ask, it gets none.
    static GtkWidget* create(WebKitWebView*, WebKitNavigationAction*, gpointer) { return nullptr; }

    static void loadChanged(WebKitWebView* page, WebKitLoadEvent event, gpointer data) {
        if (event != WEBKIT_LOAD_COMMITTED) return;
        if (const char* uri = webkit_web_view_get_uri(page)) static_cast<GtkWebEngine*>(data)->view_.didShow(uri);
    }

    WebView& view_;
    std::weak_ptr<GtkEmbeddedWidgets> site_;
    GtkWidget* page_ = nullptr;
};

}  // namespace

void installGtkWebEngine(GtkWindowHost& host) {
    std::weak_ptr<GtkEmbeddedWidgets> site = host.embeddedWidgets();
    WebView::setEngineFactory([site](WebView& view) { return std::make_unique<GtkWebEngine>(view, site); });
}

}  // namespace ui
