// A loadable module with two components, for the registry tests.

#include "platform/audiounit/AudioModuleDefinition.h"
#include "tests/platform/audiounit/RecordingInstrument.h"

using audiounit_testing::fourCC;

extern "C" __attribute__((visibility("default"))) const TunedeckAudioModule* TunedeckAudioModuleEntry() {
    static AudioModuleDefinition module({
        {{fourCC("aumu"), fourCC("modA"), fourCC("Modl"), 0, 0}, "Module Maker: Module Instrument", 3,
         [](const AudioComponentDescription& description) {
             return std::make_shared<audiounit_testing::RecordingInstrument>(description, 0.5f);
         }},
        {{fourCC("aufx"), fourCC("modF"), fourCC("Modl"), 0, 0}, "Module Maker: Refusing Effect", 1,
         [](const AudioComponentDescription&) -> std::shared_ptr<AUAudioUnit> {
             throw AudioUnitStatusError(foundation::kAudioUnitErr_FailedInitialization, "refused");
         }},
    });
    return module.module();
}
