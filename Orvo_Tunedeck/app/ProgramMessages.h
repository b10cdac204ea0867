#pragma once
// The program's own messages to the person at the terminal, apart from the log, one line each and led by the
// program's name: errors and warnings on standard error, the summary of its work on standard output.
//
// Threads: the main queue.

#include <string>

inline constexpr const char* kProgramName = "Orvo-Tunedeck2";

// "Orvo-Tunedeck2: error: <text>" on standard error. Returns 1, the program's status after a failure.
int reportError(const std::string& text);
// "Orvo-Tunedeck2: warning: <text>" on standard error.
void reportWarning(const std::string& text);
// "Orvo-Tunedeck2: <text>" on standard output: the program's short account of what it loaded, played or wrote.
void reportStatus(const std::string& text);
