// The entry points of the window module (WindowModule.h), which the program finds by name.

#include "Orvo_Tunedeck/app/WindowedHost.h"

extern "C" {

bool TunedeckWindowAvailable() { return windowAvailable(); }

int TunedeckRunWindowed(const std::string& device, const std::vector<std::filesystem::path>& files,
                        const SoundChoice& sound) {
    return runWindowed(device, files, sound);
}

}  // extern "C"
