#include "Orvo_Tunedeck_Extension/lists/ProgramsViewController.h"

#include "platform/dispatch/MainQueue.h"

namespace {

constexpr double kScreenWidth = 600;
constexpr double kScreenHeight = 500;
constexpr double kButtonHeight = 44;

}  // namespace

void ProgramsViewController::loadView() {
    auto root = std::make_shared<ui::View>(ui::Rect{0, 0, kScreenWidth, kScreenHeight});
    closeButton = std::make_shared<ui::Button>(ui::Rect{8, 0, 80, kButtonHeight}, "Close");
    closeButton->action = [this](ui::Button&) { onCloseButton(); };
    exportButton = std::make_shared<ui::Button>(ui::Rect{kScreenWidth - 108, 0, 100, kButtonHeight}, "Export");
    exportButton->action = [this](ui::Button&) { onExportButton(); };
    programsTableView = std::make_shared<ProgramsTableView>(
        ui::Rect{0, kButtonHeight, kScreenWidth, kScreenHeight - kButtonHeight});
    root->addSubview(closeButton);
    root->addSubview(exportButton);
    root->addSubview(programsTableView);
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
