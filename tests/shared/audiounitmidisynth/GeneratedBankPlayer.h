#pragma once
// The synthesizer as the instrument owns it, over the sound banks the build generated: a wrapper created in an
// engine that never pulls it, its unit allocated at 48000 Hz and rendered through its render block by the test.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audioengine/Engine.h"
#include "shared/audiounitmidisynth/AudioUnitMIDISynth.h"
#include "tests/platform/synth/SynthHarness.h"

namespace midisynth_test {

class GeneratedBankPlayer {
public:
    // Loads the generated bank of that number through the wrapper.
    explicit GeneratedBankPlayer(int bankNumber);

    AudioUnitMIDISynth& wrapper() { return *wrapper_; }
    MIDISynthUnit* standIn() const;

    // One render call of frames frames (at most synth_test::kMaximumFrames) with events; the left channel is
    // appended to the recording, which is returned.
    const std::vector<float>& render(uint32_t frames, const AURenderEvent* events = nullptr);
    // frames more frames in calls of 512 without events.
    const std::vector<float>& renderFor(uint32_t frames);
    void clearRecording() { recording_.clear(); }

    // Plays key on channel with the program at (msb, lsb, program): bank select, program change and note-on at the
    // start of one call of 512 frames, then frames more frames. The recording holds just this note.
    const std::vector<float>& playNote(uint8_t channel, uint8_t msb, uint8_t lsb, uint8_t program, uint8_t key,
                                       uint32_t frames);
    // Note-off and all sound off on channel, then a little silence; the recording is emptied.
    void stopNote(uint8_t channel, uint8_t key);

private:
    std::shared_ptr<audioengine::Engine> engine_ = std::make_shared<audioengine::Engine>();
    std::shared_ptr<AudioUnitMIDISynth> wrapper_;
    AURenderBlock renderBlock_;
    double sampleTime_ = 0.0;
    std::vector<float> recording_;
    std::vector<float> left_, right_;
};

}  // namespace midisynth_test
