#pragma once
// The application in a window: start-up, then the main screen in a GTK window, playing live through an ALSA PCM
// device, until the window is closed (its close button, Ctrl+Q, SIGINT or SIGTERM), then shutdown. While the window
// is open the system's memory warnings reach the screens shown in it.
//
// Threads: the process's main thread, which drives GLib's main loop and, through it, the main queue.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Orvo_Tunedeck/app/SoundChoice.h"

class MainViewController;
class PersistentAppData;
class SceneDelegate;
namespace ui {
class AlertController;
class GtkWindowHost;
}  // namespace ui

// Whether a window can be opened here (a display is reachable). The first call names the program for GTK, so that
// desktops tie its windows to its desktop entry.
bool windowAvailable();
// The process's exit code: 0 after the window was closed, 1 when the instrument refused the sound choice. files are
// opened into the window as the desktop's "open with" does, and so are files dropped on the window. Call only after
// windowAvailable() returned true.
int runWindowed(const std::string& device, const std::vector<std::filesystem::path>& files, const SoundChoice& sound);

// Gives hub's instrument the sound the window starts with: the command line's choice, else the sound set chosen in
// the window last time (remembered in store). From then on every sound set chosen is remembered there at once.
// False, with error saying why, when the instrument refuses the sound.
bool startWithSound(ViewController& hub, const SoundChoice& commandLine, PersistentAppData& store,
                    std::string& error);

// When the engine of screen's hub has its instrument but cannot run on the sound device: pauses the instrument's
// file player, disables play and stop and presents an alert from screen that names the device and the --device
// option, and returns it. Null otherwise.
std::shared_ptr<ui::AlertController> showNoSoundOutput(MainViewController& screen, const std::string& device);

// What the back end gives the program's window besides the window itself: the program's icon, the file chooser of
// document pickers and, where WebKitGTK was built in, the browser engine that shows the pages of the help,
// information and products screens. Once, after the window host is made.
void installWindowServices(ui::GtkWindowHost& host);

// Hands each file to the scene delegate as an open request of its own, so that every one of them is brought in
// (a request naming several files opens only the first).
void openInScene(SceneDelegate& scene, const std::vector<std::filesystem::path>& files);
// From now on files dropped on the window are opened as files named on the command line are.
void openDroppedFiles(ui::GtkWindowHost& host, std::shared_ptr<SceneDelegate> scene);
