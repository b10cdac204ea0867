#include "sampler/src/midi/korvel_midi_file.h"

#include "sampler/src/sys/korvel_file_limits.h"

#include "sampler/src/midi/korvel_player.h"
#include "sampler/src/sys/korvel_sys.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

enum MetaType {
    META_COPYRIGHT = 2,
    META_TRACK_NAME = 3,
    META_INSTRUMENT = 4,
    META_LYRIC = 5,
    META_MARKER = 6,
    META_CUE = 7,
    META_END_OF_TRACK = 47,
    META_TEMPO = 81,
    META_SMPTE_OFFSET = 84,
    META_TIME_SIGNATURE = 88,
    META_KEY_SIGNATURE = 89,
    META_SEQUENCER = 127
};

long remaining(const korvel_midi_file_t* mf)
{
    return mf->size - mf->pos + (mf->c >= 0 ? 1 : 0);
}

// Reads len bytes of meta or system-exclusive data; a length beyond the end of the file is refused before anything
// is allocated, so a corrupt length cannot ask for gigabytes.
bool read_data(korvel_midi_file_t* mf, uint32_t len, std::vector<unsigned char>* data)
{
    if (static_cast<long>(len) > remaining(mf) || len > 0x7FFFFFFFu) {
        mf->eof = 1;
        return false;
    }
    if (len > 1022) {
        korvel_log(KORVEL_DBG, "%s: %d: alloc metadata, len = %d", __FILE__, __LINE__, static_cast<int>(len));
    }
    data->resize(len);
    return len == 0 || korvel_midi_file_read(mf, data->data(), static_cast<int>(len)) == 0;
}

korvel_midi_event_t* carrying(int type, const std::vector<unsigned char>& data)
{
    korvel_midi_event_t* evt = new_korvel_midi_event();
    if (evt == nullptr) {
        return nullptr;
    }
    evt->type = static_cast<unsigned char>(type);
    evt->data_len = static_cast<uint32_t>(std::min<size_t>(data.size(), KORVEL_MIDI_EVENT_DATA));
    std::copy_n(data.begin(), evt->data_len, evt->data);
    return evt;
}

bool length_is(size_t len, size_t expected, const char* message)
{
    if (len != expected) {
        korvel_log(KORVEL_ERR, "%s", message);
        return false;
    }
    return true;
}

void unknown_meta()
{
    std::printf("WARNUNG: Unbekannte META DATEN in der MIDI Datei.\n");
}

// A meta event: *evt gets the event it carries, or stays none. false on a refused event.
bool read_meta(korvel_midi_file_t* mf, korvel_track_t* track, korvel_midi_event_t** evt)
{
    const int type = korvel_midi_file_getc(mf);
    if (type < 0 || korvel_midi_file_read_varlen(mf) != 0) {
        return false;
    }
    std::vector<unsigned char> data;
    if (!read_data(mf, mf->varlen, &data)) {
        return false;
    }
    const std::string text(data.begin(), data.end());
    switch (type) {
    case META_COPYRIGHT:
        return korvel_track_set_copyright(track, text.c_str()) == 0;
    case META_TRACK_NAME:
        return korvel_track_set_name(track, text.c_str()) == 0;
    case META_INSTRUMENT:
        return korvel_track_set_instrument(track, text.c_str()) == 0;
    case META_LYRIC:
    case META_MARKER:
        *evt = carrying(type, data);
        return *evt != nullptr;
    case META_CUE:
        return true;
    case META_END_OF_TRACK:
        if (!length_is(data.size(), 0, "Invalid length for EndOfTrack event.")) {
            return false;
        }
        mf->eot = 1;
        return true;
    case META_TEMPO:
        if (!length_is(data.size(), 3, "Invalid length for SetTempo meta event.")) {
            return false;
        }
        *evt = carrying(KORVEL_MIDI_TEMPO, {});
        if (*evt == nullptr) {
            return false;
        }
        (*evt)->param1 = (static_cast<uint32_t>(data[0]) << 16) | (static_cast<uint32_t>(data[1]) << 8) | data[2];
        return true;
    case META_SMPTE_OFFSET:
        return length_is(data.size(), 5, "Invalid length for SMPTE Offset meta event.");
    case META_TIME_SIGNATURE:
        if (!length_is(data.size(), 4, "Invalid length for TimeSignature meta event.")) {
            return false;
        }
        track->numerator = data[0];
        // A corrupt exponent beyond any real denominator is kept as 0 rather than shifted out of range.
        track->denominator = data[1] < 32 ? 1u << data[1] : 0u;
        track->metronome = data[2];
        track->notes32 = data[3];
        korvel_log(KORVEL_DBG, "signature=%d/%d, metronome=%d, 32nd-notes=%d", track->numerator,
                   static_cast<int>(track->denominator), track->metronome, track->notes32);
        return true;
    case META_KEY_SIGNATURE:
        if (!length_is(data.size(), 2, "Invalid length for KeySignature meta event.")) {
            return false;
        }
        track->key_sharps = static_cast<signed char>(data[0]);
        track->key_minor = data[1];
        return true;
    default:
        if (type >= 8 && type <= META_KEY_SIGNATURE) {
            unknown_meta();
            return true;
        }
        if (type != META_SEQUENCER) {
            unknown_meta();
        }
        *evt = carrying(KORVEL_MIDI_OTHER_META, data);
        return *evt != nullptr;
    }
}

// A system-exclusive message (0xF0) or escape (0xF7): an event below 256 bytes, none above.
bool read_sysex(korvel_midi_file_t* mf, korvel_midi_event_t** evt)
{
    if (korvel_midi_file_read_varlen(mf) != 0) {
        return false;
    }
    const uint32_t len = mf->varlen;
    if (len >= KORVEL_MIDI_EVENT_DATA) {
        if (static_cast<long>(len) > remaining(mf)) {
            mf->eof = 1;
            return false;
        }
        return korvel_midi_file_skip(mf, static_cast<int>(len)) == 0;
    }
    std::vector<unsigned char> data;
    if (!read_data(mf, len, &data)) {
        return false;
    }
    *evt = carrying(KORVEL_MIDI_SYSEX, data);
    if (*evt == nullptr) {
        return false;
    }
    (*evt)->param1 = KORVEL_MIDI_SYSEX;
    return true;
}

bool read_channel_message(korvel_midi_file_t* mf, int status, korvel_midi_event_t** evt)
{
    const int type = status & 0xF0;
    int count = 0;
    switch (type) {
    case 0x80:
    case 0x90:
    case 0xA0:
    case 0xB0:
    case 0xE0:
        count = 2;
        break;
    case 0xC0:
    case 0xD0:
        count = 1;
        break;
    default:
        korvel_log(KORVEL_ERR, "Unrecognized MIDI event.");
        return false;
    }
    int data[2] = {0, 0};
    for (int i = 0; i < count; i++) {
        data[i] = korvel_midi_file_getc(mf);
        if (data[i] < 0) {
            return false;
        }
    }
    *evt = new_korvel_midi_event();
    if (*evt == nullptr) {
        return false;
    }
    (*evt)->type = static_cast<unsigned char>(type);
    (*evt)->channel = static_cast<unsigned char>(status & 0x0F);
    if (type == 0xE0) {
        (*evt)->param1 = static_cast<uint32_t>(data[0] + 128 * data[1]);
    } else {
        (*evt)->param1 = static_cast<uint32_t>(data[0]);
        (*evt)->param2 = static_cast<uint32_t>(data[1]);
    }
    return true;
}

} // namespace

extern "C" {

korvel_midi_file_t* new_korvel_midi_file(const char* path)
{
    auto* mf = new (std::nothrow) korvel_midi_file_t{};
    if (mf == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory");
        return nullptr;
    }
    mf->c = -1;
    mf->running_status = -1;
    mf->fp = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (mf->fp == nullptr) {
        korvel_log(KORVEL_ERR, "Couldn't open the MIDI file");
        delete mf;
        return nullptr;
    }
    if (std::fseek(mf->fp, 0, SEEK_END) != 0 || (mf->size = std::ftell(mf->fp)) < 0 ||
        mf->size > KORVEL_MIDI_FILE_LIMIT || std::fseek(mf->fp, 0, SEEK_SET) != 0 ||
        korvel_midi_file_read_mthd(mf) != 0) {
        if (mf->size < 0) {
            korvel_log(KORVEL_ERR, "Couldn't open the MIDI file");
        }
        delete_korvel_midi_file(mf);
        return nullptr;
    }
    return mf;
}

void delete_korvel_midi_file(korvel_midi_file_t* mf)
{
    if (mf == nullptr) {
        return;
    }
    if (mf->fp != nullptr) {
        std::fclose(mf->fp);
    }
    delete mf;
}

int korvel_midi_file_read_mthd(korvel_midi_file_t* mf)
{
    unsigned char header[14];
    if (korvel_midi_file_read(mf, header, 14) != 0 || std::memcmp(header, "MThd", 4) != 0 ||
        korvel_getlength(header + 4) != 6 || header[8] != 0 || header[9] > 2) {
        return korvel_log(KORVEL_ERR, "Doesn't look like a MIDI file: invalid MThd header");
    }
    mf->type = header[9];
    mf->ntracks = (header[10] << 8) | header[11];
    if (static_cast<signed char>(header[12]) < 0) {
        mf->uses_smpte = 1;
        mf->smpte_fps = static_cast<unsigned int>(-static_cast<signed char>(header[12]));
        mf->smpte_res = header[13];
        return korvel_log(KORVEL_ERR, "File uses SMPTE timing -- Not implemented yet");
    }
    mf->division = (static_cast<unsigned int>(header[12]) << 8) | header[13];
    korvel_log(KORVEL_DBG, "Division=%d", static_cast<int>(mf->division));
    return 0;
}

int korvel_midi_file_load_tracks(korvel_midi_file_t* mf, korvel_player_t* player)
{
    for (int i = 0; i < mf->ntracks; i++) {
        if (korvel_midi_file_read_track(mf, player, i) != 0) {
            return -1;
        }
    }
    return 0;
}

int korvel_midi_file_read_track(korvel_midi_file_t* mf, korvel_player_t* player, int num)
{
    unsigned char id[4];
    for (;;) {
        if (korvel_midi_file_read(mf, id, 4) != 0 || korvel_midi_file_read_tracklen(mf) != 0) {
            return korvel_log(KORVEL_ERR, "Unexpected end of file");
        }
        if (!korvel_isasciistring(reinterpret_cast<const char*>(id), 4)) {
            return korvel_log(KORVEL_ERR, "An non-ascii track header found, currupt file");
        }
        if (std::memcmp(id, "MTrk", 4) == 0) {
            break;
        }
        if (mf->tracklen > 0x7FFFFFFFu) {
            return korvel_log(KORVEL_ERR, "Failed to seek position in file");
        }
        if (korvel_midi_file_skip(mf, static_cast<int>(mf->tracklen)) != 0) {
            return -1;
        }
    }
    korvel_track_t* track = new_korvel_track(num);
    if (track == nullptr) {
        return -1;
    }
    mf->trackpos = 0;
    mf->eot = 0;
    mf->running_status = -1;
    mf->dtime = 0;
    while (!korvel_midi_file_eot(mf)) {
        if (korvel_midi_file_read_event(mf, track) != 0) {
            delete_korvel_track(track);
            return mf->eof ? korvel_log(KORVEL_ERR, "Unexpected end of file") : -1;
        }
    }
    // Bytes after the end-of-track event belong to this chunk; what the file holds of them is passed over.
    if (mf->trackpos < mf->tracklen) {
        const long rest = std::min<long>(static_cast<long>(mf->tracklen - mf->trackpos), remaining(mf));
        korvel_midi_file_skip(mf, static_cast<int>(rest));
    }
    if (korvel_player_add_track(player, track) != 0) {
        delete_korvel_track(track);
    }
    return 0;
}

int korvel_midi_file_read_event(korvel_midi_file_t* mf, korvel_track_t* track)
{
    if (korvel_midi_file_read_varlen(mf) != 0) {
        return -1;
    }
    mf->dtime += mf->varlen;
    const int c = korvel_midi_file_getc(mf);
    if (c < 0) {
        return -1;
    }
    int status = c;
    if ((c & 0x80) == 0) {
        if (mf->running_status < 0) {
            return korvel_log(KORVEL_ERR, "Undefined status and invalid running status.");
        }
        korvel_midi_file_push(mf, c);
        status = mf->running_status;
    } else if (c < 0xF0) {
        // Only channel messages run on; meta and system-exclusive events leave the running status as it was.
        mf->running_status = c;
    }
    korvel_midi_event_t* evt = nullptr;
    bool ok = false;
    if (status == 0xFF) {
        ok = read_meta(mf, track, &evt);
    } else if (status == 0xF0 || status == 0xF7) {
        ok = read_sysex(mf, &evt);
    } else {
        ok = read_channel_message(mf, status, &evt);
    }
    if (!ok) {
        delete_korvel_midi_event(evt);
        return -1;
    }
    if (evt != nullptr) {
        // Delta times of events that keep nothing (signatures, texts of the track) move on to the next event.
        evt->dtime = mf->dtime;
        mf->dtime = 0;
        korvel_track_add_event(track, evt);
    }
    return 0;
}

int korvel_midi_file_read_varlen(korvel_midi_file_t* mf)
{
    uint32_t value = 0;
    for (int i = 0; i < 4; i++) {
        const int c = korvel_midi_file_getc(mf);
        if (c < 0) {
            return -1;
        }
        value = (value << 7) | static_cast<uint32_t>(c & 0x7F);
        if ((c & 0x80) == 0) {
            mf->varlen = value;
            return 0;
        }
    }
    return korvel_log(KORVEL_ERR, "Invalid variable length number");
}

int korvel_midi_file_read_tracklen(korvel_midi_file_t* mf)
{
    unsigned char length[4];
    if (korvel_midi_file_read(mf, length, 4) != 0) {
        return -1;
    }
    mf->tracklen = korvel_getlength(length);
    return 0;
}

int korvel_midi_file_getc(korvel_midi_file_t* mf)
{
    int c = mf->c;
    if (c >= 0) {
        mf->c = -1;
    } else {
        c = std::fgetc(mf->fp);
        if (c == EOF) {
            mf->eof = 1;
            return -1;
        }
        mf->pos++;
    }
    mf->trackpos++;
    return c;
}

int korvel_midi_file_push(korvel_midi_file_t* mf, int c)
{
    mf->c = c;
    mf->trackpos--;
    return 0;
}

int korvel_midi_file_read(korvel_midi_file_t* mf, void* buf, int n)
{
    auto* bytes = static_cast<unsigned char*>(buf);
    int have = 0;
    if (n > 0 && mf->c >= 0) {
        bytes[have++] = static_cast<unsigned char>(korvel_midi_file_getc(mf));
    }
    const size_t got = std::fread(bytes + have, 1, static_cast<size_t>(n - have), mf->fp);
    mf->pos += static_cast<long>(got);
    mf->trackpos += static_cast<uint32_t>(got);
    if (got != static_cast<size_t>(n - have)) {
        mf->eof = 1;
        return -1;
    }
    return 0;
}

int korvel_midi_file_skip(korvel_midi_file_t* mf, int n)
{
    if (n < 0 || n > remaining(mf)) {
        return korvel_log(KORVEL_ERR, "Failed to seek position in file");
    }
    if (n > 0 && mf->c >= 0) {
        korvel_midi_file_getc(mf);
        n--;
    }
    if (std::fseek(mf->fp, n, SEEK_CUR) != 0) {
        return korvel_log(KORVEL_ERR, "Failed to seek position in file");
    }
    mf->pos += n;
    mf->trackpos += static_cast<uint32_t>(n);
    return 0;
}

int korvel_midi_file_eot(const korvel_midi_file_t* mf)
{
    return mf->eot || mf->trackpos >= mf->tracklen;
}

int korvel_midi_file_get_division(const korvel_midi_file_t* mf)
{
    return static_cast<int>(mf->division);
}

int korvel_isasciistring(const char* s, int n)
{
    for (int i = 0; i < n; i++) {
        if ((static_cast<unsigned char>(s[i]) & 0x80) != 0) {
            return 0;
        }
    }
    return 1;
}

uint32_t korvel_getlength(const unsigned char* s)
{
    return (static_cast<uint32_t>(s[0]) << 24) | (static_cast<uint32_t>(s[1]) << 16) |
           (static_cast<uint32_t>(s[2]) << 8) | s[3];
}

} // extern "C"
