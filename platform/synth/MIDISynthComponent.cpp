#include "platform/synth/MIDISynthComponent.h"

#include "platform/synth/MIDISynthUnit.h"

void registerMIDISynth(AudioComponentRegistry& registry) {
    registry.registerComponent(kMIDISynthDescription, "Tunedeck: MIDI Synthesizer", 0x00010000,
                               [](const AudioComponentDescription& description) {
                                   return std::make_shared<MIDISynthUnit>(description);
                               });
}
