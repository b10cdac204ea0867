#pragma once
// The C interface of a loadable module of audio units. A module is a shared library that exports one C function,
// TunedeckAudioModuleEntry, which returns the description of the components it holds and a function that makes
// their units. Hosts find modules on the registry's search path (AudioComponentRegistry).

#include <stdint.h>

#include "platform/audiounit/ComponentDescription.h"

#ifdef __cplusplus
extern "C" {
#endif

#define TUNEDECK_AUDIO_MODULE_ENTRY_NAME "TunedeckAudioModuleEntry"
// Raised whenever the layout below or the unit classes change incompatibly.
#define TUNEDECK_AUDIO_MODULE_INTERFACE_VERSION 1u

struct TunedeckAudioComponentInfo {
    struct AudioComponentDescription description;
    const char* name;  // "Maker: Unit"
    uint32_t version;
};

struct TunedeckAudioModule {
    uint32_t interfaceVersion;
    uint32_t componentCount;
    const struct TunedeckAudioComponentInfo* components;
    void* context;
    // Makes a unit of components[index] for description (the caller's, with the component's fields) and stores it in
    // *unit, which points to a std::shared_ptr<AUAudioUnit>. Returns 0 or a status code; never throws.
    int32_t (*instantiate)(void* context, uint32_t index, const struct AudioComponentDescription* description,
                           void* unit);
};

typedef const struct TunedeckAudioModule* (*TunedeckAudioModuleEntryFunction)(void);

#ifdef __cplusplus
}
#endif
