#pragma once
// The program's command line: what the user asked for, or what was wrong with it (naming the argument and what it
// takes).
//
// Threads: any.

#include <string>
#include <vector>

#include "Orvo_Tunedeck/app/HeadlessHost.h"

struct CommandLine {
    enum class Action { run, help, version, error };
    Action action = Action::run;
    HeadlessOptions options;
    bool headless = false;
    // -v: the layers' detail lines too.
    bool verbose = false;
    // For error: what was wrong, as one sentence without the program's name.
    std::string error;
};

CommandLine parseCommandLine(const std::vector<std::string>& args);

// The text of --help, ending in a line feed.
std::string helpText();
// The text of --version, ending in a line feed.
std::string versionText();
