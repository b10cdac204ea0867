#pragma once
// The program's window lives in a module of its own (Orvo-Tunedeck2-Window.so, WindowModuleEntry.cpp) that the
// program loads only to open a window, so that headless runs and offline renders never load GTK 4 and the dozens of
// libraries it brings. The module takes the program's own symbols (the program exports them), as the instrument
// module does.
//
// Threads: the process's main thread.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "Orvo_Tunedeck/app/SoundChoice.h"

class WindowModule {
public:
    // The module beside the running program (installed or in the build tree), loaded; nullopt, with error saying
    // why, when it cannot be. It stays loaded for the life of the process.
    static std::optional<WindowModule> load(std::string& error);

    // windowAvailable() and runWindowed() of WindowedHost.h, in the module.
    bool available() const;
    int run(const std::string& device, const std::vector<std::filesystem::path>& files,
            const SoundChoice& sound) const;

private:
    using Available = bool (*)();
    using Run = int (*)(const std::string&, const std::vector<std::filesystem::path>&, const SoundChoice&);

    WindowModule(Available available, Run run) : available_(available), run_(run) {}

    Available available_;
    Run run_;
};
