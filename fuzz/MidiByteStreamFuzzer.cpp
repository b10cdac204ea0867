// A MIDI byte stream through the library's parser, each complete message handed to a synthesizer that renders a
// short block now and then.
#include "fuzz/FuzzInput.h"
#include "sampler/src/midi/korvel_midi_parser.h"
#include "sampler/src/synth/korvel_synth_midi.h"
#include "sampler/src/synth/korvel_synth_render.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::silenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvel_synth_t* synth = fuzzing::bareSynth();
    korvel_midi_parser_t* parser = new_korvel_midi_parser();
    float left[64];
    float right[64];
    for (std::size_t i = 0; i < size; ++i) {
        if (const korvel_midi_message_t* message = korvel_midi_parser_parse(parser, data[i])) {
            korvel_synth_handle_midi_event(synth, message);
        }
        if (i % 64 == 63) korvel_synth_write_float(synth, 64, left, 0, 1, right, 0, 1);
    }
    delete_korvel_midi_parser(parser);
    korvel_synth_system_reset(synth);
    return 0;
}
