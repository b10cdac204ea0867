#include "tools/korvelshell/OfflineRender.h"

#include "sampler/src/synth/korvel_synth_render.h"

#include <algorithm>
#include <cmath>

namespace korvelshell {

namespace {

constexpr int CHUNK_FRAMES = 1024;

} // namespace

OfflineRender::OfflineRender(korvel_synth_t* synth)
    : synth_(synth), rate_(synth->sample_rate), interleaved_(2 * CHUNK_FRAMES)
{
}

OfflineRender::~OfflineRender()
{
    close();
}

bool OfflineRender::open(const std::string& path)
{
    SF_INFO info{};
    info.samplerate = static_cast<int>(rate_);
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    file_ = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file_ == nullptr) {
        error_ = sf_strerror(nullptr);
        return false;
    }
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return true;
}

bool OfflineRender::render(long frames)
{
    peak_ = 0.0f;
    while (frames > 0) {
        const int chunk = static_cast<int>(std::min<long>(frames, CHUNK_FRAMES));
        korvel_synth_write_float(synth_, chunk, interleaved_.data(), 0, 2, interleaved_.data(), 1, 2);
        for (int i = 0; i < 2 * chunk; i++) {
            peak_ = std::max(peak_, std::fabs(interleaved_[static_cast<size_t>(i)]));
        }
        if (file_ != nullptr) {
            if (sf_writef_float(file_, interleaved_.data(), chunk) != chunk) {
                error_ = sf_strerror(file_);
                return false;
            }
            written_ += chunk;
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
    const bool closed = sf_close(file_) == 0;
    file_ = nullptr;
    return closed;
}

} // namespace korvelshell
