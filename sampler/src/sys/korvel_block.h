#pragma once
// Frames per internal block. Control-rate state (envelopes, LFOs, pitch, filter coefficients) updates once per
// block; the effects always run on whole blocks.

#ifdef __cplusplus
extern "C" {
#endif

enum { KORVEL_BUFSIZE = 256 };

#ifdef __cplusplus
}
#endif
