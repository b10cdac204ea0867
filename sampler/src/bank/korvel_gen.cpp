#include "sampler/src/bank/korvel_gen.h"


#include <algorithm>

namespace {

constexpr const char* gen_names[GEN_LAST + 1] = {
    "(0) startAddrsOffset", "(1) endAddrsOffset", "(2) startloopAddrsOffset", "(3) endloopAddrsOffset",
    "(4) startAddrsCoarseOffset", "(5) modLfoToPitch", "(6) vibLfoToPitch", "(7) modEnvToPitch",
    "(8) initialFilterFc", "(9) initialFilterQ", "(10) modLfoToFilterFc", "(11) modEnvToFilterFc",
    "(12) endAddrsCoarseOffset", "(13) modLfoToVolume", "(14) unused1", "(15) chorusEffectsSend",
    "(16) reverbEffectsSend", "(17) pan", "(18) unused2", "(19) unused3", "(20) unused4", "(21) delayModLFO",
    "(22) freqModLFO", "(23) delayVibLFO", "(24) freqVibLFO", "(25) delayModEnv", "(26) attackModEnv",
    "(27) holdModEnv", "(28) decayModEnv", "(29) sustainModEnv", "(30) releaseModEnv", "(31) keynumToModEnvHold",
    "(32) keynumToModEnvDecay", "(33) delayVolEnv", "(34) attackVolEnv", "(35) holdVolEnv", "(36) decayVolEnv",
    "(37) sustainVolEnv", "(38) releaseVolEnv", "(39) keynumToVolEnvHold", "(40) keynumToVolEnvDecay",
    "(41) instrument", "(42) reserved1", "(43) keyRange", "(44) velRange", "(45) startloopAddrsCoarseOffset",
    "(46) keynum", "(47) velocity", "(48) initialAttenuation", "(49) reserved2", "(50) endloopAddrsCoarseOffset",
    "(51) coarseTune", "(52) fineTune", "(53) sampleID", "(54) sampleModes", "(55) reserved3", "(56) scaleTuning",
    "(57) exclusiveClass", "(58) overridingRootKey", "(59) unused5", "(60) endoper", "(61) velocityToFilter",
    "(62) velocityToFilter", "(63) velocityToDrive", "(64) velocityToAttack", "(65) velocityToDecay",
    "(66) velocityToRelease", "(67) aftertouchToVolume", "(68) aftertouchToFilter", "(69) modulator1",
    "(70) modulator2", "(71) delayModEnv2", "(72) attackModEnv2", "(73) holdModEnv2", "(74) decayModEnv2",
    "(75) sustainModEnv2", "(76) releaseModEnv2", "(77) keynumToModEnv2Hold", "(78) keynumToModEnv2Decay",
    "(79) delayModLfo2", "(80) freqModLfo2", "(81) voiceFX1", "(82) voiceFX1Param1", "(83) voiceFX1Param2",
    "(84) voiceFX1Param3", "(85) voiceFX2", "(86) voiceFX2Param1", "(87) voiceFX2Param2", "(88) voiceFX2Param3",
    "(89) voiceFX3", "(90) voiceFX3Param1", "(91) voiceFX3Param2", "(92) voiceFX3Param3", "(93) voiceFX4",
    "(94) voiceFX4Param1", "(95) voiceFX4Param2", "(96) voiceFX4Param3", "(97) variationFX1Send",
    "(98) variationFX2Send", "(99) variationFX3Send", "(100) variationFX4Send", "(101) variationFX1Parameter",
    "(102) variationFX2Parameter", "(103) variationFX3Parameter", "(104) variationFX4Parameter", "(105) not used",
    "(--) last"};

} // namespace

extern "C" {

// The library's own generators 60..105 hold levels, sends and effect parameters: 0..1000 in NRPN steps of one,
// not initialised by the voice.
const korvel_gen_info_t korvel_gen_info[GEN_LAST] = {
    // num, init, NRPN scale, min, max, default
    {0, 1, 1, 0.0f, 1e10f, 0.0f}, // 0 startAddrsOffset
    {1, 1, 1, -1e10f, 0.0f, 0.0f}, // 1 endAddrsOffset
    {2, 1, 1, -1e10f, 1e10f, 0.0f}, // 2 startloopAddrsOffset
    {3, 1, 1, -1e10f, 1e10f, 0.0f}, // 3 endloopAddrsOffset
    {4, 0, 1, 0.0f, 1e10f, 0.0f}, // 4 startAddrsCoarseOffset
    {5, 1, 2, -12000.0f, 12000.0f, 0.0f}, // 5 modLfoToPitch
    {6, 1, 2, -12000.0f, 12000.0f, 0.0f}, // 6 vibLfoToPitch
    {7, 1, 2, -12000.0f, 12000.0f, 0.0f}, // 7 modEnvToPitch
    {8, 1, 2, 1500.0f, 13500.0f, 13500.0f}, // 8 initialFilterFc
    {9, 1, 1, 0.0f, 960.0f, 0.0f}, // 9 initialFilterQ
    {10, 1, 2, -12000.0f, 12000.0f, 0.0f}, // 10 modLfoToFilterFc
    {11, 1, 2, -12000.0f, 12000.0f, 0.0f}, // 11 modEnvToFilterFc
    {12, 0, 1, -1e10f, 0.0f, 0.0f}, // 12 endAddrsCoarseOffset
    {13, 1, 1, -960.0f, 960.0f, 0.0f}, // 13 modLfoToVolume
    {14, 0, 0, 0.0f, 0.0f, 0.0f}, // 14 unused1
    {15, 1, 1, 0.0f, 1000.0f, 0.0f}, // 15 chorusEffectsSend
    {16, 1, 1, 0.0f, 1000.0f, 0.0f}, // 16 reverbEffectsSend
    {17, 1, 1, -500.0f, 500.0f, 0.0f}, // 17 pan
    {18, 0, 0, 0.0f, 0.0f, 0.0f}, // 18 unused2
    {19, 0, 0, 0.0f, 0.0f, 0.0f}, // 19 unused3
    {20, 0, 0, 0.0f, 0.0f, 0.0f}, // 20 unused4
    {21, 1, 2, -12000.0f, 5000.0f, -12000.0f}, // 21 delayModLFO
    {22, 1, 4, -16000.0f, 4500.0f, 0.0f}, // 22 freqModLFO
    {23, 1, 2, -12000.0f, 5000.0f, -12000.0f}, // 23 delayVibLFO
    {24, 1, 4, -16000.0f, 4500.0f, 0.0f}, // 24 freqVibLFO
    {25, 1, 2, -12000.0f, 5000.0f, -12000.0f}, // 25 delayModEnv
    {26, 1, 2, -12000.0f, 8000.0f, -12000.0f}, // 26 attackModEnv
    {27, 1, 2, -12000.0f, 5000.0f, -12000.0f}, // 27 holdModEnv
    {28, 1, 2, -12000.0f, 8000.0f, -12000.0f}, // 28 decayModEnv
    {29, 0, 1, 0.0f, 1000.0f, 0.0f}, // 29 sustainModEnv
    {30, 1, 2, -12000.0f, 8000.0f, -12000.0f}, // 30 releaseModEnv
    {31, 0, 1, -1200.0f, 1200.0f, 0.0f}, // 31 keynumToModEnvHold
    {32, 0, 1, -1200.0f, 1200.0f, 0.0f}, // 32 keynumToModEnvDecay
    {33, 1, 2, -12000.0f, 5000.0f, -12000.0f}, // 33 delayVolEnv
    {34, 1, 2, -12000.0f, 8000.0f, -12000.0f}, // 34 attackVolEnv
    {35, 1, 2, -12000.0f, 5000.0f, -12000.0f}, // 35 holdVolEnv
    {36, 1, 2, -12000.0f, 8000.0f, -12000.0f}, // 36 decayVolEnv
    {37, 0, 1, 0.0f, 1440.0f, 0.0f}, // 37 sustainVolEnv
    {38, 1, 2, -12000.0f, 8000.0f, -12000.0f}, // 38 releaseVolEnv
    {39, 0, 1, -1200.0f, 1200.0f, 0.0f}, // 39 keynumToVolEnvHold
    {40, 0, 1, -1200.0f, 1200.0f, 0.0f}, // 40 keynumToVolEnvDecay
    {41, 0, 0, 0.0f, 0.0f, 0.0f}, // 41 instrument
    {42, 0, 0, 0.0f, 0.0f, 0.0f}, // 42 reserved1
    {43, 0, 0, 0.0f, 127.0f, 0.0f}, // 43 keyRange
    {44, 0, 0, 0.0f, 127.0f, 0.0f}, // 44 velRange
    {45, 0, 1, -1e10f, 1e10f, 0.0f}, // 45 startloopAddrsCoarseOffset
    {46, 1, 0, 0.0f, 127.0f, -1.0f}, // 46 keynum
    {47, 1, 1, 0.0f, 127.0f, -1.0f}, // 47 velocity
    {48, 1, 1, 0.0f, 1440.0f, 0.0f}, // 48 initialAttenuation
    {49, 0, 0, 0.0f, 0.0f, 0.0f}, // 49 reserved2
    {50, 0, 1, -1e10f, 1e10f, 0.0f}, // 50 endloopAddrsCoarseOffset
    {51, 0, 1, -120.0f, 120.0f, 0.0f}, // 51 coarseTune
    {52, 0, 1, -99.0f, 99.0f, 0.0f}, // 52 fineTune
    {53, 0, 0, 0.0f, 0.0f, 0.0f}, // 53 sampleID
    {54, 0, 0, 0.0f, 0.0f, 0.0f}, // 54 sampleModes
    {55, 0, 0, 0.0f, 0.0f, 0.0f}, // 55 reserved3
    {56, 0, 1, 0.0f, 1200.0f, 100.0f}, // 56 scaleTuning
    {57, 0, 0, 0.0f, 1.0f, 0.0f}, // 57 exclusiveClass
    {58, 1, 0, 0.0f, 127.0f, -1.0f}, // 58 overridingRootKey
    {59, 1, 0, 0.0f, 127.0f, 0.0f}, // 59 pitch
    {60, 0, 1, 0.0f, 1000.0f, 0.0f},
    {61, 0, 1, 0.0f, 1000.0f, 0.0f},
    {62, 0, 1, 0.0f, 1000.0f, 0.0f},
    {63, 0, 1, 0.0f, 1000.0f, 0.0f},
    {64, 0, 1, 0.0f, 1000.0f, 0.0f},
    {65, 0, 1, 0.0f, 1000.0f, 0.0f},
    {66, 0, 1, 0.0f, 1000.0f, 0.0f},
    {67, 0, 1, 0.0f, 1000.0f, 0.0f},
    {68, 0, 1, 0.0f, 1000.0f, 0.0f},
    {69, 0, 1, 0.0f, 1000.0f, 0.0f},
    {70, 0, 1, 0.0f, 1000.0f, 0.0f},
    {71, 0, 1, 0.0f, 1000.0f, 0.0f},
    {72, 0, 1, 0.0f, 1000.0f, 0.0f},
    {73, 0, 1, 0.0f, 1000.0f, 0.0f},
    {74, 0, 1, 0.0f, 1000.0f, 0.0f},
    {75, 0, 1, 0.0f, 1000.0f, 0.0f},
    {76, 0, 1, 0.0f, 1000.0f, 0.0f},
    {77, 0, 1, 0.0f, 1000.0f, 0.0f},
    {78, 0, 1, 0.0f, 1000.0f, 0.0f},
    {79, 0, 1, 0.0f, 1000.0f, 0.0f},
    {80, 0, 1, 0.0f, 1000.0f, 0.0f},
    {81, 0, 1, 0.0f, 1000.0f, 0.0f},
    {82, 0, 1, 0.0f, 1000.0f, 0.0f},
    {83, 0, 1, 0.0f, 1000.0f, 0.0f},
    {84, 0, 1, 0.0f, 1000.0f, 0.0f},
    {85, 0, 1, 0.0f, 1000.0f, 0.0f},
    {86, 0, 1, 0.0f, 1000.0f, 0.0f},
    {87, 0, 1, 0.0f, 1000.0f, 0.0f},
    {88, 0, 1, 0.0f, 1000.0f, 0.0f},
    {89, 0, 1, 0.0f, 1000.0f, 0.0f},
    {90, 0, 1, 0.0f, 1000.0f, 0.0f},
    {91, 0, 1, 0.0f, 1000.0f, 0.0f},
    {92, 0, 1, 0.0f, 1000.0f, 0.0f},
    {93, 0, 1, 0.0f, 1000.0f, 0.0f},
    {94, 0, 1, 0.0f, 1000.0f, 0.0f},
    {95, 0, 1, 0.0f, 1000.0f, 0.0f},
    {96, 0, 1, 0.0f, 1000.0f, 0.0f},
    {97, 0, 1, 0.0f, 1000.0f, 0.0f},
    {98, 0, 1, 0.0f, 1000.0f, 0.0f},
    {99, 0, 1, 0.0f, 1000.0f, 0.0f},
    {100, 0, 1, 0.0f, 1000.0f, 0.0f},
    {101, 0, 1, 0.0f, 1000.0f, 0.0f},
    {102, 0, 1, 0.0f, 1000.0f, 0.0f},
    {103, 0, 1, 0.0f, 1000.0f, 0.0f},
    {104, 0, 1, 0.0f, 1000.0f, 0.0f},
    {105, 0, 1, 0.0f, 1000.0f, 0.0f},
};

int korvel_gen_set_default_values(korvel_gen_t* gen)
{
    for (int i = 0; i < GEN_LAST; i++) {
        gen[i].flags = GEN_UNUSED;
        gen[i].mod = 0.0;
        gen[i].nrpn = 0.0;
        gen[i].val = korvel_gen_info[i].def;
    }
    return 0;
}

static_assert(sizeof(korvel_zone_gen_t) == 9, "zone generator entries carry no padding");

int korvel_zone_gen_set_default_values(korvel_zone_gen_t* gen)
{
    for (int i = 0; i < GEN_LAST; i++) {
        gen[i].flags = GEN_UNUSED;
        gen[i].val = korvel_gen_info[i].def;
    }
    return 0;
}

float korvel_gen_scale(int gen, float value)
{
    const korvel_gen_info_t& info = korvel_gen_info[gen];
    return info.min + value * (info.max - info.min);
}

float korvel_gen_scale_nrpn(int gen, int data)
{
    float value = std::clamp(static_cast<float>(data) - 8192.0f, -8192.0f, 8192.0f);
    return value * static_cast<float>(korvel_gen_info[gen].nrpn_scale);
}

const char* gen_verbose(int gen)
{
    if (gen < 0 || gen > GEN_LAST) {
        return "not used";
    }
    return gen_names[gen];
}

} // extern "C"
