#include "platform/audioengine/WavFileOutput.h"

#include <sndfile.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace audioengine {

WavFileOutput::WavFileOutput(std::string path, double sampleRateHz, SampleFormat format)
    : path_(std::move(path)), sampleRate_(sampleRateHz), format_(format) {}

WavFileOutput::WavFileOutput(int descriptor, std::string name, double sampleRateHz, SampleFormat format)
    : path_(std::move(name)), descriptor_(descriptor), sampleRate_(sampleRateHz), format_(format) {}

WavFileOutput::~WavFileOutput() { stop(); }

bool WavFileOutput::openFile(bool rf64, std::string& error) {
    SF_INFO info{};
    info.samplerate = static_cast<int>(sampleRate_);
    info.channels = 2;
    info.format = (rf64 ? SF_FORMAT_RF64 : SF_FORMAT_WAV) |
                  (format_ == SampleFormat::float32 ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_16);
    file_ = descriptor_ >= 0 ? sf_open_fd(descriptor_, SFM_WRITE, &info, SF_FALSE)
                             : sf_open(path_.c_str(), SFM_WRITE, &info);
    if (file_ == nullptr) {
        error = "cannot create WAV file '" + path_ + "': " + sf_strerror(nullptr);
        return false;
    }
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return true;
}

bool WavFileOutput::start(RenderSource& source, std::string& error) {
    stop();
    if (!openFile(false, error)) return false;
    left_.assign(kChunkFrames, 0.0f);
    right_.assign(kChunkFrames, 0.0f);
    interleaved_.assign(2 * kFileFrames, 0.0f);
    gathered_ = 0;
    source_ = &source;
    framesWritten_ = 0;
    error_.clear();
    return true;
}

bool WavFileOutput::expectFrames(uint64_t frames) {
    if (file_ == nullptr || fileBytesFor(frames) <= kWavBytesAtMost) return file_ != nullptr;
    if (framesWritten_ > 0 || gathered_ > 0) {
        error_ = "WAV file '" + path_ + "': its format can be chosen only before its first frame";
        return false;
    }
    // Only the header is in the file yet: it is started again, as RF64.
    sf_close(file_);
    file_ = nullptr;
    if (descriptor_ >= 0 && (::lseek(descriptor_, 0, SEEK_SET) != 0 || ::ftruncate(descriptor_, 0) != 0)) {
        error_ = "cannot create WAV file '" + path_ + "': " + std::strerror(errno);
        return false;
    }
    return openFile(true, error_);
}

uint64_t WavFileOutput::fileBytesFor(uint64_t frames) const {
    const uint64_t frameBytes = 2 * (format_ == SampleFormat::float32 ? 4 : 2);
    // A size past what 64 bits count stays the largest one, never a small one wrapped round.
    if (frames > (std::numeric_limits<uint64_t>::max() - kHeaderBytesAtMost) / frameBytes)
        return std::numeric_limits<uint64_t>::max();
    return kHeaderBytesAtMost + frames * frameBytes;
}

void WavFileOutput::stop() {
    if (file_ != nullptr) {
        flush();
        sf_close(file_);
    }
    file_ = nullptr;
    source_ = nullptr;
}

bool WavFileOutput::render(uint32_t frames) {
    if (source_ == nullptr || file_ == nullptr) return false;
    while (frames > 0) {
        // A block is rendered whole: a split one would move the instrument's messages timed within it.
        const uint32_t chunk = std::min(frames, kChunkFrames);
        if (gathered_ + chunk > kFileFrames && !flush()) return false;
        source_->renderFrames(chunk, left_.data(), right_.data());
        float* to = interleaved_.data() + 2 * size_t{gathered_};
        for (uint32_t i = 0; i < chunk; ++i) {
            to[2 * i] = left_[i];
            to[2 * i + 1] = right_[i];
        }
        gathered_ += chunk;
        frames -= chunk;
    }
    return true;
}

bool WavFileOutput::flush() {
    if (gathered_ == 0 || file_ == nullptr) return true;
    const sf_count_t written = sf_writef_float(file_, interleaved_.data(), gathered_);
    const bool whole = written == static_cast<sf_count_t>(gathered_);
    if (written > 0) framesWritten_ += static_cast<uint64_t>(written);
    gathered_ = 0;
    if (!whole) error_ = "writing WAV file '" + path_ + "' failed: " + sf_strerror(file_);
    return whole;
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
