#include "sampler/src/midi/korvel_midi_router.h"

#include "sampler/src/sys/korvel_sys.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <new>

namespace {

constexpr int RULE_LIMIT = 999999;
constexpr int CONTROLLER_SUSTAIN = 64;

korvel_midi_router_new_rule_t identity()
{
    return {0, RULE_LIMIT, 1.0, 0, 0, RULE_LIMIT, 1.0, 0, 0, RULE_LIMIT, 1.0, 0};
}

korvel_midi_router_rule_t* make_rule(const korvel_midi_router_new_rule_t& from)
{
    auto* rule = new (std::nothrow) korvel_midi_router_rule_t{};
    if (rule == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory");
        return nullptr;
    }
    rule->chan_min = from.chan_min;
    rule->chan_max = from.chan_max;
    rule->chan_mul = static_cast<float>(from.chan_mul);
    rule->chan_add = from.chan_add;
    rule->par1_min = from.par1_min;
    rule->par1_max = from.par1_max;
    rule->par1_mul = static_cast<float>(from.par1_mul);
    rule->par1_add = from.par1_add;
    rule->par2_min = from.par2_min;
    rule->par2_max = from.par2_max;
    rule->par2_mul = static_cast<float>(from.par2_mul);
    rule->par2_add = from.par2_add;
    return rule;
}

void free_list(korvel_midi_router_rule_t* rule)
{
    while (rule != nullptr) {
        korvel_midi_router_rule_t* next = rule->next;
        delete rule;
        rule = next;
    }
}

// A wrapped range (min above max) passes everything except what lies strictly between max and min.
bool in_range(int value, int min, int max)
{
    return min <= max ? value >= min && value <= max : !(value > max && value < min);
}

// (int)(value x mul + add + 0.5), limited to the range of int.
int transformed(int value, float mul, int add)
{
    const double result = value * static_cast<double>(mul) + add + 0.5;
    if (std::isnan(result)) {
        return 0;
    }
    return static_cast<int>(std::clamp(result, static_cast<double>(std::numeric_limits<int>::min()),
                                       static_cast<double>(std::numeric_limits<int>::max())));
}

void dump_event(const char* prefix, const korvel_midi_message_t* event)
{
    const int chan = event->channel;
    const auto p1 = static_cast<int>(event->param1);
    const auto p2 = static_cast<int>(event->param2);
    switch (event->type) {
    case 0x80:
        std::printf("%snoteoff %i %i %i\n", prefix, chan, p1, p2);
        break;
    case 0x90:
        std::printf("%snoteon %i %i %i\n", prefix, chan, p1, p2);
        break;
    case 0xA0:
        std::printf("%skpress %i %i %i\n", prefix, chan, p1, p2);
        break;
    case 0xB0:
        std::printf("%scc %i %i %i\n", prefix, chan, p1, p2);
        break;
    case 0xC0:
        std::printf("%sprog %i %i\n", prefix, chan, p1);
        break;
    case 0xD0:
        std::printf("%scpress %i %i\n", prefix, chan, p1);
        break;
    case 0xE0:
        std::printf("%spitch %i %i\n", prefix, chan, p1);
        break;
    default:
        return;
    }
    std::fflush(stdout);
}

} // namespace

extern "C" {

korvel_midi_router_t* new_korvel_midi_router(korvel_settings_t* settings, korvel_midi_handler_t handler,
                                             void* data)
{
    auto* router = new (std::nothrow) korvel_midi_router_t{};
    if (router == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory");
        return nullptr;
    }
    router->event_handler = handler;
    router->event_handler_data = data;
    router->new_rule = identity();
    if (settings == nullptr || korvel_settings_getint(settings, "synth.midi-channels", &router->nr_midi_channels) == 0) {
        router->nr_midi_channels = 16;
    }
    if (korvel_midi_router_create_default_rules(router) != 0) {
        korvel_log(KORVEL_ERR, "new_korvel_midi_router failed");
        delete_korvel_midi_router(router);
        return nullptr;
    }
    return router;
}

int delete_korvel_midi_router(korvel_midi_router_t* router)
{
    if (router != nullptr) {
        korvel_midi_router_destroy_all_rules(router);
        delete router;
    }
    return 0;
}

int korvel_midi_router_create_default_rules(korvel_midi_router_t* router)
{
    korvel_midi_router_rule_t* made[KORVEL_MIDI_ROUTER_RULE_COUNT] = {};
    for (korvel_midi_router_rule_t*& rule : made) {
        rule = make_rule(identity());
        if (rule == nullptr) {
            for (korvel_midi_router_rule_t* r : made) {
                delete r;
            }
            return korvel_log(KORVEL_ERR, "korvel_midi_router_create_default_rules failed");
        }
    }
    for (int i = 0; i < KORVEL_MIDI_ROUTER_RULE_COUNT; i++) {
        korvel_midi_router_rule_t** tail = &router->rules[i];
        while (*tail != nullptr) {
            tail = &(*tail)->next;
        }
        *tail = made[i];
    }
    return 0;
}

int korvel_midi_router_begin(korvel_midi_router_t* router, korvel_midi_router_rule_t** list)
{
    if (list == nullptr) {
        return korvel_log(KORVEL_ERR, "korvel_midi_router_begin failed");
    }
    router->new_rule_list = list;
    router->new_rule = identity();
    return 0;
}

int korvel_midi_router_end(korvel_midi_router_t* router)
{
    korvel_midi_router_rule_t* rule = router->new_rule_list != nullptr ? make_rule(router->new_rule) : nullptr;
    if (rule == nullptr) {
        return korvel_log(KORVEL_ERR, "korvel_midi_router_end failed");
    }
    rule->next = *router->new_rule_list;
    *router->new_rule_list = rule;
    return 0;
}

void korvel_midi_router_disable_all_rules(korvel_midi_router_t* router)
{
    for (korvel_midi_router_rule_t* list : router->rules) {
        for (korvel_midi_router_rule_t* rule = list; rule != nullptr; rule = rule->next) {
            rule->state = rule->pending_events > 0 ? KORVEL_RULE_WAITING : KORVEL_RULE_UNUSED;
        }
    }
}

void korvel_midi_router_free_unused_rules(korvel_midi_router_t* router)
{
    for (korvel_midi_router_rule_t*& list : router->rules) {
        korvel_midi_router_rule_t** link = &list;
        while (*link != nullptr) {
            korvel_midi_router_rule_t* rule = *link;
            if (rule->state == KORVEL_RULE_UNUSED) {
                *link = rule->next;
                delete rule;
            } else {
                link = &rule->next;
            }
        }
    }
}

void korvel_midi_router_destroy_all_rules(korvel_midi_router_t* router)
{
    for (korvel_midi_router_rule_t*& list : router->rules) {
        free_list(list);
        list = nullptr;
    }
}

int korvel_midi_router_handle_midi_event(korvel_midi_router_t* router, const korvel_midi_message_t* event)
{
    korvel_midi_message_t in = *event;
    int list = KORVEL_MIDI_ROUTER_RULE_NOTE;
    bool two_params = true;
    int limit = 127;
    switch (in.type) {
    case 0x90:
        if (in.param2 == 0) {
            in.type = 0x80;
            in.param2 = 127;
        }
        break;
    case 0x80:
        break;
    case 0xA0:
        list = KORVEL_MIDI_ROUTER_RULE_KPRESS;
        break;
    case 0xB0:
        list = KORVEL_MIDI_ROUTER_RULE_CC;
        break;
    case 0xC0:
        list = KORVEL_MIDI_ROUTER_RULE_PROG;
        two_params = false;
        break;
    case 0xD0:
        list = KORVEL_MIDI_ROUTER_RULE_CPRESS;
        two_params = false;
        break;
    case 0xE0:
        list = KORVEL_MIDI_ROUTER_RULE_PBEND;
        two_params = false;
        limit = 16383;
        break;
    case 0xFF:
        return router->event_handler(router->event_handler_data, event) != 0 ? -1 : 0;
    default:
        return 0;
    }
    const bool note_off = in.type == 0x80;
    const bool test_par2 = two_params && !note_off;
    const auto chan = static_cast<int>(in.channel);
    const auto par1 = static_cast<int>(std::min<unsigned int>(in.param1, std::numeric_limits<int>::max()));
    const auto par2 = static_cast<int>(std::min<unsigned int>(in.param2, std::numeric_limits<int>::max()));
    int result = 0;
    for (korvel_midi_router_rule_t* rule = router->rules[list]; rule != nullptr; rule = rule->next) {
        if (rule->state == KORVEL_RULE_UNUSED || !in_range(chan, rule->chan_min, rule->chan_max) ||
            !in_range(par1, rule->par1_min, rule->par1_max) ||
            (test_par2 && !in_range(par2, rule->par2_min, rule->par2_max))) {
            continue;
        }
        const int new_chan = std::max(0, transformed(chan, rule->chan_mul, rule->chan_add));
        const int new_par1 = std::clamp(transformed(par1, rule->par1_mul, rule->par1_add), 0, limit);
        const int new_par2 = two_params ? std::clamp(transformed(par2, rule->par2_mul, rule->par2_add), 0, 127) : 0;

        const bool sustain = in.type == 0xB0 && new_par1 == CONTROLLER_SUSTAIN;
        const bool starts = in.type == 0x90 || (sustain && new_par2 >= 64);
        const bool ends = note_off || (sustain && new_par2 < 64);
        bool send = rule->state == KORVEL_RULE_ACTIVE;
        if (starts && send && !rule->keys_cc[new_par1]) {
            // Only an active rule takes on a note: a rule waiting for its releases lets no new note through.
            rule->keys_cc[new_par1] = 1;
            rule->pending_events++;
        } else if (ends && rule->keys_cc[new_par1]) {
            rule->keys_cc[new_par1] = 0;
            rule->pending_events--;
            if (rule->state == KORVEL_RULE_WAITING && rule->pending_events == 0) {
                rule->state = KORVEL_RULE_UNUSED;
            }
            send = true;
        }
        if (!send) {
            continue;
        }
        korvel_midi_message_t out{};
        out.type = in.type;
        // The message record holds channels up to 255; beyond that the copy names a channel no synthesizer has.
        out.channel = static_cast<unsigned char>(std::min(new_chan, 255));
        out.status = static_cast<unsigned char>(out.type | (out.channel & 0x0F));
        out.param1 = static_cast<unsigned int>(new_par1);
        out.param2 = static_cast<unsigned int>(new_par2);
        if (router->event_handler(router->event_handler_data, &out) != 0) {
            result = -1;
        }
    }
    return result;
}

int korvel_midi_dump_prerouter(void* router, const korvel_midi_message_t* event)
{
    dump_event("event_pre_", event);
    return korvel_midi_router_handle_midi_event(static_cast<korvel_midi_router_t*>(router), event);
}

int korvel_midi_dump_postrouter(void* synth, const korvel_midi_message_t* event)
{
    dump_event("event_post_", event);
    return korvel_synth_handle_midi_event(static_cast<korvel_synth_t*>(synth), event);
}

} // extern "C"
