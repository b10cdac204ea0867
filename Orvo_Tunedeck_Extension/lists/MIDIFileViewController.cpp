#include "Orvo_Tunedeck_Extension/lists/MIDIFileViewController.h"

#include "Orvo_Tunedeck_Extension/lists/ListScreenView.h"
#include "platform/dispatch/MainQueue.h"

#include "platform/foundation/Log.h"
#include "platform/ui/AlertController.h"

namespace {

constexpr ui::Rect kScreenFrame{0, 0, 600, 500};
constexpr double kButtonHeight = ListScreenView::kButtonHeight;

}  // namespace

void MIDIFileViewController::loadView() {
    closeButton = std::make_shared<ui::Button>(ui::Rect{8, 0, 80, kButtonHeight}, "Close");
    closeButton->action = [this](ui::Button&) { onCloseButton(); };
    buttonFactory = std::make_shared<ui::Button>(ui::Rect{200, 0, 100, kButtonHeight}, "Factory");
    buttonFactory->action = [this](ui::Button&) { onButtonFactory(); };
    buttonUser = std::make_shared<ui::Button>(ui::Rect{320, 0, 100, kButtonHeight}, "User");
    buttonUser->action = [this](ui::Button&) { onButtonUser(); };
    midiFileTableView = std::make_shared<MIDIFileTableView>();
    auto root = std::make_shared<ListScreenView>(kScreenFrame, midiFileTableView);
    for (const auto& button : {closeButton, buttonFactory, buttonUser}) root->addSubview(button);
    setView(root);
}

void MIDIFileViewController::viewDidLoad() {
    ui::ViewController::viewDidLoad();
    if (!midiFileTableView) return;
    midiFileTableView->viewController = this;
    midiFileTableView->dataSource = midiFileTableView.get();
    midiFileTableView->delegate = midiFileTableView.get();
    if (startFolder == kFactoryMode) {
        midiFileTableView->showFactoryFiles();
    } else {
        midiFileTableView->showUserFiles();
    }
}

void MIDIFileViewController::onCloseButton() {
    // The tap that closes the screen is still being handled by one of its views (a list row or the close button), and
    // dismissing releases the screen: its views stay until the main queue runs next.
    dispatch::MainQueue::shared().async([views = viewPointer()] {});
    dismiss(true);
}

void MIDIFileViewController::onButtonFactory() {
    if (midiFileTableView) midiFileTableView->showFactoryFiles();
}

void MIDIFileViewController::onButtonUser() {
    if (midiFileTableView) midiFileTableView->showUserFiles();
}

void MIDIFileViewController::showFactoryDeleteRefusal() {
    auto alert = std::make_shared<ui::AlertController>("Delete Files", "Factory content cannot be deleted.");
    alert->addAction({"OK", ui::AlertActionStyle::normal,
                      [] { foundation::writeLogLine("Factory content cannot be deleted."); }});
    present(alert, true);
}

void MIDIFileViewController::confirmDelete() {
    auto alert = std::make_shared<ui::AlertController>(
        "Delete Files",
        "Do You really want to delete the file or folder? \n"
        "This cannot be undone! The files or folders (with all the included subfolders) are permanently deleted from "
        "the apps 'Documents' directory and no linger available.");
    alert->addAction({"OK", ui::AlertActionStyle::normal, [this] {
                          foundation::writeLogLine("Delete action was permitted.");
                          if (midiFileTableView) midiFileTableView->deleteFile();
                      }});
    alert->addAction({"Cancel", ui::AlertActionStyle::cancel, [this] {
                          foundation::writeLogLine("Delete action was canceled.");
                          if (midiFileTableView) midiFileTableView->pendingFile.clear();
                      }});
    present(alert, true);
}

void MIDIFileViewController::setTabTitleColors(ui::Color factory, ui::Color user) {
    if (buttonFactory) buttonFactory->setTitleColor(factory);
    if (buttonUser) buttonUser->setTitleColor(user);
}
