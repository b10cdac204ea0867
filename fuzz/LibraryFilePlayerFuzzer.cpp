// Standard MIDI files through the library's file player: load, then play the file for a few blocks into a
// synthesizer without sound banks.
#include "fuzz/FuzzInput.h"
#include "sampler/src/midi/korvel_player.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::silenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvel_synth_t* synth = fuzzing::bareSynth();
    const fuzzing::InputFile file(data, size);
    korvel_player_t* player = new_korvel_player(synth);
    if (korvel_player_add(player, file.path().c_str()) == 0 && korvel_player_play(player) == 0) {
        constexpr int kFrames = 4096;
        for (int block = 0; block < 16; ++block) {
            korvelsynth_audio_clock(player, static_cast<int64_t>(block) * kFrames, kFrames);
        }
    }
    delete_korvel_player(player);
    korvel_synth_system_reset(synth);
    return 0;
}
