// The toolbars, the gestures on the plug-in view, the save-name alert, the picker's answers, the help screens and the
// parameter access by address.

#include "tests/Orvo_Tunedeck_Extension/controller/ViewControllerFixture.h"

#include <filesystem>
#include <fstream>

#include "platform/ui/AlertController.h"
#include "platform/ui/DocumentPicker.h"
#include "platform/ui/TouchRouter.h"
#include "platform/ui/Url.h"
#include "platform/ui/WebView.h"
#include "shared/help/HelpViewController.h"

namespace {

class ViewControllerTools : public ViewControllerFixture {
protected:
    void SetUp() override {
        ViewControllerFixture::SetUp();
        showView();
        render();
        tick();
    }
};

TEST_F(ViewControllerTools, PinchScalesAboutTheCentreWithinItsWidthLimits) {
    ASSERT_TRUE(controller->isSizeable);
    const ui::Rect start{100, 100, 256, 200};
    struct Case {
        double scale;
        bool applied;
    };
    for (const Case c : {Case{127.0 / 256, false}, Case{128.0 / 256, true}, Case{2048.0 / 256, true},
                         Case{2049.0 / 256, false}}) {
        controller->pluginView->setFrame(start);
        controller->onPinchGesture(ui::GestureState::began, 1.0);
        controller->onPinchGesture(ui::GestureState::changed, c.scale);
        const ui::Rect frame = controller->pluginView->frame();
        if (c.applied) {
            EXPECT_DOUBLE_EQ(frame.width, 256 * c.scale);
            EXPECT_DOUBLE_EQ(frame.midX(), start.midX());
            EXPECT_DOUBLE_EQ(frame.midY(), start.midY());
        } else {
            EXPECT_EQ(frame, start) << c.scale;
        }
        controller->onPinchGesture(ui::GestureState::ended, c.scale);
    }
}

TEST_F(ViewControllerTools, PanMovesOnlyASizeableUnlockedView) {
    const ui::Rect start{40, 40, 600, 500};
    struct Case {
        bool sizeable, locked;
        ui::Rect frame;
    };
    for (const Case c : {Case{true, false, {50, 20, 600, 500}}, Case{false, false, start}, Case{true, true, start}}) {
        controller->pluginView->setFrame(start);
        controller->isSizeable = c.sizeable;
        controller->touchesLocked = c.locked;
        controller->onPanGesture(ui::GestureState::began, {});
        controller->onPanGesture(ui::GestureState::changed, {10, -20});
        controller->onPanGesture(ui::GestureState::ended, {10, -20});
        EXPECT_EQ(controller->pluginView->frame(), c.frame) << c.sizeable << c.locked;
    }
}

TEST_F(ViewControllerTools, GesturesOnTheShownViewReachTheirHandlers) {
    // The window is the design's size, so window and design points coincide.
    ui::View& root = window->rootView();
    ui::TouchRouter router;
    const ui::Rect placed{40, 40, 600, 500};
    ASSERT_EQ(controller->pluginView->frame(), placed);

    router.pinchBegan(root, {340, 290});
    router.pinchChanged(2.0);
    EXPECT_EQ(controller->pluginView->frame(), (ui::Rect{-260, -210, 1200, 1000}));
    router.pinchChanged(2049.0 / 600);
    EXPECT_EQ(controller->pluginView->frame().width, 1200);
    router.pinchEnded();

    // Toolbar room beside the buttons is background: a double tap there places the view again.
    controller->touchesLocked = true;
    for (int tap = 0; tap < 2; ++tap) {
        router.press(root, {600, 20});
        router.release({600, 20});
    }
    EXPECT_EQ(controller->pluginView->frame(), placed);
    EXPECT_FALSE(controller->touchesLocked);

    // Dragging the background moves the view; dragging a control of the panel does not.
    router.press(root, {600, 20});
    router.move({630, 60});
    router.release({630, 60});
    EXPECT_EQ(controller->pluginView->frame(), (ui::Rect{70, 80, 600, 500}));
    controller->onDoubleTapGesture();
    router.press(root, {340, 400});
    router.move({380, 450});
    router.release({380, 450});
    EXPECT_EQ(controller->pluginView->frame(), placed);
}

TEST_F(ViewControllerTools, TheWholeViewScalesToItsWindowCentred) {
    // The design fits the window's height; the design area covers the whole window, its toolbars along the window's
    // edges, and the plug-in view keeps its place in the middle.
    ui::View& design = *controller->pluginView->superview();
    window->rootView().setFrame({0, 0, 1360, 600});
    const double width = 1360 * 580.0 / 600;
    EXPECT_EQ(design.frame(), (ui::Rect{0, 0, 1360, 600}));
    EXPECT_NEAR(design.scale(), 600.0 / 580, 1e-12);
    EXPECT_NEAR(design.bounds().width, width, 1e-9);
    EXPECT_NEAR(design.bounds().height, 580, 1e-9);
    const ui::Rect placed = controller->pluginView->frame();
    EXPECT_NEAR(placed.midX(), width / 2, 1e-9);
    EXPECT_EQ(placed.y, 40);
    EXPECT_EQ(placed.width, 600);
    EXPECT_EQ(placed.height, 500);
    EXPECT_EQ(controller->toolbarTop->frame(), (ui::Rect{0, 0, design.bounds().width, 40}));
    EXPECT_EQ(controller->toolbarBottom->frame(), (ui::Rect{0, 540, design.bounds().width, 40}));
    EXPECT_TRUE(controller->isViewVisible(*controller->tunedeckView));
}

TEST_F(ViewControllerTools, ButtonsFollowThePlayerAndTheFreezeState) {
    EXPECT_EQ(controller->buttonPlay->imageName(), "Pause Icon");
    controller->buttonPlay->sendAction();
    render();
    tick();
    EXPECT_FALSE(unit->sequencer()->isPlaying());
    EXPECT_EQ(controller->buttonPlay->imageName(), "Play Icon");
    controller->buttonPlay->sendAction();
    render();
    tick();
    EXPECT_TRUE(unit->sequencer()->isPlaying());

    EXPECT_EQ(controller->freezeButton->alpha, 0.5);
    controller->freezeButton->sendAction();
    EXPECT_FALSE(controller->isSizeable);
    EXPECT_EQ(controller->freezeButton->alpha, 1.0);
}

TEST_F(ViewControllerTools, SaveNameAlertAsksAgainForATakenName) {
    const std::filesystem::path documents = folder.path() / "Documents";
    std::filesystem::create_directories(documents);
    std::ofstream(documents / "taken.mid") << "x";

    controller->alertFileName("current", "taken.mid");
    auto* alert = dynamic_cast<ui::AlertController*>(controller->presentedViewController());
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->message(), "Please enter the file name for the current file: ");
    alert->textFields().front()->setText("");
    alert->tapAction("OK");
    alert = dynamic_cast<ui::AlertController*>(controller->presentedViewController());
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->message(), "The file already exists. Please type in another file name: ");
    EXPECT_EQ(alert->textFields().front()->text(), "taken.mid");

    alert->textFields().front()->setText("free.mid");
    alert->tapAction("OK");
    EXPECT_EQ(controller->presentedViewController(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(documents / "free.mid"));
}

TEST_F(ViewControllerTools, LoadButtonOpensThePickerWhileTestAndToggleDoNothing) {
    controller->buttonTest->sendAction();
    controller->toggleButton->sendAction();
    EXPECT_EQ(controller->presentedViewController(), nullptr);
    controller->buttonLoad->sendAction();
    auto* picker = dynamic_cast<ui::DocumentPicker*>(controller->presentedViewController());
    ASSERT_NE(picker, nullptr);
    picker->cancel();
    EXPECT_EQ(controller->presentedViewController(), nullptr);
}

TEST_F(ViewControllerTools, ASingleDocumentPickedIsLoggedButNotLoaded) {
    const auto playing = unit->getCurrentFile();
    const std::filesystem::path song = folder.path() / "song.mid";
    ui::DocumentPicker picker({"mid"}, false);
    log.clear();
    controller->documentPicker(picker, song);
    queue().drain();
    EXPECT_TRUE(logged("documentPicker: " + song.string()));
    EXPECT_EQ(unit->getCurrentFile(), playing);
}

// The extension's own build opens the help screen: this program links the extension's controller, not the host.
TEST_F(ViewControllerTools, HelpSeguesShowTheirPagesInTheHelpScreen) {
    const struct {
        const char* segue;
        const char* page;
    } cases[] = {{"ShowHelp", "index.html"}, {"ShowInfo", "midi-files.html"}, {"ShowProducts", "midi-files.html"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(controller->performSegue(c.segue)) << c.segue;
        auto* help = dynamic_cast<HelpViewController*>(controller->presentedViewController());
        ASSERT_NE(help, nullptr) << c.segue;
        EXPECT_EQ(help->identifier, c.segue);
        const auto web = help->webView.lock();
        ASSERT_NE(web, nullptr);
        EXPECT_EQ(std::filesystem::path(ui::urlPath(web->currentUrl())).filename(), c.page) << c.segue;
        EXPECT_TRUE(std::filesystem::is_regular_file(ui::urlPath(web->currentUrl()))) << c.segue;
        help->buttonExit->sendAction();
        EXPECT_EQ(controller->presentedViewController(), nullptr) << c.segue;
    }
}

TEST_F(ViewControllerTools, ParametersByAddress) {
    controller->setParameter(1040, 0.25f);
    EXPECT_EQ(controller->getParameter(1040), 0.25f);
    EXPECT_EQ(unit->getParameter(1040), 0.25f);
    log.clear();
    controller->setParameter(1500, 1.0f);
    EXPECT_EQ(controller->getParameter(1500), 0.0f);
    queue().drain();
    EXPECT_TRUE(logged("AudioUnitViewController: ERROR: The parameter address 1500 is not available."));
}

}  // namespace
