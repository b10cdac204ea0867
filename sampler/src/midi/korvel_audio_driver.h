// Audio drivers, chosen by the "audio.driver" setting from a table of rows. The one row, "iosaudio", is a pull
// driver: its host calls korvel_ios_audio_callback with a frame count, and the driver has the synthesizer render
// that many frames into its own two buffers and copies them to the host's arrays.
//
// Thread contract: creation and deletion on the control thread (they allocate and log). The callback runs on the
// host's render thread and neither allocates, locks nor logs; it must not overlap note and controller calls.
#pragma once

#include "sampler/src/sys/korvel_settings.h"
#include "sampler/src/sys/korvel_types.h"

#ifdef __cplusplus
extern "C" {
#endif

enum { KORVEL_IOS_AUDIO_BUFSIZE = 2048 };

// A render operation of the synthesizer's kind: len frames into out[0] and out[1].
typedef int (*korvel_audio_func_t)(korvel_synth_t* synth, int len, int nin, float** in, int nout, float** out);

// Head of every driver struct, so any driver can be read as its table row's name.
typedef struct _korvel_audio_driver_t {
    const char* name;
} korvel_audio_driver_t;

typedef struct _korvel_ios_audio_driver_t {
    korvel_audio_driver_t driver;
    korvel_audio_func_t callback;
    korvel_synth_t* data;
    int buffer_size; // frames of each buffer
    unsigned int frames; // of the last callback
    float* left;
    float* right;
} korvel_ios_audio_driver_t;

// The driver that "audio.driver" names, for synth; null with "Couldn't find the requested audio driver: %s".
korvel_audio_driver_t* new_korvel_audio_driver(korvel_settings_t* settings, korvel_synth_t* synth);
// The same through a row that takes a render operation; rows without one are passed over.
korvel_audio_driver_t* new_korvel_audio_driver2(korvel_settings_t* settings, korvel_audio_func_t callback,
                                                korvel_synth_t* data);
// Deletes the driver through its row; null is accepted.
void delete_korvel_audio_driver(korvel_audio_driver_t* driver);

// The pull driver with its two buffers of KORVEL_IOS_AUDIO_BUFSIZE frames; null for a null synth, or with "Out of
// memory".
korvel_audio_driver_t* new_korvel_ios_audio_driver(korvel_settings_t* settings, korvel_synth_t* synth);
korvel_audio_driver_t* new_korvel_ios_audio_driver2(korvel_settings_t* settings, korvel_audio_func_t callback,
                                                    korvel_synth_t* synth);
// Null is accepted. 0.
int delete_korvel_ios_audio_driver(korvel_audio_driver_t* driver);
// Renders frames (0..KORVEL_IOS_AUDIO_BUFSIZE) of float stereo and copies them into left and right. 0; -1, writing
// nothing, for more frames than the driver's buffers hold.
int korvel_ios_audio_callback(int frames, float* left, float* right, korvel_audio_driver_t* driver);

#ifdef __cplusplus
}
#endif
