// The voice's block stages over spans of frames that follow the oscillator and the filter: the gain of a voice
// whose filter is open and the mix of its frames into the channel and send buses. Each stage is a plain loop
// without branches per frame, written for the compiler's vectoriser: on x86-64 it vectorises them for SSE2, the
// baseline every such processor has; on other targets it builds the same loops for their own vector unit or as
// scalar code. The choice is the compiler's, made at build time (see sampler/src/CMakeLists.txt).
//
// Thread contract: every stage runs on the render thread; none allocates, locks or logs.
#pragma once

namespace korvel_dsp {

// dst[i] += gain x src[i].
void add_scaled(float* dst, const float* src, float gain, int n);
// left[i] += left_gain x src[i] and right[i] += right_gain x src[i], in one pass.
void add_scaled_pair(float* left, float* right, const float* src, float left_gain, float right_gain, int n);
// buf[i] *= gain.
void scale(float* buf, float gain, int n);

} // namespace korvel_dsp
