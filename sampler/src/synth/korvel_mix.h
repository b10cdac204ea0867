// The block mixer: one block of KORVEL_BUFSIZE frames, whole or in parts. Every sounding voice renders into the dry
// pair of its audio group (channel number modulo the group count); the used groups run their insert effects and are
// summed into the first group; then reverb and chorus run from their send buses, the variation buses run their send
// effects and the master effects finish the first group.
//
// The mixer borrows everything it works on: the synthesizer fills a korvel_mix_t from its own record before each
// block, so the mixer never owns buffers or effect units.
//
// Thread contract: korvel_mix_block and korvel_mix_part run on the render thread; it neither allocates, locks, waits nor logs. Note and
// controller calls must not run at the same time.
#pragma once

#include "sampler/src/sys/korvel_block.h"
#include "sampler/src/fx/korvel_chorus.h"
#include "sampler/src/fx/korvel_fx.h"
#include "sampler/src/fx/korvel_rev.h"
#include "sampler/src/sys/korvel_types.h"

#ifdef __cplusplus
extern "C" {
#endif

// Send buses: each uses the left buffer of the effect pair of its number as its mono send.
enum korvel_mix_bus {
    KORVEL_BUS_REVERB = 0,
    KORVEL_BUS_CHORUS = 1,
    KORVEL_BUS_VARIATION1 = 2, // variations 1 to 4 are buses 2 to 5
    KORVEL_MIX_BUSES = 6
};
enum { KORVEL_MIX_MAX_GROUPS = 16, KORVEL_MIX_VARIATIONS = 4 };
// Effect tails end after this many blocks in a row whose effect output stayed below KORVEL_MIX_QUIET (longer than
// the delay lines of reverb and chorus, so that a tail still on its way counts as ringing).
enum { KORVEL_MIX_QUIET_BLOCKS = 64 };
constexpr int KORVEL_MIX_QUIET_FRAMES = KORVEL_MIX_QUIET_BLOCKS * static_cast<int>(KORVEL_BUFSIZE);
constexpr float KORVEL_MIX_QUIET = 1e-6f;

// How a block leaves reverb and chorus: mixed into the first group for the stereo pulls, or written over effect
// pairs 0 (reverb) and 1 (chorus) for the multi-buffer pull, which also skips the variation buses.
enum korvel_mix_mode { KORVEL_MIX_INTO_DRY = 0, KORVEL_MIX_REPLACE = 1 };

typedef struct _korvel_mix_t {
    korvel_voice_t** voices; // the voice pool, in array order
    int nvoices;
    int ngroups;  // audio groups, 1 to 16
    int nbuf;     // dry pairs to clear, at least ngroups
    int neffects; // effect pairs; a bus whose number is not below this count stays closed
    float** left; // dry pairs, each at least KORVEL_BUFSIZE floats
    float** right;
    float** fx_left; // effect pairs
    float** fx_right;
    korvel_channel_fx_t* const* group_fx;  // one per group
    korvel_revmodel_t* reverb;
    korvel_chorus_t* chorus;
    korvel_send_fx_t* const* variation_fx; // KORVEL_MIX_VARIATIONS records
    korvel_master_fx_t* master_fx;
    unsigned char bus_on[KORVEL_MIX_BUSES]; // the reverb, chorus and variation 1 to 4 switches
    int voice_sends; // voices feed the reverb and chorus buses by their send levels
    // Effect tails: the count of quiet frames since the last voice, kept by the caller between blocks; while it is
    // below KORVEL_MIX_QUIET_FRAMES the effects run on without voices. Null: the effects stop with the last
    // voice.
    int* quiet_frames;
    // When set, the voices still playing after the span are written here in the order visited, and their count to
    // *nsounding; the list may be `voices` itself.
    korvel_voice_t** sounding;
    int* nsounding;
} korvel_mix_t;

// Renders one block (mode: korvel_mix_mode). Returns 1 when a voice sounded in it, so that the caller advances its
// ticks, and 0 when none did: then the buffers stay silent and no effect runs, unless an effect tail still rings.
int korvel_mix_block(const korvel_mix_t* mix, int mode);
// Renders frames [from, from + n) of a block (0 <= from, 1 <= n, from + n <= KORVEL_BUFSIZE) in the same way, the
// voices handing out their blocks in parts (korvel_voice_write_part) and every effect advancing by n frames, so that
// a voice started between two parts sounds from the first frame of the second. Returns as korvel_mix_block.
int korvel_mix_part(const korvel_mix_t* mix, int mode, int from, int n);

#ifdef __cplusplus
}
#endif
