#pragma once
// Saturation: y = (1 - 0.66 sqrt(a)) x (a drive (1 - |x|) + 1) for an amount a in 0..1. At amount 0 the signal
// passes unchanged; at amount 1 a full-scale sample comes out at 0.34 of its level.
//
// Thread contract: create and destroy on the control thread; set and process on the audio thread (no allocation).

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _korvel_saturation_t {
  float amount;   // 1.0 at creation
  float drive;    // 6.666
  float current;  // the amount reached by the last processed frame
} korvel_saturation_t;

// None when out of memory.
korvel_saturation_t* saturation_create(void);
void saturation_destroy(korvel_saturation_t* saturation);
// Back to the state after creation, without allocating.
void saturation_reset(korvel_saturation_t* saturation);
// Null ignored.
void saturation_set_amount(korvel_saturation_t* saturation, float amount);
// Saturates n frames in place, the amount gliding from the last one reached to the set one in n equal steps.
void saturation_process1(korvel_saturation_t* saturation, float* buf, int n);
// Saturates n frames in place with the amount control[i] per frame and the set amount as the drive.
void saturation_process2(korvel_saturation_t* saturation, float* buf, const float* control, int n);

#ifdef __cplusplus
}
#endif
