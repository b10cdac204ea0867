#pragma once
// The oscillator: reads a sample's 16-bit points with a 32.32 fixed-point phase (an absolute index into the
// sample's data and a fraction) and writes amp x interpolated point per frame. Its pitch is set once per block.
// It owns a wave sampler that follows the sample, its loop and its pitch; voices render through the oscillator's
// own interpolation paths, not through the sampler.
//
// Reads never leave the sample: points past its last point read as the last point.
//
// Thread contract: create and delete on the control thread. Setting the sample and loop, the block step and the
// process functions allocate nothing and run where the voice runs; the paths of interpolation methods 0, 1 and 7
// print their "not supported" warning once per process.

#include "sampler/src/voice/korvel_envelope.h"
#include "sampler/src/voice/korvel_lfo.h"
#include "sampler/src/voice/korvel_sampler.h"
#include "sampler/src/sys/korvel_types.h"

#ifdef __cplusplus
extern "C" {
#endif

enum korvel_interp_method {
  KORVEL_INTERP_LINEAR = 1,      // linear table
  KORVEL_INTERP_DEFAULT = 4,     // the channel's default: nearest point, like every other unlisted value
  KORVEL_INTERP_SEVEN_POINT = 7  // windowed sinc
};

enum korvel_osc_sanity {
  KORVEL_OSC_NO_CHECK = 0,
  KORVEL_OSC_CHECK = 1,
  KORVEL_OSC_STARTUP_CHECK = 2
};

typedef struct _korvel_oscillator_t {
  korvel_voice_t* owner;
  korvel_sample_t* sample;  // not owned
  Sampler16* sampler;       // owned
  float phase_incr;         // sample frames per output frame
  unsigned int incr_fract;
  unsigned int incr_int;
  unsigned int phase_fract;
  int phase_int;  // absolute index into the sample's data
  int has_looped;
  int sanity_request;  // korvel_osc_sanity
  unsigned int start_time;
  unsigned int ticks;  // frames rendered
  float pitch_cents;
  float attenuation_cb;
  float min_attenuation_cb;
  float root_freq_hz;  // the root key's frequency x output rate / sample rate
  int interp_method;
  int four_point_default;  // the default path reads four points instead of the nearest one
  int start;  // absolute indices into the sample's data
  int end;
  int loop_start;
  int loop_end;
} korvel_oscillator_t;

// Makes cleared storage an oscillator of the voice over the given wave sampler, which the caller keeps.
void korvel_oscillator_setup(korvel_oscillator_t* osc, korvel_voice_t* voice, Sampler16* sampler);
// A cleared oscillator with its wave sampler. None with "NewOscillator(): Out of memory".
korvel_oscillator_t* new_korvel_oscillator(korvel_voice_t* voice);
// Releases the oscillator and its sampler (null accepted). 0.
int delete_korvel_oscillator(korvel_oscillator_t* osc);
// Takes the sample (not owned) and hands its points from its start to the wave sampler; none lets the sampler go
// of its wave.
void oscillator_set_sample(korvel_oscillator_t* osc, korvel_sample_t* sample);
// With `sample_modes` not 0, gives the wave sampler the sample's loop (looping when its end is after its start);
// otherwise no loop.
void oscillator_set_loop(korvel_oscillator_t* osc, int sample_modes);
// Once per block: the pitch in cents (own pitch plus the LFO and envelope depths to pitch times their values)
// becomes the phase increment (the unclamped cents-to-hertz conversion over the root frequency). The increment is
// at least one fraction unit, so the phase always moves.
void oscillator_preprocess(korvel_oscillator_t* osc, const korvel_lfo1_t* viblfo, const korvel_lfo2_t* modlfo,
                           const korvel_envelope2_t* modenv);

// Render n frames into buf: buf[i] = (amp + (first + i) x amp_incr) x point, phase += increment: a gain ramp from
// amp on, of which `first` frames are already out. Each frame's gain comes from the ramp's start, so a ramp
// rendered in spans gives the samples of one rendered whole. Points are scaled by 1/32768.
// Nearest point, the index advancing by exactly one per frame.
void oscillator_process0(korvel_oscillator_t* osc, float* buf, int n, float amp, float amp_incr, int first);
// Nearest point.
void oscillator_process1(korvel_oscillator_t* osc, float* buf, int n, float amp, float amp_incr, int first);
// Linear interpolation.
void oscillator_process2(korvel_oscillator_t* osc, float* buf, int n, float amp, float amp_incr, int first);
// Four-point interpolation.
void oscillator_process3(korvel_oscillator_t* osc, float* buf, int n, float amp, float amp_incr, int first);
// Seven-point interpolation.
void oscillator_process4(korvel_oscillator_t* osc, float* buf, int n, float amp, float amp_incr, int first);
// The path of the oscillator's interpolation method: 1 linear, 7 seven-point, any other nearest point (four points
// when four_point_default is set).
void oscillator_process(korvel_oscillator_t* osc, float* buf, int n, float amp, float amp_incr, int first);

#ifdef __cplusplus
}
#endif
