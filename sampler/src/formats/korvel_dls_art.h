#pragma once
// Articulation of DLS instruments: the connection codes of Level 1 and Level 2 and their translation into the
// SoundFont generators of a zone. Internal to the library.
//
// What is translated (value = scale / 65536 in the destination's unit; connections with a control source, and any
// source or destination not listed, are left out because the synthesizer's default modulators already give the
// General MIDI controller responses):
// - no source: attenuation or gain (gain in cB, negated into initialAttenuation), pitch (cents, into fineTune), pan
//   (0.1 %), chorus and reverb sends (0.1 %), LFO and vibrato frequency (absolute cents) and delay (timecents),
//   filter cut-off (absolute cents) and resonance (cB), and both envelopes' delay, attack, hold, decay and release
//   (timecents) and sustain (0.1 % of full level, stored as 1000 minus it, the per-mille drop the voice expects);
// - the LFO: to pitch (cents), to gain (cB, negated into modLfoToVolume) and to filter cut-off (cents);
// - the vibrato LFO: to pitch; envelope 2: to pitch and to filter cut-off;
// - the key number: to pitch (cents over 128 keys, into scaleTuning per key) and to either envelope's hold and decay
//   (timecents over 128 keys, turned into the per-key change around key 60 that keynumTo...Hold/Decay give).
// Several connections to one generator add up, as the format defines.
//
// Thread contract: any thread; pure functions over caller-owned memory.

#include <cstdint>
#include <vector>

#include "sampler/src/formats/korvel_dls_file.h"
#include "sampler/src/bank/korvel_gen.h"

namespace korvel_dls {

enum Source : uint16_t {
  kSrcNone = 0x0000,
  kSrcLfo = 0x0001,
  kSrcKeyOnVelocity = 0x0002,
  kSrcKeyNumber = 0x0003,
  kSrcEg1 = 0x0004,
  kSrcEg2 = 0x0005,
  kSrcPitchWheel = 0x0006,
  kSrcVibrato = 0x0009,
  kSrcModWheel = 0x0081,
};

enum Destination : uint16_t {
  kDstNone = 0x0000,
  kDstGain = 0x0001,  // Level 1 calls it attenuation; the sign is that of a gain
  kDstPitch = 0x0003,
  kDstPan = 0x0004,
  kDstChorus = 0x0080,
  kDstReverb = 0x0081,
  kDstLfoFrequency = 0x0104,
  kDstLfoDelay = 0x0105,
  kDstVibratoFrequency = 0x0114,
  kDstVibratoDelay = 0x0115,
  kDstEg1Attack = 0x0206,
  kDstEg1Decay = 0x0207,
  kDstEg1Release = 0x0209,
  kDstEg1Sustain = 0x020a,
  kDstEg1Delay = 0x020b,
  kDstEg1Hold = 0x020c,
  kDstEg2Attack = 0x030a,
  kDstEg2Decay = 0x030b,
  kDstEg2Release = 0x030d,
  kDstEg2Sustain = 0x030e,
  kDstEg2Delay = 0x030f,
  kDstEg2Hold = 0x0310,
  kDstFilterCutoff = 0x0500,
  kDstFilterQ = 0x0501,
};

// Writes the translated connections into `gen` (a zone's generator array), marking each written generator set.
void applyConnections(const std::vector<Connection>& connections, korvel_zone_gen_t* gen);

}  // namespace korvel_dls
