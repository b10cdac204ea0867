// Unit conversions of the synthesizer: cents, centibels, timecents, pan and the concave and convex curves.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Builds the lookup tables. Call once before the first conversion (the synthesizer does when it is created);
// later calls do nothing. Any thread; not concurrently with conversions on the first call.
void korvel_conversion_config(void);

// All conversions below read the tables only: safe on the audio thread, after korvel_conversion_config.

// Absolute cents to hertz, clamped to 1500..13500 cents (the filter's range), quantised to whole cents.
float korvel_ct2hz(float cents);
// Absolute cents to hertz without clamp: 8.176 * 2^(cents/1200).
float korvel_act2hz(float cents);
// Hertz to absolute cents: 6900 + 1200 * log2(f / 440).
float korvel_hz2ct(float f);
// Centibels of attenuation to linear gain: 1 below 0, 0 from 961, else 10^(-cb/200) at whole centibels.
float korvel_cb2amp(float cb);
// Timecents to seconds, 2^(tc/1200); the delay form gives 0 for -32768 and below and clamps to -12000..5000, the
// attack and release forms clamp to -12000..8000.
float korvel_tc2sec(float tc);
float korvel_tc2sec_delay(float tc);
float korvel_tc2sec_attack(float tc);
float korvel_tc2sec_release(float tc);
// Pan gain for tenths of a percent (-500 left .. 500 right); left non-zero asks for the left channel's gain.
float korvel_pan(float cents, int left);
// Curves over 0..127: 0 below 0, 1 above 127.
float korvel_concave(float x);
float korvel_convex(float x);

#ifdef __cplusplus
}
#endif
