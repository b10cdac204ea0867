// Files dropped on the program's window are opened as files named on its command line are. Needs a display (CI
// gives it one through xvfb).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "Orvo_Tunedeck/app/SceneDelegate.h"
#include "Orvo_Tunedeck/app/ViewController.h"
#include "Orvo_Tunedeck/app/WindowedHost.h"
#include "Orvo_Tunedeck/midi/MIDIConnection.h"
#include "platform/audioengine/ManualRenderingOutput.h"
#include "platform/audiounit/AudioComponentRegistry.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "platform/ui_gtk/GtkWindowHost.h"
#include "tests/support/DroppedFiles.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestFolder.h"

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(FileDrop, EachDroppedFileIsCopiedOnceWithTheLinesOfACommandLineFile) {
    // No OpenGL: the drivers GDK would load keep allocations the leak checker cannot attribute. The whole
    // environment is set before GTK starts: its font threads read the environment while they run.
    setenv("GDK_DEBUG", "gl-disable", 0);
    setenv("GSK_RENDERER", "cairo", 0);
    testsupport::TestFolder folder;
    testsupport::ScopedEnvironment environment;
    const fs::path documents = folder.path() / "Documents";
    environment.set("TUNEDECK_DOCUMENTS", documents.string());
    if (!windowAvailable()) GTEST_SKIP() << "no display";
    AudioComponentRegistry::shared().addSearchFolder(TUNEDECK_AUDIO_MODULES_DIR);
    auto& queue = dispatch::MainQueue::shared();
    const auto hub = std::make_shared<ViewController>();
    hub->viewDidLoad(std::make_unique<audioengine::ManualRenderingOutput>(48000.0));
    queue.drain();

    const std::vector<fs::path> files{folder.path() / "one.mid", folder.path() / "two words.mid"};
    for (const fs::path& file : files) std::ofstream(file, std::ios::binary) << "MThd " << file.filename().string();
    ui::GtkWindowHost host(std::make_shared<ui::View>(ui::Rect{0, 0, 100, 100}), "drop test", queue);
    openDroppedFiles(host, std::make_shared<SceneDelegate>());
    foundation::LogCapture log;

    SceneDelegate commandLine;
    openInScene(commandLine, files);
    queue.drain();
    const std::vector<std::string> commandLineLines = log.lines();
    for (const fs::path& file : files) ASSERT_TRUE(fs::remove(documents / file.filename())) << file;
    log.clear();

    const testsupport::DroppedFiles dropped({testsupport::DroppedFiles::uri(files[0]),
                                                testsupport::DroppedFiles::uri(files[1])});
    const testsupport::DroppedFiles remote({"http://example.com/three.mid"});
    EXPECT_FALSE(host.drop(remote.value()));
    EXPECT_TRUE(host.drop(dropped.value()));
    queue.drain();
    EXPECT_EQ(log.lines(), commandLineLines);
    for (const fs::path& file : files) EXPECT_EQ(readFile(documents / file.filename()), readFile(file)) << file;
    EXPECT_EQ(std::count(commandLineLines.begin(), commandLineLines.end(), "Note: openURL() : scene:openURLContexts"),
              2);
    EXPECT_FALSE(fs::exists(documents / "three.mid"));

    host.close();
    MIDIConnection::shared().setDelegate(nullptr);
    queue.drain();
}

}  // namespace
