#pragma once

#include <string>
#include <string_view>

namespace ui {

// Parts of an address such as "https://host/dir/page.html?q=1#top" or "file:///folder/page.html".
// Plain functions; any thread.

// The path: "/dir/page.html" (query and fragment dropped, percent escapes kept); for text without a scheme, the
// text itself up to a query or fragment.
std::string urlPath(std::string_view url);

// The extension of a path's last component without the dot: "html" for "/dir/page.html", "" for "/dir/",
// "/dir/name" or "/dir/.hidden".
std::string pathExtension(std::string_view path);

// "file://" followed by an absolute path.
std::string fileUrl(std::string_view absolutePath);

}  // namespace ui
