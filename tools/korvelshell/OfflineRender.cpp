#include "tools/korvelshell/OfflineRender.h"

#include "sampler/src/synth/korvel_synth_render.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace korvelshell {

namespace {

constexpr int CHUNK_FRAMES = 1024;

} // namespace

OfflineRender::OfflineRender(korvel_synth_t* synth)
    : synth_(synth), rate_(synth->sample_rate), left_(CHUNK_FRAMES), right_(CHUNK_FRAMES),
      interleaved_(2 * CHUNK_FRAMES)
{
    audioengine::PeakLimiterSettings settings;
    settings.ceilingDecibels = CEILING_DECIBELS;
    limiter_.prepare(rate_, settings.attackSeconds);
    limiter_.configure(settings);
}

OfflineRender::~OfflineRender()
{
    discard();
}

bool OfflineRender::open(const std::string& path)
{
    std::optional<foundation::FileTarget> opened = foundation::FileTarget::open(path, error_);
    if (!opened) {
        return false;
    }
    target_.emplace(std::move(*opened));
    SF_INFO info{};
    info.samplerate = static_cast<int>(rate_);
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    file_ = sf_open_fd(target_->descriptor(), SFM_WRITE, &info, SF_FALSE);
    if (file_ == nullptr) {
        error_ = sf_strerror(nullptr);
        target_.reset();
        return false;
    }
    // The limiter keeps every point below full scale; clipping stays the conversion's rule all the same.
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    delayLeft_ = limiter_.latencyFrames();
    return true;
}

bool OfflineRender::write(int frames)
{
    limiter_.process(left_.data(), right_.data(), static_cast<uint32_t>(frames));
    const int skipped = static_cast<int>(std::min<long>(delayLeft_, frames));
    delayLeft_ -= skipped;
    const int kept = frames - skipped;
    for (int i = 0; i < kept; i++) {
        interleaved_[static_cast<size_t>(2 * i)] = left_[static_cast<size_t>(skipped + i)];
        interleaved_[static_cast<size_t>(2 * i + 1)] = right_[static_cast<size_t>(skipped + i)];
    }
    if (kept > 0 && sf_writef_float(file_, interleaved_.data(), kept) != kept) {
        error_ = sf_strerror(file_);
        return false;
    }
    written_ += kept;
    return true;
}

bool OfflineRender::render(long frames)
{
    peak_ = 0.0f;
    while (frames > 0) {
        const int chunk = static_cast<int>(std::min<long>(frames, CHUNK_FRAMES));
        korvel_synth_write_float(synth_, chunk, left_.data(), 0, 1, right_.data(), 0, 1);
        for (int i = 0; i < chunk; i++) {
            peak_ = std::max({peak_, std::fabs(left_[static_cast<size_t>(i)]), std::fabs(right_[static_cast<size_t>(i)])});
        }
        if (file_ != nullptr) {
            if (!write(chunk)) {
                return false;
            }
            rendered_ += chunk;
        }
        frames -= chunk;
    }
    return true;
}

bool OfflineRender::close()
{
    if (file_ == nullptr) {
        return true;
    }
    bool complete = true;
    // The look-ahead still holds the last frames: silence pushes them out.
    while (complete && written_ < rendered_) {
        const int chunk = static_cast<int>(std::min<long>(rendered_ - written_ + delayLeft_, CHUNK_FRAMES));
        std::fill_n(left_.begin(), chunk, 0.0f);
        std::fill_n(right_.begin(), chunk, 0.0f);
        complete = write(chunk);
    }
    complete = sf_close(file_) == 0 && complete;
    file_ = nullptr;
    complete = complete && target_->commit(error_);
    warning_ = target_->warning();
    target_.reset();
    return complete;
}

void OfflineRender::discard()
{
    if (file_ != nullptr) {
        sf_close(file_);
        file_ = nullptr;
    }
    target_.reset();
}

} // namespace korvelshell
