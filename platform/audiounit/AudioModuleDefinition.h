#pragma once
// Helps a module define its entry point:
//
//   extern "C" __attribute__((visibility("default"))) const TunedeckAudioModule* TunedeckAudioModuleEntry() {
//       static AudioModuleDefinition module({{description, "Maker: Unit", 1, factory}});
//       return module.module();
//   }

#include <memory>
#include <string>
#include <vector>

#include "platform/audiounit/AudioComponentRegistry.h"
#include "platform/audiounit/AudioModuleEntry.h"

class AudioModuleDefinition {
public:
    struct Component {
        AudioComponentDescription description;
        std::string name;
        uint32_t version;
        AudioComponentFactory factory;
    };

    explicit AudioModuleDefinition(std::vector<Component> components);
    AudioModuleDefinition(const AudioModuleDefinition&) = delete;
    AudioModuleDefinition& operator=(const AudioModuleDefinition&) = delete;

    const TunedeckAudioModule* module() const { return &module_; }

private:
    static int32_t instantiate(void* context, uint32_t index, const AudioComponentDescription* description,
                               void* unit) noexcept;

    std::vector<Component> components_;
    std::vector<TunedeckAudioComponentInfo> infos_;
    TunedeckAudioModule module_{};
};
