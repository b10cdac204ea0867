#pragma once

#include "Orvo_Tunedeck_Extension/audiounit/OrvoTunedeck_AudioUnit.h"
#include "Orvo_Tunedeck_Extension/catalogue/SoundfontProgram.h"
#include "Orvo_Tunedeck_Extension/controller/InstrumentRootView.h"
#include "Orvo_Tunedeck_Extension/controller/LongPressRecognizer.h"
#include "Orvo_Tunedeck_Extension/controller/TrackingSlider.h"
#include "Orvo_Tunedeck_Extension/lists/MIDIFileViewControllerDelegate.h"
#include "Orvo_Tunedeck_Extension/lists/ProgramsViewControllerDelegate.h"
#include "Orvo_Tunedeck_Extension/views/PluginFrame.h"
#include "Orvo_Tunedeck_Extension/views/TunedeckOverlay.h"
#include "Orvo_Tunedeck_Extension/views/TunedeckView.h"
#include "platform/dispatch/Timer.h"
#include "platform/ui/Button.h"
#include "platform/ui/DocumentPicker.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/Slider.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The extension's principal object: the audio-unit factory and the controller of the instrument's view. It creates
// and owns the audio unit, wires the player panel and the channel overlay to itself, shows what the unit plays
// (a 60 Hz display timer drains the unit's monitor into the panel and the overlay and follows the file player's
// progress), turns the panel's reports into parameter writes and file-player commands, mirrors parameter changes
// into the panel, and plays a random file of the resources' start-up selection when it connects and after each file.
//
// Made with create() (the connection hop keeps the controller alive until it runs). Until its view is loaded the
// controller connects nothing but the unit. It opens the MIDI-file browser ("showFiles"), the program list
// ("showPrograms") and the help screen ("ShowHelp", "ShowInfo" and "ShowProducts", which choose its page) by segue,
// and a document picker for MIDI files.
//
// Thread contract: main queue only, except createAudioUnit (any thread that may make units; the connection then
// runs on the main queue) and the parameter observer, which hops to the main queue by itself.
class AudioUnitViewController : public ui::ViewController,
                                public TunedeckViewDelegate,
                                public TunedeckViewHost,
                                public ProgramsViewControllerDelegate,
                                public MIDIFileViewControllerDelegate,
                                public ui::DocumentPickerDelegate {
public:
    // Display timer interval, seconds.
    static constexpr double kTimerInterval = 0.0166666;
    // The start-up selection, below the resources folder.
    static constexpr const char* kSelectionFolder = "/MIDI/Selection/";

    static std::shared_ptr<AudioUnitViewController> create();
    ~AudioUnitViewController() override;
    AudioUnitViewController(const AudioUnitViewController&) = delete;
    AudioUnitViewController& operator=(const AudioUnitViewController&) = delete;

    // The factory: a new instrument for description, stored in audioUnit (which schedules the connection) and
    // returned. Asked for its view controller, the instrument hands back this controller. Throws the unit's AudioUnitStatusError when it cannot be built; nothing is stored or connected then.
    std::shared_ptr<OrvoTunedeck_AudioUnit> createAudioUnit(const AudioComponentDescription& description);

    const std::shared_ptr<OrvoTunedeck_AudioUnit>& audioUnit() const { return audioUnit_; }
    // Stores the unit and schedules connectViewToAudioUnit on the main queue.
    void setAudioUnit(std::shared_ptr<OrvoTunedeck_AudioUnit> unit);

    // The view: a dark root that scales the design to fit and fills itself with it (the toolbars along its top and
    // bottom edges, and between them the plug-in view with the frame, the panel and the overlay); it carries the
    // tap, double-tap, pan and pinch recognisers.
    void loadView() override;
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    // Runs after every resize of the view: layoutDesignArea, then places the plug-in view again unless it is frozen
    // or being moved.
    void viewDidLayoutSubviews();
    void prepare(ui::Segue& segue, const std::any& sender) override;

    bool useObservers = true;
    bool touchesLocked = false;
    bool isSizeable = false;

    // Outlets, set by loadView().
    std::shared_ptr<PluginFrame> pluginFrame;
    std::shared_ptr<ui::View> pluginView;
    std::shared_ptr<ui::View> tunedeckContainer;
    std::shared_ptr<TunedeckView> tunedeckView;
    std::shared_ptr<TunedeckOverlay> tunedeckOverlay;
    std::shared_ptr<ui::View> toolbarTop;
    std::shared_ptr<ui::View> toolbarBottom;
    std::shared_ptr<ui::Button> freezeButton;
    std::shared_ptr<ui::Button> toggleButton;
    std::shared_ptr<ui::Button> buttonPlay;
    std::shared_ptr<ui::Button> buttonStop;
    std::shared_ptr<ui::Button> buttonLoad;
    std::shared_ptr<ui::Button> buttonTest;
    // Hidden until a long press on the panel shows the contrast button, which shows the brightness slider.
    std::shared_ptr<ui::Button> contrastButton;
    std::shared_ptr<TrackingSlider> brightnessSlider;
    // Follows the playing position (0...1); dragging it seeks.
    std::shared_ptr<ui::Slider> sliderProgress;
    // Watch the touches on the view's background (the area around the panel and the toolbars' free room); pinch
    // watches the whole view. Owned by the view.
    std::shared_ptr<ui::PanGestureRecognizer> panGesture;
    std::shared_ptr<ui::PinchGestureRecognizer> pinchGesture;
    std::shared_ptr<ui::TapGestureRecognizer> doubleTapGesture;
    std::shared_ptr<ui::TapGestureRecognizer> tapGesture;
    // Watches the touches on the panel; owned by the panel.
    LongPressRecognizer* longPressGesture = nullptr;

    // Every entry under the start-up selection folder, as a relative path.
    std::vector<std::string> filelist;
    double ratio = 0.8333333333333334;
    bool fitToHeight = true;
    static constexpr double viewInset = 40.0;
    // Display-timer ticks since the view was last found hidden.
    std::int64_t counter = 0;
    std::string resourcesPath;
    std::string documentsPath;
    std::string sharedPath;
    std::string sharedPath2;

    // Draws an index below count uniformly; replaceable for tests.
    std::function<std::size_t(std::size_t count)> randomIndex;

    // The connection and its steps.
    void connectViewToAudioUnit();
    void logPaths();
    void connectParameters();
    void updateView();
    void getDirectories();
    void makeFileList();
    void loadSelectedFile();
    void loadFile(const std::string& file);

    // TunedeckViewDelegate.
    void onTunedeckViewParameter(int address, float value) override;
    void onTunedeckViewOption(int address, float value) override;
    // TunedeckViewHost.
    const Soundfontprograms* soundfontprograms() const override;

    // Picks of the program list and the MIDI-file browser.
    void onProgramSelect(int index, const SoundfontProgram& program) override;
    void onMIDIFileSelect(int index, const std::string& path) override;
    void selectProgram(std::uint8_t number, std::uint8_t msb, std::uint8_t lsb);
    // Documents picked in the picker: the first one plays.
    void documentPickerDidPick(ui::DocumentPicker& picker, const std::vector<std::filesystem::path>& files) override;
    // The answer of a picker that hands over a single document: it is logged, not loaded.
    void documentPicker(ui::DocumentPicker& picker, const std::filesystem::path& url);
    void documentPickerWasCancelled(ui::DocumentPicker& picker) override;
    void openFilePicker();

    // Tool and transport commands.
    // Flips isSizeable; the sender shows it by its opacity.
    void onFreezeButton(ui::Button* sender);
    void onButtonPlay();
    void onButtonStop();
    // Opens the document picker (openFilePicker).
    void onButtonLoad(ui::Button* sender);
    // The test and toggle buttons have no effect.
    void onButtonTest(ui::Button* sender);
    void onToggleButton(ui::Button* sender);
    void onSliderProgress(double value);
    void onBrightnessSlider(float value);
    // Shows or hides the brightness slider; the sender is dimmed while it is hidden.
    void onContrastButton(ui::Button* sender);
    // The brightness slider was let go: it hides again.
    void onSliderEnd();

    // Gestures on the plug-in view. Pan moves it and pinch scales it about its centre (to widths of 128 to 2048)
    // while isSizeable is set; pan also waits for touchesLocked to be clear. A double tap places it again.
    static constexpr double kMinPluginWidth = 128;
    static constexpr double kMaxPluginWidth = 2048;
    void onTapGesture();
    void onDoubleTapGesture();
    void onPanGesture(ui::GestureState state, ui::Point translation);
    void onPinchGesture(ui::GestureState state, double scale);
    // A long press on the panel shows or hides the contrast and freeze buttons (hiding the brightness slider too).
    void onlongPressGesture(ui::GestureState state);

    // Asks for a file name (defaultName when left empty); a name taken in the documents folder asks again.
    // forFile is carried along. The name chosen is not used further.
    void alertFileName(const std::string& forFile, const std::string& defaultName);

    // The value of a parameter of the connected tree by address; unknown addresses and a missing tree are logged
    // (reading them gives 0).
    void setParameter(AUParameterAddress address, AUValue value);
    AUValue getParameter(AUParameterAddress address);

    // Display loop.
    void onTimer();
    void showMonitoredEvent(const AUMIDIEventEx& event);
    void updateProgress(double position, double duration);
    void updatePlayButton();
    void sequencerComplete();
    void resetViews();

    // Layout of the plug-in view inside a width x height area with inset margins; keeps ratio.
    ui::Rect layoutPluginView(double width, double height, double inset) const;
    // Places the plug-in view by layoutPluginView in the design area that holds it.
    void centerpluginView();
    // Follows a new size of the design area: the toolbars across it, at its top and bottom edges, their buttons from
    // the left, the progress slider taking the rest of the bottom one; the plug-in view keeps its place relative to
    // the area's centre.
    void layoutDesignArea();
    // False when view is shown in no window, or it or a view above it is hidden or outside its superview.
    bool isViewVisible(const ui::View& view) const;
    // Shows the picture the button names (the resources' "icons/<name>.png") in its image view.
    void showButtonPicture(ui::Button& button);

private:
    AudioUnitViewController();
    std::shared_ptr<AudioUnitViewController> self();
    void connectSteps();
    void loadControls();
    void loadGestures(ui::View& root);
    void alertFileName(const std::string& forFile, const std::string& defaultName, const std::string& message);
    void confirmFileName(const std::string& forFile, const std::string& name);
    void onParameterChanged();
    void collectParameters(const AUParameterGroup* group, int depth);

    std::shared_ptr<OrvoTunedeck_AudioUnit> audioUnit_;
    const OrvoTunedeck_AudioUnit* connectedUnit_ = nullptr;
    std::shared_ptr<dispatch::Timer> timer_;
    bool lockAutoLayout_ = false;
    // The design area's size at the last layout, in design units; the plug-in view is made for the design's size.
    ui::Size designArea_{InstrumentRootView::kDesign.width, InstrumentRootView::kDesign.height};
    ui::Rect controlFrame_;
    double lastProgress_ = 0.0;
    bool ended_ = false;
    std::shared_ptr<AUParameterTree> parameterTree_;
    AUParameterObserverToken parameterObserverToken_ = 0;
    std::vector<std::shared_ptr<AUParameter>> parameters_;
};
