// The command shell's router commands: router_clear, router_default, router_begin, router_chan, router_par1,
// router_par2 and router_end. Each takes its data (the synthesizer, whose router it edits), the arguments after
// the command's name and the shell's output descriptor; a wrong argument writes its message there and gives -1.
//
// Thread contract: the thread that routes events through the synthesizer's router, or while nothing routes.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Disables every rule: from now on no new event is routed; held notes still get their releases. 0 or -1.
int korvel_midi_router_handle_clear(void* synth, int ac, char** av, int out);
// Disables every rule and appends the identity rules. 0 or -1.
int korvel_midi_router_handle_default(void* synth, int ac, char** av, int out);
// Starts a rule for one of note, cc, prog, pbend, cpress, kpress. 0 or -1.
int korvel_midi_router_handle_begin(void* synth, int ac, char** av, int out);
// min, max, mul, add of the channel, parameter 1 or parameter 2 of the rule being built (integers). 0 or -1.
int korvel_midi_router_handle_chan(void* synth, int ac, char** av, int out);
int korvel_midi_router_handle_par1(void* synth, int ac, char** av, int out);
int korvel_midi_router_handle_par2(void* synth, int ac, char** av, int out);
// Adds the rule being built to its list. 0 or -1.
int korvel_midi_router_handle_end(void* synth, int ac, char** av, int out);

#ifdef __cplusplus
}
#endif
