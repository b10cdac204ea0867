// Small SoundFont 2 banks that the sampler tests load, and a scratch folder to write them to.
#pragma once

#include "tools/soundbank/sf2_writer.h"

#include <string>

namespace sf2 {

// Period in points of the fixture waveforms (750 Hz at 48000 Hz).
constexpr int FIXTURE_PERIOD = 64;

// A General MIDI shaped bank:
//   samples      0 "Sine" (8 periods, loop from the second), 1 "Square", 2 "Saw", 3 "Kick" and 4 "Hat" (clicks)
//   instruments  0 "Sine Inst": global zone (attenuation 30) and one zone on the sine, with a CC1 modulator
//                1 "Split Inst": square on keys 0..59, saw on keys 60..127
//                2 "Velocity Inst": sine on velocities 0..63, square on 64..127
//                3 "Kit": kick on key 36, hat on keys 42 and 46 in exclusive class 1
//   presets      0:0 "Sine Piano" (global zone with pan 100), 0:1 "Split Lead", 0:10 "Velocity Box",
//                128:0 "Standard Kit", 128:25 "Brush Kit" (attenuation 60 and a velocity modulator)
Bank general_bank();

// A scratch file path unique to the running test, under TUNEDECK_TEST_TMP (or the system's temporary folder).
std::string scratch_path(const std::string& file_name);

} // namespace sf2
