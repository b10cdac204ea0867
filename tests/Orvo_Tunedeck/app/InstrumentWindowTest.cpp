// The main screen with the hosted instrument in a real GTK window (CI gives it a display through xvfb), at a small,
// a laptop and a full-HD size, while the instrument plays its start-up file: what the window's pixels show; and
// the window's start-up: an alert when it has no sound output, after which the instrument's own play buttons start
// nothing; the sound set chosen in it remembered, one whose bank is gone refused with an alert. The song
// and the display timers keep the main queue's clock, one tick at a time, so a slow machine sees the same second.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "Orvo_Tunedeck/app/MainViewController.h"
#include "Orvo_Tunedeck/app/ProgramLog.h"
#include "Orvo_Tunedeck/app/WindowedHost.h"
#include "Orvo_Tunedeck/configuration/ConfigurationViewController.h"
#include "Orvo_Tunedeck/configuration/SwitchCell.h"
#include "Orvo_Tunedeck/midi/MIDIConnection.h"
#include "Orvo_Tunedeck/settings/SoundSetMemory.h"
#include "platform/audioengine/AlsaOutput.h"
#include "platform/audioengine/ManualRenderingOutput.h"
#include "platform/audiounit/AudioComponentRegistry.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TableView.h"
#include "platform/ui/Window.h"
#include "platform/ui_gtk/GtkWindowHost.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestFolder.h"

namespace {

using Clock = std::chrono::steady_clock;

// The instrument's design: the panel (600 x 500) inside a 680 x 580 view with toolbars at top and bottom.
constexpr double kChannelNumberX = 149;
constexpr double kChannelStep = 24;
constexpr ui::Rect kChannelNumber{0, 165, 22, 12};
constexpr ui::Point kUpperFrameTop{300, 26};
constexpr ui::Point kLowerFrameTop{300, 375};
constexpr ui::Point kDarkBesideFrame{590, 150};
constexpr ui::Rect kOverlayBars{145, 40, 400, 122};
constexpr ui::Rect kPanelProgress{120, 400, 370, 45};
constexpr ui::Rect kPanelPlay{497, 401, 48, 48};
constexpr ui::Rect kPanelFiles{82, 325, 130, 31};

double luma(ui::Pixel p) { return (0.2126 * p.red + 0.7152 * p.green + 0.0722 * p.blue) / 255.0; }

// The brightest pixel of a window rectangle.
double brightest(const ui::ImageSurface& image, ui::Rect r) {
    double most = 0;
    for (int y = static_cast<int>(r.minY()); y <= static_cast<int>(r.maxY()); ++y)
        for (int x = static_cast<int>(r.minX()); x <= static_cast<int>(r.maxX()); ++x)
            most = std::max(most, luma(image.pixel(x, y)));
    return most;
}

int changedPixels(const ui::ImageSurface& a, const ui::ImageSurface& b, ui::Rect r) {
    int changed = 0;
    for (int y = static_cast<int>(r.minY()); y < static_cast<int>(r.maxY()); ++y)
        for (int x = static_cast<int>(r.minX()); x < static_cast<int>(r.maxX()); ++x)
            if (std::abs(luma(a.pixel(x, y)) - luma(b.pixel(x, y))) > 0.1) ++changed;
    return changed;
}

bool inside(ui::Rect inner, ui::Rect outer) {
    constexpr double kSlack = 0.5;
    return inner.minX() >= outer.minX() - kSlack && inner.minY() >= outer.minY() - kSlack &&
           inner.maxX() <= outer.maxX() + kSlack && inner.maxY() <= outer.maxY() + kSlack;
}

// A tap through the window on the middle of a rectangle of view.
void tap(ui::GtkWindowHost& host, ui::View& view, ui::Rect inView) {
    const ui::Rect at = host.root().convertRectFrom(inView, &view);
    host.pointer().press(host.root(), {at.midX(), at.midY()});
    host.pointer().release({at.midX(), at.midY()});
}

void collectButtons(ui::View& view, std::vector<ui::Button*>& buttons) {
    if (auto* button = dynamic_cast<ui::Button*>(&view)) buttons.push_back(button);
    for (const auto& child : view.subviews()) collectButtons(*child, buttons);
}

// The instrument's root holds the design area: the plug-in view (frame and panel), then the two toolbars.
struct InstrumentParts {
    ui::View& pluginView;
    ui::View& panel;
    ui::View& toolbarTop;
    ui::View& toolbarBottom;
};

InstrumentParts instrumentParts(MainViewController& screen) {
    ui::View& design = *screen.pluginView->subviews().front()->subviews().front();
    ui::View& pluginView = *design.subviews()[0];
    return {pluginView, *pluginView.subviews()[1]->subviews().front(), *design.subviews()[1], *design.subviews()[2]};
}

// Writes a picture of the window into the test's folder for people to look at, when the run names one.
void keepPicture(ui::GtkWindowHost& host, const std::string& name) {
    const char* folder = std::getenv("TUNEDECK_TEST_TMP");
    if (folder == nullptr) return;
    if (const auto shot = host.capture()) shot->writePng(std::filesystem::path(folder) / (name + ".png"));
}

class InstrumentWindow : public ::testing::Test {
protected:
    void SetUp() override {
        // No OpenGL: the drivers GDK would load keep allocations the leak checker cannot attribute. The whole
        // environment is set before GTK starts: its font threads read the environment while they run.
        setenv("GDK_DEBUG", "gl-disable", 0);
        setenv("GSK_RENDERER", "cairo", 0);
        environment.set("TUNEDECK_DOCUMENTS", (folder.path() / "Documents").string());
        useLivelyStartUpSong();
        if (!windowAvailable()) GTEST_SKIP() << "no display";
        AudioComponentRegistry::shared().addSearchFolder(TUNEDECK_AUDIO_MODULES_DIR);
        auto output = std::make_unique<audioengine::ManualRenderingOutput>(48000.0);
        pull = output.get();
        hub = std::make_shared<ViewController>();
        queue().useManualClock();
        hub->viewDidLoad(std::move(output));
        queue().drain();
    }
    void TearDown() override {
        MIDIConnection::shared().setDelegate(nullptr);
        queue().drain();
    }
    static dispatch::MainQueue& queue() { return dispatch::MainQueue::shared(); }

    // The instrument's view starts a song of the start-up selection at random, and a slow one on few channels can
    // leave the overlay's bars as they were for a second. The instrument here finds the built resources through
    // links, with one song on four busy channels in its selection.
    void useLivelyStartUpSong() {
        namespace fs = std::filesystem;
        const std::optional<fs::path> built = foundation::resourcesFolder();
        ASSERT_TRUE(built);
        const fs::path resources = folder.path() / "resources";
        const auto linkAllBut = [](const fs::path& from, const fs::path& to, const fs::path& except) {
            fs::create_directories(to);
            for (const fs::directory_entry& entry : fs::directory_iterator(from))
                if (entry.path().filename() != except) fs::create_symlink(entry.path(), to / entry.path().filename());
        };
        linkAllBut(*built, resources, "MIDI");
        linkAllBut(*built / "MIDI", resources / "MIDI", "Selection");
        fs::create_directories(resources / "MIDI" / "Selection");
        fs::create_symlink(*built / "MIDI" / "Selection" / "Copper Engine.mid",
                           resources / "MIDI" / "Selection" / "Copper Engine.mid");
        environment.set("TUNEDECK_RESOURCES", resources.string());
    }

    // Plays seconds of the song in steps of one display tick: the instrument renders the tick's sound and the main
    // queue's clock moves on by it (its timers fire). The window draws afterwards (settle).
    void play(double seconds) {
        constexpr double kTick = 1.0 / 60;
        constexpr uint32_t kFrames = 800;  // one tick at 48000 Hz
        std::vector<float> left(kFrames);
        std::vector<float> right(kFrames);
        for (long tick = std::lround(seconds / kTick); tick > 0; --tick) {
            pull->render(kFrames, left.data(), right.data());
            queue().advanceClock(kTick);
        }
    }

    // Lets the window draw until the view tree has nothing left to draw (or half a second has passed).
    static void settle(ui::GtkWindowHost& host) {
        const auto until = Clock::now() + std::chrono::milliseconds(500);
        while (Clock::now() < until && host.root().needsDisplayInTree()) {
            if (!host.iterate()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    // The main screen over the hub in a window of a size, shown, drawn and half a second into the song.
    struct ShownScreen {
        ShownScreen(InstrumentWindow& test, ui::Size size)
            : window({0, 0, size.width, size.height}), screen(std::make_shared<MainViewController>(test.hub)) {
            window.setRootViewController(screen);
            host = std::make_unique<ui::GtkWindowHost>(window.rootViewPointer(), "Orvo-Tunedeck2", queue());
            host->present();
            settle(*host);
            test.play(0.5);
            settle(*host);
        }
        ~ShownScreen() {
            host->close();
            queue().drain();
        }

        ui::Window window;
        std::shared_ptr<MainViewController> screen;
        std::unique_ptr<ui::GtkWindowHost> host;
    };

    testsupport::TestFolder folder;
    testsupport::ScopedEnvironment environment;
    audioengine::ManualRenderingOutput* pull = nullptr;
    std::shared_ptr<ViewController> hub;
};

TEST_F(InstrumentWindow, ShowsTheWholePlayingPanelLightOnDarkAtEverySize) {
    ASSERT_TRUE(hub->player->instrument && hub->player->instrument->audioUnit0);
    for (const ui::Size size : {ui::Size{480, 360}, ui::Size{1280, 800}, ui::Size{1920, 1080}}) {
        SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
        const ui::Size monitor = ui::GtkWindowHost::largestMonitor();
        if (monitor.width < size.width || monitor.height < size.height) {
            ADD_FAILURE() << "the display is too small for this window (CI's display is 2560 x 1440)";
            continue;
        }
        ShownScreen opened(*this, size);
        ui::Window& window = opened.window;
        const std::shared_ptr<MainViewController>& screen = opened.screen;
        ui::GtkWindowHost& host = *opened.host;
        ASSERT_EQ(window.rootView().frame(), (ui::Rect{0, 0, size.width, size.height}));
        ASSERT_FALSE(screen->pluginView->subviews().empty()) << "the instrument's view is not shown";

        ui::View& root = window.rootView();
        const InstrumentParts parts = instrumentParts(*screen);
        ui::View& pluginView = parts.pluginView;
        ui::View& panel = parts.panel;
        ui::View& toolbarBottom = parts.toolbarBottom;
        const ui::Rect shown = root.bounds();
        EXPECT_TRUE(inside(root.convertRectFrom(pluginView.bounds(), &pluginView), shown));
        EXPECT_TRUE(inside(root.convertRectFrom(toolbarBottom.bounds(), &toolbarBottom), shown));
        // The instrument's icon rows lie along the edges of its area: the top one starts at the area's left edge
        // right below the window's own row of buttons, and the bottom one ends at the window's bottom.
        const ui::Rect area = root.convertRectFrom(screen->pluginView->bounds(), screen->pluginView.get());
        const ui::Rect topRow = root.convertRectFrom(parts.toolbarTop.bounds(), &parts.toolbarTop);
        const ui::Rect bottomRow = root.convertRectFrom(toolbarBottom.bounds(), &toolbarBottom);
        for (const ui::Rect row : {topRow, bottomRow}) {
            EXPECT_NEAR(row.minX(), area.minX(), 0.5);
            EXPECT_NEAR(row.maxX(), area.maxX(), 0.5);
        }
        EXPECT_NEAR(topRow.minY(), area.minY(), 0.5);
        EXPECT_NEAR(bottomRow.maxY(), area.maxY(), 0.5);
        const auto onScreen = [&](ui::Rect canvas) { return root.convertRectFrom(canvas, &panel); };

        const auto first = host.capture();
        play(1.0);
        settle(host);
        const auto second = host.capture();
        keepPicture(host, "main-" + std::to_string(static_cast<int>(size.width)) + "x" +
                              std::to_string(static_cast<int>(size.height)));
        ASSERT_TRUE(first && second);
        ASSERT_EQ(second->width(), static_cast<int>(size.width));

        EXPECT_LT(brightest(*second, onScreen({kDarkBesideFrame.x, kDarkBesideFrame.y, 1, 1})), 0.2);
        for (const ui::Point edge : {kUpperFrameTop, kLowerFrameTop})
            EXPECT_GT(brightest(*second, onScreen({edge.x - 3, edge.y - 3, 6, 6})), 0.6) << edge.y;
        for (int channel = 0; channel < 16; ++channel) {
            const ui::Rect number{kChannelNumberX + kChannelStep * channel, kChannelNumber.y, kChannelNumber.width,
                                  kChannelNumber.height};
            EXPECT_GT(brightest(*second, onScreen(number)), 0.6) << "channel " << channel + 1;
        }
        EXPECT_GT(changedPixels(*first, *second, onScreen(kOverlayBars)), 10) << "the overlay bars stood still";
        EXPECT_GT(changedPixels(*first, *second, onScreen(kPanelProgress)) +
                      changedPixels(*first, *second, root.convertRectFrom(toolbarBottom.bounds(), &toolbarBottom)),
                  0)
            << "the progress stood still";

        std::vector<ui::Button*> buttons;
        collectButtons(root, buttons);
        for (ui::Button* button : buttons) {
            if (button->imageName().empty()) continue;
            EXPECT_EQ(button->title(), "") << button->imageName();
            EXPECT_NE(button->imageView()->image(), nullptr) << button->imageName();
        }
    }
}

}  // namespace

namespace {

// The picture of the instrument's own play button (its toolbar's): "Pause Icon" while its file player plays.
std::string instrumentPlayPicture(ui::View& instrumentArea) {
    std::vector<ui::Button*> buttons;
    collectButtons(instrumentArea, buttons);
    for (ui::Button* button : buttons)
        if (button->imageName() == "Pause Icon" || button->imageName() == "Play Icon") return button->imageName();
    return "";
}

template <typename Kind>
void collect(ui::View& view, std::vector<Kind*>& found) {
    if (auto* one = dynamic_cast<Kind*>(&view)) found.push_back(one);
    for (const auto& child : view.subviews()) collect(*child, found);
}

TEST_F(InstrumentWindow, TheFileBrowserFillsTheWindowFromItsFirstDrawingInBothLists) {
    std::filesystem::create_directories(folder.path() / "Documents" / "Presets");
    ShownScreen opened(*this, {1280, 800});
    ui::GtkWindowHost& host = *opened.host;
    tap(host, instrumentParts(*opened.screen).panel, kPanelFiles);
    settle(host);
    keepPicture(host, "factory-list-1280x800");
    // The factory list as the browser opens with it, then the user list its button shows.
    for (const std::string list : {"", "User"}) {
        SCOPED_TRACE(list);
        std::vector<ui::Button*> buttons;
        collectButtons(host.root(), buttons);
        const auto button = std::find_if(buttons.begin(), buttons.end(),
                                         [&](ui::Button* b) { return b->title() == list; });
        if (!list.empty()) {
            ASSERT_NE(button, buttons.end());
            tap(host, **button, (*button)->bounds());
            settle(host);
        }
        std::vector<ui::TableView*> tables;
        collect(host.root(), tables);
        ASSERT_EQ(tables.size(), 1u);
        ui::TableView& table = *tables.front();
        EXPECT_EQ(host.root().convertRectFrom(table.bounds(), &table).width, 1280);
        ASSERT_FALSE(table.visibleRows().empty());
        for (const ui::IndexPath row : table.visibleRows())
            EXPECT_EQ(table.visibleCell(row)->frame().width, table.frame().width) << row.row;
    }
    keepPicture(host, "user-list-1280x800");
}

TEST_F(InstrumentWindow, TheTopStopAndPlayButtonsPauseAndContinueWhatThePanelShows) {
    ASSERT_TRUE(hub->player->instrument && hub->player->instrument->audioUnit0);
    ShownScreen opened(*this, {720, 640});
    const std::shared_ptr<MainViewController>& screen = opened.screen;
    ASSERT_EQ(instrumentPlayPicture(*screen->pluginView), "Pause Icon") << "the start-up song plays";

    const auto tapTop = [&](ui::Button& button) { tap(*opened.host, button, button.bounds()); };
    // The engine is paused: the display ticks go on without sound.
    tapTop(*screen->buttonStop);
    EXPECT_FALSE(hub->player->engine->isRunning());
    for (int tick = 0; tick < 10; ++tick) queue().advanceClock(1.0 / 60);
    EXPECT_EQ(instrumentPlayPicture(*screen->pluginView), "Play Icon");

    tapTop(*screen->buttonPlay);
    EXPECT_TRUE(hub->player->engine->isRunning());
    play(0.2);
    EXPECT_EQ(instrumentPlayPicture(*screen->pluginView), "Pause Icon");
}

}  // namespace

namespace {

// Pixels of a window rectangle darker, and lighter, than half.
struct Counts {
    int dark = 0;
    int light = 0;
};

Counts countPixels(const ui::ImageSurface& image, ui::Rect r) {
    Counts counts;
    for (int y = static_cast<int>(r.minY()); y < static_cast<int>(r.maxY()); ++y)
        for (int x = static_cast<int>(r.minX()); x < static_cast<int>(r.maxX()); ++x)
            (luma(image.pixel(x, y)) < 0.5 ? counts.dark : counts.light) += 1;
    return counts;
}

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
        if (host) host->close();
        MIDIConnection::shared().setDelegate(nullptr);
        dispatch::MainQueue::shared().drain();
    }

    // Shows the screen in a window of the program's size.
    ui::GtkWindowHost& show() {
        window = std::make_unique<ui::Window>(ui::Rect{0, 0, 720, 640});
        window->setRootViewController(screen);
        host = std::make_unique<ui::GtkWindowHost>(window->rootViewPointer(), "Orvo-Tunedeck2",
                                                   dispatch::MainQueue::shared());
        host->present();
        return *host;
    }
    std::unique_ptr<ui::Window> window;
    std::unique_ptr<ui::GtkWindowHost> host;

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

// Opens the configuration screen and taps the switch of a sound-set row through the window.
void chooseInWindow(ui::GtkWindowHost& host, MainViewController& screen, int row) {
    screen.onButtonConfig();
    auto* configuration = dynamic_cast<ConfigurationViewController*>(screen.presentedViewController());
    ASSERT_NE(configuration, nullptr);
    ui::TableViewCell* cell = configuration->tableSoundset->visibleCell({0, row});
    ASSERT_NE(cell, nullptr);
    ui::Switch& control = *cellSwitch(*cell);
    tap(host, control, control.bounds());
}

TEST_F(InstrumentWindow, WithoutASoundOutputTheWindowShowsAnAlertNamingTheDeviceAndTheOption) {
    const auto silent = std::make_shared<ViewController>();
    silent->viewDidLoad(std::make_unique<audioengine::AlsaOutput>("nonexistent", 48000.0));
    queue().drain();
    ASSERT_TRUE(silent->player->instrument && silent->player->instrument->audioUnit0);
    ASSERT_FALSE(silent->player->engine->isRunning());

    ui::Window window({0, 0, 720, 640});
    const auto screen = std::make_shared<MainViewController>(silent);
    window.setRootViewController(screen);
    {
        ui::GtkWindowHost host(window.rootViewPointer(), "Orvo-Tunedeck2", queue());
        host.present();
        const std::shared_ptr<ui::AlertController> alert = showNoSoundOutput(*screen, "nonexistent");
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(screen->presentedViewController(), alert.get());
        EXPECT_NE(alert->message().find("'nonexistent'"), std::string::npos) << alert->message();
        EXPECT_NE(alert->message().find("--device"), std::string::npos) << alert->message();
        EXPECT_FALSE(screen->buttonPlay->isEnabled);
        EXPECT_FALSE(screen->buttonStop->isEnabled);
        for (int tick = 0; tick < 10; ++tick) queue().advanceClock(1.0 / 60);
        EXPECT_EQ(instrumentPlayPicture(*screen->pluginView), "Play Icon") << "the panel shows no song playing";

        const auto until = Clock::now() + std::chrono::milliseconds(500);
        while (Clock::now() < until && (host.root().needsDisplayInTree() || !host.capture())) {
            if (!host.iterate()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const auto shot = host.capture();
        ASSERT_TRUE(shot);
        // The alert's box: light, with the dark ink of its last lines just above its button, in the middle of the
        // window; the dimmed screen beside it stays dark.
        const std::vector<ui::Rect> buttons = alert->actionRects();
        ASSERT_EQ(buttons.size(), 1u);
        const ui::Rect button = buttons.front();
        EXPECT_NEAR(button.midX(), window.rootView().bounds().midX(), 1);
        const Counts inText = countPixels(*shot, {button.minX() + 16, button.minY() - 56, button.width - 32, 40});
        EXPECT_GT(inText.light, inText.dark) << "the alert's box is light";
        EXPECT_GT(inText.dark, 40) << "and has lines of text on it";
        const Counts beside = countPixels(*shot, {button.minX() - 40, button.minY() - 56, 20, 40});
        EXPECT_EQ(beside.light, 0) << "the screen around the alert is dimmed";

        // With the alert read, neither the panel's play button nor the instrument's toolbar one starts a song.
        tap(host, window.rootView(), button);
        ASSERT_EQ(screen->presentedViewController(), nullptr);
        std::vector<ui::Button*> toolbar;
        collectButtons(instrumentParts(*screen).toolbarBottom, toolbar);
        const auto toolbarPlay = std::find_if(toolbar.begin(), toolbar.end(),
                                              [](ui::Button* b) { return b->imageName() == "Play Icon"; });
        ASSERT_NE(toolbarPlay, toolbar.end());
        EXPECT_FALSE((*toolbarPlay)->isEnabled);
        const std::vector<std::pair<ui::View*, ui::Rect>> playButtons = {
            {&instrumentParts(*screen).panel, kPanelPlay}, {*toolbarPlay, (*toolbarPlay)->bounds()}};
        for (const auto& [view, area] : playButtons) {
            tap(host, *view, area);
            for (int tick = 0; tick < 10; ++tick) queue().advanceClock(1.0 / 60);
            EXPECT_EQ(instrumentPlayPicture(*screen->pluginView), "Play Icon") << "a song plays that nobody hears";
        }
        settle(host);
        keepPicture(host, "no-sound-output");
        host.close();
    }
}


TEST_F(InstrumentWindow, TheSoundSetChosenInTheWindowIsThereAfterQuittingAndStartingAgain) {
    const std::filesystem::path settings = folder.path() / "settings";
    {
        PersistentAppData store(kDomain, settings);
        ProgramRun first(SoundChoice{}, store);
        EXPECT_EQ(first.hub->loadedSoundset(), 0);
        ui::GtkWindowHost& host = first.show();
        ASSERT_NO_FATAL_FAILURE(chooseInWindow(host, *first.screen, 3));
        EXPECT_EQ(first.hub->loadedSoundset(), 3);
        // On disk before the program ends: another reader of the store sees it now.
        EXPECT_EQ(rememberedSoundSet(PersistentAppData(kDomain, settings)), 3);
        // Ctrl+Q closes the window as its close button does.
        host.close();
        queue().drain();
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

TEST_F(InstrumentWindow, ASoundSetWhoseBankIsGoneIsRefusedWithAnAlertAndTheSetBeforeStays) {
    const std::filesystem::path settings = folder.path() / "settings";
    PersistentAppData store(kDomain, settings);
    std::filesystem::remove(folder.path() / "resources" / "soundfont6.sf2");
    ProgramRun run(SoundChoice{}, store);
    ui::GtkWindowHost& host = run.show();
    ASSERT_NO_FATAL_FAILURE(chooseInWindow(host, *run.screen, 2));
    ASSERT_EQ(run.hub->loadedSoundset(), 2);

    // The program's own warning is the one line on standard error: no log line the program shows there comes with it.
    foundation::LogCapture log;
    testing::internal::CaptureStderr();
    ASSERT_NO_FATAL_FAILURE(chooseInWindow(host, *run.screen, 3));
    queue().drain();
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    for (const std::string& line : log.lines()) EXPECT_FALSE(isErrorOrWarningLine(line)) << line;
    auto* alert = dynamic_cast<ui::AlertController*>(run.screen->presentedViewController());
    ASSERT_NE(alert, nullptr) << "no alert in the window";
    EXPECT_NE(alert->message().find("'soundfont6.sf2' of sound set 3 is missing"), std::string::npos)
        << alert->message();
    EXPECT_NE(errors.find("'" + (folder.path() / "resources" / "soundfont6.sf2").string() + "'"), std::string::npos)
        << "standard error names the whole path: " << errors;
    settle(host);
    keepPicture(host, "sound-set-refused");
    alert->dismiss(false);

    EXPECT_EQ(run.hub->loadedSoundset(), 2);
    EXPECT_EQ(rememberedSoundSet(PersistentAppData(kDomain, settings)), 2);
    EXPECT_EQ(run.shownRow(), 2);
    host.close();
}

TEST_F(InstrumentWindow, ARememberedSoundSetWhoseBankIsGoneIsForgottenAndTheWindowStarts) {
    const std::filesystem::path settings = folder.path() / "settings";
    PersistentAppData store(kDomain, settings);
    rememberSoundSet(store, 3);
    std::filesystem::remove(folder.path() / "resources" / "soundfont6.sf2");
    ProgramRun run(SoundChoice{}, store);
    EXPECT_EQ(run.hub->loadedSoundset(), 0);
    EXPECT_EQ(rememberedSoundSet(store), 0);
}

}  // namespace
