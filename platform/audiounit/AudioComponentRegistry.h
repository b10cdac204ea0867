#pragma once
// The components (kinds of audio units) a process knows: those registered in-process, and those of the modules found
// on the search path (shared libraries exporting TunedeckAudioModuleEntry, see AudioModuleEntry.h). Hosts search by
// description and instantiate a match.
//
// Modules stay loaded for the life of the process. A host that loads modules must export its own symbols (link with
// -rdynamic, CMake ENABLE_EXPORTS) so that a module shares the host's main queue, log sink and registry rather than
// using copies of its own.
//
// Threads: any thread except the render thread; completions of instantiateAsync run on the main queue.

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audiounit/AUAudioUnit.h"
#include "platform/audiounit/ComponentDescription.h"
#include "platform/foundation/Status.h"

// Makes a unit for a description; may throw AudioUnitStatusError.
using AudioComponentFactory = std::function<std::shared_ptr<AUAudioUnit>(const AudioComponentDescription&)>;

class AudioComponent {
public:
    AudioComponent(const AudioComponentDescription& description, std::string name, uint32_t version,
                   AudioComponentFactory factory, std::string modulePath = {})
        : description_(description),
          name_(std::move(name)),
          version_(version),
          factory_(std::move(factory)),
          modulePath_(std::move(modulePath)) {}

    const AudioComponentDescription& description() const { return description_; }
    const std::string& name() const { return name_; }
    uint32_t version() const { return version_; }
    // The module file the component comes from; empty for in-process registrations.
    const std::string& modulePath() const { return modulePath_; }

    // Makes a unit on the calling thread, with the component's identity set. Throws AudioUnitStatusError (also for
    // a factory that returns none: kAudioUnitErr_FailedInitialization).
    std::shared_ptr<AUAudioUnit> instantiate() const;

private:
    AudioComponentDescription description_;
    std::string name_;
    uint32_t version_;
    AudioComponentFactory factory_;
    std::string modulePath_;
};

// Whether component matches a searched description: each of type, subtype and manufacturer is 0 in the search or
// equal, and the flags agree on the bits of the searched flags mask.
bool componentMatches(const AudioComponentDescription& component, const AudioComponentDescription& searched);

class AudioComponentRegistry {
public:
    using Completion = std::function<void(std::shared_ptr<AUAudioUnit> unit, foundation::OSStatus status)>;

    // The process's registry; its search path starts with the folders of $TUNEDECK_AUDIO_MODULE_PATH
    // (colon-separated).
    static AudioComponentRegistry& shared();

    AudioComponentRegistry() = default;
    AudioComponentRegistry(const AudioComponentRegistry&) = delete;
    AudioComponentRegistry& operator=(const AudioComponentRegistry&) = delete;

    void registerComponent(const AudioComponentDescription& description, std::string name, uint32_t version,
                           AudioComponentFactory factory);

    void addSearchFolder(const std::filesystem::path& folder);
    std::vector<std::filesystem::path> searchFolders() const;
    // Loads the modules of the search path not loaded yet (files ending in ".so", in name order). Returns one line
    // per module that could not be used (not loadable, no entry point, another interface version).
    std::vector<std::string> loadModules();

    // The matching components: in-process ones in registration order, then those of the modules in load order.
    // Loads new modules of the search path first.
    std::vector<AudioComponent> components(const AudioComponentDescription& matching);

    // Searches and makes the first match on the calling thread; completion runs later on the main queue with the
    // unit and noErr, or with nullptr and the status (kAudio_ParamError when nothing matches).
    void instantiateAsync(const AudioComponentDescription& description, Completion completion);
    static void instantiateAsync(const AudioComponent& component, Completion completion);

private:
    struct Module {
        std::filesystem::path path;
        void* handle;
    };

    mutable std::mutex mutex_;
    std::vector<AudioComponent> registered_;
    std::vector<AudioComponent> fromModules_;
    std::vector<Module> modules_;
    std::vector<std::filesystem::path> searchFolders_;
};
