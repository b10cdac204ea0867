#pragma once

#include <string>

namespace ui {

// Hands url to the desktop's browser through xdg-open and returns at once; false when there is no xdg-open on the
// PATH or it cannot be started (the caller reports that).
//
// Thread contract: main thread only.
bool openInSystemBrowser(const std::string& url);

}  // namespace ui
