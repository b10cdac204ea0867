#pragma once
// Where the program's log goes. By default the person at the terminal sees only what went wrong: log lines that
// carry an error or warning word ("ERROR", "Error", "Fehler", "error:", "WARNING", "Warnung", "warning:") go to
// standard error (a line repeated one after another is shown once, with how often it came again), the layers'
// detail lines are dropped, and so is what layers print straight to standard output (the synthesizer library's
// progress texts). Verbose (-v): every log line and all that the layers print go to standard error. The program's
// own summary always reaches standard output, through programOutput(), and is all that standard output carries.
//
// Threads: install once, on the main thread, before the layers start logging.

#include <string_view>

#include <cstdio>

void installProgramLog(bool verbose);
// Says how often the last log line shown came again since (see installProgramLog), before the program's own lines.
void endRepeatedLogLines();
// Where the program's own summary lines go: the process's standard output as it was before installProgramLog.
std::FILE* programOutput();

// Whether a log line reports an error or a warning the user has to know of (not one of the instrument's notes on a
// state that is normal in this program). Pure.
bool isErrorOrWarningLine(std::string_view line);
