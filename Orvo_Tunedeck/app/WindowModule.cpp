#include "Orvo_Tunedeck/app/WindowModule.h"

#include <dlfcn.h>

#include "platform/foundation/Folders.h"

std::optional<WindowModule> WindowModule::load(std::string& error) {
    const std::filesystem::path file =
        foundation::productFolder(TUNEDECK_INSTALLED_WINDOW_FOLDER, TUNEDECK_BUILT_WINDOW_FOLDER) /
        "Orvo-Tunedeck2-Window.so";
    void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        error = ::dlerror();
        return std::nullopt;
    }
    auto available = reinterpret_cast<Available>(::dlsym(handle, "TunedeckWindowAvailable"));
    auto run = reinterpret_cast<Run>(::dlsym(handle, "TunedeckRunWindowed"));
    if (available == nullptr || run == nullptr) {
        error = file.string() + " lacks its entry points";
        return std::nullopt;
    }
    return WindowModule(available, run);
}

bool WindowModule::available() const { return available_(); }

int WindowModule::run(const std::string& device, const std::vector<std::filesystem::path>& files,
                      const SoundChoice& sound) const {
    return run_(device, files, sound);
}
