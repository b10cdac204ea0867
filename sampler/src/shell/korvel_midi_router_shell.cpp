#include "sampler/src/shell/korvel_midi_router_shell.h"

#include "sampler/src/midi/korvel_midi_router.h"
#include "sampler/src/synth/korvel_synth.h"
#include "sampler/src/sys/korvel_sys.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

korvel_midi_router_t* router_of(void* synth)
{
    return synth != nullptr ? static_cast<korvel_midi_router_t*>(static_cast<korvel_synth_t*>(synth)->midi_router)
                            : nullptr;
}

int refuse(int out, const char* message)
{
    dprintf(out, "%s", message);
    return -1;
}

using NewRule = korvel_midi_router_new_rule_t;

// The four fields of one range of the rule being built.
struct RangeFields {
    int NewRule::*min;
    int NewRule::*max;
    double NewRule::*mul;
    int NewRule::*add;
};

constexpr RangeFields CHAN{&NewRule::chan_min, &NewRule::chan_max, &NewRule::chan_mul, &NewRule::chan_add};
constexpr RangeFields PAR1{&NewRule::par1_min, &NewRule::par1_max, &NewRule::par1_mul, &NewRule::par1_add};
constexpr RangeFields PAR2{&NewRule::par2_min, &NewRule::par2_max, &NewRule::par2_mul, &NewRule::par2_add};

// Sets min, max, mul and add from four integer arguments.
int set_range(void* synth, int ac, char** av, int out, const char* message, const RangeFields& fields)
{
    if (ac != 4) {
        return refuse(out, message);
    }
    korvel_midi_router_t* router = router_of(synth);
    if (router == nullptr) {
        return -1;
    }
    NewRule& rule = router->new_rule;
    rule.*fields.min = std::atoi(av[0]);
    rule.*fields.max = std::atoi(av[1]);
    rule.*fields.mul = std::atoi(av[2]);
    rule.*fields.add = std::atoi(av[3]);
    return 0;
}

} // namespace

extern "C" {

int korvel_midi_router_handle_clear(void* synth, int ac, char**, int out)
{
    if (ac != 0) {
        return refuse(out, "router_clear needs no arguments.\n");
    }
    korvel_midi_router_t* router = router_of(synth);
    if (router == nullptr) {
        return -1;
    }
    korvel_midi_router_disable_all_rules(router);
    korvel_midi_router_free_unused_rules(router);
    return 0;
}

int korvel_midi_router_handle_default(void* synth, int ac, char**, int out)
{
    if (ac != 0) {
        return refuse(out, "router_default needs no arguments.\n");
    }
    korvel_midi_router_t* router = router_of(synth);
    if (router == nullptr) {
        return -1;
    }
    korvel_midi_router_disable_all_rules(router);
    int result = 0;
    if (korvel_midi_router_create_default_rules(router) != 0) {
        korvel_log(KORVEL_ERR, "create_default_rules failed");
        result = -1;
    }
    korvel_midi_router_free_unused_rules(router);
    return result;
}

int korvel_midi_router_handle_begin(void* synth, int ac, char** av, int out)
{
    static const char* const names[KORVEL_MIDI_ROUTER_RULE_COUNT] = {"note", "cc", "prog", "pbend", "cpress", "kpress"};
    korvel_midi_router_t* router = router_of(synth);
    if (ac != 1 || router == nullptr) {
        return -1;
    }
    for (int i = 0; i < KORVEL_MIDI_ROUTER_RULE_COUNT; i++) {
        if (std::strcmp(av[0], names[i]) == 0) {
            const int result = korvel_midi_router_begin(router, &router->rules[i]);
            korvel_midi_router_free_unused_rules(router);
            return result;
        }
    }
    return refuse(out, "router_begin args: note, cc, prog, pbend, cpress, kpress\n");
}

int korvel_midi_router_handle_chan(void* synth, int ac, char** av, int out)
{
    return set_range(synth, ac, av, out, "router_chan needs four args: min, max, mul, add.", CHAN);
}

int korvel_midi_router_handle_par1(void* synth, int ac, char** av, int out)
{
    return set_range(synth, ac, av, out, "router_par1 needs four args: min, max, mul, add.", PAR1);
}

int korvel_midi_router_handle_par2(void* synth, int ac, char** av, int out)
{
    return set_range(synth, ac, av, out, "router_par2 needs four args: min, max, mul, add.", PAR2);
}

int korvel_midi_router_handle_end(void* synth, int ac, char**, int out)
{
    if (ac != 0) {
        return refuse(out, "router_end needs no arguments.");
    }
    korvel_midi_router_t* router = router_of(synth);
    if (router == nullptr) {
        return -1;
    }
    int result = 0;
    if (korvel_midi_router_end(router) != 0) {
        korvel_log(KORVEL_ERR, "midi_router_end failed");
        result = -1;
    }
    korvel_midi_router_free_unused_rules(router);
    return result;
}

} // extern "C"
