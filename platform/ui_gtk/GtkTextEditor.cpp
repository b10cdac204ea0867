#include "platform/ui_gtk/GtkTextEditor.h"

#include "platform/ui/TextField.h"

#include <gtk/gtk.h>

#include <memory>
#include <string>

namespace ui {

namespace {

class GtkTextEditor : public TextEditor {
public:
    GtkTextEditor(TextField& field, std::weak_ptr<GtkEmbeddedWidgets> site) : field_(field), site_(std::move(site)) {
        entry_ = gtk_entry_new();
        g_object_ref_sink(entry_);
        changed_ = g_signal_connect(entry_, "changed", G_CALLBACK(&GtkTextEditor::changed), this);
        if (auto site = site_.lock()) site->add(field_, entry_);
    }

    ~GtkTextEditor() override {
        g_signal_handler_disconnect(entry_, changed_);
        if (auto site = site_.lock()) site->remove(entry_);
        g_object_unref(entry_);
    }

    void showText(const std::string& text) override {
        g_signal_handler_block(entry_, changed_);
        gtk_editable_set_text(GTK_EDITABLE(entry_), text.c_str());
        g_signal_handler_unblock(entry_, changed_);
    }

    void showPlaceholder(const std::string& placeholder) override {
        gtk_entry_set_placeholder_text(GTK_ENTRY(entry_), placeholder.c_str());
    }

private:
    static void changed(GtkEditable* editable, gpointer data) {
        static_cast<GtkTextEditor*>(data)->field_.userEdited(gtk_editable_get_text(editable));
    }

    TextField& field_;
    std::weak_ptr<GtkEmbeddedWidgets> site_;
    GtkWidget* entry_ = nullptr;
    gulong changed_ = 0;
};

}  // namespace

void installGtkTextEditor(GtkWindowHost& host) {
    std::weak_ptr<GtkEmbeddedWidgets> site = host.embeddedWidgets();
    TextField::setEditorFactory([site](TextField& field) { return std::make_unique<GtkTextEditor>(field, site); });
}

}  // namespace ui
