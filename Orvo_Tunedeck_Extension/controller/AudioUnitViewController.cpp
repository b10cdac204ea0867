#include "Orvo_Tunedeck_Extension/controller/AudioUnitViewController.h"

#include "Orvo_Tunedeck_Extension/controller/InstrumentRootView.h"
#include "Orvo_Tunedeck_Extension/controller/LongPressPanel.h"
#include "Orvo_Tunedeck_Extension/lists/MIDIFileViewController.h"
#include "Orvo_Tunedeck_Extension/lists/ProgramsViewController.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Folders.h"
#include "shared/globals/Print.h"
#include "shared/help/HelpViewController.h"

#include <random>

namespace {

// The instrument as this factory makes it: asked for its view controller, it hands back the controller that made it.
// The reference is weak, as the controller owns the unit; the module keeps the controller alive with the unit.
class ControlledAudioUnit final : public OrvoTunedeck_AudioUnit {
public:
    ControlledAudioUnit(const AudioComponentDescription& description, std::weak_ptr<AudioUnitViewController> controller)
        : OrvoTunedeck_AudioUnit(description), controller_(std::move(controller)) {}

    void requestViewController(AUViewControllerCompletion completion) override {
        if (!completion) return;
        dispatch::MainQueue::shared().async(
            [controller = controller_.lock(), completion = std::move(completion)] { completion(controller); });
    }

private:
    std::weak_ptr<AudioUnitViewController> controller_;
};

}  // namespace

std::shared_ptr<AudioUnitViewController> AudioUnitViewController::create() {
    return std::shared_ptr<AudioUnitViewController>(new AudioUnitViewController());
}

AudioUnitViewController::AudioUnitViewController() {
    registerSegue("showFiles", [] { return std::make_shared<MIDIFileViewController>(); });
    registerSegue("showPrograms", [] { return std::make_shared<ProgramsViewController>(); });
    for (const char* help : {"ShowHelp", "ShowInfo", "ShowProducts"})
        registerSegue(help, [] { return std::make_shared<HelpViewController>(); });
    randomIndex = [](std::size_t count) {
        static std::mt19937_64 generator{std::random_device{}()};
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(generator);
    };
}

AudioUnitViewController::~AudioUnitViewController() {
    if (timer_) timer_->invalidate();
    if (parameterTree_ && parameterObserverToken_ != 0) {
        parameterTree_->removeParameterObserver(parameterObserverToken_);
    }
}

std::shared_ptr<AudioUnitViewController> AudioUnitViewController::self() {
    return std::static_pointer_cast<AudioUnitViewController>(shared_from_this());
}

std::shared_ptr<OrvoTunedeck_AudioUnit> AudioUnitViewController::createAudioUnit(
    const AudioComponentDescription& description) {
    std::shared_ptr<OrvoTunedeck_AudioUnit> unit = std::make_shared<ControlledAudioUnit>(description, self());
    setAudioUnit(unit);
    return unit;
}

void AudioUnitViewController::setAudioUnit(std::shared_ptr<OrvoTunedeck_AudioUnit> unit) {
    audioUnit_ = std::move(unit);
    safeprint("AU Diagnostics: AUAudioUnit::didSet()");
    dispatch::MainQueue::shared().async([self = self()] { self->connectViewToAudioUnit(); });
}

const Soundfontprograms* AudioUnitViewController::soundfontprograms() const {
    return audioUnit_ ? audioUnit_->soundfontprograms().get() : nullptr;
}

void AudioUnitViewController::connectViewToAudioUnit() {
    if (!isViewLoaded()) {
        safeprint("AU Diagnostics: WARNING: Plugin view is not loaded.");
        return;
    }
    safeprint("AU Diagnostics: We are about to connect the audio unit to its view controller.");
    connectSteps();
}

void AudioUnitViewController::connectSteps() {
    // The view loading and the hop may both find the same unit: it is connected, and a file started, once.
    if (connectedUnit_ == audioUnit_.get()) return;
    connectedUnit_ = audioUnit_.get();
    logPaths();
    connectParameters();
    updateView();
    onFreezeButton(freezeButton.get());
    makeFileList();
    loadSelectedFile();
}

void AudioUnitViewController::loadView() {
    const ui::Rect panel{0, 0, 600, 500};
    const ui::Rect design = InstrumentRootView::kDesign;
    auto root = std::make_shared<InstrumentRootView>(design);
    ui::View& content = *root->content();
    pluginView = std::make_shared<PluginView>(ui::Rect{viewInset, viewInset, panel.width, panel.height}, panel.width);
    pluginFrame = std::make_shared<PluginFrame>(panel);
    tunedeckContainer = std::make_shared<ui::View>(panel);
    auto pressPanel = std::make_shared<LongPressPanel>(panel);
    longPressGesture = &pressPanel->longPress;
    tunedeckView = std::move(pressPanel);
    tunedeckOverlay = std::make_shared<TunedeckOverlay>(TunedeckOverlayBase::canvas);
    tunedeckOverlay->userInteractionEnabled = false;
    tunedeckContainer->addSubview(tunedeckView);
    tunedeckContainer->addSubview(tunedeckOverlay);
    pluginView->addSubview(pluginFrame);
    pluginView->addSubview(tunedeckContainer);
    content.addSubview(pluginView);
    toolbarTop = std::make_shared<ui::View>(ui::Rect{0, 0, design.width, viewInset});
    toolbarBottom = std::make_shared<ui::View>(ui::Rect{0, design.height - viewInset, design.width, viewInset});
    const auto button = [this](ui::View& bar, double x, const std::string& image, void (*act)(AudioUnitViewController&,
                                                                                           ui::Button&)) {
        auto b = std::make_shared<ui::Button>(ui::Rect{x, 0, viewInset, viewInset});
        b->setImageName(image);
        std::weak_ptr<AudioUnitViewController> weak = self();
        b->action = [weak, act](ui::Button& sender) {
            if (auto controller = weak.lock()) act(*controller, sender);
        };
        bar.addSubview(b);
        showButtonPicture(*b);
        return b;
    };
    freezeButton = button(*toolbarTop, 0, "Freeze Icon",
                          [](AudioUnitViewController& c, ui::Button& b) { c.onFreezeButton(&b); });
    toggleButton = button(*toolbarTop, viewInset, "Toggle Icon",
                          [](AudioUnitViewController& c, ui::Button& b) { c.onToggleButton(&b); });
    buttonPlay = button(*toolbarBottom, 0, "Play Icon",
                        [](AudioUnitViewController& c, ui::Button&) { c.onButtonPlay(); });
    buttonStop = button(*toolbarBottom, viewInset, "Stop Icon",
                        [](AudioUnitViewController& c, ui::Button&) { c.onButtonStop(); });
    buttonLoad = button(*toolbarBottom, 2 * viewInset, "Load Icon",
                        [](AudioUnitViewController& c, ui::Button& b) { c.onButtonLoad(&b); });
    buttonTest = button(*toolbarBottom, 3 * viewInset, "Test Icon",
                        [](AudioUnitViewController& c, ui::Button& b) { c.onButtonTest(&b); });
    loadControls();
    content.addSubview(toolbarTop);
    content.addSubview(toolbarBottom);
    loadGestures(*root);
    std::weak_ptr<AudioUnitViewController> weak = self();
    root->didLayout = [weak] {
        if (auto controller = weak.lock()) controller->viewDidLayoutSubviews();
    };
    setView(std::move(root));
}

void AudioUnitViewController::viewDidLoad() {
    tunedeckView->setDelegate(this);
    tunedeckView->setViewController(this);
    std::weak_ptr<AudioUnitViewController> weak = self();
    timer_ = dispatch::MainQueue::shared().scheduleRepeatingTimer(kTimerInterval, [weak](dispatch::Timer& timer) {
        if (auto self = weak.lock()) {
            self->onTimer();
        } else {
            timer.invalidate();
        }
    });
    if (audioUnit_) {
        connectSteps();
    } else {
        safeprint("AudioUnitViewController: WARNING: The audio unit plugin is nil (yet?).");
    }
}

void AudioUnitViewController::viewDidAppear(bool) { safeprint("appear"); }

void AudioUnitViewController::viewDidDisappear(bool) { safeprint("disappear"); }

void AudioUnitViewController::logPaths() {
    if (!audioUnit_) {
        safeprint("Error: could not set paths, audio unit is nil.");
        return;
    }
    const auto documents = foundation::documentsFolder(foundation::kExtensionDeliverable);
    const auto resources = foundation::resourcesFolder();
    safeprint("Audio Unit's documents path is: " + (documents ? documents->string() : std::string()));
    safeprint("Audio Unit's resources path is: " + (resources ? resources->string() : std::string()));
}

void AudioUnitViewController::getDirectories() {
    safeprint("ViewController:getDirectories(): Initialization, enumerating the apps accessible folders.");
    const auto resources = foundation::resourcesFolder();
    if (!resources) {
        safeprint("ViewController::getDirectories(): Resources folder is nil.");
        return;
    }
    resourcesPath = resources->string();
    safeprint("ViewController:getDirectories(): The app's resources path is: " + resourcesPath);
    const auto documents = foundation::documentsFolder(foundation::kExtensionDeliverable);
    if (!documents) {
        safeprint("ViewController:getDirectories(): Documents directory is nil.");
        return;
    }
    documentsPath = documents->string();
    safeprint("ViewController:getDirectories(): The app's documents path is: " + documentsPath);
}
