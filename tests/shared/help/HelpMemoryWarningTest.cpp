// The system's memory warnings, raised by a stand-in for GLib's memory monitor, reach the help screen through the GTK
// back end; screens that are shown in no window hear nothing.

#include "platform/ui/Window.h"
#include "platform/ui_gtk/GtkMemoryWarnings.h"
#include "shared/help/HelpViewController.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

// A memory monitor that warns when the test says so.
struct FakeMonitor {
    GObject parent;
};
struct FakeMonitorClass {
    GObjectClass parent;
};
gboolean fakeMonitorInit(GInitable*, GCancellable*, GError**) { return TRUE; }
void fakeMonitorInitableInit(GInitableIface* iface) { iface->init = fakeMonitorInit; }
void fakeMonitorInterfaceInit(GMemoryMonitorInterface*) {}
G_DEFINE_TYPE_WITH_CODE(FakeMonitor, fake_monitor, G_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(G_TYPE_INITABLE, fakeMonitorInitableInit)
                            G_IMPLEMENT_INTERFACE(G_TYPE_MEMORY_MONITOR, fakeMonitorInterfaceInit))
void fake_monitor_init(FakeMonitor*) {}
void fake_monitor_class_init(FakeMonitorClass*) {}

void warn(GObject* monitor, GMemoryMonitorWarningLevel level) {
    g_signal_emit_by_name(monitor, "low-memory-warning", level);
}

struct CountingHelp : HelpViewController {
    void didReceiveMemoryWarning() override {
        ++warnings;
        HelpViewController::didReceiveMemoryWarning();
    }
    int warnings = 0;
};

TEST(HelpMemoryWarning, EveryWarningOfTheMonitorReachesTheShownHelpScreenOnly) {
    GObject* monitor = G_OBJECT(g_object_new(fake_monitor_get_type(), nullptr));
    ui::Window window({0, 0, 400, 600});
    window.setRootViewController(std::make_shared<ui::ViewController>());
    const auto shown = std::make_shared<CountingHelp>();
    const auto loadedElsewhere = std::make_shared<CountingHelp>();
    loadedElsewhere->view();
    const auto neverLoaded = std::make_shared<CountingHelp>();
    ASSERT_TRUE(window.rootViewController()->present(shown, false));
    {
        const ui::GtkMemoryWarnings forwarding(G_MEMORY_MONITOR(monitor));
        warn(monitor, G_MEMORY_MONITOR_WARNING_LEVEL_LOW);
        warn(monitor, G_MEMORY_MONITOR_WARNING_LEVEL_CRITICAL);
        EXPECT_EQ(shown->warnings, 2);
        EXPECT_EQ(loadedElsewhere->warnings, 0);
        EXPECT_EQ(neverLoaded->warnings, 0);

        shown->dismiss(false);
        warn(monitor, G_MEMORY_MONITOR_WARNING_LEVEL_LOW);
        EXPECT_EQ(shown->warnings, 2) << "a dismissed screen is no longer shown";
    }
    ASSERT_TRUE(window.rootViewController()->present(shown, false));
    warn(monitor, G_MEMORY_MONITOR_WARNING_LEVEL_LOW);
    EXPECT_EQ(shown->warnings, 2) << "nothing is forwarded once the forwarding is gone";
    g_object_unref(monitor);
}

}  // namespace
