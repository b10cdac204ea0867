// The main screen over the hub and the built instrument module: its buttons, the configuration screen it opens and
// the document picker whose choice lands in the documents folder, and the instrument's own view in its area.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>

#include "Orvo_Tunedeck/app/MainViewController.h"
#include "Orvo_Tunedeck/app/NotificationCenter.h"
#include "Orvo_Tunedeck/configuration/ConfigurationViewController.h"
#include "Orvo_Tunedeck/configuration/SwitchCell.h"
#include "Orvo_Tunedeck/midi/MIDIConnection.h"
#include "platform/audioengine/ManualRenderingOutput.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "platform/ui/TouchRouter.h"
#include "platform/ui/Url.h"
#include "shared/help/HelpViewController.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestFolder.h"
#include "tools/soundbank/sf2_writer.h"

namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

// A tap at the middle of a view, routed from the root as the window would.
void tap(ui::View& root, ui::View& target) {
    ui::Point point{target.frame().width / 2, target.frame().height / 2};
    for (const ui::View* view = &target; view != &root; view = view->superview()) {
        point.x += view->frame().x;
        point.y += view->frame().y;
    }
    ui::TouchRouter router;
    router.press(root, point);
    router.release(point);
}

class MainScreen : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(folder.path() / "Resources" / "default.mid", "default");
        documents = folder.path() / "Documents";
        environment.set("TUNEDECK_RESOURCES", (folder.path() / "Resources").string());
        environment.set("TUNEDECK_DOCUMENTS", documents.string());
        static const bool searched = [] {
            AudioComponentRegistry::shared().addSearchFolder(TUNEDECK_AUDIO_MODULES_DIR);
            return true;
        }();
        (void)searched;
        hub = std::make_shared<ViewController>();
        hub->viewDidLoad(std::make_unique<audioengine::ManualRenderingOutput>(48000.0));
        dispatch::MainQueue::shared().drain();
        screen = std::make_shared<MainViewController>(hub);
        screen->view();
    }
    void TearDown() override {
        MIDIConnection::shared().setDelegate(nullptr);
        dispatch::MainQueue::shared().drain();
    }
    long logged(const std::string& line) {
        dispatch::MainQueue::shared().drain();
        const auto lines = log.lines();
        return std::count(lines.begin(), lines.end(), line);
    }

    testsupport::TestFolder folder;
    testsupport::ScopedEnvironment environment;
    foundation::LogCapture log;
    fs::path documents;
    std::shared_ptr<ViewController> hub;
    std::shared_ptr<MainViewController> screen;
};

TEST_F(MainScreen, ASoundSetRowTappedOnTheConfigurationScreenReachesTheInstrument) {
    ASSERT_NE(hub->player->instrument->audioUnit0, nullptr);
    tap(screen->view(), *screen->buttonConfig);
    auto* configuration = dynamic_cast<ConfigurationViewController*>(screen->presentedViewController());
    ASSERT_NE(configuration, nullptr);
    EXPECT_EQ(configuration->delegate, hub.get());

    ui::TableViewCell* row = configuration->tableSoundset->visibleCell({0, 4});
    ASSERT_NE(row, nullptr);
    log.clear();
    tap(screen->view(), *cellSwitch(*row));
    EXPECT_EQ(screen->presentedViewController(), nullptr);
    // The test's resources hold no banks: the chosen set's bank is looked for and not found.
    EXPECT_EQ(logged("AudioUnitMIDISynth::ERROR: The soundfont could not be found."), 1);
    EXPECT_EQ(logged("AudioUnitBase::setParameter(): ERROR: The parameter address 1189 is not there in "
                     "KWBL: Orvo Tunedeck Extension."),
              0);
}

TEST_F(MainScreen, TheConfigurationScreenShowsTheSoundSetThatIsLoaded) {
    // Row 3 is the set of "soundfont6.sf2": a bank the instrument loads, so that the set is taken.
    ASSERT_TRUE(sf2::looped_sample_bank(sf2::looped_sample("sine", sf2::sine_wave(100, 4), 100, 60))
                    .write((folder.path() / "Resources" / "soundfont6.sf2").string()));
    tap(screen->view(), *screen->buttonConfig);
    auto* configuration = dynamic_cast<ConfigurationViewController*>(screen->presentedViewController());
    ASSERT_NE(configuration, nullptr);
    EXPECT_EQ(configuration->soundsets().selected, 0);
    tap(screen->view(), *cellSwitch(*configuration->tableSoundset->visibleCell({0, 3})));
    ASSERT_EQ(screen->presentedViewController(), nullptr);

    tap(screen->view(), *screen->buttonConfig);
    configuration = dynamic_cast<ConfigurationViewController*>(screen->presentedViewController());
    ASSERT_NE(configuration, nullptr);
    EXPECT_EQ(configuration->soundsets().selected, 3);
    EXPECT_TRUE(cellSwitch(*configuration->tableSoundset->visibleCell({0, 3}))->isOn());
    EXPECT_FALSE(cellSwitch(*configuration->tableSoundset->visibleCell({0, 1}))->isOn());
}

TEST_F(MainScreen, HelpInfoAndProductsButtonsShowOurPagesAndHelpAlsoOpensTheBrowser) {
    writeFile(folder.path() / "Resources" / "help" / "index.html", "<p>help</p>");
    std::vector<std::string> opened;
    bool browser = true;
    screen->openURL = [&](const std::string& url) {
        opened.push_back(url);
        return browser;
    };
    const struct {
        std::shared_ptr<ui::Button> button;
        std::string identifier;
        std::string page;
    } cases[] = {
        {screen->buttonHelp, "ShowHelp", "help/index.html"},
        {screen->buttonInfo, "ShowInfo", "help/midi-files.html"},
        {screen->buttonToggle, "ShowProducts", "help/midi-files.html"},
    };
    for (const auto& c : cases) {
        tap(screen->view(), *c.button);
        auto* help = dynamic_cast<HelpViewController*>(screen->presentedViewController());
        ASSERT_NE(help, nullptr) << c.identifier;
        EXPECT_EQ(help->identifier, c.identifier);
        const auto web = help->webView.lock();
        ASSERT_TRUE(web && !web->loadedRequests().empty()) << c.identifier;
        EXPECT_EQ(web->loadedRequests().back().url, ui::fileUrl((folder.path() / "Resources" / c.page).string()));
        help->onButtonExit(*help->buttonExit);
        EXPECT_EQ(screen->presentedViewController(), nullptr);
    }
    EXPECT_EQ(opened, (std::vector<std::string>{MainViewController::makerPage()}));
    EXPECT_EQ(opened.front(), ui::fileUrl((folder.path() / "Resources" / "help" / "index.html").string()));

    browser = false;
    screen->showHelp();
    EXPECT_EQ(logged("ViewController::showHelp() : No web browser to open '" + opened.front() +
                     "' in; the help screen shows it."),
              1);
    EXPECT_NE(dynamic_cast<HelpViewController*>(screen->presentedViewController()), nullptr);
}

TEST_F(MainScreen, PickedMIDIFilesAreCopiedIntoTheDocumentsFolder) {
    const fs::path outside = folder.path() / "Outside";
    writeFile(outside / "song.MID", "song");
    writeFile(outside / "notes.txt", "notes");
    tap(screen->view(), *screen->buttonFiles);
    auto* picker = dynamic_cast<ui::DocumentPicker*>(screen->presentedViewController());
    ASSERT_NE(picker, nullptr);
    EXPECT_TRUE(picker->allowsMultipleSelection());
    picker->pick({outside / "song.MID", outside / "notes.txt"});
    EXPECT_EQ(screen->presentedViewController(), nullptr);
    EXPECT_TRUE(fs::exists(documents / "song.MID"));
    EXPECT_FALSE(fs::exists(documents / "notes.txt"));

    tap(screen->view(), *screen->buttonFiles);
    dynamic_cast<ui::DocumentPicker&>(*screen->presentedViewController()).cancel();
    EXPECT_EQ(logged("ViewController::documentPickerWasCancelled : The document picker was canceled."), 1);
}

TEST_F(MainScreen, ShowsTheInstrumentsOwnViewFillingItsArea) {
    const auto& instrument = hub->player->instrumentViewController;
    ASSERT_NE(instrument, nullptr);
    const ui::View& view = instrument->view();
    ASSERT_EQ(view.superview(), screen->pluginView.get());
    EXPECT_EQ(screen->pluginView->superview(), &screen->view());
    EXPECT_EQ(view.frame(), screen->pluginView->bounds());
    EXPECT_GT(view.frame().height, 0.0);

    screen->view().setFrame({0, 0, 800, 600});
    EXPECT_EQ(view.frame(), screen->pluginView->bounds());
    EXPECT_EQ(view.frame().width, 800.0);
}

TEST_F(MainScreen, AnOpenedFileLaysTheScreenOutBeforeItIsCopied) {
    const ui::Rect placed = screen->pluginView->frame();
    screen->pluginView->setFrame({5, 5, 10, 10});
    writeFile(folder.path() / "Outside" / "opened.mid", "opened");
    postOpenIn(folder.path() / "Outside" / "opened.mid", "test");
    EXPECT_EQ(screen->pluginView->frame(), placed);
    EXPECT_TRUE(fs::is_regular_file(documents / "opened.mid"));
}

TEST_F(MainScreen, ButtonsStopAndStartTheEngineAndToggleTheInstrumentView) {
    ASSERT_TRUE(hub->player->engine->isRunning());
    tap(screen->view(), *screen->buttonStop);
    EXPECT_FALSE(hub->player->engine->isRunning());
    tap(screen->view(), *screen->buttonPlay);
    EXPECT_TRUE(hub->player->engine->isRunning());

    EXPECT_FALSE(screen->pluginView->isHidden());
    tap(screen->view(), *screen->buttonPlaylist);
    EXPECT_TRUE(screen->pluginView->isHidden());
    tap(screen->view(), *screen->buttonPlaylist);
    EXPECT_FALSE(screen->pluginView->isHidden());
}

}  // namespace
