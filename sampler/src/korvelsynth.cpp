#include "sampler/src/korvelsynth.h"

#include "sampler/src/formats/korvel_aiff_export.h"
#include "sampler/src/sys/korvel_log_limit.h"
#include "sampler/src/synth/korvel_synth_midi.h"
#include "sampler/src/formats/korvel_xml_edit.h"
#include "sampler/src/formats/korvel_xml_writer.h"
#include "sampler/src/formats/korvelsynth_channel_setup.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace {

korvelsynth_instance_t* instances[KORVEL_INSTANCES];
std::string resource_location;
bool have_resource_location = false;

korvelsynth_instance_t* find(unsigned int id)
{
    for (korvelsynth_instance_t* instance : instances) {
        if (instance != nullptr && instance->id == id) {
            return instance;
        }
    }
    return nullptr;
}

korvelsynth_instance_t* assigned(unsigned int id)
{
    korvelsynth_instance_t* instance = find(id);
    if (instance == nullptr) {
        std::printf("Soundfont Synthesizer: Instance assignment failed.\n");
    }
    return instance;
}

// The same for the calls that may run on the render thread: the line is limited to a few a second.
korvel_log_limit_t render_assignment_log;

korvelsynth_instance_t* assigned_for_render(unsigned int id)
{
    korvelsynth_instance_t* instance = find(id);
    if (instance == nullptr && korvel_log_limit_pass(&render_assignment_log)) {
        std::printf("Soundfont Synthesizer: Instance assignment failed.\n");
    }
    return instance;
}

// Oversized messages and pulls are refused with a line limited the same way.
korvel_log_limit_t oversize_log;

int dispatch(const korvelsynth_instance_t* instance, const korvel_midi_message_t& msg)
{
    return korvel_synth_handle_midi_event2(instance->synth, instance->player, &msg);
}

// The bank of the instance's first sound font, or null.
korvel_defsfont_t* first_bank(unsigned int id)
{
    korvelsynth_instance_t* instance = assigned(id);
    if (instance == nullptr || instance->synth == nullptr) {
        return nullptr;
    }
    korvel_sfont_t* sfont = korvel_synth_get_sfont(instance->synth, 0);
    return sfont != nullptr ? static_cast<korvel_defsfont_t*>(sfont->data) : nullptr;
}

int created(unsigned int uid)
{
    return uid != 0 ? static_cast<int>(uid) : -1;
}

// Creates an object in the first sound font and applies an XML fragment to it; what names the object in the
// messages ("Das Sample") completes them.
int create_with_xml(unsigned int id, const char* xml, int (*create)(unsigned int),
                    int (*set)(unsigned int, unsigned int, const char*), const char* what)
{
    const int uid = create(id);
    if (uid <= 0) {
        std::printf("FEHLER: %s (XML) konnte nicht erstellt werden.", what);
        return 0;
    }
    if (set(id, static_cast<unsigned int>(uid), xml) != 0) {
        std::printf("FEHLER: %s (XML) konnte nicht gesetzt werden.", what);
    }
    return uid;
}

void say(const char* text)
{
    std::printf("Soundfont Synthesizer: %s\n", text);
}

void delete_player(korvelsynth_instance_t* instance, const char* line)
{
    korvel_player_join(instance->player);
    delete_korvel_player(instance->player);
    instance->player = nullptr;
    say(line);
}

korvel_player_t* make_player(korvelsynth_instance_t* instance)
{
    korvel_player_t* player = new_korvel_player(instance->synth);
    if (player == nullptr) {
        std::fprintf(stderr, "FEHLER: Ein Sequenzer konnte nicht erzeugt werden.\n");
    }
    return player;
}

// The MIDI files among the arguments after the resource folder go to the play list of a player made on first need.
void add_midi_files(korvelsynth_instance_t* instance, int argc, char** argv)
{
    for (int i = 1; i < argc; i++) {
        if (argv[i] == nullptr || argv[i][0] == '-' || !korvel_is_midifile(argv[i])) {
            continue;
        }
        if (instance->player == nullptr && (instance->player = make_player(instance)) == nullptr) {
            return;
        }
        if (korvel_player_add(instance->player, argv[i]) == 0) {
            say("Eine MIDI Datei wurde dem Sequencer hinzugefügt. ");
        }
    }
}

} // namespace

extern "C" {

const char* korvel_resource_location(void)
{
    return have_resource_location ? resource_location.c_str() : nullptr;
}

int KorvelInitialize(const char* resource_folder, const char* soundfont_path, unsigned int id)
{
    char* argv[] = {const_cast<char*>(resource_folder), const_cast<char*>(soundfont_path), nullptr};
    return korvelsynth_main_initialize(2, argv, id);
}

int korvelsynth_main_initialize(int argc, char** argv, unsigned int id)
{
    // A second instance under a live identifier would be unreachable, and finalising either would free both.
    int slot = -1;
    for (int i = 0; i < KORVEL_INSTANCES && slot < 0; i++) {
        if (instances[i] == nullptr) {
            slot = i;
        }
    }
    if (slot < 0 || find(id) != nullptr || argc < 2 || argv[0] == nullptr || argv[1] == nullptr) {
        say("Instance initialization failed.");
        return -1;
    }
    auto* instance = new (std::nothrow) korvelsynth_instance_t{};
    if (instance == nullptr) {
        say("Instance initialization failed.");
        return -1;
    }
    instance->id = id;
    instances[slot] = instance;

    say("Der Synthesizer wird initialisiert...");
    say("Folgende Argumente wurden übergeben: ");
    for (int i = 0; i < argc; i++) {
        std::printf("- %s\n", argv[i]);
    }
    resource_location = argv[0];
    have_resource_location = true;

    instance->settings = new_korvel_settings();
    instance->synth = instance->settings != nullptr ? new_korvel_synth(instance->settings) : nullptr;
    if (instance->synth == nullptr) {
        std::fprintf(stderr, "FEHLER: Der Synthesizer konnte nicht erzeugt werden.\n");
        return -1;
    }
    sharedInstance = instance->synth;
    say("Der Synthesizer wurde erzeugt. ");
    instance->synth->instance_id = id;
    std::snprintf(instance->synth->resource_path, KORVEL_PATH_SIZE, "%s", argv[0]);

    say("Die Soundfonts werden geladen... ");
    if (korvel_synth_sfload(instance->synth, argv[1], 1) < 0) {
        std::fprintf(stderr, "FEHLER: Der Soundfont '%s' konnte nicht geladen werden.\n", argv[1]);
    }
    say("Die Soundfonts wurden geladen. ");

    say("Der Audio Treiber wird initialisiert... ");
    instance->adriver = new_korvel_audio_driver(instance->settings, instance->synth);
    if (instance->adriver == nullptr) {
        std::fprintf(stderr, "FEHLER: Der Audio Treiber konnte nicht erzeugt werden.\n");
        say("Der Synthesizer wurde erfolgreich initialisiert. ");
        return 0;
    }
    say("Der Audio Treiber wurde initialisiert. ");
    say("Die Argumente für den MIDI Sequencer werden geparst... ");
    add_midi_files(instance, argc, argv);
    if (instance->player != nullptr) {
        say("Der MIDI Sequenzer wird abgespielt... ");
        korvel_player_play(instance->player);
    }
    say("Der Synthesizer wurde erfolgreich initialisiert. ");
    return 0;
}

int KorvelFinalize(unsigned int id)
{
    return korvelsynth_main_finalize(id);
}

int korvelsynth_main_finalize(unsigned int id)
{
    int slot = -1;
    for (int i = 0; i < KORVEL_INSTANCES && slot < 0; i++) {
        if (instances[i] != nullptr && instances[i]->id == id) {
            slot = i;
        }
    }
    if (slot < 0) {
        say("Instance finalization failed.");
        return -1;
    }
    korvelsynth_instance_t* instance = instances[slot];
    say("Der Synthesizer wird finalisiert... ");
    if (instance->cmd_handler != nullptr) {
        delete_korvel_cmd_handler(instance->cmd_handler);
        instance->cmd_handler = nullptr;
        say("Der Kommando Handler wurde gelöscht. ");
    }
    if (instance->player != nullptr) {
        delete_player(instance, "Der interne Sequenzer wurde gelöscht. ");
    }
    if (instance->adriver != nullptr) {
        delete_korvel_audio_driver(instance->adriver);
        instance->adriver = nullptr;
        say("Der Audio Treiber wurde gelöscht. ");
    }
    if (instance->synth != nullptr) {
        if (sharedInstance == instance->synth) {
            sharedInstance = nullptr;
        }
        delete_korvel_synth(instance->synth);
        instance->synth = nullptr;
        say("Der Synthesizer wurde gelöscht. ");
    }
    if (instance->settings != nullptr) {
        delete_korvel_settings(instance->settings);
        instance->settings = nullptr;
        say("Die Einstellungen wurden gelöscht. ");
    }
    delete instance;
    instances[slot] = nullptr;
    say("Der Synthesizer wurde erfolgreich finalisiert. ");
    return 0;
}

korvel_synth_t* KorvelGetSynth(unsigned int id)
{
    korvelsynth_instance_t* instance = find(id);
    return instance != nullptr ? instance->synth : nullptr;
}

korvel_player_t* KorvelGetPlayer(unsigned int id)
{
    korvelsynth_instance_t* instance = find(id);
    return instance != nullptr ? instance->player : nullptr;
}

int korvelsynth_load_file(unsigned int id, const char* path)
{
    korvelsynth_instance_t* instance = assigned(id);
    if (instance == nullptr) {
        return 1;
    }
    if (instance->player != nullptr) {
        delete_player(instance, "Der interne Sequenzer wurde finalisiert. ");
    }
    instance->player = make_player(instance);
    if (instance->player == nullptr || korvel_player_add(instance->player, path) != 0) {
        return 1;
    }
    say("Eine MIDI Datei wurde dem Sequencer hinzugefügt. ");
    say("Der MIDI Sequenzer wird abgespielt... ");
    korvel_player_play(instance->player);
    return korvel_player_load_next_file(instance->player, instance->player->cur_count) == 1 ? 0 : 1;
}

int korvelsynth_midi_short_message(unsigned int id, unsigned char status, unsigned char data1, unsigned char data2)
{
    korvelsynth_instance_t* instance = assigned_for_render(id);
    if (instance == nullptr) {
        return -1;
    }
    korvel_midi_message_t msg{};
    msg.status = status;
    msg.type = static_cast<unsigned char>(status & 0xF0);
    msg.channel = static_cast<unsigned char>(status & 0x0F);
    msg.param1 = data1;
    msg.param2 = data2;
    return dispatch(instance, msg);
}

int korvelsynth_midi_long_message(unsigned int id, const unsigned char* data, int length)
{
    korvelsynth_instance_t* instance = assigned_for_render(id);
    if (instance == nullptr || length < 0 || (data == nullptr && length > 0)) {
        return -1;
    }
    if (length >= KORVEL_SYSEX_MAX - 1) {
        if (korvel_log_limit_pass(&oversize_log)) {
            std::printf("SYSEX message too long!");
        }
        return -1;
    }
    korvel_midi_message_t msg{};
    msg.status = 0xF0;
    msg.type = 0xF0;
    msg.param1 = 0xF0;
    std::copy_n(data, length, msg.sysex);
    msg.sysex_len = static_cast<unsigned int>(length);
    return dispatch(instance, msg);
}

int korvelsynth_process(unsigned int id, int frames, float* left, float* right)
{
    korvelsynth_instance_t* instance = assigned_for_render(id);
    if (instance == nullptr) {
        return -1;
    }
    if (frames > KORVEL_IOS_AUDIO_BUFSIZE) {
        if (korvel_log_limit_pass(&oversize_log)) {
            std::printf("FEHLER: Die Größe des Audio Buffers ist nicht ausreichend.");
        }
        return -1;
    }
    if (instance->adriver == nullptr) {
        return -1;
    }
    return korvel_ios_audio_callback(frames, left, right, instance->adriver);
}

int korvelsynth_all_notes_off_all(unsigned int id)
{
    korvelsynth_instance_t* instance = assigned(id);
    if (instance == nullptr) {
        return -1;
    }
    return instance->synth != nullptr ? korvel_synth_all_notes_off_all(instance->synth) : 0;
}

int korvelsynth_all_notes_off(unsigned int id, int chan)
{
    korvelsynth_instance_t* instance = assigned(id);
    if (instance == nullptr) {
        return -1;
    }
    return instance->synth != nullptr ? korvel_synth_all_notes_off(instance->synth, chan) : 0;
}

int korvelsynth_all_sounds_off(unsigned int id)
{
    korvelsynth_instance_t* instance = assigned(id);
    if (instance == nullptr) {
        return -1;
    }
    return instance->synth != nullptr ? korvel_synth_all_sounds_off_all(instance->synth) : 0;
}

korvel_defpreset_t* KorvelGetPreset(unsigned int id, unsigned int uid)
{
    korvel_defsfont_t* bank = first_bank(id);
    return bank != nullptr ? korvel_defsfont_get_preset_by_id(bank, uid) : nullptr;
}

korvel_inst_t* KorvelGetInstrument(unsigned int id, unsigned int uid)
{
    korvel_defsfont_t* bank = first_bank(id);
    return bank != nullptr ? korvel_defsfont_get_instrument_by_id(bank, uid) : nullptr;
}

korvel_sample_t* KorvelGetSample(unsigned int id, unsigned int uid)
{
    korvel_defsfont_t* bank = first_bank(id);
    return bank != nullptr ? korvel_defsfont_get_sample_by_id(bank, uid) : nullptr;
}

korvel_defpreset_t* korvelsynth_get_preset_with_id(unsigned int id, unsigned int uid)
{
    return KorvelGetPreset(id, uid);
}

korvel_inst_t* korvelsynth_get_instrument_with_id(unsigned int id, unsigned int uid)
{
    return KorvelGetInstrument(id, uid);
}

korvel_sample_t* korvelsynth_get_sample_with_id(unsigned int id, unsigned int uid)
{
    return KorvelGetSample(id, uid);
}

int KorvelSetSample(unsigned int, korvel_sample_t*)
{
    return 0;
}

int KorvelSetInstrument(unsigned int, korvel_inst_t*)
{
    return 0;
}

int KorvelSetPreset(unsigned int, korvel_defpreset_t*)
{
    return 0;
}

int korvelsynth_create_soundbank(unsigned int id)
{
    korvelsynth_instance_t* instance = assigned(id);
    if (instance == nullptr || instance->synth == nullptr) {
        return -1;
    }
    return static_cast<int>(korvel_defsfont_create_soundbank(instance->synth));
}

int korvelsynth_create_sample(unsigned int id)
{
    korvel_defsfont_t* bank = first_bank(id);
    return bank != nullptr ? created(korvel_defsfont_create_sample(bank)) : -1;
}

int korvelsynth_create_instrument(unsigned int id)
{
    korvel_defsfont_t* bank = first_bank(id);
    return bank != nullptr ? created(korvel_defsfont_create_instrument(bank)) : -1;
}

int korvelsynth_create_preset(unsigned int id)
{
    korvel_defsfont_t* bank = first_bank(id);
    return bank != nullptr ? created(korvel_defsfont_create_preset(bank)) : -1;
}

int korvelsynth_create_soundbank_xml(unsigned int id, const char* xml)
{
    korvelsynth_instance_t* instance = assigned(id);
    const int sfont_id = instance != nullptr && instance->synth != nullptr
                             ? static_cast<int>(korvel_defsfont_create_soundbank(instance->synth))
                             : 0;
    if (sfont_id <= 0) {
        std::printf("FEHLER: Die Soundbank (XML) konnte nicht erstellt werden.");
        return 0;
    }
    if (korvel_defsfont_set_soundbank(instance->synth, 0, xml) <= 0) {
        std::printf("FEHLER: Die Soundbank (XML) konnte nicht gesetzt werden.");
    }
    return sfont_id;
}

int korvelsynth_create_sample_xml(unsigned int id, const char* xml)
{
    return create_with_xml(id, xml, korvelsynth_create_sample, korvelsynth_set_sample, "Das Sample");
}

int korvelsynth_create_instrument_xml(unsigned int id, const char* xml)
{
    return create_with_xml(id, xml, korvelsynth_create_instrument, korvelsynth_set_instrument, "Das Instrument");
}

int korvelsynth_create_preset_xml(unsigned int id, const char* xml)
{
    return create_with_xml(id, xml, korvelsynth_create_preset, korvelsynth_set_preset, "Das Preset");
}

int korvelsynth_set_preset(unsigned int id, unsigned int uid, const char* xml)
{
    korvelsynth_instance_t* instance = assigned(id);
    return instance != nullptr && korvel_defsfont_set_preset(instance->synth, uid, xml) > 0 ? 0 : -1;
}

int korvelsynth_set_instrument(unsigned int id, unsigned int uid, const char* xml)
{
    korvelsynth_instance_t* instance = assigned(id);
    return instance != nullptr && korvel_defsfont_set_instrument(instance->synth, uid, xml) > 0 ? 0 : -1;
}

int korvelsynth_set_sample(unsigned int id, unsigned int uid, const char* xml)
{
    korvelsynth_instance_t* instance = assigned(id);
    return instance != nullptr && korvel_defsfont_set_sample(instance->synth, uid, xml) > 0 ? 0 : -1;
}

const char* korvelsynth_get_preset_list(unsigned int id)
{
    korvel_defsfont_t* bank = first_bank(id);
    return bank != nullptr ? korvel_defsfont_get_presets(bank) : nullptr;
}

const char* korvelsynth_get_instrument_list(unsigned int id)
{
    korvel_defsfont_t* bank = first_bank(id);
    return bank != nullptr ? korvel_defsfont_get_instruments(bank) : nullptr;
}

const char* korvelsynth_get_sample_list(unsigned int id)
{
    korvel_defsfont_t* bank = first_bank(id);
    return bank != nullptr ? korvel_defsfont_get_samples(bank) : nullptr;
}

const char* korvelsynth_get_preset_with_id_xml(unsigned int id, unsigned int uid)
{
    korvel_defsfont_t* bank = first_bank(id);
    return bank != nullptr ? korvel_defsfont_get_preset_with_id(bank, uid) : nullptr;
}

const char* korvelsynth_get_instrument_with_id_xml(unsigned int id, unsigned int uid)
{
    korvel_defsfont_t* bank = first_bank(id);
    return bank != nullptr ? korvel_defsfont_get_instrument_with_id(bank, uid) : nullptr;
}

const char* korvelsynth_get_sample_with_id_xml(unsigned int id, unsigned int uid)
{
    korvel_defsfont_t* bank = first_bank(id);
    return bank != nullptr ? korvel_defsfont_get_sample_with_id(bank, uid) : nullptr;
}

int KorvelExportXML(unsigned int id, const char* path)
{
    korvel_defsfont_t* bank = first_bank(id);
    return bank != nullptr ? korvel_defsfont_export_xml(bank, path) : -1;
}

int korvelsynth_save_bank(unsigned int id, const char* path)
{
    return KorvelExportXML(id, path);
}

int KorvelExportSamples(unsigned int id)
{
    korvel_defsfont_t* bank = first_bank(id);
    if (bank == nullptr) {
        return 0;
    }
    bool failed = false;
    for (korvel_list_t* p = bank->sample; p != nullptr; p = p->next) {
        failed = korvel_sample_export_sfont(static_cast<korvel_sample_t*>(p->data)) != 0 || failed;
    }
    if (failed) {
        return -1;
    }
    return bank->sample != nullptr ? 1 : 0;
}

korvel_defpreset_t* korvelsynth_get_preset_on_channel(unsigned int)
{
    say("Not implemented yet.");
    return nullptr;
}

const char* korvelsynth_get_preset_on_channel_xml(unsigned int id)
{
    assigned(id);
    return nullptr;
}

const char* korvelsynth_get_channel_setup(unsigned int id)
{
    if (assigned(id) == nullptr) {
        return nullptr;
    }
    const char* text = korvel_channel_setup_text();
    std::memcpy(xml_buffer, text, std::strlen(text) + 1);
    return xml_buffer;
}

int korvelsynth_get_last_buffersize(unsigned int id)
{
    if (assigned(id) == nullptr) {
        return -1;
    }
    return static_cast<int>(std::strlen(xml_buffer)) + 1;
}

int korvelsynth_set_cmd_handler(unsigned int id, korvel_cmd_handler_t* handler)
{
    korvelsynth_instance_t* instance = assigned(id);
    if (instance == nullptr) {
        return -1;
    }
    if (instance->cmd_handler != nullptr && instance->cmd_handler != handler) {
        delete_korvel_cmd_handler(instance->cmd_handler);
    }
    instance->cmd_handler = handler;
    return 0;
}

} // extern "C"
