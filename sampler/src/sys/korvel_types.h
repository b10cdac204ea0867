// Forward declarations of the library's records, so that headers can refer to each other's records by pointer.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _korvel_synth_t korvel_synth_t;
typedef struct _korvel_channel_t korvel_channel_t;
typedef struct _korvel_voice_t korvel_voice_t;
typedef struct _korvel_mod_t korvel_mod_t;
typedef struct _korvel_gen_t korvel_gen_t;
typedef struct _korvel_tuning_t korvel_tuning_t;
typedef struct _korvel_sample_t korvel_sample_t;
typedef struct _korvel_sfont_t korvel_sfont_t;
typedef struct _korvel_preset_t korvel_preset_t;
typedef struct _korvel_sfloader_t korvel_sfloader_t;

#ifdef __cplusplus
}
#endif
