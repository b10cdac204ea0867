#pragma once
// sox and soxi, the independent reference for levels and file headers.

#include <string>

#include "tests/support/TestFolder.h"

namespace audioengine::testing {

// What a command writes to standard output (warnings on standard error are left out).
inline std::string commandOutput(const std::string& command) {
    int exitCode = -1;
    return testsupport::runCommand(command + " 2>/dev/null", exitCode);
}

// The value after "label:" in sox's stat report (which sox writes to standard error), or -1.
inline double soxStat(const std::string& file, const std::string& label, const std::string& effects = "") {
    int exitCode = -1;
    const std::string report = testsupport::runCommand("sox '" + file + "' -n " + effects + " stat 2>&1", exitCode);
    const size_t at = report.find(label);
    if (exitCode != 0 || at == std::string::npos) return -1.0;
    return std::stod(report.substr(report.find(':', at) + 1));
}

}  // namespace audioengine::testing
