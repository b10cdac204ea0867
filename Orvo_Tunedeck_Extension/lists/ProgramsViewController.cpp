#include "Orvo_Tunedeck_Extension/lists/ProgramsViewController.h"

#include "Orvo_Tunedeck_Extension/lists/ListScreenView.h"
#include "platform/dispatch/MainQueue.h"

namespace {

constexpr ui::Rect kScreenFrame{0, 0, 600, 500};
constexpr double kButtonHeight = ListScreenView::kButtonHeight;

}  // namespace

void ProgramsViewController::loadView() {
    closeButton = std::make_shared<ui::Button>(ui::Rect{8, 0, 80, kButtonHeight}, "Close");
    closeButton->action = [this](ui::Button&) { onCloseButton(); };
    exportButton = std::make_shared<ui::Button>(ui::Rect{96, 0, 100, kButtonHeight}, "Export");
    exportButton->action = [this](ui::Button&) { onExportButton(); };
    programsTableView = std::make_shared<ProgramsTableView>();
    auto root = std::make_shared<ListScreenView>(kScreenFrame, programsTableView);
    root->addSubview(closeButton);
    root->addSubview(exportButton);
    setView(root);
}

void ProgramsViewController::viewDidLoad() {
    ui::ViewController::viewDidLoad();
    if (!programsTableView) return;
    programsTableView->dataSource = programsTableView.get();
    programsTableView->delegate = programsTableView.get();
    programsTableView->viewController = this;
    programsTableView->programs = programs;
    programsTableView->reloadData();
}

void ProgramsViewController::onCloseButton() {
    // The tap that closes the screen is still being handled by one of its views (a list row or the close button), and
    // dismissing releases the screen: its views stay until the main queue runs next.
    dispatch::MainQueue::shared().async([views = viewPointer()] {});
    dismiss(true);
}
