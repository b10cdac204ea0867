#include "platform/audiounit/AudioModuleDefinition.h"

AudioModuleDefinition::AudioModuleDefinition(std::vector<Component> components) : components_(std::move(components)) {
    for (const auto& component : components_)
        infos_.push_back({component.description, component.name.c_str(), component.version});
    module_.interfaceVersion = TUNEDECK_AUDIO_MODULE_INTERFACE_VERSION;
    module_.componentCount = static_cast<uint32_t>(infos_.size());
    module_.components = infos_.data();
    module_.context = this;
    module_.instantiate = &AudioModuleDefinition::instantiate;
}

int32_t AudioModuleDefinition::instantiate(void* context, uint32_t index, const AudioComponentDescription* description,
                                           void* unit) noexcept {
    auto* self = static_cast<AudioModuleDefinition*>(context);
    if (self == nullptr || index >= self->components_.size() || description == nullptr || unit == nullptr)
        return foundation::kAudio_ParamError;
    try {
        auto made = self->components_[index].factory(*description);
        if (!made) return foundation::kAudioUnitErr_FailedInitialization;
        *static_cast<std::shared_ptr<AUAudioUnit>*>(unit) = std::move(made);
        return foundation::noErr;
    } catch (const AudioUnitStatusError& error) {
        return error.status();
    } catch (...) {
        return foundation::kAudioUnitErr_FailedInitialization;
    }
}
