#include "Orvo_Tunedeck/app/ProgramLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <string_view>

#include "platform/foundation/Log.h"

namespace {

constexpr std::array<std::string_view, 7> kSeverityWords{"ERROR", "Error", "Fehler", "error:",
                                                         "WARNING", "Warnung", "warning:"};

// Lines that carry a warning word for a state that is normal here: the instrument notes that its view is not loaded
// yet when it is connected before the view (always so without a window, and the window loads it a moment later).
constexpr std::array<std::string_view, 1> kExpectedWarnings{"AU Diagnostics: WARNING: Plugin view is not loaded."};

std::FILE* summaryOutput = stdout;

}  // namespace

std::FILE* programOutput() { return summaryOutput; }

bool isErrorOrWarningLine(std::string_view line) {
    for (const std::string_view expected : kExpectedWarnings)
        if (line == expected) return false;
    for (const std::string_view word : kSeverityWords)
        if (line.find(word) != std::string_view::npos) return true;
    return false;
}

void installProgramLog(bool verbose) {
    if (!verbose) {
        // The summary keeps the real standard output; what the layers print there goes nowhere.
        std::fflush(stdout);
        const int kept = ::dup(STDOUT_FILENO);
        const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (kept >= 0 && nowhere >= 0 && ::dup2(nowhere, STDOUT_FILENO) >= 0) {
            ::fcntl(kept, F_SETFD, FD_CLOEXEC);
            summaryOutput = ::fdopen(kept, "w");
        }
        if (nowhere >= 0) ::close(nowhere);
        if (summaryOutput == nullptr) summaryOutput = stdout;
    }
    foundation::setLogSink([verbose](std::string_view line) {
        if (!verbose && !isErrorOrWarningLine(line)) return;
        std::fwrite(line.data(), 1, line.size(), stderr);
        std::fputc('\n', stderr);
    });
}
