#include "platform/ui/SystemBrowser.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string_view>

extern char** environ;

namespace ui {

namespace {

bool onPath(std::string_view program) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return false;
    std::string_view rest = path;
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        const std::filesystem::path candidate = std::filesystem::path(folder.empty() ? "." : folder) / program;
        if (::access(candidate.c_str(), X_OK) == 0) return true;
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    return false;
}

}  // namespace

bool openInSystemBrowser(const std::string& url) {
    if (!onPath("xdg-open")) return false;
    // The shell starts xdg-open in the background and ends, so there is nothing left to wait for.
    const char* argv[] = {"sh", "-c", "xdg-open \"$1\" >/dev/null 2>&1 &", "sh", url.c_str(), nullptr};
    pid_t shell = 0;
    if (posix_spawn(&shell, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) return false;
    int status = 0;
    while (::waitpid(shell, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace ui
