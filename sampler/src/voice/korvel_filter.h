#pragma once
// The voice's resonant low-pass filter: a biquad (direct form II) whose coefficients follow the cut-off once per
// block. After the first block of a note the coefficients glide to new values over 256 frames. A filter that is
// fully open (cut-off at KORVEL_FILTER_OPEN_CENTS or above, neither LFO nor envelope moving it, resonance flat, no
// glide left) passes its voice with only its pass-band gain instead of filtering it.
//
// Thread contract: create and delete on the control thread; reset, the block step and the process functions
// allocate nothing and run where the voice runs.

#include "sampler/src/voice/korvel_envelope.h"
#include "sampler/src/voice/korvel_lfo.h"
#include "sampler/src/sys/korvel_types.h"

#ifdef __cplusplus
extern "C" {
#endif

// The highest cut-off a bank can give (and the one it has when it gives none), about 20 kHz.
enum { KORVEL_FILTER_OPEN_CENTS = 13500 };

typedef struct _korvel_filter_t {
  korvel_voice_t* owner;
  float cutoff_cents;  // absolute cents
  float last_fc_hz;    // -1 forces an update
  float q;             // linear, above 0
  float gain;
  float hist1;
  float hist2;
  int first_time;
  float b02, b1, a1, a2;
  float b02_incr, b1_incr, a1_incr, a2_incr;
  int ramp_count;  // frames the glide still runs
  int flat_resonance;  // the resonance is 0 dB
  int open;            // this block passes the voice unfiltered
  float last_input;    // the last frame an open filter passed: a filter closing again starts from it
} korvel_filter_t;

// Makes cleared storage a filter of the voice, as new_korvel_filter makes it.
void korvel_filter_setup(korvel_filter_t* filter, korvel_voice_t* voice);
// A cleared filter. None with "NewFilter(): Out of memory".
korvel_filter_t* new_korvel_filter(korvel_voice_t* voice);
// Null accepted. 0.
int delete_korvel_filter(korvel_filter_t* filter);
// A note start: history cleared, cut-off unknown, the next coefficients set without a glide.
void filter_reset(korvel_filter_t* filter);
// Once per block: fc = Hz(cut-off + the modulation LFO's and envelope's depths to cut-off times their values),
// limited to 5 .. 0.45 x output rate; when it moved by more than 0.01 Hz, new coefficients for audio at
// `output_rate` Hz (set directly the first time after a reset, otherwise reached by a 256-frame glide). Decides
// whether the filter is open for the block; one that closes again starts from the steady state of its last input.
void filter_preprocess(korvel_filter_t* filter, const korvel_lfo2_t* modlfo, const korvel_envelope2_t* modenv,
                       float output_rate);
// Filter n frames in place, without and with the coefficient glide; the second only scales by the pass-band gain
// (`gain`) while the filter is open.
void filter_process1(korvel_filter_t* filter, float* buf, int n);
void filter_process2(korvel_filter_t* filter, float* buf, int n);
// Runs 1 to KORVEL_FILTER_LANES filters, none of them open, side by side, one voice in each lane of two vectors, each
// over the first counts[l] frames (at most KORVEL_BUFSIZE) of its buffer with the arithmetic of filter_process2 and
// so with its samples; runs of different lengths are padded for the vector and nothing after a run is touched.
enum { KORVEL_FILTER_LANES = 8 };
void filter_process_lanes(korvel_filter_t* const* filters, float* const* bufs, const int* counts, int lanes);

#ifdef __cplusplus
}
#endif
