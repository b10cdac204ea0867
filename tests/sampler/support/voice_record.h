// A cleared voice record over arrays of its own, for tests that fill a voice by hand.
#pragma once

#include "sampler/src/voice/korvel_voice.h"

struct VoiceRecord {
    VoiceRecord()
    {
        voice.gen = arrays.gen;
        voice.mod = arrays.mod;
        voice.dsp_buf = arrays.dsp_buf;
    }
    VoiceRecord(const VoiceRecord&) = delete;
    VoiceRecord& operator=(const VoiceRecord&) = delete;

    korvel_voice_arrays_t arrays{};
    korvel_voice_t voice{};
};
