#include "sampler/src/voice/korvel_voice_dsp.h"

namespace korvel_dsp {

void add_scaled(float* __restrict dst, const float* __restrict src, float gain, int n)
{
    for (int i = 0; i < n; ++i) {
        dst[i] += gain * src[i];
    }
}

void add_scaled_pair(float* __restrict left, float* __restrict right, const float* __restrict src, float left_gain,
                     float right_gain, int n)
{
    for (int i = 0; i < n; ++i) {
        left[i] += left_gain * src[i];
        right[i] += right_gain * src[i];
    }
}

void scale(float* buf, float gain, int n)
{
    for (int i = 0; i < n; ++i) {
        buf[i] *= gain;
    }
}

} // namespace korvel_dsp
