#pragma once
// Settings: typed values in a tree, reached by dotted names such as "synth.polyphony". Modules register their keys
// with a default, a range or option list and maybe an update callback; everyone else gets and sets by name. A name
// has up to 16 parts and 1023 characters, empty parts are skipped ("a..b" means "a.b"), and any other name counts
// as missing and stores nothing.
//
// Results: 1 for success, 0 for failure, unless said otherwise.
//
// Thread contract: no locks; a registry has one user thread at a time, and only while its synthesizer is not
// rendering, since a set runs update callbacks and a new name allocates. Never the audio thread.

#include "sampler/src/sys/korvel_hash.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef korvel_hashtable_t korvel_settings_t;

enum korvel_settings_type {
  KORVEL_NO_TYPE = -1,
  KORVEL_NUM_TYPE = 0,
  KORVEL_INT_TYPE = 1,
  KORVEL_STR_TYPE = 2,
  KORVEL_SET_TYPE = 3  // a node: the next name level
};

// Update callbacks receive their data, the full setting name and the stored value; the result is not used.
typedef int (*korvel_num_update_t)(void* data, const char* name, double value);
typedef int (*korvel_int_update_t)(void* data, const char* name, int value);
typedef int (*korvel_str_update_t)(void* data, const char* name, const char* value);

typedef void (*korvel_settings_foreach_option_t)(void* data, const char* name, const char* option);
typedef void (*korvel_settings_foreach_t)(void* data, const char* name, int type);

// An empty registry with the keys of the synthesizer, the command shell, the audio drivers and the MIDI drivers,
// registered in that order. None when out of memory.
korvel_settings_t* new_korvel_settings(void);
void delete_korvel_settings(korvel_settings_t* settings);

// Registration creates the setting (value = default) or, for an existing setting of the same type, replaces its
// default, range, hints and callback and keeps its value. A different existing type logs a warning; the result
// is then 1 for strings and 0 for numbers and integers. The default is stored unclamped.
int korvel_settings_register_str(korvel_settings_t* settings, const char* name, const char* def, int hints,
                                 korvel_str_update_t fun, void* data);
int korvel_settings_register_num(korvel_settings_t* settings, const char* name, double def, double min, double max,
                                 int hints, korvel_num_update_t fun, void* data);
int korvel_settings_register_int(korvel_settings_t* settings, const char* name, int def, int min, int max,
                                 int hints, korvel_int_update_t fun, void* data);

// KORVEL_NO_TYPE when the name is unknown.
int korvel_settings_get_type(korvel_settings_t* settings, const char* name);
// Hints exist for number and string settings only; other names give 0.
int korvel_settings_get_hints(korvel_settings_t* settings, const char* name);
// 1 if a callback was registered with this number or string setting, else 0.
int korvel_settings_is_realtime(korvel_settings_t* settings, const char* name);

// Copies str (null is fine), then runs the update callback. Unknown names are created as string settings; names of
// another type fail.
int korvel_settings_setstr(korvel_settings_t* settings, const char* name, const char* str);
// The setting's own text (owned by the registry, valid until the setting changes); none and 0 on failure.
int korvel_settings_getstr(korvel_settings_t* settings, const char* name, const char** str);
// strcmp-equality with the stored string.
int korvel_settings_str_equal(korvel_settings_t* settings, const char* name, const char* str);
// The default text, or none.
const char* korvel_settings_getstr_default(korvel_settings_t* settings, const char* name);
int korvel_settings_add_option(korvel_settings_t* settings, const char* name, const char* option);
int korvel_settings_remove_option(korvel_settings_t* settings, const char* name, const char* option);

// Clamps val to the range, stores it and passes the stored value to the update callback. Unknown names are created
// as number settings (default 0.0, range -1e10 to 1e10); other types and NaN fail.
int korvel_settings_setnum(korvel_settings_t* settings, const char* name, double val);
int korvel_settings_getnum(korvel_settings_t* settings, const char* name, double* val);
int korvel_settings_getnum_range(korvel_settings_t* settings, const char* name, double* min, double* max);
// The default, or 0.0.
double korvel_settings_getnum_default(korvel_settings_t* settings, const char* name);

// As for numbers; a new integer setting has default 0 and the full 32-bit range.
int korvel_settings_setint(korvel_settings_t* settings, const char* name, int val);
int korvel_settings_getint(korvel_settings_t* settings, const char* name, int* val);
int korvel_settings_getint_range(korvel_settings_t* settings, const char* name, int* min, int* max);
// The default, or 0.
int korvel_settings_getint_default(korvel_settings_t* settings, const char* name);

// func(data, name, option) per option of a string setting, oldest option first.
void korvel_settings_foreach_option(korvel_settings_t* settings, const char* name, void* data,
                                    korvel_settings_foreach_option_t func);
// Calls func(data, full name, type) for every number, integer and string setting: each table in its own order,
// a node's table walked at once where the node stands.
void korvel_settings_foreach(korvel_settings_t* settings, void* data, korvel_settings_foreach_t func);

#ifdef __cplusplus
}
#endif
