#include "Orvo_Tunedeck_Extension/dsp/DSPKernel.h"

#include "tests/Orvo_Tunedeck_Extension/dsp/RenderEventList.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace {

// Writes down what the base's slicing asks of it.
class RecordingKernel : public DSPKernel {
public:
    std::vector<std::string> calls;

    void process(AUAudioFrameCount frameCount, AUAudioFrameCount bufferOffset) noexcept override {
        calls.push_back("process " + std::to_string(frameCount) + " at " + std::to_string(bufferOffset));
    }
    void processCompander(AUAudioFrameCount, AUAudioFrameCount) noexcept override { calls.push_back("compander"); }
    void setParameter(AUParameterAddress address, AUValue value) noexcept override {
        calls.push_back("parameter " + std::to_string(address) + " = " + std::to_string(value));
    }
    void handleMIDIEvent(const AUMIDIEvent& event) noexcept override {
        calls.push_back("midi " + std::to_string(event.data[1]));  // the note number tags the event
    }
    const AUMIDIOutputEventBlock* midiOutput() const { return midiOut; }
};

struct SliceCase {
    const char* label;
    double bufferStart;
    AUAudioFrameCount frames;
    std::vector<std::string> expected;
    std::function<void(RenderEventList&)> events;
};

void PrintTo(const SliceCase& c, std::ostream* out) { *out << c.label; }

class Slicing : public testing::TestWithParam<SliceCase> {};

TEST_P(Slicing, RendersUpToEachEventThenHandlesIt) {
    const SliceCase& c = GetParam();
    RenderEventList list;
    c.events(list);
    RecordingKernel kernel;
    AudioTimeStamp timestamp;
    timestamp.mSampleTime = c.bufferStart;
    kernel.processWithEvents(timestamp, c.frames, list.head(), nullptr);
    EXPECT_EQ(kernel.calls, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Events, Slicing,
    testing::Values(
        SliceCase{"no_events", 1000, 512, {"process 512 at 0"}, [](RenderEventList&) {}},
        SliceCase{"event_at_first_sample_before_audio",
                  1000,
                  512,
                  {"midi 1", "process 512 at 0"},
                  [](RenderEventList& l) { l.noteOn(1000, 1); }},
        SliceCase{"two_events_at_100_split_the_buffer",
                  1000,
                  512,
                  {"midi 1", "process 100 at 0", "midi 2", "midi 3", "process 412 at 100"},
                  [](RenderEventList& l) { l.noteOn(1000, 1).noteOn(1100, 2).noteOn(1100, 3); }},
        SliceCase{"late_event_handled_at_once",
                  1000,
                  512,
                  {"midi 1", "process 12 at 0", "midi 2", "process 500 at 12"},
                  [](RenderEventList& l) { l.noteOn(900, 1).noteOn(1012, 2); }},
        SliceCase{"events_past_the_end_after_the_last_slice",
                  1000,
                  512,
                  {"process 500 at 0", "midi 1", "process 12 at 500", "midi 2", "midi 3"},
                  [](RenderEventList& l) { l.noteOn(1500, 1).noteOn(1512, 2).noteOn(5000, 3); }},
        SliceCase{"event_far_past_the_end",
                  0,
                  64,
                  {"process 64 at 0", "midi 7"},
                  [](RenderEventList& l) { l.noteOn(1'000'000'000'000, 7); }},
        SliceCase{"parameter_and_ramp_set_at_once_other_types_ignored",
                  0,
                  256,
                  {"process 10 at 0", "parameter 1001 = 0.250000", "parameter 1175 = 0.500000", "process 246 at 10"},
                  [](RenderEventList& l) {
                      l.parameter(10, AURenderEventParameter, 1001, 0.25f)
                          .parameter(10, AURenderEventParameterRamp, 1175, 0.5f)
                          .other(10, 3);
                  }},
        SliceCase{"zero_frames_do_nothing", 0, 0, {}, [](RenderEventList& l) { l.noteOn(0, 1); }}),
    [](const testing::TestParamInfo<SliceCase>& info) { return info.param.label; });

TEST(DSPKernel, KeepsTheMidiOutputOfTheLatestCall) {
    RecordingKernel kernel;
    const AUMIDIOutputEventBlock output = [](AUEventSampleTime, std::uint8_t, std::int64_t, const std::uint8_t*) {
        return foundation::noErr;
    };
    kernel.processWithEvents(AudioTimeStamp{}, 0, nullptr, &output);
    EXPECT_EQ(kernel.midiOutput(), &output);
    kernel.processWithEvents(AudioTimeStamp{}, 16, nullptr, nullptr);
    EXPECT_EQ(kernel.midiOutput(), nullptr);
}

}  // namespace
