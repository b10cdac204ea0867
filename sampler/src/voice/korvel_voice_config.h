#pragma once
// One-time set-up of what every voice shares, run when the first synthesizer is made.
//
// Thread contract: control thread, before any voice renders.

#ifdef __cplusplus
extern "C" {
#endif

// The oscillator's interpolation tables are compile-time data (korvel_interp_tables.h), ready before any call, so
// nothing is left to build here.
void korvel_voice_config(void);

#ifdef __cplusplus
}
#endif
