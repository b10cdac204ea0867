#include "sampler/src/korvel_voice.h"

extern "C" {

int korvel_voice_optimize_sample(korvel_sample_t*)
{
    return 0;
}

} // extern "C"
