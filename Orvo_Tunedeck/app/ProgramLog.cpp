#include "Orvo_Tunedeck/app/ProgramLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/foundation/Log.h"

namespace {

constexpr std::array<std::string_view, 7> kSeverityWords{"ERROR", "Error", "Fehler", "error:",
                                                         "WARNING", "Warnung", "warning:"};

// Lines that carry a warning word for a state that is normal here, by their beginning and end: the instrument notes
// that its view is not loaded yet when it is connected before the view (always so without a window, and the window
// loads it a moment later); the sequence reader notes each event other than a tempo change in a file's tempo track
// (track names, markers and lyrics often are there; the song plays all the same); a song played again finds its
// copy in the documents folder from the time before, which it keeps; a sound set's bank that is not there is named,
// with its file, by the program itself.
struct ExpectedLine {
    std::string_view begins;
    std::string_view ends;
};
constexpr std::array<ExpectedLine, 4> kExpectedWarnings{{
    {"AU Diagnostics: WARNING: Plugin view is not loaded.", ""},
    {"AudioUnitMIDISynth::ERROR: The soundfont could not be found.", ""},
    {"MIDISequence::Warnung: Anderes MIDI Event auf der Tempospur vom Type ", ""},
    {"ViewController::onOpenIn(): ERROR: The file '", "' does already exist."},
}};

std::FILE* summaryOutput = stdout;

// Without -v a line the layers repeat (one for each program of a bank that could not be read, say) is shown once,
// and how often it came again when another line follows or the program speaks.
std::mutex repeatsMutex;
std::string lastShown;
long repeatsHeld = 0;

void writeErrorLine(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
}

void writeRepeats() {
    if (repeatsHeld > 0)
        std::fprintf(stderr, "(the line above came %ld more time%s)\n", repeatsHeld, repeatsHeld == 1 ? "" : "s");
    repeatsHeld = 0;
}

}  // namespace

std::FILE* programOutput() { return summaryOutput; }

void endRepeatedLogLines() {
    const std::lock_guard lock(repeatsMutex);
    writeRepeats();
    lastShown.clear();
}

bool isErrorOrWarningLine(std::string_view line) {
    for (const ExpectedLine& expected : kExpectedWarnings)
        if (line.starts_with(expected.begins) && line.ends_with(expected.ends)) return false;
    for (const std::string_view word : kSeverityWords)
        if (line.find(word) != std::string_view::npos) return true;
    return false;
}

void installProgramLog(bool verbose) {
    // The summary keeps the real standard output; what the layers print there goes to standard error with -v (line
    // by line, so that it keeps its place among the log lines) and nowhere without.
    std::fflush(stdout);
    const int kept = ::dup(STDOUT_FILENO);
    const int layers = verbose ? STDERR_FILENO : ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (kept >= 0 && layers >= 0 && ::dup2(layers, STDOUT_FILENO) >= 0) {
        ::fcntl(kept, F_SETFD, FD_CLOEXEC);
        summaryOutput = ::fdopen(kept, "w");
        if (verbose) std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    }
    if (!verbose && layers >= 0) ::close(layers);
    if (summaryOutput == nullptr) summaryOutput = stdout;
    foundation::setLogSink([verbose](std::string_view line) {
        if (verbose) {
            writeErrorLine(line);
            return;
        }
        if (!isErrorOrWarningLine(line)) return;
        const std::lock_guard lock(repeatsMutex);
        if (line == lastShown) {
            ++repeatsHeld;
            return;
        }
        writeRepeats();
        writeErrorLine(line);
        lastShown = line;
    });
}
