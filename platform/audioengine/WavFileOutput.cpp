#include "platform/audioengine/WavFileOutput.h"

#include <sndfile.h>

#include <algorithm>

namespace audioengine {

WavFileOutput::WavFileOutput(std::string path, double sampleRateHz, SampleFormat format)
    : path_(std::move(path)), sampleRate_(sampleRateHz), format_(format) {}

WavFileOutput::~WavFileOutput() { stop(); }

bool WavFileOutput::start(RenderSource& source, std::string& error) {
    stop();
    SF_INFO info{};
    info.samplerate = static_cast<int>(sampleRate_);
    info.channels = 2;
    info.format = SF_FORMAT_WAV | (format_ == SampleFormat::float32 ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_16);
    file_ = sf_open(path_.c_str(), SFM_WRITE, &info);
    if (file_ == nullptr) {
        error = "cannot create WAV file '" + path_ + "': " + sf_strerror(nullptr);
        return false;
    }
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    left_.assign(kChunkFrames, 0.0f);
    right_.assign(kChunkFrames, 0.0f);
    interleaved_.assign(2 * kChunkFrames, 0.0f);
    source_ = &source;
    framesWritten_ = 0;
    error_.clear();
    return true;
}

void WavFileOutput::stop() {
    if (file_ != nullptr) sf_close(file_);
    file_ = nullptr;
    source_ = nullptr;
}

bool WavFileOutput::render(uint32_t frames) {
    if (source_ == nullptr || file_ == nullptr) return false;
    while (frames > 0) {
        const uint32_t chunk = std::min(frames, kChunkFrames);
        source_->renderFrames(chunk, left_.data(), right_.data());
        for (uint32_t i = 0; i < chunk; ++i) {
            interleaved_[2 * i] = left_[i];
            interleaved_[2 * i + 1] = right_[i];
        }
        if (sf_writef_float(file_, interleaved_.data(), chunk) != static_cast<sf_count_t>(chunk)) {
            error_ = "writing WAV file '" + path_ + "' failed: " + sf_strerror(file_);
            return false;
        }
        framesWritten_ += chunk;
        frames -= chunk;
    }
    return true;
}

void WavFileOutput::discard(uint32_t frames) {
    if (source_ == nullptr) return;
    while (frames > 0) {
        const uint32_t chunk = std::min(frames, kChunkFrames);
        source_->renderFrames(chunk, left_.data(), right_.data());
        frames -= chunk;
    }
}

}  // namespace audioengine
