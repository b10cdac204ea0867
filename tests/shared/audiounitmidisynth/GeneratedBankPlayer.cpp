#include "tests/shared/audiounitmidisynth/GeneratedBankPlayer.h"

#include <algorithm>

namespace midisynth_test {

GeneratedBankPlayer::GeneratedBankPlayer(int bankNumber)
    : wrapper_(std::make_shared<AudioUnitMIDISynth>(engine_)),
      left_(synth_test::kMaximumFrames),
      right_(synth_test::kMaximumFrames) {
    wrapper_->create("Internal Synthesizer (MT)");
    const auto unit = wrapper_->audioUnit();
    if (!unit) return;
    unit->outputBusses()[0]->setFormat(AudioFormat::standard(synth_test::kSampleRateHz, 2));
    unit->setMaximumFramesToRender(synth_test::kMaximumFrames);
    unit->allocateRenderResources();
    renderBlock_ = unit->renderBlock();
    wrapper_->loadSoundFont(bankNumber);
}

MIDISynthUnit* GeneratedBankPlayer::standIn() const {
    return dynamic_cast<MIDISynthUnit*>(wrapper_->audioUnit().get());
}

const std::vector<float>& GeneratedBankPlayer::render(uint32_t frames, const AURenderEvent* events) {
    AudioBufferList buffers = stereoBufferList(left_.data(), right_.data(), frames);
    AudioTimeStamp timestamp;
    timestamp.mSampleTime = sampleTime_;
    timestamp.mFlags = kAudioTimeStampSampleTimeValid;
    AudioUnitRenderActionFlags flags = 0;
    const bool rendered =
        renderBlock_ && renderBlock_(&flags, &timestamp, frames, 0, &buffers, events, nullptr) == foundation::noErr;
    if (!rendered) std::fill_n(left_.begin(), frames, 0.0f);
    recording_.insert(recording_.end(), left_.begin(), left_.begin() + frames);
    sampleTime_ += frames;
    return recording_;
}

const std::vector<float>& GeneratedBankPlayer::renderFor(uint32_t frames) {
    for (uint32_t done = 0; done < frames; done += 512) render(std::min(512u, frames - done));
    return recording_;
}

const std::vector<float>& GeneratedBankPlayer::playNote(uint8_t channel, uint8_t msb, uint8_t lsb, uint8_t program,
                                                        uint8_t key, uint32_t frames) {
    synth_test::EventList events;
    events.midi(0, 0xB0 | channel, 0, msb)
        .midi(0, 0xB0 | channel, 32, lsb)
        .midi(0, 0xC0 | channel, program)
        .midi(0, 0x90 | channel, key, 100);
    recording_.clear();
    render(512, events.head());
    return renderFor(frames);
}

void GeneratedBankPlayer::stopNote(uint8_t channel, uint8_t key) {
    synth_test::EventList events;
    events.midi(0, 0x80 | channel, key).midi(0, 0xB0 | channel, 120, 0);
    render(512, events.head());
    recording_.clear();
}

}  // namespace midisynth_test
