#pragma once
// The library's internal block: envelopes, LFOs, pitch and filter coefficients advance once per block, and reverb,
// chorus and effect slots always process exactly this many frames.

#ifdef __cplusplus
extern "C" {
#endif

enum { KORVEL_BUFSIZE = 256 };

#ifdef __cplusplus
}
#endif
