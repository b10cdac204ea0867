#include "Orvo_Tunedeck/app/ProgramMessages.h"

#include <cstdio>

#include "Orvo_Tunedeck/app/ProgramLog.h"
#include "platform/dispatch/MainQueue.h"

namespace {

void writeLine(const char* kind, const std::string& text) {
    // Log lines queued before the message are printed first, so that the message closes what the log shows.
    dispatch::MainQueue::shared().drain();
    endRepeatedLogLines();
    std::fprintf(stderr, "%s: %s: %s\n", kProgramName, kind, text.c_str());
    std::fflush(stderr);
}

}  // namespace

int reportError(const std::string& text) {
    writeLine("error", text);
    return 1;
}

void reportWarning(const std::string& text) { writeLine("warning", text); }

void reportStatus(const std::string& text) {
    dispatch::MainQueue::shared().drain();
    endRepeatedLogLines();
    std::fprintf(programOutput(), "%s: %s\n", kProgramName, text.c_str());
    std::fflush(programOutput());
}
