#pragma once
// High-pass filter for the effect slots: a second-order Butterworth high-pass whose cut-off is amount x 0.4 x the
// sample rate, followed by a gain of 1 + 6 x amount. The amount is limited to 0.0016666667..0.9.
//
// Thread contract: create and destroy on the control thread; set and process on the audio thread (no allocation;
// tan runs only when the cut-off changes).

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _korvel_hpfilter_t {
  float amount;  // 0.2 at creation
  float rate;    // sample rate in Hz
  float a0, a1, a2, b1, b2;
  float w1, w2;
  float cutoff_hz;
  float gain;
  float last_cutoff_hz;
  float pi_over_rate;
  float k;
} korvel_hpfilter_t;

// A filter for audio at `sample_rate` Hz (above 0). None for another rate or when out of memory.
korvel_hpfilter_t* hpfilter_create(float sample_rate);
void hpfilter_destroy(korvel_hpfilter_t* filter);
// Null ignored.
void hpfilter_set_amount(korvel_hpfilter_t* filter, float amount);
// Filters n frames in place.
void hpfilter_process1(korvel_hpfilter_t* filter, float* buf, int n);
// Takes its amount from control[0], then filters n frames in place.
void hpfilter_process2(korvel_hpfilter_t* filter, float* buf, const float* control, int n);

#ifdef __cplusplus
}
#endif
