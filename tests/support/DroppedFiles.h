#pragma once
// What a drag and drop of files delivers to a GTK 4 drop target: a file list value, for tests that drop without a
// drag. Header only; include it where GTK 4 is linked.

#include <gtk/gtk.h>

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// A file list of the files at the given locations (URIs).
class DroppedFiles {
public:
    explicit DroppedFiles(const std::vector<std::string>& uris) {
        std::vector<GFile*> files;
        for (const std::string& uri : uris) files.push_back(g_file_new_for_uri(uri.c_str()));
        g_value_init(&value_, GDK_TYPE_FILE_LIST);
        g_value_take_boxed(&value_, gdk_file_list_new_from_array(files.data(), files.size()));
        for (GFile* file : files) g_object_unref(file);
    }
    ~DroppedFiles() { g_value_unset(&value_); }
    DroppedFiles(const DroppedFiles&) = delete;
    DroppedFiles& operator=(const DroppedFiles&) = delete;

    const GValue* value() const { return &value_; }

    // The location of a local file.
    static std::string uri(const std::filesystem::path& path) {
        gchar* text = g_filename_to_uri(path.c_str(), nullptr, nullptr);
        std::string uri = text ? text : "";
        g_free(text);
        return uri;
    }

private:
    GValue value_ = G_VALUE_INIT;
};

}  // namespace testsupport
