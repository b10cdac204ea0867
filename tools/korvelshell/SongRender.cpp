#include "tools/korvelshell/SongRender.h"

#include "sampler/src/midi/korvel_midi_event.h"
#include "sampler/src/midi/korvel_player.h"
#include "sampler/src/synth/korvel_synth_midi.h"
#include "sampler/src/voice/korvel_voice.h"
#include "platform/musicsequence/MusicSequenceFile.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace korvelshell {

namespace {

constexpr double DEFAULT_TEMPO_USEC = 500000.0; // 120 quarter notes a minute until the file says otherwise
constexpr long TAIL_CHUNK_FRAMES = 4096;
constexpr float QUIET_PEAK = 1.0f / 32768.0f; // below the last bit of the 16-bit file

struct PlayerDeleter {
    void operator()(korvel_player_t* player) const { delete_korvel_player(player); }
};

struct TimedEvent {
    long frame;
    const korvel_midi_event_t* event;
};

// Every event of every track with the frame it sounds at, in the order they go to the synthesizer: by frame, and
// within a frame note-offs first, then the rest as their tracks and the file have them. This is the host's order:
// a key struck again at once is not cut, and a note whose note-off falls on its own note-on is not released
// before it is heard.
std::vector<TimedEvent> eventsByFrame(korvel_player_t* player, double sampleRate)
{
    std::vector<const korvel_midi_event_t*> byTick;
    for (int t = 0; t < player->ntracks; t++) {
        for (const korvel_midi_event_t* e = player->track[t]->first; e != nullptr; e = e->next) {
            byTick.push_back(e);
        }
    }
    // The note-offs of a tick before its other events, as the host sends them, so that a note whose note-off shares
    // its note-on's tick is not released as it starts; frames only grow with ticks, so the order holds in frames.
    std::stable_sort(byTick.begin(), byTick.end(), [](const korvel_midi_event_t* a, const korvel_midi_event_t* b) {
        if (a->time != b->time) {
            return a->time < b->time;
        }
        return korvel_midi_event_is_note_off(a) != 0 && korvel_midi_event_is_note_off(b) == 0;
    });
    const double ticksPerQuarter = player->division > 0 ? player->division : 96.0;
    double tempoUsec = DEFAULT_TEMPO_USEC;
    double seconds = 0.0;
    uint32_t tick = 0;
    std::vector<TimedEvent> timed;
    timed.reserve(byTick.size());
    for (const korvel_midi_event_t* e : byTick) {
        seconds += (e->time - tick) * tempoUsec / 1e6 / ticksPerQuarter;
        tick = e->time;
        timed.push_back({std::lround(seconds * sampleRate), e});
        if (e->type == KORVEL_MIDI_TEMPO) {
            tempoUsec = e->param1 > 0 ? e->param1 : DEFAULT_TEMPO_USEC;
        }
    }
    return timed;
}

// Pressure has no call of its own in the synthesizer: the channel keeps the value and the voices follow it.
void pressure(korvel_synth_t* synth, const korvel_midi_event_t& e)
{
    if (e.channel >= synth->midi_channels) {
        return;
    }
    korvel_channel_t* channel = synth->channel[e.channel];
    if (e.type == 0xD0) {
        channel->channel_pressure = static_cast<short>(e.param1);
        korvel_synth_modulate_voices(synth, e.channel, 0, KORVEL_MOD_CHANNELPRESSURE);
    } else {
        channel->key_pressure = static_cast<short>(e.param2);
        korvel_synth_modulate_voices(synth, e.channel, 0, KORVEL_MOD_KEYPRESSURE);
    }
}

void send(korvel_synth_t* synth, const korvel_midi_event_t& e)
{
    if (e.type == 0xA0 || e.type == 0xD0) {
        pressure(synth, e);
        return;
    }
    if (e.type == KORVEL_MIDI_SYSEX) {
        // The file keeps the closing 0xF7 of the message; the synthesizer takes the bytes between.
        const int len = static_cast<int>(e.data_len) - (e.data_len > 0 && e.data[e.data_len - 1] == 0xF7 ? 1 : 0);
        korvel_synth_sysex(synth, e.data, len);
        return;
    }
    if (e.type < 0x80 || e.type > 0xE0) {
        return;
    }
    korvel_midi_message_t message{};
    message.type = e.type;
    message.channel = e.channel;
    message.status = static_cast<unsigned char>(e.type | e.channel);
    message.param1 = e.param1;
    message.param2 = e.param2;
    korvel_synth_handle_midi_event(synth, &message);
}

// The checks the host's file loading makes (chunk lengths within the file, well-formed events, a size it takes):
// a file the host refuses is not played here either. Empty when the file passes, else the reason.
std::string hostRefusal(const std::string& path)
{
    MusicSequence sequence;
    NewMusicSequence(&sequence);
    switch (MusicSequenceFileLoad(sequence, path, kMusicSequenceFile_MIDIType, kMusicSequenceLoadSMF_PreserveTracks)) {
    case noErr:
        return "";
    case kAudio_FileNotFoundError:
        return "there is no such file";
    case kAudioFileInvalidFileError:
        return "it is not a well-formed standard MIDI file (or larger than one can be)";
    default:
        return "it cannot be read";
    }
}

bool anyVoicePlaying(const korvel_synth_t* synth)
{
    for (int i = 0; i < synth->nvoice; i++) {
        if (korvel_voice_is_playing(synth->voice[i])) {
            return true;
        }
    }
    return false;
}

} // namespace

bool renderSong(korvel_synth_t* synth, OfflineRender& render, const std::string& path, std::string& error)
{
    if (const std::string refusal = hostRefusal(path); !refusal.empty()) {
        error = "cannot play the MIDI file '" + path + "': " + refusal;
        return false;
    }
    std::unique_ptr<korvel_player_t, PlayerDeleter> player(new_korvel_player(synth));
    if (player == nullptr || korvel_player_load(player.get(), path.c_str()) != 0) {
        error = "cannot read the MIDI file '" + path + "'";
        return false;
    }
    long frame = 0;
    for (const TimedEvent& timed : eventsByFrame(player.get(), render.sampleRate())) {
        if (timed.frame > frame && !render.render(timed.frame - frame)) {
            error = render.error();
            return false;
        }
        frame = timed.frame;
        send(synth, *timed.event);
    }
    const long maxTail = std::lround(MAX_TAIL_SECONDS * render.sampleRate());
    for (long tail = 0; tail < maxTail; tail += TAIL_CHUNK_FRAMES) {
        if (!render.render(TAIL_CHUNK_FRAMES)) {
            error = render.error();
            return false;
        }
        if (render.lastPeak() < QUIET_PEAK && !anyVoicePlaying(synth)) {
            break;
        }
    }
    return true;
}

} // namespace korvelshell
