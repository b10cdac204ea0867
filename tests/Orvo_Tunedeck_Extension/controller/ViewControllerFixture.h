#pragma once
// A view controller that made its instrument (documents in a test folder, the build's resources), its view loaded
// and shown, the main queue on a manual clock, random picks chosen by the test, render resources for 512-frame
// buffers and a MIDI output that records what the unit sends.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Orvo_Tunedeck_Extension/controller/AudioUnitViewController.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Window.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestFolder.h"

class ViewControllerFixture : public ::testing::Test {
protected:
    static constexpr AUAudioFrameCount kFrames = 512;

    void SetUp() override {
        environment.set("TUNEDECK_DOCUMENTS", (folder.path() / "Documents").string());
        queue().useManualClock();
        controller = AudioUnitViewController::create();
        controller->randomIndex = [this](std::size_t count) {
            ++picks;
            return pick < count ? pick : count - 1;
        };
        unit = controller->createAudioUnit(OrvoTunedeck_AudioUnit::kComponentDescription);
        unit->setMaximumFramesToRender(kFrames);
        unit->setMIDIOutputEventBlock([this](AUEventSampleTime, std::uint8_t, std::int64_t length,
                                             const std::uint8_t* bytes) {
            sent.emplace_back(bytes, bytes + length);
            return foundation::noErr;
        });
        unit->allocateRenderResources();
        renderBlock = unit->renderBlock();
        queue().drain();
    }

    void TearDown() override {
        queue().drain();
        window.reset();
        controller.reset();
        unit.reset();
        queue().drain();
    }

    static dispatch::MainQueue& queue() { return dispatch::MainQueue::shared(); }

    // Loads the view (which connects the unit and starts a file) and shows it in a window.
    void showView() {
        window = std::make_unique<ui::Window>(ui::Rect{0, 0, 680, 580});
        window->setRootViewController(controller);
        queue().drain();
    }

    void render(int buffers = 1) {
        for (int i = 0; i < buffers; ++i) {
            AudioBufferList list = stereoBufferList(left.data(), right.data(), kFrames);
            AudioTimeStamp timestamp;
            timestamp.mSampleTime = static_cast<double>(renderedFrames);
            AudioUnitRenderActionFlags flags = 0;
            ASSERT_EQ(renderBlock(&flags, &timestamp, kFrames, 0, &list, nullptr, nullptr), foundation::noErr);
            renderedFrames += kFrames;
        }
    }

    // Ticks of the display timer.
    void tick(int count = 1) { queue().advanceClock(count * AudioUnitViewController::kTimerInterval); }

    bool logged(const std::string& line) const {
        for (const std::string& l : log.lines()) {
            if (l == line) return true;
        }
        return false;
    }

    std::unique_ptr<ui::Window> window;
    testsupport::TestFolder folder;
    testsupport::ScopedEnvironment environment;
    foundation::LogCapture log;
    std::size_t pick = 0;
    int picks = 0;
    std::shared_ptr<AudioUnitViewController> controller;
    std::shared_ptr<OrvoTunedeck_AudioUnit> unit;
    AURenderBlock renderBlock;
    std::int64_t renderedFrames = 0;
    std::vector<std::vector<std::uint8_t>> sent;
    std::vector<float> left = std::vector<float>(kFrames, 0.0f);
    std::vector<float> right = std::vector<float>(kFrames, 0.0f);
};
