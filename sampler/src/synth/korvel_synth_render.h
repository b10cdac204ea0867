// Rendering of the synthesizer: one block of KORVEL_BUFSIZE frames through the block mixer, and the pulls that hand
// out any number of frames from the blocks. The block position survives between pulls, so a pull that ends inside
// a block is continued from there by the next one. With the profile's event offsets, a pull renders exactly the
// frames it hands out, as parts of the block, so that a note started between two pulls sounds from the frame where
// the first ended.
//
// Thread contract: the render thread. Nothing here allocates, locks, waits or logs. Note and controller calls must
// not run at the same time. A pull renders only while the synthesizer is playing; otherwise it writes nothing.
#pragma once

#include "sampler/src/sys/korvel_types.h"

#ifdef __cplusplus
extern "C" {
#endif

// Renders one whole block (mode: korvel_mix_mode); the ticks advance by KORVEL_BUFSIZE when a voice sounded. 0.
// The pulls render through it unless the profile has event offsets: then they mix parts of the block, and the ticks
// advance by the part's frames when a voice sounded.
int korvel_synth_one_block(korvel_synth_t* synth, int mode);

// len frames of the first group as floats, at out[off + i * incr] for frame i. 0.
int korvel_synth_write_float(korvel_synth_t* synth, int len, float* lout, int loff, int lincr, float* rout, int roff,
                             int rincr);
// The same as 16-bit samples: each value times 32767, limited to -32768..32767 and truncated. 0.
int korvel_synth_write_s16(korvel_synth_t* synth, int len, short* lout, int loff, int lincr, short* rout, int roff,
                           int rincr);
// len frames into out[0] (left) and out[1] (right); the input arguments are not used. 0.
int korvel_synth_process(korvel_synth_t* synth, int len, int nin, float** in, int nout, float** out);
// len frames per output: dry pair i into left[i]/right[i] for i below the audio-channel count, effect pair j into
// fx_left[j]/fx_right[j]; reverb lands in effect pair 0 and chorus in 1. 0.
int korvel_synth_nwrite_float(korvel_synth_t* synth, int len, float** left, float** right, float** fx_left,
                              float** fx_right);

#ifdef __cplusplus
}
#endif
