#pragma once
// The program's own messages to the person at the terminal, apart from the log: errors and warnings, one line each
// on standard error, led by the program's name.
//
// Threads: the main queue.

#include <string>

inline constexpr const char* kProgramName = "Orvo-Tunedeck2";

// "Orvo-Tunedeck2: error: <text>" on standard error. Returns 1, the program's status after a failure.
int reportError(const std::string& text);
// "Orvo-Tunedeck2: warning: <text>" on standard error.
void reportWarning(const std::string& text);
