#include "Orvo_Tunedeck/app/MainViewController.h"

#include <algorithm>
#include <array>
#include <functional>
#include <string>

#include "Orvo_Tunedeck/app/ProgramMessages.h"
#include "Orvo_Tunedeck/configuration/ConfigurationViewController.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Folders.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Path.h"
#include "platform/ui/SystemBrowser.h"
#include "platform/ui/Url.h"
#include "shared/globals/Print.h"
#include "shared/globals/ViewHelpers.h"
#include "shared/help/HelpViewController.h"

namespace {

constexpr double kMargin = 8;
constexpr double kButtonHeight = 36;
// The same dark as the instrument's view, so the two read as one screen.
constexpr ui::Color kBackground{0.08, 0.09, 0.11, 1};

// The area of the instrument's view: whatever is shown in it fills it.
class InstrumentArea final : public ui::View {
public:
    void setFrame(ui::Rect frame) override {
        View::setFrame(frame);
        for (const auto& shown : subviews()) shown->setFrame(bounds());
    }
};

// The button row across the top (square buttons from the left) and the instrument's view below it, laid out again
// on every resize.
class MainView final : public ui::View {
public:
    MainView(std::vector<std::shared_ptr<ui::Button>> buttons, std::shared_ptr<ui::View> pluginView)
        : buttons_(std::move(buttons)), pluginView_(std::move(pluginView)) {
        for (const auto& button : buttons_) addSubview(button);
        addSubview(pluginView_);
    }

    void setFrame(ui::Rect frame) override {
        View::setFrame(frame);
        const ui::Rect b = bounds();
        const double count = static_cast<double>(buttons_.size());
        const double width = std::clamp((b.width - kMargin * (count + 1)) / count, 0.0, kButtonHeight);
        for (size_t i = 0; i < buttons_.size(); ++i)
            buttons_[i]->setFrame({kMargin + static_cast<double>(i) * (width + kMargin), kMargin, width, kButtonHeight});
        const double top = 2 * kMargin + kButtonHeight;
        pluginView_->setFrame({0, top, b.width, std::max(0.0, b.height - top)});
    }

    void draw(ui::GraphicsContext& ctx, ui::Rect dirty) override { ctx.fill(ui::Path::rect(dirty), kBackground); }

private:
    std::vector<std::shared_ptr<ui::Button>> buttons_;
    std::shared_ptr<ui::View> pluginView_;
};

}  // namespace

MainViewController::MainViewController(std::shared_ptr<::ViewController> hub)
    : hub(std::move(hub)), openURL(&ui::openInSystemBrowser) {
    registerSegue("ShowConfig", [] { return std::make_shared<ConfigurationViewController>(); });
    for (const char* help : {"ShowHelp", "ShowInfo", "ShowProducts"})
        registerSegue(help, [] { return std::make_shared<HelpViewController>(); });
}

void MainViewController::loadView() {
    const std::array<std::pair<const char*, std::function<void(MainViewController&)>>, 8> actions{{
        {"Play Icon", &MainViewController::onButtonPlay},
        {"Stop Icon", &MainViewController::onButtonStop},
        {"Files Icon", &MainViewController::onButtonFiles},
        {"Config Icon", &MainViewController::onButtonConfig},
        {"Instrument Icon", &MainViewController::onButtonPlaylist},
        {"Toggle Icon", [](MainViewController& screen) { screen.performSegue("ShowProducts", &screen); }},
        {"Help Icon", &MainViewController::showHelp},
        {"Info Icon", [](MainViewController& screen) { screen.performSegue("ShowInfo", &screen); }},
    }};
    const auto resources = foundation::resourcesFolder();
    std::vector<std::shared_ptr<ui::Button>> buttons;
    for (const auto& [picture, handler] : actions) {
        auto button = std::make_shared<ui::Button>();
        button->setImageName(picture);
        button->action = [weak = weak_from_this(), this, handler = handler](ui::Button&) {
            if (const auto keep = weak.lock()) handler(*this);
        };
        const std::shared_ptr<ui::ImageView>& image = button->imageView();
        pinToSuperviewEdges(*image);
        if (resources) loadFrom(image, ui::fileUrl((*resources / "icons" / (std::string(picture) + ".png")).string()));
        buttons.push_back(std::move(button));
    }
    buttonPlay = buttons[0];
    buttonStop = buttons[1];
    buttonFiles = buttons[2];
    buttonConfig = buttons[3];
    buttonPlaylist = buttons[4];
    buttonToggle = buttons[5];
    buttonHelp = buttons[6];
    buttonInfo = buttons[7];
    pluginView = std::make_shared<InstrumentArea>();
    setView(std::make_shared<MainView>(std::move(buttons), pluginView));
    view().setFrame({0, 0, 480, 360});
    if (hub) {
        hub->view = viewPointer();
        hub->onSoundsetRefused = [weak = weak_from_this(), this](const SoundsetRefusal& refusal) {
            if (const auto keep = weak.lock()) showSoundsetRefused(refusal);
        };
    }
    if (hub && hub->player) hub->player->setPluginView(pluginView);
}

void MainViewController::prepare(ui::Segue& segue, const std::any&) {
    if (segue.identifier.empty()) return;
    safeprint("ViewController::prepare() : Segue '" + segue.identifier + "'.");
    if (segue.identifier == "ShowConfig") {
        if (auto* configuration = dynamic_cast<ConfigurationViewController*>(segue.destination.get())) {
            configuration->delegate = hub.get();
            if (hub) configuration->showLoadedSoundset(hub->loadedSoundset());
        }
    } else if (segue.identifier == "ShowHelp" || segue.identifier == "ShowInfo" ||
               segue.identifier == "ShowProducts") {
        if (auto* help = dynamic_cast<HelpViewController*>(segue.destination.get())) help->prepareInfo(segue.identifier);
    }
}

std::string MainViewController::makerPage() {
    const auto resources = foundation::resourcesFolder();
    return resources ? ui::fileUrl((*resources / "help" / "index.html").string()) : std::string();
}

void MainViewController::showHelp() {
    const std::string page = makerPage();
    if (page.empty() || !openURL || !openURL(page))
        safeprint("ViewController::showHelp() : No web browser to open '" + page + "' in; the help screen shows it.");
    performSegue("ShowHelp", this);
}

void MainViewController::showSoundsetRefused(const SoundsetRefusal& refusal) {
    reportWarning(refusal.text(true) + "; the sound set chosen before plays on");
    // The window has room for the bank's name, not for its folders.
    auto alert = std::make_shared<ui::AlertController>(
        "Sound set not available",
        "The sound set cannot be used: " + refusal.text(false) + ".\nThe sound set chosen before plays on.");
    alert->addAction({"OK", ui::AlertActionStyle::cancel, nullptr});
    // The configuration screen that reported the choice closes only after its report: the alert follows it.
    dispatch::MainQueue::shared().async([weak = weak_from_this(), this, alert] {
        if (const auto keep = weak.lock()) present(alert, true);
    });
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
