#include "platform/audioengine/AlsaOutput.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cmath>

namespace audioengine {

namespace {

// alsa-lib prints its own diagnostics to standard error; every failure here is reported with its reason instead.
void dropLibraryMessage(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

AlsaOutput::AlsaOutput(std::string device, double sampleRateHz, uint32_t periodFrames, uint32_t periods)
    : device_(std::move(device)),
      sampleRate_(sampleRateHz),
      periodFrames_(std::max<uint32_t>(16, periodFrames)),
      periods_(std::max<uint32_t>(2, periods)) {}

AlsaOutput::~AlsaOutput() { stop(); }

std::string AlsaOutput::failure() const {
    const int code = failureCode_.load();
    return code == 0 ? std::string() : "ALSA PCM device '" + device_ + "' failed: " + snd_strerror(code);
}

bool AlsaOutput::configure(std::string& error) {
    snd_pcm_hw_params_t* hw = nullptr;
    snd_pcm_hw_params_alloca(&hw);
    int result = snd_pcm_hw_params_any(pcm_, hw);
    if (result >= 0) result = snd_pcm_hw_params_set_access(pcm_, hw, SND_PCM_ACCESS_RW_INTERLEAVED);
    if (result >= 0) {
        floatSamples_ = snd_pcm_hw_params_test_format(pcm_, hw, SND_PCM_FORMAT_FLOAT_LE) == 0;
        result = snd_pcm_hw_params_set_format(pcm_, hw, floatSamples_ ? SND_PCM_FORMAT_FLOAT_LE : SND_PCM_FORMAT_S16_LE);
    }
    if (result >= 0) result = snd_pcm_hw_params_set_channels(pcm_, hw, 2);
    if (result < 0) {
        error = "ALSA PCM device '" + device_ + "' cannot play interleaved stereo: " + snd_strerror(result);
        return false;
    }
    snd_pcm_hw_params_set_rate_resample(pcm_, hw, 1);
    unsigned int rate = static_cast<unsigned int>(std::lround(sampleRate_));
    result = snd_pcm_hw_params_set_rate_near(pcm_, hw, &rate, nullptr);
    if (result < 0 || rate != static_cast<unsigned int>(std::lround(sampleRate_))) {
        error = "ALSA PCM device '" + device_ + "' cannot run at " + std::to_string(std::lround(sampleRate_)) + " Hz";
        return false;
    }
    snd_pcm_uframes_t period = periodFrames_;
    snd_pcm_hw_params_set_period_size_near(pcm_, hw, &period, nullptr);
    snd_pcm_uframes_t buffer = period * periods_;
    snd_pcm_hw_params_set_buffer_size_near(pcm_, hw, &buffer);
    result = snd_pcm_hw_params(pcm_, hw);
    if (result >= 0) result = snd_pcm_prepare(pcm_);
    if (result < 0) {
        error = "ALSA PCM device '" + device_ + "' refused its settings: " + snd_strerror(result);
        return false;
    }
    return true;
}

bool AlsaOutput::open(std::string& error) {
    snd_lib_error_set_handler(dropLibraryMessage);
    const int result = snd_pcm_open(&pcm_, device_.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
    if (result < 0) {
        pcm_ = nullptr;
        error = "cannot open ALSA PCM device '" + device_ + "': " + snd_strerror(result);
        return false;
    }
    if (!configure(error)) {
        snd_pcm_close(pcm_);
        pcm_ = nullptr;
        return false;
    }
    return true;
}

std::string AlsaOutput::probe() {
    stop();
    std::string error;
    if (open(error)) stop();
    return error;
}

bool AlsaOutput::start(RenderSource& source, std::string& error) {
    stop();
    if (!open(error)) return false;
    left_.assign(periodFrames_, 0.0f);
    right_.assign(periodFrames_, 0.0f);
    interleavedFloat_.assign(2 * periodFrames_, 0.0f);
    interleaved16_.assign(2 * periodFrames_, 0);
    framesDelivered_.store(0);
    failureCode_.store(0);
    running_.store(true);
    thread_ = std::thread([this, &source] { run(source); });
    return true;
}

void AlsaOutput::stop() {
    running_.store(false);
    if (thread_.joinable()) thread_.join();
    if (pcm_ != nullptr) {
        snd_pcm_drop(pcm_);
        snd_pcm_close(pcm_);
        pcm_ = nullptr;
    }
}

bool AlsaOutput::write(const void* frames, uint32_t count) {
    const auto* bytes = static_cast<const char*>(frames);
    const size_t frameBytes = floatSamples_ ? 2 * sizeof(float) : 2 * sizeof(int16_t);
    uint32_t done = 0;
    while (done < count && running_.load(std::memory_order_relaxed)) {
        const snd_pcm_sframes_t written = snd_pcm_writei(pcm_, bytes + done * frameBytes, count - done);
        if (written == -EAGAIN) {
            snd_pcm_wait(pcm_, 100);
            continue;
        }
        if (written < 0) {
            const int recovered = snd_pcm_recover(pcm_, static_cast<int>(written), 1);
            if (recovered < 0) {
                failureCode_.store(recovered);
                return false;
            }
            continue;
        }
        done += static_cast<uint32_t>(written);
    }
    return true;
}

void AlsaOutput::run(RenderSource& source) {
    while (running_.load(std::memory_order_relaxed)) {
        source.renderFrames(periodFrames_, left_.data(), right_.data());
        const void* data = nullptr;
        if (floatSamples_) {
            for (uint32_t i = 0; i < periodFrames_; ++i) {
                interleavedFloat_[2 * i] = left_[i];
                interleavedFloat_[2 * i + 1] = right_[i];
            }
            data = interleavedFloat_.data();
        } else {
            for (uint32_t i = 0; i < periodFrames_; ++i) {
                interleaved16_[2 * i] = static_cast<int16_t>(std::lround(std::clamp(left_[i], -1.0f, 1.0f) * 32767.0f));
                interleaved16_[2 * i + 1] =
                    static_cast<int16_t>(std::lround(std::clamp(right_[i], -1.0f, 1.0f) * 32767.0f));
            }
            data = interleaved16_.data();
        }
        if (!write(data, periodFrames_)) break;
        framesDelivered_.fetch_add(periodFrames_);
    }
}

}  // namespace audioengine
