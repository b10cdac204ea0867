#pragma once
// A wrapper over a test unit made through the process's registry, with a recording delegate and captured log lines.

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "platform/audioengine/Engine.h"
#include "platform/audiounit/AudioComponentRegistry.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "shared/audiounitbase/AudioUnitBase.h"
#include "tests/platform/audiounit/RecordingInstrument.h"

namespace wrapper_testing {

using audiounit_testing::fourCC;

// A unit with a MIDI output, two parameters and a full state that the test sets.
class WrappedUnit final : public audiounit_testing::RecordingInstrument {
public:
    explicit WrappedUnit(const AudioComponentDescription& description) : RecordingInstrument(description) {
        constexpr auto rw = kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_IsWritable;
        setParameterTree(AUParameterTree::createTree({AUParameterTree::createGroup(
            "main", "Main",
            {AUParameterTree::createParameter("gain", "Gain", 900, -96, 12, kAudioUnitParameterUnit_Decibels,
                                              std::string("dB"), rw),
             AUParameterTree::createParameter("tune", "Tune", 901, -12, 12,
                                              kAudioUnitParameterUnit_RelativeSemiTones, std::nullopt, rw)})}));
    }
    std::vector<std::string> MIDIOutputNames() const override { return {"Wrapped MIDI Out"}; }
    std::optional<foundation::PlistDictionary> fullState() override { return state; }
    void setFullState(const std::optional<foundation::PlistDictionary>& given) override {
        state = given;
        ++stateWrites;
    }

    std::optional<foundation::PlistDictionary> state;
    int stateWrites = 0;
};

struct RecordingDelegate final : AudioUnitBaseDelegate {
    struct Message {
        int64_t time;
        uint8_t cable;
        std::vector<uint8_t> bytes;
    };
    void onFoundComponent(AudioUnitBase* unit) override { found.push_back(unit); }
    void onMIDI(AudioUnitBase*, int64_t time, uint8_t cable, int64_t length, const uint8_t* data) override {
        midi.push_back({time, cable, std::vector<uint8_t>(data, data + length)});
    }
    void onParameter(AudioUnitBase*, uint64_t address, float value) override { parameters.emplace_back(address, value); }

    std::vector<AudioUnitBase*> found;
    std::vector<Message> midi;
    std::vector<std::pair<uint64_t, float>> parameters;
};

class WrapperTest : public ::testing::Test {
protected:
    // The base wrapper makes the first component of the process's registry; register ours once.
    static void SetUpTestSuite() {
        static bool registered = false;
        if (!registered)
            AudioComponentRegistry::shared().registerComponent(
                {fourCC("aumu"), fourCC("wrap"), fourCC("Test"), 0, 0}, "Test Maker: Wrapped", 1,
                [](const AudioComponentDescription& d) { return std::make_shared<WrappedUnit>(d); });
        registered = true;
    }

    void SetUp() override { dispatch::MainQueue::shared().drain(); }

    std::shared_ptr<AudioUnitBase> makeWrapper(bool withDelegate = true) {
        auto wrapper = std::make_shared<AudioUnitBase>(engine);
        if (withDelegate) wrapper->delegate = &delegate;
        return wrapper;
    }

    WrappedUnit& unitOf(AudioUnitBase& wrapper) { return dynamic_cast<WrappedUnit&>(*wrapper.audioUnit()); }

    std::vector<std::string> drainedLines() {
        dispatch::MainQueue::shared().drain();
        return log.lines();
    }

    bool logged(const std::string& line) {
        const auto lines = drainedLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    std::shared_ptr<audioengine::Engine> engine = std::make_shared<audioengine::Engine>();
    RecordingDelegate delegate;
    foundation::LogCapture log;
};

}  // namespace wrapper_testing
