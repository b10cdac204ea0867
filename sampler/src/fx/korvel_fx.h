// fx/: the effects (reverb, chorus, saturation, high-pass filter, effect slots); they may use sys/.
#pragma once
// Effect slot records, four typed slots each, owning their processors. A voice record keeps one ready saturation
// object per slot; channel (group insert), send (variation bus) and master records keep two per slot, left/right
// or, for a send, first/second.
//
// Thread contract: creation, deletion and `korvel_fx_set_slot` allocate and run on the control thread (with
// rendering stopped); `korvel_voice_fx_reset` and the process functions allocate nothing and may run on the
// audio thread.

#include "sampler/src/fx/korvel_hpfilter.h"
#include "sampler/src/fx/korvel_saturation.h"
#include "sampler/src/sys/korvel_types.h"

#ifdef __cplusplus
extern "C" {
#endif

enum korvel_fx_type { KORVEL_FX_NONE = 0, KORVEL_FX_SATURATION = 1, KORVEL_FX_HPFILTER = 2 };
enum { KORVEL_FX_SLOTS = 4, KORVEL_VOICE_FX_LEVELS = 3 };

typedef struct _korvel_voice_fx_t {
  korvel_voice_t* voice;
  int type[KORVEL_FX_SLOTS];
  korvel_saturation_t* saturation[KORVEL_FX_SLOTS];  // prepared at creation, one per slot
  float level[KORVEL_VOICE_FX_LEVELS];
} korvel_voice_fx_t;

typedef struct _korvel_fx_t {
  korvel_synth_t* synth;
  int type[KORVEL_FX_SLOTS];
  // korvel_saturation_t* for a saturation slot, korvel_hpfilter_t* for a high-pass slot, none for an empty one.
  void* first[KORVEL_FX_SLOTS];
  void* second[KORVEL_FX_SLOTS];
} korvel_fx_t;

typedef korvel_fx_t korvel_channel_fx_t;
typedef korvel_fx_t korvel_send_fx_t;
typedef korvel_fx_t korvel_master_fx_t;

// A cleared voice record with a saturation object prepared for each slot, so that a note start never allocates.
// None with "NewVoiceFx(): Out of memory".
korvel_voice_fx_t* new_korvel_voice_fx(korvel_voice_t* voice);
// Makes cleared storage a voice record of the voice over KORVEL_FX_SLOTS saturation objects that the caller keeps,
// each prepared as saturation_create prepares it.
void korvel_voice_fx_setup(korvel_voice_fx_t* fx, korvel_voice_t* voice, korvel_saturation_t* saturation);
// Releases the record and its saturation objects (null accepted). 0.
int delete_korvel_voice_fx(korvel_voice_fx_t* fx);
// The state of a note start: slot types 1, 0, 0, 0; levels 1.0, 0, 1.0; every saturation object as created.
void korvel_voice_fx_reset(korvel_voice_fx_t* fx);

// Zeroed records, all four slots empty; null (and an out-of-memory log line) when allocation fails.
korvel_channel_fx_t* new_korvel_channel_fx(korvel_synth_t* synth);
korvel_send_fx_t* new_korvel_send_fx(korvel_synth_t* synth);
korvel_master_fx_t* new_korvel_master_fx(korvel_synth_t* synth);
// Release the record and the objects in its slots (null accepted). 0.
int delete_korvel_channel_fx(korvel_channel_fx_t* fx);
int delete_korvel_send_fx(korvel_send_fx_t* fx);
int delete_korvel_master_fx(korvel_master_fx_t* fx);

// Gives a slot (0 to 3) its type and fresh objects: two saturation objects for type 1, two high-pass filters for
// audio at `sample_rate` Hz for type 2, none for any other type. 0, or -1 (slot left empty, "Out of memory"
// logged) when the objects cannot be made or the slot does not exist.
int korvel_fx_set_slot(korvel_fx_t* fx, int slot, int type, float sample_rate);

// Channel and master records: runs the saturation slots in order over n frames in place, object 0 on left and
// object 1 on right, each at its own amount.
void korvel_fx_process_stereo(korvel_fx_t* fx, float* left, float* right, int n);
// Send records, on the mono bus of their variation: a high-pass slot sets its first filter to amount 0.25, filters
// the bus in place and adds twice the filtered bus to both main buffers; a saturation slot sets both objects to
// amount 0.5 and runs them over the bus in turn. A high-pass slot whose bus is all zero while its filter is at rest
// (state below 1e-9) sleeps: the filter's state becomes zero and nothing is added.
void korvel_send_fx_process(korvel_send_fx_t* fx, float* bus, float* main_left, float* main_right, int n);

#ifdef __cplusplus
}
#endif
