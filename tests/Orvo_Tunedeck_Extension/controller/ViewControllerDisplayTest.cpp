// What the user sees and touches through the view controller: the display timer feeding the panel and the overlay
// from the unit's monitor and following the player's progress, touches on the panel reaching the unit, and the
// view options.

#include "tests/Orvo_Tunedeck_Extension/controller/ViewControllerFixture.h"

#include "Orvo_Tunedeck_Extension/lists/MIDIFileViewController.h"
#include "Orvo_Tunedeck_Extension/lists/ProgramsViewController.h"
#include "platform/ui/HeadlessRenderer.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

class ViewControllerDisplay : public ViewControllerFixture {
protected:
    void SetUp() override {
        ViewControllerFixture::SetUp();
        showView();
        render();
        tick();
    }
    void monitored(std::vector<std::uint8_t> bytes) {
        const auto length = static_cast<std::uint32_t>(bytes.size());
        unit->monitor()->addMonitoring(AUMIDIEventEx(AURenderEventMIDI, bytes, length, 0));
    }
    TunedeckViewBase& panel() { return controller->tunedeckView->baseClass; }
    TunedeckOverlayBase& overlay() { return controller->tunedeckOverlay->baseClass; }
};

TEST_F(ViewControllerDisplay, TimerDrainsTheMonitorIntoPanelAndOverlay) {
    unit->monitor()->clearMonitoring();
    controller->tunedeckOverlay->reset();
    monitored({0x93, 0x3C, 0x64});  // note on: held on channel 3
    monitored({0x91, 0x40, 0x50});
    monitored({0x91, 0x40, 0x00});  // note on with velocity 0 ends it
    monitored({0xB5, 0x20, 0x02});  // bank LSB
    monitored({0xB6, 0x00, 0x08});  // bank MSB
    monitored({0xB2, 0x07, 0x64});  // volume
    monitored({0xB2, 0x0A, 0x00});  // pan
    monitored({0xC4, 0x18});        // program
    monitored({0x97, 0x30, 0x40});
    monitored({0xB7, 0x40, 0x7F});  // sustain on: controller display only
    monitored({0x98, 0x30, 0x40});
    monitored({0xB8, 0x7B, 0x05});  // all notes off, any value
    monitored({0xA9, 0x30, 0x40});  // poly pressure: nothing
    monitored({0xD9, 0x30});        // channel pressure: nothing
    tick();

    EXPECT_EQ(unit->monitor()->getSize(), 0u);
    EXPECT_EQ(overlay().heldNotes(3), 1);
    EXPECT_EQ(overlay().heldNotes(1), 0);
    EXPECT_EQ(overlay().heldNotes(7), 1);
    EXPECT_EQ(overlay().heldNotes(8), 0);
    EXPECT_EQ(overlay().valueControllers[9], 0.0);
    EXPECT_EQ(panel().bankLSB[5], 2);
    EXPECT_EQ(panel().bankMSB[6], 8);
    EXPECT_DOUBLE_EQ(panel().valueLevel[2], 100 / 127.0);
    EXPECT_DOUBLE_EQ(panel().valuePan[2], 0.0);
    EXPECT_EQ(panel().program[4], 24);
}

TEST_F(ViewControllerDisplay, HiddenViewDropsOneEventPerTick) {
    unit->monitor()->clearMonitoring();
    for (int i = 0; i < 5; ++i) monitored({0x90, 0x3C, 0x64});
    window.reset();
    tick(3);
    EXPECT_EQ(unit->monitor()->getSize(), 2u);
    EXPECT_EQ(overlay().heldNotes(0), 0);
    EXPECT_EQ(controller->counter, 0);
}

TEST_F(ViewControllerDisplay, PlayedFileShowsItsProgressOncePerSecond) {
    render(40);
    tick(static_cast<int>(59 - controller->counter));
    EXPECT_EQ(panel().valueProgress, 0.0);
    tick();
    EXPECT_GT(panel().valueProgress, 0.0);
    EXPECT_LE(panel().valueProgress, 1.0);
}

TEST_F(ViewControllerDisplay, RatioStuckAboveOneEndsTheFileAndStartsAnother) {
    pick = 0;
    const std::string first = panel().valueLabelFile;
    controller->updateProgress(11.0, 10.0);
    EXPECT_EQ(picks, 1);
    controller->updateProgress(11.5, 10.0);
    EXPECT_EQ(picks, 1);
    controller->updateProgress(11.5, 10.0);
    EXPECT_EQ(picks, 2);
    controller->updateProgress(11.5, 10.0);  // the player has not yet taken the next file
    EXPECT_EQ(picks, 2);
    queue().drain();
    EXPECT_TRUE(logged("sequencer complete"));
    render();
    EXPECT_TRUE(unit->sequencer()->isPlaying());

    controller->updateProgress(0.0, 0.0);
    controller->updateProgress(0.0, 0.0);
    EXPECT_EQ(picks, 2);
}

TEST_F(ViewControllerDisplay, PanelTouchesBecomeParameterWrites) {
    ui::HeadlessRenderer renderer;
    renderer.render(controller->view());
    ui::View& root = controller->view();
    const double inset = AudioUnitViewController::viewInset;
    auto tap = [&](double x, double y) {
        renderer.pointer().press(root, {inset + x, inset + y});
        renderer.pointer().release({inset + x, inset + y});
    };
    tap(160 + 24 * 3, 170);  // mute 3
    EXPECT_EQ(unit->getParameter(1019), 1.0f);
    tap(160 + 24 * 3, 170);
    EXPECT_EQ(unit->getParameter(1019), 0.0f);

    panel().valuePan[5] = 0.5;
    renderer.pointer().press(root, {inset + 160 + 24 * 5, inset + 260});  // pan knob 5, from 0.5
    renderer.pointer().release({inset + 160 + 24 * 5 + 40, inset + 260});
    EXPECT_NEAR(unit->getParameter(1053), 0.7f, 1e-6);

    renderer.pointer().press(root, {inset + 86, inset + 200});  // main volume, from 0.79
    renderer.pointer().release({inset + 86, inset + 200 + 58});
    EXPECT_NEAR(unit->getParameter(1001), 0.5f, 1e-6);

    panel().valueTranspose = 0.5;
    renderer.pointer().press(root, {inset + 86, inset + 100});  // transposition: two semitones up
    renderer.pointer().release({inset + 86 + 16.7, inset + 100});
    EXPECT_EQ(unit->getParameter(1002), 2.0f);
}

TEST_F(ViewControllerDisplay, ViewOptions) {
    ASSERT_TRUE(unit->sequencer()->isPlaying());
    for (const int ignored : {1180, 1181, 1182, 1184, 1185, 1188, 1189, 1190, 1191, 1500, 7}) {
        controller->onTunedeckViewOption(ignored, 1.0f);
    }
    EXPECT_EQ(controller->presentedViewController(), nullptr);
    render();
    EXPECT_TRUE(unit->sequencer()->isPlaying());

    controller->onTunedeckViewOption(1187, 1.0f);
    render();
    tick();
    EXPECT_FALSE(unit->sequencer()->isPlaying());
    EXPECT_FALSE(panel().isPlaying);
    controller->onTunedeckViewOption(1186, 1.0f);
    render();
    tick();
    EXPECT_TRUE(unit->sequencer()->isPlaying());
    EXPECT_TRUE(panel().isPlaying);

    controller->onTunedeckViewOption(1179, 3.0f);
    auto* programs = dynamic_cast<ProgramsViewController*>(controller->presentedViewController());
    ASSERT_NE(programs, nullptr);
    EXPECT_EQ(programs->delegate, controller.get());
    EXPECT_EQ(programs->programs, unit->soundfontprograms());
    controller->dismiss(false);

    controller->onTunedeckViewOption(1192, 1.0f);
    auto* files = dynamic_cast<MIDIFileViewController*>(controller->presentedViewController());
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(files->delegate, controller.get());
    EXPECT_EQ(files->startFolder, "factory");
    controller->dismiss(false);

    controller->onTunedeckViewOption(1178, 1.0f);
    auto* picker = dynamic_cast<ui::DocumentPicker*>(controller->presentedViewController());
    ASSERT_NE(picker, nullptr);
    picker->pick({controller->resourcesPath + "/MIDI/Test/Drum Keys.mid"});
    EXPECT_EQ(controller->presentedViewController(), nullptr);
    EXPECT_EQ(panel().valueLabelFile, "Drum Keys.mid");

    controller->onTunedeckViewOption(1001, 0.5f);
    EXPECT_EQ(unit->getParameter(1001), 0.5f);
}

TEST_F(ViewControllerDisplay, WhileTheHostPullsNoSoundNoPlayControlStartsTheSong) {
    const std::string song = controller->resourcesPath + "/MIDI/Test/Drum Keys.mid";
    const std::vector<std::pair<std::string, std::function<void()>>> starts = {
        {"the panel's play button", [&] { controller->onTunedeckViewOption(1186, 1.0f); }},
        {"the toolbar's play button", [&] { controller->buttonPlay->sendAction(); }},
        {"a file chosen in the browser", [&] { controller->onMIDIFileSelect(0, song); }},
    };
    for (const auto& [name, start] : starts) {
        SCOPED_TRACE(name);
        unit->setParameter(OrvoTunedeck_AudioUnit::kFilePlayerOption, 0);
        render();
        tick();
        ASSERT_FALSE(unit->sequencer()->isPlaying());
        EXPECT_FALSE(panel().isPlayAvailable);
        EXPECT_FALSE(controller->buttonPlay->isEnabled);

        start();
        render();
        tick();
        EXPECT_FALSE(unit->sequencer()->isPlaying());
        EXPECT_FALSE(panel().isPlaying);
        EXPECT_EQ(controller->buttonPlay->imageName(), "Play Icon");

        // The host pulls sound again: the controls are there once more and start the song.
        unit->setParameter(OrvoTunedeck_AudioUnit::kFilePlayerOption, 1);
        tick();
        EXPECT_TRUE(panel().isPlayAvailable);
        EXPECT_TRUE(controller->buttonPlay->isEnabled);
        controller->onTunedeckViewOption(1186, 1.0f);
        render();
        tick();
        EXPECT_TRUE(unit->sequencer()->isPlaying());
    }
}

TEST_F(ViewControllerDisplay, PanicAndChosenProgramGoOutInTheNextBuffer) {
    render();
    sent.clear();
    controller->onTunedeckViewOption(1183, 1.0f);
    render();
    bool allNotesOff = false;
    for (const auto& message : sent) {
        allNotesOff = allNotesOff || (message.size() == 3 && message[0] == 0xB0 && message[1] == 0x7B);
    }
    EXPECT_TRUE(allNotesOff);

    unit->sequencer()->stop();
    render();
    panel().valueSelected = 3;
    controller->onProgramSelect(0, SoundfontProgram{24, 8, 0, "Nylon"});
    sent.clear();
    render();
    std::vector<std::vector<std::uint8_t>> onChannel3;
    for (const auto& message : sent) {
        if ((message[0] & 0x0F) == 3) onChannel3.push_back(message);
    }
    EXPECT_EQ(onChannel3, (std::vector<std::vector<std::uint8_t>>{{0xB3, 0x00, 0x08}, {0xB3, 0x20, 0x00},
                                                                    {0xC3, 0x18}}));
    EXPECT_EQ(panel().program[3], 24);
    EXPECT_EQ(panel().bankMSB[3], 8);

    // A kit row at bank LSB 128: no data byte can carry 128, the kit goes out as LSB 127.
    panel().valueSelected = 9;
    controller->onProgramSelect(0, SoundfontProgram{25, 127, 128, "TR-808"});
    sent.clear();
    render();
    std::vector<std::vector<std::uint8_t>> onChannel9;
    for (const auto& message : sent) {
        if ((message[0] & 0x0F) == 9) onChannel9.push_back(message);
    }
    EXPECT_EQ(onChannel9, (std::vector<std::vector<std::uint8_t>>{{0xB9, 0x00, 0x7F}, {0xB9, 0x20, 0x7F},
                                                                    {0xC9, 0x19}}));
}

}  // namespace
