// The view controller's connection to the unit it made: the start-up pick from the selection folder, the parameter
// observer and the layout of the plug-in view.

#include "tests/Orvo_Tunedeck_Extension/controller/ViewControllerFixture.h"

#include <filesystem>
#include <fstream>

#include "platform/ui/HeadlessRenderer.h"

namespace {

using ViewControllerConnection = ViewControllerFixture;

std::vector<std::string> midiEntries(const std::vector<std::string>& list) {
    std::vector<std::string> result;
    for (const std::string& entry : list) {
        if (std::filesystem::path(entry).extension() == ".mid") result.push_back(entry);
    }
    return result;
}

TEST_F(ViewControllerConnection, ViewLoadedAfterTheUnitConnectsAndPlaysTheChosenSelectionFile) {
    EXPECT_TRUE(logged("AU Diagnostics: WARNING: Plugin view is not loaded."));
    EXPECT_FALSE(unit->sequencer()->currentFile().has_value());

    pick = 2;
    showView();
    render();
    tick();
    const std::vector<std::string> files = midiEntries(controller->filelist);
    ASSERT_EQ(files.size(), 4u);
    const std::string chosen = std::filesystem::path(files[2]).filename().string();
    EXPECT_EQ(controller->tunedeckView->baseClass.valueLabelFile, chosen);
    ASSERT_TRUE(unit->sequencer()->currentFile().has_value());
    EXPECT_EQ(std::filesystem::path(*unit->sequencer()->currentFile()).filename().string(), chosen);
    EXPECT_TRUE(unit->sequencer()->isPlaying());
    EXPECT_TRUE(controller->tunedeckView->baseClass.isPlaying);
    EXPECT_EQ(picks, 1);
    EXPECT_TRUE(controller->isSizeable);
}

TEST_F(ViewControllerConnection, ParametersConnectedOnce) {
    showView();
    log.clear();
    controller->connectParameters();
    queue().drain();
    EXPECT_TRUE(logged("AU Diagnostics: WARNING: Parameters already initialized."));
}

TEST_F(ViewControllerConnection, SelectionPickTakesOnlyMIDIFiles) {
    showView();
    const std::filesystem::path resources = folder.path() / "Resources";
    std::filesystem::create_directories(resources / "MIDI/Selection/sub");
    std::ofstream(resources / "MIDI/Selection/a.txt") << "text";
    std::ofstream(resources / "MIDI/Selection/sub/b.MiD") << "MThd";
    controller->resourcesPath = resources.string();

    struct Case {
        std::vector<std::string> list;
        std::string loaded;  // empty: nothing is loaded
    };
    const Case cases[] = {
        {{"a.txt", "sub", "sub/b.MiD"}, "b.MiD"},
        {{"a.txt", "sub"}, ""},
        {{}, ""},
    };
    for (const Case& c : cases) {
        for (std::size_t chosen = 0; chosen < 3; ++chosen) {
            controller->tunedeckView->baseClass.valueLabelFile = "before";
            controller->filelist = c.list;
            pick = chosen;
            controller->loadSelectedFile();
            EXPECT_EQ(controller->tunedeckView->baseClass.valueLabelFile, c.loaded.empty() ? "before" : c.loaded)
                << c.list.size() << " entries, pick " << chosen;
        }
    }
}

TEST_F(ViewControllerConnection, HostParameterChangeRedrawsThePanel) {
    showView();
    TunedeckView& panel = *controller->tunedeckView;
    panel.baseClass.valueSelected = 3;
    ui::HeadlessRenderer renderer;
    renderer.render(controller->view());
    ASSERT_FALSE(panel.needsDisplay());

    unit->parameterTree()->parameterWithAddress(1035)->setValue(0.25f);
    EXPECT_FALSE(panel.needsDisplay());
    queue().drain();
    EXPECT_TRUE(panel.needsDisplay());
}

TEST_F(ViewControllerConnection, PluginViewKeepsThePanelRatio) {
    struct Case {
        double width, height;
        ui::Rect frame;
    };
    for (const Case& c : {Case{800, 600, {88, 40, 624, 520}}, Case{400, 800, {40, 800 / 2.0 - 320 * 5 / 12.0, 320,
                                                                               320 * 5 / 6.0}}}) {
        const ui::Rect frame = controller->layoutPluginView(c.width, c.height, 40);
        EXPECT_NEAR(frame.x, c.frame.x, 1e-9);
        EXPECT_NEAR(frame.y, c.frame.y, 1e-9);
        EXPECT_NEAR(frame.width, c.frame.width, 1e-9);
        EXPECT_NEAR(frame.height, c.frame.height, 1e-9);
    }
}

}  // namespace
