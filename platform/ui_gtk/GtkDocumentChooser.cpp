#include "platform/ui_gtk/GtkDocumentChooser.h"

#include "platform/ui/DocumentPicker.h"

#include <gtk/gtk.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace ui {

namespace {

// The picker a dialog answers, held weakly: the screen may close while the dialog is open.
struct PendingChoice {
    std::weak_ptr<ViewController> picker;
};

void answered(GtkNativeDialog* dialog, int response, gpointer data) {
    std::unique_ptr<PendingChoice> pending(static_cast<PendingChoice*>(data));
    const std::shared_ptr<ViewController> alive = pending->picker.lock();
    auto* picker = dynamic_cast<DocumentPicker*>(alive.get());
    if (picker) {
        if (response == GTK_RESPONSE_ACCEPT) {
            std::vector<std::filesystem::path> files;
            GListModel* list = gtk_file_chooser_get_files(GTK_FILE_CHOOSER(dialog));
            const guint count = g_list_model_get_n_items(list);
            for (guint i = 0; i < count; ++i) {
                auto* file = static_cast<GFile*>(g_list_model_get_item(list, i));
                if (char* path = g_file_get_path(file)) {
                    files.emplace_back(path);
                    g_free(path);
                }
                g_object_unref(file);
            }
            g_object_unref(list);
            picker->pick(std::move(files));
        } else {
            picker->cancel();
        }
    }
    g_object_unref(dialog);
}

void choose(DocumentPicker& picker) {
    GtkFileChooserNative* dialog =
        gtk_file_chooser_native_new("Open", nullptr, GTK_FILE_CHOOSER_ACTION_OPEN, "_Open", "_Cancel");
    gtk_file_chooser_set_select_multiple(GTK_FILE_CHOOSER(dialog), picker.allowsMultipleSelection());
    if (!picker.extensions().empty()) {
        GtkFileFilter* filter = gtk_file_filter_new();
        for (const std::string& extension : picker.extensions()) gtk_file_filter_add_suffix(filter, extension.c_str());
        gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(dialog), filter);
        g_object_unref(filter);
    }
    auto* pending = new PendingChoice{picker.weak_from_this()};
    g_signal_connect(dialog, "response", G_CALLBACK(&answered), pending);
    gtk_native_dialog_set_modal(GTK_NATIVE_DIALOG(dialog), TRUE);
    gtk_native_dialog_show(GTK_NATIVE_DIALOG(dialog));
}

}  // namespace

void installGtkDocumentChooser() {
    DocumentPicker::setChooser(&choose);
}

}  // namespace ui
