#include "sampler/src/synth/korvel_synth.h"

#include "sampler/src/bank/korvel_defsfont.h"
#include "sampler/src/sys/korvel_log_limit.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace {

constexpr unsigned int DRUM_REQUEST = 0x80000000u;
constexpr int RELEASE_PERIOD_MS = 100;

// A sound font taken off the stack whose samples still sound; its timer retries the release.
struct pending_release {
    korvel_sfont_t* sfont;
    korvel_timer_t* timer;
};

int deferred_free(void* data, unsigned int)
{
    auto* pending = static_cast<pending_release*>(data);
    if (pending->sfont == nullptr) {
        return 0;
    }
    if (pending->sfont->free(pending->sfont) != 0) {
        return 1;
    }
    pending->sfont = nullptr;
    std::printf("%s: %d: Deleted SoundFont\n", __FILE__, __LINE__);
    return 0;
}

// Releases the sound font now, or hands it to a timer that retries while its samples sound.
void release(korvel_synth_t* synth, korvel_sfont_t* sfont)
{
    if (sfont->free(sfont) == 0) {
        return;
    }
    auto* pending = new (std::nothrow) pending_release{sfont, nullptr};
    korvel_list_t* list = pending != nullptr ? korvel_list_append(synth->release_timers, pending) : nullptr;
    if (list == nullptr || korvel_list_last(list)->data != pending) {
        delete pending;
        korvel_log(KORVEL_ERR, "Out of memory");
        return;
    }
    synth->release_timers = list;
    pending->timer = new_korvel_timer(RELEASE_PERIOD_MS, deferred_free, pending, 1, 1);
}

korvel_preset_t* ask(korvel_synth_t* synth, korvel_sfont_t* sfont, unsigned int bank, unsigned int prog)
{
    unsigned int offset = static_cast<unsigned int>(korvel_synth_get_bank_offset(synth, static_cast<int>(sfont->id)));
    unsigned int drum = bank & DRUM_REQUEST;
    return sfont->get_preset(sfont, ((bank & ~DRUM_REQUEST) - offset) | drum, prog);
}

// The first sound font of the stack that has the preset, or null.
korvel_preset_t* find_in_stack(korvel_synth_t* synth, unsigned int bank, unsigned int prog)
{
    for (korvel_list_t* cell = synth->sfont; cell != nullptr; cell = cell->next) {
        korvel_preset_t* preset = ask(synth, static_cast<korvel_sfont_t*>(cell->data), bank, prog);
        if (preset != nullptr) {
            return preset;
        }
    }
    return nullptr;
}

// Program changes come with the MIDI input; a flood of bad ones is logged a few lines a second.
korvel_log_limit_t program_log;

void resolve_channel(korvel_channel_t* chan, korvel_preset_t* preset)
{
    korvel_channel_set_sfontnum(chan, preset != nullptr ? preset->sfont->id : 0);
    korvel_channel_set_preset(chan, preset);
}

} // namespace

extern "C" {

int korvel_synth_sfload(korvel_synth_t* synth, const char* filename, int reset_presets)
{
    if (filename == nullptr) {
        return korvel_log(KORVEL_ERR, "Invalid filename\n");
    }
    korvel_sfont_t* sfont = nullptr;
    for (korvel_list_t* cell = synth->loaders; cell != nullptr && sfont == nullptr; cell = cell->next) {
        auto* loader = static_cast<korvel_sfloader_t*>(cell->data);
        sfont = loader->load(loader, filename);
    }
    if (sfont == nullptr) {
        return korvel_log(KORVEL_ERR, "Failed to load SoundFont \"%s\"\n", filename);
    }
    korvel_list_t* stack = korvel_list_prepend(synth->sfont, sfont);
    if (stack == synth->sfont) {
        sfont->free(sfont);
        return -1;
    }
    synth->sfont = stack;
    sfont->id = ++synth->sfont_id;
    if (reset_presets) {
        korvel_synth_program_reset(synth);
    }
    std::printf("Soundfont Synthesizer: Ein Soundfont wurde erfolgreich geladen. ");
    return static_cast<int>(sfont->id);
}

int korvel_synth_sfunload(korvel_synth_t* synth, unsigned int id, int reset_presets)
{
    korvel_sfont_t* sfont = korvel_synth_get_sfont_by_id(synth, id);
    if (sfont == nullptr) {
        return korvel_log(KORVEL_ERR, "No SoundFont with id = %d\n", id);
    }
    synth->sfont = korvel_list_remove(synth->sfont, sfont);
    if (reset_presets) {
        korvel_synth_program_reset(synth);
    } else {
        korvel_synth_update_presets(synth);
    }
    release(synth, sfont);
    return 0;
}

int korvel_synth_sfreload(korvel_synth_t* synth, unsigned int id)
{
    korvel_sfont_t* sfont = korvel_synth_get_sfont_by_id(synth, id);
    if (sfont == nullptr) {
        return korvel_log(KORVEL_ERR, "No SoundFont with id = %d\n", id);
    }
    int index = 0;
    for (korvel_list_t* cell = synth->sfont; cell != nullptr && cell->data != sfont; cell = cell->next) {
        index++;
    }
    std::string filename = sfont->get_name(sfont) != nullptr ? sfont->get_name(sfont) : "";
    filename = filename.substr(0, KORVEL_PATH_SIZE - 1);
    synth->sfont = korvel_list_remove(synth->sfont, sfont);
    korvel_synth_update_presets(synth);
    release(synth, sfont);

    korvel_sfont_t* fresh = nullptr;
    for (korvel_list_t* cell = synth->loaders; cell != nullptr && fresh == nullptr; cell = cell->next) {
        auto* loader = static_cast<korvel_sfloader_t*>(cell->data);
        fresh = loader->load(loader, filename.c_str());
    }
    if (fresh == nullptr) {
        return korvel_log(KORVEL_ERR, "Failed to load SoundFont \"%s\"\n", filename.c_str());
    }
    fresh->id = id;
    synth->sfont = korvel_list_insert_at(synth->sfont, index, fresh);
    korvel_synth_update_presets(synth);
    return static_cast<int>(id);
}

int korvel_synth_add_sfont(korvel_synth_t* synth, korvel_sfont_t* sfont)
{
    korvel_list_t* stack = korvel_list_prepend(synth->sfont, sfont);
    if (stack == synth->sfont) {
        return -1;
    }
    synth->sfont = stack;
    sfont->id = ++synth->sfont_id;
    korvel_synth_program_reset(synth);
    return static_cast<int>(sfont->id);
}

void korvel_synth_remove_sfont(korvel_synth_t* synth, korvel_sfont_t* sfont)
{
    synth->sfont = korvel_list_remove(synth->sfont, sfont);
    korvel_synth_remove_bank_offset(synth, static_cast<int>(sfont->id));
    korvel_synth_program_reset(synth);
}

int korvel_synth_sfcount(korvel_synth_t* synth)
{
    return korvel_list_size(synth->sfont);
}

korvel_sfont_t* korvel_synth_get_sfont(korvel_synth_t* synth, unsigned int num)
{
    // The list counts with an int: a larger index would turn negative there and name the first sound font.
    if (num > static_cast<unsigned int>(INT_MAX)) {
        return nullptr;
    }
    korvel_list_t* cell = korvel_list_nth(synth->sfont, static_cast<int>(num));
    return cell != nullptr ? static_cast<korvel_sfont_t*>(cell->data) : nullptr;
}

korvel_sfont_t* korvel_synth_get_sfont_by_id(korvel_synth_t* synth, unsigned int id)
{
    for (korvel_list_t* cell = synth->sfont; cell != nullptr; cell = cell->next) {
        auto* sfont = static_cast<korvel_sfont_t*>(cell->data);
        if (sfont->id == id) {
            return sfont;
        }
    }
    return nullptr;
}

korvel_sfont_t* korvel_synth_get_sfont_by_name(korvel_synth_t* synth, const char* name)
{
    for (korvel_list_t* cell = synth->sfont; cell != nullptr; cell = cell->next) {
        auto* sfont = static_cast<korvel_sfont_t*>(cell->data);
        const char* own = sfont->get_name(sfont);
        if (own != nullptr && name != nullptr && std::strcmp(own, name) == 0) {
            return sfont;
        }
    }
    return nullptr;
}

unsigned int korvel_defsfont_create_soundbank(korvel_synth_t* synth)
{
    korvel_defsfont_t* bank = new_korvel_defsfont();
    korvel_sfont_t* sfont = bank != nullptr ? korvel_defsfont_new_sfont(bank) : nullptr;
    korvel_list_t* stack = sfont != nullptr ? korvel_list_prepend(synth->sfont, sfont) : synth->sfont;
    if (stack == synth->sfont) {
        delete sfont;
        if (bank != nullptr) {
            delete_korvel_defsfont(bank);
        }
        korvel_log(KORVEL_ERR, "Out of memory");
        return 0;
    }
    synth->sfont = stack;
    sfont->id = ++synth->sfont_id;
    std::printf("Soundfont Synthesizer: Ein Soundfont wurde erstellt. ");
    return sfont->id;
}

void korvel_synth_add_sfloader(korvel_synth_t* synth, korvel_sfloader_t* loader)
{
    synth->loaders = korvel_list_prepend(synth->loaders, loader);
}

void korvel_synth_release_pending_sfonts(korvel_synth_t* synth)
{
    for (korvel_list_t* cell = synth->release_timers; cell != nullptr; cell = cell->next) {
        auto* pending = static_cast<pending_release*>(cell->data);
        if (pending->timer != nullptr) {
            delete_korvel_timer(pending->timer);
        }
        if (pending->sfont != nullptr) {
            pending->sfont->free(pending->sfont);
        }
        delete pending;
    }
    delete_korvel_list(synth->release_timers);
    synth->release_timers = nullptr;
}

int korvel_synth_set_bank_offset(korvel_synth_t* synth, int sfont_id, int offset)
{
    korvel_bank_offset_t* pair = korvel_synth_get_bank_offset0(synth, sfont_id);
    if (pair != nullptr) {
        pair->offset = offset;
        return 0;
    }
    pair = new (std::nothrow) korvel_bank_offset_t{static_cast<unsigned int>(sfont_id), offset};
    korvel_list_t* list = pair != nullptr ? korvel_list_prepend(synth->bank_offsets, pair) : synth->bank_offsets;
    if (list == synth->bank_offsets) {
        delete pair;
        return korvel_log(KORVEL_ERR, "Out of memory");
    }
    synth->bank_offsets = list;
    return 0;
}

int korvel_synth_get_bank_offset(korvel_synth_t* synth, int sfont_id)
{
    korvel_bank_offset_t* pair = korvel_synth_get_bank_offset0(synth, sfont_id);
    return pair != nullptr ? pair->offset : 0;
}

korvel_bank_offset_t* korvel_synth_get_bank_offset0(korvel_synth_t* synth, int sfont_id)
{
    for (korvel_list_t* cell = synth->bank_offsets; cell != nullptr; cell = cell->next) {
        auto* pair = static_cast<korvel_bank_offset_t*>(cell->data);
        if (pair->sfont_id == static_cast<unsigned int>(sfont_id)) {
            return pair;
        }
    }
    return nullptr;
}

void korvel_synth_remove_bank_offset(korvel_synth_t* synth, int sfont_id)
{
    korvel_bank_offset_t* pair = korvel_synth_get_bank_offset0(synth, sfont_id);
    if (pair != nullptr) {
        synth->bank_offsets = korvel_list_remove(synth->bank_offsets, pair);
        delete pair;
    }
}

korvel_preset_t* korvel_synth_find_preset(korvel_synth_t* synth, unsigned int banknum, unsigned int prognum)
{
    return find_in_stack(synth, banknum, prognum);
}

korvel_preset_t* korvel_synth_get_preset(korvel_synth_t* synth, unsigned int sfontnum, unsigned int banknum,
                                         unsigned int prognum)
{
    korvel_sfont_t* sfont = korvel_synth_get_sfont_by_id(synth, sfontnum);
    return sfont != nullptr ? ask(synth, sfont, banknum, prognum) : nullptr;
}

korvel_preset_t* korvel_synth_get_preset2(korvel_synth_t* synth, const char* sfont_name, unsigned int banknum,
                                          unsigned int prognum)
{
    korvel_sfont_t* sfont = korvel_synth_get_sfont_by_name(synth, sfont_name);
    return sfont != nullptr ? ask(synth, sfont, banknum, prognum) : nullptr;
}

void korvel_synth_update_presets(korvel_synth_t* synth)
{
    for (int i = 0; i < synth->midi_channels; i++) {
        korvel_channel_t* chan = synth->channel[i];
        korvel_channel_set_preset(chan, korvel_synth_get_preset(synth, chan->sfontnum, chan->banknum, chan->prognum));
    }
}

int korvel_synth_program_reset(korvel_synth_t* synth)
{
    for (int i = 0; synth->channel != nullptr && i < synth->midi_channels; i++) {
        korvel_synth_program_change(synth, i, korvel_channel_get_prognum(synth->channel[i]));
    }
    return 0;
}

korvel_preset_t* korvel_synth_get_channel_preset(korvel_synth_t* synth, int chan)
{
    if (chan < 0 || chan >= synth->midi_channels) {
        return nullptr;
    }
    return korvel_channel_get_preset(synth->channel[chan]);
}

int korvel_synth_program_change(korvel_synth_t* synth, int chan, int prognum)
{
    if (chan < 0 || chan >= synth->midi_channels || prognum < 0 || prognum > 128) {
        return korvel_log_limited(&program_log, KORVEL_ERR, "Index out of range (chan=%d, prog=%d)", chan, prognum);
    }
    korvel_channel_t* channel = synth->channel[chan];
    unsigned int banknum = korvel_channel_get_banknum(channel);
    korvel_channel_set_prognum(channel, prognum);
    if (synth->verbose) {
        korvel_log(KORVEL_INFO, "prog\t%d\t%d\t%d", chan, banknum, prognum);
    }
    korvel_preset_t* preset = nullptr;
    if (chan == KORVEL_DRUM_CHANNEL) {
        preset = find_in_stack(synth, banknum | DRUM_REQUEST, static_cast<unsigned int>(prognum));
    }
    if (preset == nullptr) {
        preset = find_in_stack(synth, banknum, static_cast<unsigned int>(prognum));
    }
    resolve_channel(channel, preset);
    return 0;
}

} // extern "C"
