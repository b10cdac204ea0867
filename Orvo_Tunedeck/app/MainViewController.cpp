#include "Orvo_Tunedeck/app/MainViewController.h"

#include <array>
#include <functional>
#include <string>

#include "Orvo_Tunedeck/configuration/ConfigurationViewController.h"
#include "shared/globals/Print.h"

namespace {

constexpr double kWidth = 480;
constexpr double kHeight = 360;
constexpr double kMargin = 8;
constexpr double kButtonHeight = 36;

}  // namespace

MainViewController::MainViewController(std::shared_ptr<::ViewController> hub) : hub(std::move(hub)) {
    registerSegue("ShowConfig", [] { return std::make_shared<ConfigurationViewController>(); });
}

void MainViewController::loadView() {
    auto root = std::make_shared<ui::View>(ui::Rect{0, 0, kWidth, kHeight});
    const std::array<std::pair<const char*, void (MainViewController::*)()>, 5> buttons{{
        {"Play", &MainViewController::onButtonPlay},
        {"Stop", &MainViewController::onButtonStop},
        {"Files", &MainViewController::onButtonFiles},
        {"Config", &MainViewController::onButtonConfig},
        {"Instrument", &MainViewController::onButtonPlaylist},
    }};
    const double width = (kWidth - kMargin * static_cast<double>(buttons.size() + 1)) / buttons.size();
    std::array<std::shared_ptr<ui::Button>, 5> made;
    for (size_t i = 0; i < buttons.size(); ++i) {
        const double x = kMargin + static_cast<double>(i) * (width + kMargin);
        made[i] = std::make_shared<ui::Button>(ui::Rect{x, kMargin, width, kButtonHeight}, buttons[i].first);
        made[i]->action = [weak = weak_from_this(), this, handler = buttons[i].second](ui::Button&) {
            if (const auto keep = weak.lock()) (this->*handler)();
        };
        root->addSubview(made[i]);
    }
    buttonPlay = made[0];
    buttonStop = made[1];
    buttonFiles = made[2];
    buttonConfig = made[3];
    buttonPlaylist = made[4];

    const double top = 2 * kMargin + kButtonHeight;
    pluginView = std::make_shared<ui::View>(ui::Rect{0, top, kWidth, kHeight - top});
    root->addSubview(pluginView);
    setView(root);
}

void MainViewController::prepare(ui::Segue& segue, const std::any&) {
    if (segue.identifier.empty()) return;
    safeprint("ViewController::prepare() : Segue '" + segue.identifier + "'.");
    if (segue.identifier == "ShowConfig") {
        if (auto* configuration = dynamic_cast<ConfigurationViewController*>(segue.destination.get()))
            configuration->delegate = hub.get();
    }
}

void MainViewController::onButtonPlay() {
    if (hub) hub->onButtonPlay();
}

void MainViewController::onButtonStop() {
    if (hub) hub->onButtonStop();
}

void MainViewController::onButtonFiles() {
    auto picker = std::make_shared<ui::DocumentPicker>(std::vector<std::string>{"mid", "midi", "kar"}, true);
    picker->delegate = this;
    present(picker, true);
}

void MainViewController::onButtonConfig() { performSegue("ShowConfig", this); }

void MainViewController::onButtonPlaylist() {
    if (pluginView) pluginView->setHidden(!pluginView->isHidden());
}

void MainViewController::documentPickerDidPick(ui::DocumentPicker&, const std::vector<std::filesystem::path>& files) {
    if (hub) hub->documentPicker(files);
}

void MainViewController::documentPickerWasCancelled(ui::DocumentPicker&) {
    if (hub) hub->documentPickerWasCancelled();
}
