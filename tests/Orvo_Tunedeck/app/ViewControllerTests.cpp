// The main view controller's files (default document, picked and opened MIDI files) and its sound-set write, with
// the built instrument module; the sound-set table.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "Orvo_Tunedeck/app/AppDelegate.h"
#include "Orvo_Tunedeck/app/SceneDelegate.h"
#include "Orvo_Tunedeck/app/ViewController.h"
#include "Orvo_Tunedeck/configuration/SoundfontsTableView.h"
#include "Orvo_Tunedeck/midi/MIDIConnection.h"
#include "platform/audioengine/AudioSession.h"
#include "platform/audioengine/ManualRenderingOutput.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Application.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestFolder.h"

namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

long count(const std::vector<std::string>& lines, const std::string& line) {
    return std::count(lines.begin(), lines.end(), line);
}

class MainViewController : public ::testing::Test {
protected:
    void SetUp() override {
        resources = folder.path() / "Resources";
        documents = folder.path() / "Documents";
        outside = folder.path() / "Outside";
        writeFile(resources / "default.mid", "default");
        environment.set("TUNEDECK_RESOURCES", resources.string());
        environment.set("TUNEDECK_DOCUMENTS", documents.string());
        static const bool searched = [] {
            AudioComponentRegistry::shared().addSearchFolder(TUNEDECK_AUDIO_MODULES_DIR);
            return true;
        }();
        (void)searched;
    }
    void TearDown() override {
        MIDIConnection::shared().setDelegate(nullptr);
        dispatch::MainQueue::shared().drain();
    }

    std::shared_ptr<ViewController> load() {
        auto controller = std::make_shared<ViewController>();
        controller->viewDidLoad(std::make_unique<audioengine::ManualRenderingOutput>(48000.0));
        dispatch::MainQueue::shared().drain();
        return controller;
    }
    std::vector<std::string> lines() {
        dispatch::MainQueue::shared().drain();
        return log.lines();
    }

    testsupport::TestFolder folder;
    testsupport::ScopedEnvironment environment;
    foundation::LogCapture log;
    fs::path resources, documents, outside;
};

TEST_F(MainViewController, ProvidesTheDefaultDocumentOnceAndNeverOverwritesIt) {
    auto first = load();
    EXPECT_EQ(currentViewController(), first.get());
    EXPECT_EQ(first->documentsPath, documents.string());
    EXPECT_EQ(readFile(documents / "default.mid"), "default");
    MIDIConnection::shared().setDelegate(nullptr);
    first.reset();

    writeFile(documents / "default.mid", "edited by the user");
    log.clear();
    const auto second = load();
    EXPECT_EQ(count(lines(), "ViewController::provideDefaultDocuments(): The default document already existed."), 1);
    EXPECT_EQ(readFile(documents / "default.mid"), "edited by the user");
}

TEST_F(MainViewController, MissingDefaultResourceIsReported) {
    fs::remove(resources / "default.mid");
    const auto controller = load();
    EXPECT_EQ(count(lines(), "ViewController::provideDefaultDocuments(): ERROR: Missing resource file 'default.mid'."),
              1);
    EXPECT_FALSE(fs::exists(documents / "default.mid"));
}

TEST_F(MainViewController, PickedFilesAreCopiedByTypeWithoutOverwriting) {
    const auto controller = load();
    for (const char* name : {"song.MID", "song.midi", "karaoke.kar", "notes.txt", "taken.mid", "last.mid"})
        writeFile(outside / name, std::string("picked ") + name);
    writeFile(documents / "taken.mid", "already here");
    fs::create_directories(outside / "folder.mid");
    writeFile(outside / "folder.mid" / "inner.mid", "inner");
    log.clear();

    controller->documentPicker(std::vector<fs::path>{outside / "song.MID", outside / "song.midi",
                                                     outside / "karaoke.kar", outside / "notes.txt",
                                                     outside / "folder.mid", outside / "taken.mid",
                                                     outside / "last.mid"});
    const auto logged = lines();
    for (const char* name : {"song.MID", "song.midi", "karaoke.kar", "last.mid"})
        EXPECT_EQ(readFile(documents / name), std::string("picked ") + name) << name;
    EXPECT_FALSE(fs::exists(documents / "notes.txt"));
    EXPECT_FALSE(fs::exists(documents / "folder.mid"));
    EXPECT_FALSE(fs::exists(documents / "inner.mid"));
    EXPECT_EQ(readFile(documents / "taken.mid"), "already here");
    EXPECT_EQ(count(logged, "ViewController::documentPicker : WARNING: The file type is not supported. Skipping."), 1);
    EXPECT_EQ(count(logged, "ViewController::documentPicker : WARNING: Subfolders are not supported. Skipping."), 1);
    EXPECT_EQ(count(logged, "ViewController::documentPicker : ERROR: The File 'taken.mid' already existed."), 1);

    log.clear();
    controller->documentPicker(std::vector<fs::path>{});
    EXPECT_EQ(count(lines(), "ViewController::documentPicker : ERROR: The URLs array was empty."), 1);
}

TEST_F(MainViewController, OpenedFilesArriveThroughTheNotification) {
    const auto controller = load();
    writeFile(outside / "anything.txt", "opened");
    writeFile(outside / "default.mid", "another default");
    log.clear();

    AppDelegate appDelegate;
    appDelegate.openURL(outside / "anything.txt", "application(open, options) was called.");
    EXPECT_EQ(readFile(documents / "anything.txt"), "opened");

    appDelegate.openURL(outside / "default.mid", "application(handleOpen) was called.");
    EXPECT_EQ(readFile(documents / "default.mid"), "default");

    NotificationCenter::defaultCenter().post(kOpenInNotification, std::nullopt);
    const auto logged = lines();
    EXPECT_EQ(count(logged, "ViewController::onOpenIn(): ERROR: The file '" + (documents / "default.mid").string() +
                                "' does already exist."),
              1);
    EXPECT_EQ(count(logged, "viewConroller::onOpenIn(): ERROR: Userinfo is nil."), 1);
    EXPECT_EQ(count(logged, "A notification was created and forwarded to the ViewController."), 2);
}

TEST_F(MainViewController, EveryWayOfOpeningAFileCopiesItOnceAndTheSceneTakesOnlyTheFirst) {
    const auto controller = load();
    for (const char* name : {"a.mid", "b.mid", "c.mid", "d.mid", "e.mid"}) writeFile(outside / name, name);
    log.clear();
    AppDelegate appDelegate;
    EXPECT_TRUE(appDelegate.applicationHandleOpen(outside / "a.mid"));
    EXPECT_TRUE(appDelegate.applicationOpenSourceApplication(outside / "b.mid"));
    EXPECT_TRUE(appDelegate.applicationOpenOptions(outside / "c.mid"));
    SceneDelegate sceneDelegate;
    sceneDelegate.sceneOpenURLContexts({outside / "d.mid", outside / "e.mid"});
    for (const char* name : {"a.mid", "b.mid", "c.mid", "d.mid"}) EXPECT_EQ(readFile(documents / name), name);
    EXPECT_FALSE(fs::exists(documents / "e.mid"));

    const auto logged = lines();
    for (const char* message :
         {"application(handleOpen) was called.", "application(open, sourceApplication, annotation) was called.",
          "application(open, options) was called.", "scene:openURLContexts"})
        EXPECT_EQ(count(logged, std::string("Note: openURL() : ") + message), 1) << message;
    EXPECT_EQ(count(logged, "A notification was created and forwarded to the ViewController."), 3);
    EXPECT_EQ(count(logged, "SceneDelegate::openURL() : A notification was created and forwarded to the "
                            "ViewController."),
              1);
}

TEST_F(MainViewController, SoundSetRowIsWrittenToAddress1189) {
    const auto controller = load();
    ASSERT_NE(controller->player->instrument->audioUnit0, nullptr);
    const auto tree = controller->player->instrument->audioUnit0->parameterTree();
    const auto before = tree->allParameters();
    std::vector<float> values;
    for (const auto& parameter : before) values.push_back(parameter->value());
    log.clear();

    SoundfontsTableView table;
    int dismissed = 0;
    ConfigurationScreen screen{controller.get(), [&dismissed] { ++dismissed; }};
    table.setup(&screen);
    table.onSwitchChanged(4);

    EXPECT_EQ(dismissed, 1);
    // 1189 is an option of the instrument, not a tree parameter: the row reaches the instrument, which loads its set.
    const auto logged = lines();
    EXPECT_EQ(count(logged, "AudioUnitBase::setParameter(): ERROR: The parameter address 1189 is not there in "
                            "KWBL: Orvo Tunedeck Extension."),
              0);
    // The test's resources hold no banks, so the chosen set's bank is looked for and not found.
    EXPECT_EQ(count(logged, "AudioUnitMIDISynth::ERROR: The soundfont could not be found."), 1);
    for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(before[i]->value(), values[i]);
}

TEST(AppLifecycle, LaunchActivatesThePlaybackSessionAndTerminationBeforeAnyViewOnlyClosesIt) {
    ASSERT_EQ(currentViewController(), nullptr);
    auto& session = audioengine::AudioSession::sharedInstance();
    AppDelegate appDelegate;
    EXPECT_TRUE(appDelegate.launchSetup());
    EXPECT_EQ(session.category(), audioengine::AudioSession::Category::playback);
    EXPECT_EQ(session.preferredSampleRate(), 48000.0);
    EXPECT_TRUE(session.isActive());
    appDelegate.terminateTeardown();
    dispatch::MainQueue::shared().drain();
    EXPECT_FALSE(session.isActive());
}

TEST(AppLifecycle, ThePlatformsCallsRunLaunchAndTerminationAndRemoteControlEventsFollowTheSession) {
    auto& session = audioengine::AudioSession::sharedInstance();
    auto& application = ui::Application::shared();
    AppDelegate appDelegate;
    ASSERT_FALSE(application.isReceivingRemoteControlEvents());
    EXPECT_TRUE(appDelegate.applicationDidFinishLaunchingWithOptions());
    EXPECT_TRUE(session.isActive());
    EXPECT_TRUE(application.isReceivingRemoteControlEvents());

    for (const char* role : {ui::SceneSession::kWindowApplicationRole, "other"}) {
        const ui::SceneConfiguration configuration = appDelegate.applicationConfigurationForConnecting({role});
        EXPECT_EQ(configuration.name, "Default Configuration");
        EXPECT_EQ(configuration.sessionRole, role);
    }
    appDelegate.applicationDidDiscardSceneSessions({ui::SceneSession{}});
    EXPECT_TRUE(application.isReceivingRemoteControlEvents());

    appDelegate.applicationWillTerminate();
    dispatch::MainQueue::shared().drain();
    EXPECT_FALSE(session.isActive());
    EXPECT_FALSE(application.isReceivingRemoteControlEvents());
}

TEST(SoundsetTable, SixRowsSecondOnAndAnySwitchSelects) {
    SoundfontsTableView table;
    table.setup(nullptr);
    ASSERT_EQ(table.numberOfRows(), 6);
    for (int64_t row = 0; row < 6; ++row) {
        EXPECT_EQ(table.row(row).text, kSoundsetRows[static_cast<size_t>(row)]);
        EXPECT_EQ(table.row(row).switchOn, row == 1);
        EXPECT_EQ(table.row(row).tag, row);
    }
    EXPECT_EQ(table.row(6).tag, -1);

    table.onSwitchChanged(1);
    EXPECT_EQ(table.selected, 1);
    EXPECT_EQ(table.reloadCount, 1);

    struct Recorder : ConfigurationViewControllerDelegate {
        std::vector<int64_t> chosen;
        void onSoundsetSelected(int64_t index) override { chosen.push_back(index); }
    } recorder;
    int dismissed = 0;
    ConfigurationScreen screen{&recorder, [&dismissed] { ++dismissed; }};
    SoundfontsTableView presented;
    presented.setup(&screen);
    presented.onSwitchChanged(1);
    EXPECT_EQ(recorder.chosen, std::vector<int64_t>{1});
    EXPECT_EQ(dismissed, 1);
    EXPECT_EQ(presented.reloadCount, 0);
}

}  // namespace
