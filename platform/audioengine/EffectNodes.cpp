#include "platform/audioengine/EffectNodes.h"

#include "platform/audioengine/EqualizerNode.h"
#include "platform/audioengine/LimiterNode.h"
#include "platform/audioengine/ReverbNode.h"
#include "platform/audioengine/UnitNode.h"

namespace audioengine {

namespace {

bool sameComponent(const AudioComponentDescription& a, const AudioComponentDescription& b) {
    return a.componentType == b.componentType && a.componentSubType == b.componentSubType &&
           a.componentManufacturer == b.componentManufacturer;
}

}  // namespace

std::shared_ptr<Node> makeEffectNode(const AudioComponentDescription& description, std::string& error,
                                     AudioComponentRegistry& registry) {
    if (sameComponent(description, kPeakLimiterDescription)) return std::make_shared<LimiterNode>();
    if (sameComponent(description, kReverbDescription)) return std::make_shared<ReverbNode>();
    if (sameComponent(description, kEqualizerDescription)) return std::make_shared<EqualizerNode>(3);
    return UnitNode::instantiate(description, error, registry);
}

}  // namespace audioengine
