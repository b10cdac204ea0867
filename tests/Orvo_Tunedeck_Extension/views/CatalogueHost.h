#pragma once

#include "Orvo_Tunedeck_Extension/catalogue/Soundfontprograms.h"
#include "Orvo_Tunedeck_Extension/views/TunedeckViewHost.h"

#include <memory>

// A host whose audio unit may be missing; with one, its catalogue holds the GS table.
class CatalogueHost : public TunedeckViewHost {
public:
    explicit CatalogueHost(bool withAudioUnit) {
        if (withAudioUnit) catalogue = std::make_unique<Soundfontprograms>();
    }
    const Soundfontprograms* soundfontprograms() const override { return catalogue.get(); }
    std::unique_ptr<Soundfontprograms> catalogue;
};
