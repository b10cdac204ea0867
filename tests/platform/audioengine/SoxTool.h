#pragma once
// Runs sox and soxi, the independent reference for levels and file headers.

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace audioengine::testing {

// The standard output of a shell command; its standard error only when asked (sox reports statistics there, and
// warnings that would spoil a number).
inline std::string runCommand(const std::string& command, bool withErrors = false) {
    std::string output;
    const std::string line = command + (withErrors ? " 2>&1" : " 2>/dev/null");
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(line.c_str(), "r"), pclose);
    if (!pipe) return output;
    std::array<char, 256> chunk{};
    while (fgets(chunk.data(), chunk.size(), pipe.get()) != nullptr) output += chunk.data();
    return output;
}

// A fresh folder under the tests' scratch folder.
inline std::filesystem::path scratchFolder(const std::string& name) {
    const char* root = std::getenv("TUNEDECK_TEST_TMP");
    std::filesystem::path folder = std::filesystem::path(root != nullptr ? root : "/tmp") / ("audioengine-" + name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

// The value after "label:" in sox's stat report, or -1.
inline double soxStat(const std::string& file, const std::string& label, const std::string& effects = "") {
    const std::string report = runCommand("sox '" + file + "' -n " + effects + " stat", true);
    const size_t at = report.find(label);
    if (at == std::string::npos) return -1.0;
    return std::stod(report.substr(report.find(':', at) + 1));
}

}  // namespace audioengine::testing
