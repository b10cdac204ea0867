#include "Orvo_Tunedeck/app/WindowedHost.h"

#include <memory>

#include "Orvo_Tunedeck/app/AppDelegate.h"
#include "Orvo_Tunedeck/app/MainViewController.h"
#include "Orvo_Tunedeck/app/ProgramMessages.h"
#include "Orvo_Tunedeck/app/SceneDelegate.h"
#include "Orvo_Tunedeck/app/ViewController.h"
#include "Orvo_Tunedeck/settings/SoundSetMemory.h"
#include "platform/audioengine/AlsaOutput.h"
#include "platform/audioengine/AudioSession.h"
#include "platform/audiounit/AudioComponentRegistry.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Folders.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Window.h"
#include "platform/ui_gtk/GtkDocumentChooser.h"
#include "platform/ui_gtk/GtkMemoryWarnings.h"
#include "platform/ui_gtk/GtkWindowHost.h"
#ifdef TUNEDECK_WITH_WEBKIT
#include "platform/ui_gtk/GtkWebEngine.h"
#endif

bool windowAvailable() {
    // The desktop entry is Orvo-Tunedeck2.desktop.
    ui::GtkWindowHost::setProgramName(kProgramName);
    return ui::GtkWindowHost::gtkAvailable();
}

bool startWithSound(ViewController& hub, const SoundChoice& commandLine, PersistentAppData& store,
                    std::string& error) {
    SoundChoice sound = commandLine;
    // Set 0 is what the instrument loads by itself.
    const std::optional<int> remembered = rememberedSoundSet(store);
    const bool useRemembered = !sound.soundSet && !sound.soundfont && remembered.value_or(0) != 0;
    if (useRemembered) sound.soundSet = remembered;
    if (!applySoundChoice(hub, sound, error)) {
        if (!useRemembered) return false;
        // A remembered set that cannot be played any more (its bank is gone) is forgotten: the window opens all the
        // same, with set 0.
        reportWarning(error + "; the window starts with sound set 0");
        rememberSoundSet(store, 0);
        error.clear();
        SoundChoice first;
        first.soundSet = 0;
        if (!applySoundChoice(hub, first, error)) return false;
    }
    hub.onSoundsetChosen = [&store](int64_t row) { rememberSoundSet(store, row); };
    return true;
}

std::shared_ptr<ui::AlertController> showNoSoundOutput(MainViewController& screen, const std::string& device) {
    const AudioEngine* player = screen.hub ? screen.hub->player.get() : nullptr;
    if (player == nullptr || !player->instrument || player->engine->isRunning()) return nullptr;
    // The instrument's file player stands still too, and its panel shows so.
    screen.hub->onButtonStop();
    for (const auto& button : {screen.buttonPlay, screen.buttonStop}) {
        button->isEnabled = false;
        button->setNeedsDisplay();
    }
    auto alert = std::make_shared<ui::AlertController>(
        "No sound output",
        "The ALSA PCM device '" + device + "' cannot be opened, so the window cannot play.\n"
        "Start Orvo-Tunedeck2 with --device NAME to play on another device (aplay -L lists them).");
    alert->addAction({"OK", ui::AlertActionStyle::cancel, nullptr});
    screen.present(alert, true);
    return alert;
}

void installWindowServices([[maybe_unused]] ui::GtkWindowHost& host) {
    if (const auto resources = foundation::resourcesFolder())
        ui::GtkWindowHost::setDefaultIcon(kProgramName, *resources / "icons");
    ui::installGtkDocumentChooser();
#ifdef TUNEDECK_WITH_WEBKIT
    ui::installGtkWebEngine(host);
#endif
}

void openInScene(SceneDelegate& scene, const std::vector<std::filesystem::path>& files) {
    for (const std::filesystem::path& file : files) scene.sceneOpenURLContexts({file});
}

void openDroppedFiles(ui::GtkWindowHost& host, std::shared_ptr<SceneDelegate> scene) {
    host.onFilesDropped([scene = std::move(scene)](const std::vector<std::filesystem::path>& files) {
        openInScene(*scene, files);
    });
}

int runWindowed(const std::string& device, const std::vector<std::filesystem::path>& files, const SoundChoice& sound) {
    auto& mainQueue = dispatch::MainQueue::shared();
    AudioComponentRegistry::shared().addSearchFolder(foundation::audioModulesFolder());
    AppDelegate appDelegate;
    appDelegate.applicationDidFinishLaunchingWithOptions();
    mainQueue.drain();

    const auto hub = std::make_shared<ViewController>();
    hub->viewDidLoad(
        std::make_unique<audioengine::AlsaOutput>(device, audioengine::AudioSession::sharedInstance().sampleRate()));
    mainQueue.drain();
    if (hub->player->instrument && hub->player->instrument->audioUnit0) {
        std::string error;
        if (!startWithSound(*hub, sound, PersistentAppData::sharedStore(), error)) return reportError(error);
    }

    // Room for the button row and the instrument's whole view at its design size.
    ui::Window window({0, 0, 720, 640});
    const auto screen = std::make_shared<MainViewController>(hub);
    window.setRootViewController(screen);
    {
        ui::GtkWindowHost host(window.rootViewPointer(), "Orvo-Tunedeck2", mainQueue);
        installWindowServices(host);
        const ui::GtkMemoryWarnings memoryWarnings;
        const auto sceneDelegate = std::make_shared<SceneDelegate>();
        sceneDelegate->window = &window;
        sceneDelegate->sceneWillConnect();
        openInScene(*sceneDelegate, files);
        openDroppedFiles(host, sceneDelegate);
        host.closeOnTerminationSignals();
        host.present();
        showNoSoundOutput(*screen, device);
        host.runUntilClosed();
    }
    appDelegate.applicationWillTerminate();
    mainQueue.drain();
    return 0;
}
