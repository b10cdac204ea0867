// Full-state files through the unit wrapper's reader into the instrument: the property list, then the preset
// document that the instrument applies to its parameters.
#include "Orvo_Tunedeck_Extension/audiounit/OrvoTunedeck_AudioUnit.h"
#include "fuzz/FuzzInput.h"
#include "platform/audiounit/AudioComponentRegistry.h"
#include "platform/dispatch/MainQueue.h"
#include "shared/audiounitbase/AudioUnitBase.h"

namespace {
// Never destroyed: the wrapper detaches from the main queue, a static that may be gone when statics are destroyed.
const std::shared_ptr<AudioUnitBase>* wrapper = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::silenceStandardOutput();
    AudioComponentRegistry::shared().registerComponent(
        OrvoTunedeck_AudioUnit::kComponentDescription, "Fuzz: Instrument", 1,
        [](const AudioComponentDescription& description) {
            return std::make_shared<OrvoTunedeck_AudioUnit>(description);
        });
    wrapper = new std::shared_ptr<AudioUnitBase>(
        std::make_shared<AudioUnitBase>(std::make_shared<audioengine::Engine>()));
    (*wrapper)->create("Full state (fuzz)");
    dispatch::MainQueue::shared().drain();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::InputFile file(data, size);
    (*wrapper)->loadFullState(file.path());
    // Log lines wait on the main queue.
    dispatch::MainQueue::shared().drain();
    return 0;
}
