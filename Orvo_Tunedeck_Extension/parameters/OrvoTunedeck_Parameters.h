#pragma once

#include <memory>
#include <vector>

#include "Orvo_Tunedeck_Extension/dsp/OrvoTunedeckDSPKernelAdapter.h"
#include "platform/audiounit/AUParameterTree.h"

// Owner of the unit's parameter tree, built from TunedeckParameterLayout (165 parameters, 11 groups, addresses
// 1001-1005 and 1016-1175). Values live only in the kernel adapter's parameter store; the tree reads and writes
// through to it.
//
// Thread contract: construct on the thread that creates the audio unit, before the tree is shared. The tree's
// values may then be read and written from any thread except the render thread (see AUParameterTree).
class OrvoTunedeck_Parameters {
public:
    // Builds the tree over adapter, pushes every build value into the adapter's store and installs the tree's value
    // observer, value provider and display-text callback (each holding the adapter).
    explicit OrvoTunedeck_Parameters(std::shared_ptr<OrvoTunedeckDSPKernelAdapter> adapter);
    OrvoTunedeck_Parameters(const OrvoTunedeck_Parameters&) = delete;
    OrvoTunedeck_Parameters& operator=(const OrvoTunedeck_Parameters&) = delete;

    std::shared_ptr<AUParameterTree> parameterTree;
    // The eleven groups in build order: global first, then the channel groups.
    std::vector<std::shared_ptr<AUParameterGroup>> groups;

private:
    void buildTree();
};
