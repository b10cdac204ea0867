#include "platform/ui/TextField.h"
#include "platform/ui_gtk/GtkTextEditor.h"
#include "platform/ui_gtk/GtkWindowHost.h"

#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

namespace {

template <typename Done>
bool spinUntil(ui::GtkWindowHost& host, Done done) {
    for (int pass = 0; pass < 20000 && !done(); ++pass) {
        if (!host.iterate()) std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return done();
}

// The entry widget the editor put over the drawing.
GtkWidget* entryOver(ui::GtkWindowHost& host) {
    for (GtkWidget* w = gtk_widget_get_first_child(gtk_widget_get_parent(host.drawingArea())); w;
         w = gtk_widget_get_next_sibling(w)) {
        if (GTK_IS_ENTRY(w)) return w;
    }
    return nullptr;
}

TEST(GtkTextEditor, TypingBecomesTheFieldsText) {
    setenv("GDK_DEBUG", "gl-disable", 0);
    setenv("GSK_RENDERER", "cairo", 0);
    if (!ui::GtkWindowHost::gtkAvailable()) GTEST_SKIP() << "no display";
    dispatch::MainQueue queue;
    auto root = std::make_shared<ui::View>(ui::Rect{0, 0, 240, 120});
    ui::GtkWindowHost host(root, "text test", queue);
    ui::installGtkTextEditor(host);
    auto field = std::make_shared<ui::TextField>(ui::Rect{10, 20, 200, 30});
    field->placeholder = "name";
    root->addSubview(field);
    ui::TextField::setEditorFactory({});
    host.present();

    GtkWidget* entry = entryOver(host);
    ASSERT_NE(entry, nullptr);
    ASSERT_TRUE(spinUntil(host, [&] { return gtk_widget_get_visible(entry) != FALSE; }));
    EXPECT_EQ(gtk_widget_get_margin_start(entry), 10);
    EXPECT_EQ(gtk_widget_get_margin_top(entry), 20);
    EXPECT_STREQ(gtk_entry_get_placeholder_text(GTK_ENTRY(entry)), "name");

    gtk_editable_set_text(GTK_EDITABLE(entry), "song");
    EXPECT_EQ(field->text(), "song");
    field->setText("other");
    EXPECT_STREQ(gtk_editable_get_text(GTK_EDITABLE(entry)), "other");

    // A field taken out of the tree hides its entry.
    field->removeFromSuperview();
    EXPECT_TRUE(spinUntil(host, [&] { return gtk_widget_get_visible(entry) == FALSE; }));
    field.reset();
    EXPECT_EQ(entryOver(host), nullptr);
    host.close();
}

}  // namespace
