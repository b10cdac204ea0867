// Routes MIDI from a source to the synthesizer. Each channel message is checked against the rules
// for its type (note, cc, prog, pbend, cpress, kpress); every matching rule forwards its own transformed copy
// (channel and parameters scaled and offset) to the handler. A replaced rule lingers while notes or sustain it let
// through are held, forwarding only their releases.
//
// Thread contract: no locks. Rules are edited (begin, end, disable, free) and events routed from one thread at a
// time. Routing neither allocates nor prints; the dump filters print.
#pragma once

#include "sampler/src/midi/korvel_midi_driver.h"
#include "sampler/src/sys/korvel_settings.h"
#include "sampler/src/synth/korvel_synth_midi.h"

#ifdef __cplusplus
extern "C" {
#endif

enum korvel_midi_router_rule_type {
    KORVEL_MIDI_ROUTER_RULE_NOTE = 0,
    KORVEL_MIDI_ROUTER_RULE_CC,
    KORVEL_MIDI_ROUTER_RULE_PROG,
    KORVEL_MIDI_ROUTER_RULE_PBEND,
    KORVEL_MIDI_ROUTER_RULE_CPRESS,
    KORVEL_MIDI_ROUTER_RULE_KPRESS,
    KORVEL_MIDI_ROUTER_RULE_COUNT
};

enum { KORVEL_RULE_ACTIVE = 0, KORVEL_RULE_WAITING = 1, KORVEL_RULE_UNUSED = 2 };

typedef struct _korvel_midi_router_rule_t korvel_midi_router_rule_t;
struct _korvel_midi_router_rule_t {
    int chan_min;
    int chan_max;
    float chan_mul;
    int chan_add;
    int par1_min;
    int par1_max;
    float par1_mul;
    int par1_add;
    int par2_min;
    int par2_max;
    float par2_mul;
    int par2_add;
    int pending_events;  // notes and sustain pedals let through that are still on
    char keys_cc[128];   // set while that note or pedal is on
    korvel_midi_router_rule_t* next;
    int state;           // KORVEL_RULE_ACTIVE, _WAITING (disabled, waiting for its releases) or _UNUSED
};

// The rule being built, its multipliers in double precision.
typedef struct _korvel_midi_router_new_rule_t {
    int chan_min;
    int chan_max;
    double chan_mul;
    int chan_add;
    int par1_min;
    int par1_max;
    double par1_mul;
    int par1_add;
    int par2_min;
    int par2_max;
    double par2_mul;
    int par2_add;
} korvel_midi_router_new_rule_t;

typedef struct _korvel_midi_router_t {
    korvel_midi_router_rule_t* rules[KORVEL_MIDI_ROUTER_RULE_COUNT]; // newest first, owned
    korvel_midi_router_new_rule_t new_rule;
    korvel_midi_router_rule_t** new_rule_list; // the list the rule being built will join, or none
    korvel_midi_handler_t event_handler;
    void* event_handler_data;
    int nr_midi_channels;
} korvel_midi_router_t;

// A router with one identity rule per class; none with "Out of memory" or "new_korvel_midi_router failed".
korvel_midi_router_t* new_korvel_midi_router(korvel_settings_t* settings, korvel_midi_handler_t handler,
                                             void* data);
// Frees every rule and the router. Null is accepted. 0.
int delete_korvel_midi_router(korvel_midi_router_t* router);
// Appends an identity rule to each list. 0; -1 with "korvel_midi_router_create_default_rules failed".
int korvel_midi_router_create_default_rules(korvel_midi_router_t* router);
// Selects the list (an element of router->rules) and resets the rule being built to the identity. 0; -1 with
// "korvel_midi_router_begin failed" for a null list.
int korvel_midi_router_begin(korvel_midi_router_t* router, korvel_midi_router_rule_t** list);
// Puts a copy of the rule being built at the head of the selected list. 0; -1 with "korvel_midi_router_end
// failed" (after "Out of memory" when that is the cause, or when no list was selected).
int korvel_midi_router_end(korvel_midi_router_t* router);
// Every rule waits for its releases when it has some on, else becomes unused.
void korvel_midi_router_disable_all_rules(korvel_midi_router_t* router);
// Unlinks and frees the unused rules.
void korvel_midi_router_free_unused_rules(korvel_midi_router_t* router);
void korvel_midi_router_destroy_all_rules(korvel_midi_router_t* router);
// Routes one message (a note-on of velocity 0 as a note-off of velocity 127). 0; -1 when the handler failed for
// any copy. Messages of types other than the channel messages and 0xFF are dropped.
int korvel_midi_router_handle_midi_event(korvel_midi_router_t* router, const korvel_midi_message_t* event);

// Dump filters, usable as handlers: print a channel message ("event_pre_noteon %i %i %i" and the like) on standard
// output, then route it (router) or hand it to the synthesizer's router dispatcher (synth).
int korvel_midi_dump_prerouter(void* router, const korvel_midi_message_t* event);
int korvel_midi_dump_postrouter(void* synth, const korvel_midi_message_t* event);

#ifdef __cplusplus
}
#endif
