#include "sampler/src/midi/korvel_midi_parser.h"

#include "sampler/src/sys/korvel_sys.h"

#include <new>

extern "C" {

korvel_midi_parser_t* new_korvel_midi_parser(void)
{
    auto* parser = new (std::nothrow) korvel_midi_parser_t{};
    if (parser == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory");
    }
    return parser;
}

int delete_korvel_midi_parser(korvel_midi_parser_t* parser)
{
    delete parser;
    return 0;
}

korvel_midi_message_t* korvel_midi_parser_parse(korvel_midi_parser_t* parser, unsigned char c)
{
    if (c == 0xFF) {
        parser->event = korvel_midi_message_t{};
        parser->event.status = 0xFF;
        parser->event.type = 0xFF;
        parser->status = 0;
        return &parser->event;
    }
    if (c >= 0xF8) {
        return nullptr;
    }
    if (c >= 0xF1) {
        parser->status = 0;
        return nullptr;
    }
    if (c >= 0x80) {
        parser->status = c < 0xF0 ? static_cast<unsigned char>(c & 0xF0) : c;
        parser->channel = c < 0xF0 ? static_cast<unsigned char>(c & 0x0F) : 0;
        parser->nr_bytes = 0;
        parser->nr_bytes_total = korvel_midi_event_length(c) - 1;
        return nullptr;
    }
    if (parser->status == 0 || parser->nr_bytes_total < 1) {
        return nullptr;
    }
    parser->data[parser->nr_bytes++] = c;
    if (parser->nr_bytes < parser->nr_bytes_total) {
        return nullptr;
    }
    parser->nr_bytes = 0;
    korvel_midi_message_t& event = parser->event;
    event = korvel_midi_message_t{};
    event.status = static_cast<unsigned char>(parser->status | parser->channel);
    event.type = parser->status;
    event.channel = parser->channel;
    if (parser->status == 0xE0) {
        event.param1 = static_cast<unsigned int>(parser->data[0] + 128 * parser->data[1]);
    } else {
        event.param1 = parser->data[0];
        event.param2 = parser->nr_bytes_total > 1 ? parser->data[1] : 0;
    }
    return &event;
}

int korvel_midi_event_length(unsigned char status)
{
    if (status < 0xF0) {
        const int type = status & 0xF0;
        return type == 0xC0 || type == 0xD0 ? 2 : 3;
    }
    switch (status) {
    case 0xF0:
        return 0;
    case 0xF1:
    case 0xF3:
    case 0xF4:
    case 0xF5:
        return 2;
    case 0xF2:
        return 3;
    default:
        return 1;
    }
}

} // extern "C"
