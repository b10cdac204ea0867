#include "sampler/src/synth/korvel_synth.h"

#include "sampler/src/sys/korvel_conv.h"
#include "sampler/src/synth/korvel_mix.h"
#include "sampler/src/bank/korvel_sfloader.h"
#include "sampler/src/sys/korvel_pages.h"
#include "sampler/src/voice/korvel_voice_config.h"

#include <algorithm>
#include <iterator>
#include <cstdio>
#include <new>

namespace {

struct reverb_preset {
    const char* name;
    double roomsize, damp, width, level;
};

constexpr reverb_preset reverb_presets[] = {
    {"Test 1", 0.2, 0.0, 0.5, 0.9}, {"Test 2", 0.4, 0.2, 0.5, 0.8}, {"Test 3", 0.6, 0.4, 0.5, 0.7},
    {"Test 4", 0.8, 0.7, 0.5, 0.6}, {"Test 5", 0.8, 1.0, 0.5, 0.5}};

bool first_synth_made = false;

void progress(const char* text)
{
    std::printf("Soundfont Synthesizer: %s", text);
}

void global_setup()
{
    if (first_synth_made) {
        return;
    }
    first_synth_made = true;
    progress("Globale Einstellungen werden initialisiert. ");
    korvel_conversion_config();
    korvel_voice_config();
    korvel_sys_config();
    progress("Folgende globale Modulatoren wurden initialisiert: ");
    for (korvel_mod_t* mod : korvel_default_mods) {
        korvel_dump_modulator(mod);
    }
}

size_t buffers_bytes(int count)
{
    return static_cast<size_t>(count) * KORVEL_SYNTH_BUFFER * sizeof(float);
}

size_t voice_arrays_bytes(const korvel_synth_t* synth)
{
    return static_cast<size_t>(synth->nvoice) * sizeof(korvel_voice_arrays_t);
}

int get_int(korvel_settings_t* settings, const char* name)
{
    int value = 0;
    korvel_settings_getint(settings, name, &value);
    return value;
}

// count buffers of KORVEL_SYNTH_BUFFER cleared samples, in one mapping of present pages behind the first.
float** new_buffers(int count)
{
    auto** buffers = new (std::nothrow) float* [static_cast<size_t>(count)] {};
    if (buffers == nullptr) {
        return nullptr;
    }
    auto* samples = count > 0 ? static_cast<float*>(korvel_pages_new(buffers_bytes(count))) : nullptr;
    if (count > 0 && samples == nullptr) {
        delete[] buffers;
        return nullptr;
    }
    for (int i = 0; i < count; i++) {
        buffers[i] = samples + static_cast<size_t>(i) * KORVEL_SYNTH_BUFFER;
    }
    return buffers;
}

void delete_buffers(float** buffers, int count)
{
    if (buffers == nullptr) {
        return;
    }
    if (count > 0) {
        korvel_pages_delete(buffers[0], buffers_bytes(count));
    }
    delete[] buffers;
}

// Steps 12 to 19 of creation: everything that can fail once the record exists.
bool build(korvel_synth_t* synth)
{
    synth->channel = new (std::nothrow) korvel_channel_t* [static_cast<size_t>(synth->midi_channels)] {};
    if (synth->channel == nullptr) {
        return false;
    }
    for (int i = 0; i < synth->midi_channels; i++) {
        synth->channel[i] = new_korvel_channel(synth, i);
        if (synth->channel[i] == nullptr) {
            return false;
        }
    }
    progress("Die internen Kanäle wurden erzeugt. ");

    synth->nvoice = synth->polyphony;
    synth->voice = new (std::nothrow) korvel_voice_t* [static_cast<size_t>(synth->nvoice)] {};
    synth->sounding = new (std::nothrow) korvel_voice_t* [static_cast<size_t>(synth->nvoice)] {};
    synth->voice_arrays = static_cast<korvel_voice_arrays_t*>(korvel_pages_new_on_touch(voice_arrays_bytes(synth)));
    synth->voice_parts = new_korvel_voice_parts(synth->nvoice);
    if (synth->voice == nullptr || synth->sounding == nullptr || synth->voice_arrays == nullptr ||
        synth->voice_parts == nullptr) {
        return false;
    }
    for (int i = 0; i < synth->nvoice; i++) {
        synth->voice[i] = new_korvel_voice_in(synth, static_cast<float>(synth->sample_rate), &synth->voice_parts[i],
                                              &synth->voice_arrays[i]);
        synth->voice[i]->profile = &synth->profile;
    }
    std::printf("Soundfont Synthesizer: Die Stimmenarchitektur mit %d Stimmen Polyphonie wurde erzeugt. \n",
                synth->nvoice);

    synth->left_buf = new_buffers(synth->nbuf);
    synth->right_buf = new_buffers(synth->nbuf);
    if (synth->left_buf == nullptr || synth->right_buf == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory.");
        return false;
    }
    progress("Die Audio Kanäle wurden erzeugt. ");
    synth->fx_left_buf = new_buffers(synth->effects_channels);
    synth->fx_right_buf = new_buffers(synth->effects_channels);
    if (synth->fx_left_buf == nullptr || synth->fx_right_buf == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory.");
        return false;
    }
    progress("Die Send Effekt Kanäle wurden erzeugt. ");
    synth->cur = KORVEL_BUFSIZE;

    for (int i = 0; i < synth->audio_groups; i++) {
        synth->group_fx[i] = new_korvel_channel_fx(synth);
        if (synth->group_fx[i] == nullptr) {
            return false;
        }
    }
    if (korvel_fx_set_slot(synth->group_fx[0], 0, KORVEL_FX_NONE, static_cast<float>(synth->sample_rate)) != 0) {
        return false;
    }
    progress("Die Kanal Insert Effekte wurden erzeugt. ");

    synth->reverb = new_korvel_revmodel();
    if (synth->reverb == nullptr) {
        return false;
    }
    korvel_synth_set_reverb(synth, 0.7, 0.0, 1.0, korvel_revmodel_getlevel(synth->reverb));
    progress("Das Reverb Modul wurde erzeugt. ");
    synth->chorus = new_korvel_chorus(synth->sample_rate);
    if (synth->chorus == nullptr) {
        return false;
    }
    progress("Das Chorus Modul wurde erzeugt. ");

    for (korvel_send_fx_t*& fx : synth->variation_fx) {
        fx = new_korvel_send_fx(synth);
        if (fx == nullptr) {
            return false;
        }
    }
    synth->with_variation[0] = 1;
    if (korvel_fx_set_slot(synth->variation_fx[0], 0, KORVEL_FX_HPFILTER, static_cast<float>(synth->sample_rate)) !=
        0) {
        return false;
    }
    progress("Die Variation Effect Modules wurden erzeugt. ");
    synth->master_fx = new_korvel_master_fx(synth);
    if (synth->master_fx == nullptr) {
        return false;
    }
    progress("Das Master Effect Modul wurde erzeugt. ");
    return true;
}

} // namespace

extern "C" {

korvel_synth_t* sharedInstance = nullptr;

korvel_synth_t* new_korvel_synth(korvel_settings_t* settings)
{
    progress("Die Synthese Einheit wird erzeugt... ");
    global_setup();
    auto* synth = new (std::nothrow) korvel_synth_t{};
    if (synth == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory");
        return nullptr;
    }
    synth->settings = settings;
    synth->with_filter = 1;
    synth->with_reverb = 1;
    synth->with_chorus = 1;
    synth->verbose = korvel_settings_str_equal(settings, "synth.verbose", "yes") ? 1 : 0;

    synth->polyphony = get_int(settings, "synth.polyphony");
    korvel_settings_getnum(settings, "synth.sample-rate", &synth->sample_rate);
    synth->midi_channels = get_int(settings, "synth.midi-channels");
    synth->audio_channels = get_int(settings, "synth.audio-channels");
    synth->audio_groups = get_int(settings, "synth.audio-groups");
    synth->effects_channels = get_int(settings, "synth.effects-channels");
    korvel_settings_getnum(settings, "synth.gain", &synth->gain);
    double gain_min = 0.0;
    double gain_max = 10.0;
    korvel_settings_getnum_range(settings, "synth.gain", &gain_min, &gain_max);
    korvel_settings_register_num(settings, "synth.gain", 0.2f, gain_min, gain_max, 0, korvel_synth_update_gain,
                                 synth);

    if (synth->midi_channels % 16 != 0) {
        synth->midi_channels = (synth->midi_channels / 16 + 1) * 16;
        korvel_settings_setint(settings, "synth.midi-channels", synth->midi_channels);
        korvel_log(KORVEL_WARN, "Requested number of MIDI channels is not a multiple of 16. I'll increase the "
                                "number of channels to the next multiple.");
    }
    if (synth->audio_channels < 1) {
        korvel_log(KORVEL_WARN, "Requested number of audio channels is smaller than 1. Changing this setting to 1.");
        synth->audio_channels = 1;
    } else if (synth->audio_channels > 16) {
        korvel_log(KORVEL_WARN, "Requested number of audio channels is too big (%d). Limiting this setting to 16.",
                   synth->audio_channels);
        synth->audio_channels = 16;
    }
    if (synth->audio_groups < 1) {
        korvel_log(KORVEL_WARN, "Requested number of audio groups is smaller than 1. Changing this setting to 1.");
        synth->audio_groups = 1;
    } else if (synth->audio_groups > 16) {
        korvel_log(KORVEL_WARN, "Requested number of audio groups is too big (%d). Limiting this setting to 16.",
                   synth->audio_groups);
        synth->audio_groups = 16;
    }
    if (synth->effects_channels >= 7) {
        korvel_log(KORVEL_WARN, "Invalid number of effects channels (%d).Setting effects channels to 6.",
                   synth->effects_channels);
        synth->effects_channels = 6;
    }
    std::printf("Soundfont Synthesizer: Verbose Modus ist %d \n", synth->verbose);
    std::printf("Soundfont Synthesizer: Die konfigurierte Anzahl der MIDI Kanäle ist %d \n", synth->midi_channels);
    std::printf("Soundfont Synthesizer: Die konfigurierte Anzahl der internen Audio Kanäle ist %d \n",
                synth->audio_groups);
    std::printf("Soundfont Synthesizer: Die konfigurierte Anzahl der internen Effekt Kanäle ist %d \n",
                synth->effects_channels);
    std::printf("Soundfont Synthesizer: Die Samplerate wird für die Wiedergabe mit %f kHz konfiguriert.\n",
                synth->sample_rate);

    synth->nbuf = std::max(synth->audio_channels, synth->audio_groups);
    std::printf("Soundfont Synthesizer: Es werden %d interne Audiokanäle (Stereo) erzeugt. \n", synth->nbuf);
    synth->state = KORVEL_SYNTH_PLAYING;
    progress("Die Synthese Einheit wurde initialisiert. ");

    korvel_sfloader_t* loader = new_korvel_defsfloader();
    if (loader == nullptr) {
        korvel_log(KORVEL_WARN, "Failed to create the default SoundFont loader.");
    } else {
        korvel_synth_add_sfloader(synth, loader);
        progress("Der Soundfont Lader wurde erzeugt. ");
    }

    if (!build(synth)) {
        korvel_log(KORVEL_ERR, "Die Initialisierung des Synthesizers ist fehlgeschlagen. \n");
        delete_korvel_synth(synth);
        return nullptr;
    }
    synth->start = korvel_curtime();
    progress("Die Synthese Einheit wurde initialisiert. ");
    return synth;
}

int delete_korvel_synth(korvel_synth_t* synth)
{
    std::printf("Soundfont Synthesizer: Die Synthese Einheit wird finalisiert...");
    if (synth == nullptr) {
        return 0;
    }
    synth->state = KORVEL_SYNTH_STOPPED;
    korvel_synth_all_sounds_off_all(synth);
    korvel_synth_release_pending_sfonts(synth);
    for (korvel_list_t* cell = synth->sfont; cell != nullptr; cell = cell->next) {
        auto* sfont = static_cast<korvel_sfont_t*>(cell->data);
        sfont->free(sfont);
    }
    delete_korvel_list(synth->sfont);
    for (korvel_list_t* cell = synth->bank_offsets; cell != nullptr; cell = cell->next) {
        delete static_cast<korvel_bank_offset_t*>(cell->data);
    }
    delete_korvel_list(synth->bank_offsets);
    for (korvel_list_t* cell = synth->loaders; cell != nullptr; cell = cell->next) {
        auto* loader = static_cast<korvel_sfloader_t*>(cell->data);
        loader->free(loader);
    }
    delete_korvel_list(synth->loaders);
    if (synth->channel != nullptr) {
        for (int i = 0; i < synth->midi_channels; i++) {
            delete_korvel_channel(synth->channel[i]);
        }
        delete[] synth->channel;
    }
    delete[] synth->voice;
    delete_korvel_voice_parts(synth->voice_parts, synth->nvoice);
    korvel_pages_delete(synth->voice_arrays, voice_arrays_bytes(synth));
    delete[] synth->sounding;
    delete_buffers(synth->left_buf, synth->nbuf);
    delete_buffers(synth->right_buf, synth->nbuf);
    delete_buffers(synth->fx_left_buf, synth->effects_channels);
    delete_buffers(synth->fx_right_buf, synth->effects_channels);
    if (synth->reverb != nullptr) {
        delete_korvel_revmodel(synth->reverb);
    }
    if (synth->chorus != nullptr) {
        delete_korvel_chorus(synth->chorus);
    }
    for (korvel_channel_fx_t* fx : synth->group_fx) {
        delete_korvel_channel_fx(fx);
    }
    for (korvel_send_fx_t* fx : synth->variation_fx) {
        delete_korvel_send_fx(fx);
    }
    delete_korvel_master_fx(synth->master_fx);
    korvel_tuning_table_clear(&synth->tuning);
    delete synth;
    std::printf("Soundfont Synthesizer: Die Synthese Einheit wurde finalisiert.");
    return 0;
}

int korvel_synth_verify_settings(korvel_settings_t*)
{
    return 0;
}

void korvel_version(int* major, int* minor, int* micro)
{
    *major = 1;
    *minor = 0;
    *micro = 5;
}

const char* korvel_version_str(void)
{
    return "5.0.0";
}

korvel_settings_t* korvel_synth_get_settings(korvel_synth_t* synth)
{
    return synth->settings;
}

int korvel_synth_setstr(korvel_synth_t* synth, const char* name, const char* str)
{
    return korvel_settings_setstr(synth->settings, name, str);
}

int korvel_synth_getstr(korvel_synth_t* synth, const char* name, const char** str)
{
    return korvel_settings_getstr(synth->settings, name, str);
}

int korvel_synth_setnum(korvel_synth_t* synth, const char* name, double val)
{
    return korvel_settings_setnum(synth->settings, name, val);
}

int korvel_synth_getnum(korvel_synth_t* synth, const char* name, double* val)
{
    return korvel_settings_getnum(synth->settings, name, val);
}

int korvel_synth_setint(korvel_synth_t* synth, const char* name, int val)
{
    return korvel_settings_setint(synth->settings, name, val);
}

int korvel_synth_getint(korvel_synth_t* synth, const char* name, int* val)
{
    return korvel_settings_getint(synth->settings, name, val);
}

void korvel_synth_set_gain(korvel_synth_t* synth, float gain)
{
    synth->gain = std::clamp(static_cast<double>(gain), 0.0, 10.0);
    for (int i = 0; i < synth->nvoice; i++) {
        if (korvel_voice_is_playing(synth->voice[i])) {
            korvel_voice_set_gain(synth->voice[i], static_cast<float>(synth->gain));
        }
    }
}

float korvel_synth_get_gain(korvel_synth_t* synth)
{
    return static_cast<float>(synth->gain);
}

int korvel_synth_update_gain(void* data, const char*, double value)
{
    korvel_synth_set_gain(static_cast<korvel_synth_t*>(data), static_cast<float>(value));
    return 0;
}

int korvel_synth_count_midi_channels(korvel_synth_t* synth)
{
    return synth->midi_channels;
}

int korvel_synth_count_audio_channels(korvel_synth_t* synth)
{
    return synth->audio_channels;
}

int korvel_synth_count_audio_groups(korvel_synth_t* synth)
{
    return synth->audio_groups;
}

int korvel_synth_count_effects_channels(korvel_synth_t* synth)
{
    return synth->effects_channels;
}

double korvel_synth_get_cpu_load(korvel_synth_t* synth)
{
    return synth->cpu_load;
}

int korvel_synth_get_internal_bufsize(korvel_synth_t*)
{
    return KORVEL_BUFSIZE;
}

int korvel_synth_set_interp_method(korvel_synth_t* synth, int chan, int interp_method)
{
    for (int i = 0; i < synth->midi_channels; i++) {
        if (synth->channel == nullptr || synth->channel[i] == nullptr) {
            return korvel_log(KORVEL_ERR, "Channels don't exist (yet)!");
        }
        if (chan < 0 || korvel_channel_get_num(synth->channel[i]) == chan) {
            korvel_channel_set_interp_method(synth->channel[i], interp_method);
        }
    }
    return 0;
}

void korvel_synth_get_voicelist(korvel_synth_t* synth, korvel_voice_t* buf[], int bufsize, int id)
{
    int count = 0;
    for (int i = 0; i < synth->nvoice && count < bufsize; i++) {
        korvel_voice_t* voice = synth->voice[i];
        if (korvel_voice_is_playing(voice) && (id < 0 || static_cast<int>(voice->id) == id)) {
            buf[count++] = voice;
        }
    }
    if (count < bufsize) {
        buf[count] = nullptr;
    }
}

void korvel_synth_set_midi_router(korvel_synth_t* synth, void* router)
{
    synth->midi_router = router;
}

const char* korvel_synth_error(korvel_synth_t*)
{
    return korvel_error();
}

int korvel_synth_set_reverb_preset(korvel_synth_t* synth, int num)
{
    if (num < 0 || num >= static_cast<int>(std::size(reverb_presets))) {
        return -1;
    }
    const reverb_preset& p = reverb_presets[num];
    korvel_synth_set_reverb(synth, p.roomsize, p.damp, p.width, p.level);
    return 0;
}

void korvel_synth_set_reverb(korvel_synth_t* synth, double roomsize, double damping, double width, double level)
{
    korvel_revmodel_setroomsize(synth->reverb, roomsize);
    korvel_revmodel_setdamp(synth->reverb, damping);
    korvel_revmodel_setwidth(synth->reverb, width);
    korvel_revmodel_setlevel(synth->reverb, level);
}

void korvel_synth_set_chorus(korvel_synth_t* synth, int nr, int type, double level, double speed, double depth_ms)
{
    korvel_chorus_set_nr(synth->chorus, nr);
    korvel_chorus_set_level(synth->chorus, level);
    korvel_chorus_set_speed_Hz(synth->chorus, speed);
    korvel_chorus_set_depth_ms(synth->chorus, depth_ms);
    korvel_chorus_set_type(synth->chorus, type);
    korvel_chorus_update(synth->chorus);
}

double korvel_synth_get_reverb_roomsize(korvel_synth_t* synth)
{
    return korvel_revmodel_getroomsize(synth->reverb);
}

double korvel_synth_get_reverb_damp(korvel_synth_t* synth)
{
    return korvel_revmodel_getdamp(synth->reverb);
}

double korvel_synth_get_reverb_level(korvel_synth_t* synth)
{
    return korvel_revmodel_getlevel(synth->reverb);
}

double korvel_synth_get_reverb_width(korvel_synth_t* synth)
{
    return korvel_revmodel_getwidth(synth->reverb);
}

int korvel_synth_get_chorus_nr(korvel_synth_t* synth)
{
    return korvel_chorus_get_nr(synth->chorus);
}

double korvel_synth_get_chorus_level(korvel_synth_t* synth)
{
    return korvel_chorus_get_level(synth->chorus);
}

double korvel_synth_get_chorus_speed_Hz(korvel_synth_t* synth)
{
    return korvel_chorus_get_speed_Hz(synth->chorus);
}

double korvel_synth_get_chorus_depth_ms(korvel_synth_t* synth)
{
    return korvel_chorus_get_depth_ms(synth->chorus);
}

int korvel_synth_get_chorus_type(korvel_synth_t* synth)
{
    return korvel_chorus_get_type(synth->chorus);
}

void korvel_synth_set_filter_on(korvel_synth_t* synth, int on)
{
    synth->with_filter = on != 0;
}

void korvel_synth_set_reverb_on(korvel_synth_t* synth, int on)
{
    synth->with_reverb = on != 0;
}

void korvel_synth_set_chorus_on(korvel_synth_t* synth, int on)
{
    synth->with_chorus = on != 0;
}

void korvel_synth_set_profile(korvel_synth_t* synth, const korvel_profile_t* profile)
{
    if (synth == nullptr || profile == nullptr) {
        return;
    }
    synth->profile = *profile;
    // No tail rings before a voice has fed the effects.
    synth->quiet_frames = KORVEL_MIX_QUIET_FRAMES;
}

} // extern "C"
