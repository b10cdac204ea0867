#pragma once
// Makes the synthesizer stand-in known to a component registry under kMIDISynthDescription, so that hosts
// instantiate it by description like any other unit.
//
// Threads: any thread except the render thread.

#include "platform/audiounit/AudioComponentRegistry.h"

void registerMIDISynth(AudioComponentRegistry& registry = AudioComponentRegistry::shared());
