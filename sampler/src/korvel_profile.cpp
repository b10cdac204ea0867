#include "sampler/src/korvel_profile.h"

#include "sampler/src/korvel_mix.h"
#include "sampler/src/korvel_synth.h"

void korvel_synth_set_profile(korvel_synth_t* synth, const korvel_profile_t* profile)
{
    if (synth == nullptr || profile == nullptr) {
        return;
    }
    synth->profile = *profile;
    // No tail rings before a voice has fed the effects.
    synth->quiet_frames = KORVEL_MIX_QUIET_FRAMES;
}
