#include "platform/audiounit/AudioComponentRegistry.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "platform/audiounit/AudioModuleEntry.h"
#include "platform/dispatch/MainQueue.h"

std::shared_ptr<AUAudioUnit> AudioComponent::instantiate() const {
    auto unit = factory_(description_);
    if (!unit)
        throw AudioUnitStatusError(foundation::kAudioUnitErr_FailedInitialization,
                                   "component '" + name_ + "' made no unit");
    unit->setComponentIdentity(name_, version_);
    return unit;
}

bool componentMatches(const AudioComponentDescription& component, const AudioComponentDescription& searched) {
    auto field = [](OSType wanted, OSType have) { return wanted == 0 || wanted == have; };
    return field(searched.componentType, component.componentType) &&
           field(searched.componentSubType, component.componentSubType) &&
           field(searched.componentManufacturer, component.componentManufacturer) &&
           ((component.componentFlags ^ searched.componentFlags) & searched.componentFlagsMask) == 0;
}

AudioComponentRegistry& AudioComponentRegistry::shared() {
    static AudioComponentRegistry* registry = [] {
        auto* made = new AudioComponentRegistry();
        if (const char* path = std::getenv("TUNEDECK_AUDIO_MODULE_PATH")) {
            std::stringstream folders(path);
            std::string folder;
            while (std::getline(folders, folder, ':'))
                if (!folder.empty()) made->addSearchFolder(folder);
        }
        return made;
    }();
    return *registry;
}

void AudioComponentRegistry::registerComponent(const AudioComponentDescription& description, std::string name,
                                               uint32_t version, AudioComponentFactory factory) {
    std::lock_guard lock(mutex_);
    registered_.emplace_back(description, std::move(name), version, std::move(factory));
}

void AudioComponentRegistry::addSearchFolder(const std::filesystem::path& folder) {
    std::lock_guard lock(mutex_);
    if (std::find(searchFolders_.begin(), searchFolders_.end(), folder) == searchFolders_.end())
        searchFolders_.push_back(folder);
}

std::vector<std::filesystem::path> AudioComponentRegistry::searchFolders() const {
    std::lock_guard lock(mutex_);
    return searchFolders_;
}

std::vector<std::string> AudioComponentRegistry::loadModules() {
    std::lock_guard lock(mutex_);
    std::vector<std::string> problems;
    for (const auto& folder : searchFolders_) {
        std::error_code error;
        std::vector<std::filesystem::path> files;
        for (const auto& item : std::filesystem::directory_iterator(folder, error))
            if (item.path().extension() == ".so" && item.is_regular_file(error)) files.push_back(item.path());
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            const std::filesystem::path path = std::filesystem::weakly_canonical(file, error);
            if (std::any_of(modules_.begin(), modules_.end(), [&](const Module& m) { return m.path == path; })) continue;
            void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (handle == nullptr) {
                const char* reason = dlerror();
                problems.push_back("cannot load audio module '" + path.string() + "': " + (reason ? reason : "?"));
                modules_.push_back({path, nullptr});
                continue;
            }
            modules_.push_back({path, handle});
            auto entry =
                reinterpret_cast<TunedeckAudioModuleEntryFunction>(dlsym(handle, TUNEDECK_AUDIO_MODULE_ENTRY_NAME));
            const TunedeckAudioModule* module = entry != nullptr ? entry() : nullptr;
            if (module == nullptr) {
                problems.push_back("audio module '" + path.string() + "' has no " TUNEDECK_AUDIO_MODULE_ENTRY_NAME);
                continue;
            }
            if (module->interfaceVersion != TUNEDECK_AUDIO_MODULE_INTERFACE_VERSION) {
                problems.push_back("audio module '" + path.string() + "' has interface version " +
                                   std::to_string(module->interfaceVersion) + ", not " +
                                   std::to_string(TUNEDECK_AUDIO_MODULE_INTERFACE_VERSION));
                continue;
            }
            for (uint32_t i = 0; i < module->componentCount; ++i) {
                const TunedeckAudioComponentInfo& info = module->components[i];
                AudioComponentFactory factory = [module, i](const AudioComponentDescription& description) {
                    std::shared_ptr<AUAudioUnit> unit;
                    const int32_t status = module->instantiate(module->context, i, &description, &unit);
                    if (status != foundation::noErr)
                        throw AudioUnitStatusError(status, "the audio module refused to make the unit");
                    return unit;
                };
                fromModules_.emplace_back(info.description, info.name != nullptr ? info.name : "", info.version,
                                          std::move(factory), path.string());
            }
        }
    }
    return problems;
}

std::vector<AudioComponent> AudioComponentRegistry::components(const AudioComponentDescription& matching) {
    loadModules();
    std::lock_guard lock(mutex_);
    std::vector<AudioComponent> found;
    for (const auto* list : {&registered_, &fromModules_})
        for (const auto& component : *list)
            if (componentMatches(component.description(), matching)) found.push_back(component);
    return found;
}

void AudioComponentRegistry::instantiateAsync(const AudioComponentDescription& description, Completion completion) {
    const auto found = components(description);
    if (found.empty()) {
        dispatch::MainQueue::shared().async(
            [completion = std::move(completion)] { completion(nullptr, foundation::kAudio_ParamError); });
        return;
    }
    instantiateAsync(found.front(), std::move(completion));
}

void AudioComponentRegistry::instantiateAsync(const AudioComponent& component, Completion completion) {
    std::shared_ptr<AUAudioUnit> unit;
    foundation::OSStatus status = foundation::noErr;
    try {
        unit = component.instantiate();
    } catch (const AudioUnitStatusError& error) {
        status = error.status();
    }
    dispatch::MainQueue::shared().async(
        [completion = std::move(completion), unit = std::move(unit), status] { completion(unit, status); });
}
