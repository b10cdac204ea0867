// The sound set chosen in the window is there again when the program starts anew, however it was ended: the choice
// is on disk as soon as it is made. Needs a display (CI gives it one through xvfb).

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "Orvo_Tunedeck/app/MainViewController.h"
#include "Orvo_Tunedeck/app/WindowedHost.h"
#include "Orvo_Tunedeck/configuration/ConfigurationViewController.h"
#include "Orvo_Tunedeck/configuration/SwitchCell.h"
#include "Orvo_Tunedeck/midi/MIDIConnection.h"
#include "Orvo_Tunedeck/settings/SoundSetMemory.h"
#include "platform/audioengine/ManualRenderingOutput.h"
#include "platform/audiounit/AudioComponentRegistry.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/ui/Switch.h"
#include "platform/ui/Window.h"
#include "platform/ui_gtk/GtkWindowHost.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestFolder.h"

namespace {

constexpr const char* kDomain = "org.orvo.tunedeck.test";

// One run of the window: its hub and instrument, started with the command line's sound and the store.
struct ProgramRun {
    std::shared_ptr<ViewController> hub = std::make_shared<ViewController>();
    std::shared_ptr<MainViewController> screen;

    ProgramRun(const SoundChoice& commandLine, PersistentAppData& store) {
        hub->viewDidLoad(std::make_unique<audioengine::ManualRenderingOutput>(48000.0));
        dispatch::MainQueue::shared().drain();
        std::string error;
        EXPECT_TRUE(startWithSound(*hub, commandLine, store, error)) << error;
        screen = std::make_shared<MainViewController>(hub);
    }
    ~ProgramRun() {
        MIDIConnection::shared().setDelegate(nullptr);
        dispatch::MainQueue::shared().drain();
    }

    // The row the configuration screen shows switched on.
    int64_t shownRow() {
        screen->onButtonConfig();
        auto* configuration = dynamic_cast<ConfigurationViewController*>(screen->presentedViewController());
        EXPECT_NE(configuration, nullptr);
        const int64_t row = configuration ? configuration->soundsets().selected : -1;
        if (configuration) configuration->onButtonClose();
        return row;
    }
};

TEST(SoundSetMemory, TheChoiceMadeInTheWindowIsThereAfterQuittingAndStartingAgain) {
    setenv("GDK_DEBUG", "gl-disable", 0);
    setenv("GSK_RENDERER", "cairo", 0);
    testsupport::TestFolder folder;
    testsupport::ScopedEnvironment environment;
    environment.set("TUNEDECK_DOCUMENTS", (folder.path() / "Documents").string());
    if (!windowAvailable()) GTEST_SKIP() << "no display";
    AudioComponentRegistry::shared().addSearchFolder(TUNEDECK_AUDIO_MODULES_DIR);
    auto& queue = dispatch::MainQueue::shared();
    const std::filesystem::path settings = folder.path() / "settings";
    {
        PersistentAppData store(kDomain, settings);
        ProgramRun first(SoundChoice{}, store);
        EXPECT_EQ(first.hub->loadedSoundset(), 0);
        ui::Window window({0, 0, 720, 640});
        window.setRootViewController(first.screen);
        ui::GtkWindowHost host(window.rootViewPointer(), "Orvo-Tunedeck2", queue);
        host.present();
        first.screen->onButtonConfig();
        auto* configuration = dynamic_cast<ConfigurationViewController*>(first.screen->presentedViewController());
        ASSERT_NE(configuration, nullptr);
        ui::TableViewCell* row = configuration->tableSoundset->visibleCell({0, 3});
        ASSERT_NE(row, nullptr);
        // A tap on the row's switch, through the window.
        ui::Switch& control = *cellSwitch(*row);
        const ui::Rect at = window.rootView().convertRectFrom(control.bounds(), &control);
        host.pointer().press(window.rootView(), {at.midX(), at.midY()});
        host.pointer().release({at.midX(), at.midY()});
        EXPECT_EQ(first.hub->loadedSoundset(), 3);
        // On disk before the program ends: another reader of the store sees it now.
        EXPECT_EQ(rememberedSoundSet(PersistentAppData(kDomain, settings)), 3);
        // Ctrl+Q closes the window as its close button does.
        host.close();
        queue.drain();
    }
    PersistentAppData store(kDomain, settings);
    ProgramRun again(SoundChoice{}, store);
    EXPECT_EQ(again.hub->loadedSoundset(), 3);
    EXPECT_EQ(again.shownRow(), 3);
    // A sound set named on the command line wins for that run and is not remembered.
    {
        ProgramRun named(SoundChoice{.soundSet = 5, .soundfont = std::nullopt}, store);
        EXPECT_EQ(named.hub->loadedSoundset(), 5);
    }
    EXPECT_EQ(rememberedSoundSet(store), 3);
}

}  // namespace
