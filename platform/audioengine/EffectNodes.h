#pragma once
// Engine nodes made from a component description, the way a host asks for an effect: the engine's own peak limiter,
// reverb and equaliser for their descriptions, otherwise a unit node over the registry's first match.

#include <memory>
#include <string>

#include "platform/audioengine/Node.h"
#include "platform/audiounit/AudioComponentRegistry.h"

namespace audioengine {

// 'aufx' / 'lmtr' / 'appl': the peak limiter with its defaults.
inline constexpr AudioComponentDescription kPeakLimiterDescription{0x61756678, 0x6C6D7472, 0x6170706C, 0, 0};
// 'aufx' / 'rvb2' / 'appl': the reverb.
inline constexpr AudioComponentDescription kReverbDescription{0x61756678, 0x72766232, 0x6170706C, 0, 0};
// 'aufx' / 'nbeq' / 'appl': the parametric equaliser (three bands).
inline constexpr AudioComponentDescription kEqualizerDescription{0x61756678, 0x6E626571, 0x6170706C, 0, 0};

// A new node for description, or nullptr with the reason in error. Control thread.
std::shared_ptr<Node> makeEffectNode(const AudioComponentDescription& description, std::string& error,
                                     AudioComponentRegistry& registry = AudioComponentRegistry::shared());

}  // namespace audioengine
