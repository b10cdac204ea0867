#pragma once
// A wrapper created over a RecordingSynth, with a resources folder holding an empty file for every sound bank, a
// recording delegate and captured log lines.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/audioengine/Engine.h"
#include "platform/audiounit/AudioComponentRegistry.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "shared/audiounitmidisynth/AudioUnitMIDISynth.h"
#include "tests/shared/audiounitmidisynth/RecordingSynth.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestFolder.h"

namespace midisynth_test {

inline constexpr const char* kSynthName = "Internal Synthesizer (MT)";

struct RecordingDelegate final : AudioUnitBaseDelegate {
    void onFoundComponent(AudioUnitBase* unit) override { found.push_back(unit); }
    void onMIDI(AudioUnitBase*, int64_t, uint8_t, int64_t length, const uint8_t* data) override {
        midi.emplace_back(data, data + length);
    }
    void onParameter(AudioUnitBase*, uint64_t, float) override {}

    std::vector<AudioUnitBase*> found;
    std::vector<std::vector<uint8_t>> midi;
};

class WrapperTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static const bool registered = [] {
            AudioComponentRegistry::shared().registerComponent(
                kMIDISynthDescription, "Test: Recording Synthesizer", 1,
                [](const AudioComponentDescription& d) { return std::make_shared<RecordingSynth>(d); });
            return true;
        }();
        (void)registered;
    }

    void SetUp() override {
        for (const char* file : {"gs_instruments.dls", "soundfont1.sf2", "soundfont2.sf2", "soundfont6.sf2",
                                 "soundfont7.sf2", "soundfont9.sf2"})
            std::ofstream(resources.path() / file);
        environment.set("TUNEDECK_RESOURCES", resources.path().string());
        wrapper = makeWrapper();
        drainedLines();
        log.clear();
    }

    void TearDown() override {
        RecordingSynth::reportsMIDIOutput = false;
        dispatch::MainQueue::shared().drain();
    }

    std::shared_ptr<AudioUnitMIDISynth> makeWrapper() {
        auto made = std::make_shared<AudioUnitMIDISynth>(engine);
        made->delegate = &delegate;
        made->create(kSynthName);
        return made;
    }

    RecordingSynth& synth() { return dynamic_cast<RecordingSynth&>(*wrapper->audioUnit()); }

    std::vector<std::string> drainedLines() {
        dispatch::MainQueue::shared().drain();
        return log.lines();
    }

    testsupport::TestFolder resources;
    testsupport::ScopedEnvironment environment;
    foundation::LogCapture log;
    std::shared_ptr<audioengine::Engine> engine = std::make_shared<audioengine::Engine>();
    RecordingDelegate delegate;
    std::shared_ptr<AudioUnitMIDISynth> wrapper;
};

}  // namespace midisynth_test
