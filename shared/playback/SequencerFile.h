#pragma once

#include <memory>
#include <string>
#include <vector>

#include "shared/events/AUMIDIEventEx.h"

// A file's path beside the sample-timed events made from it, as a plain record. The player keeps its song in its
// own form; nothing makes one of these yet.
//
// Plain data: one thread at a time.
struct SequencerFile {
    std::string filePath;
    std::vector<std::shared_ptr<AUMIDIEventEx>> fileEvents;
};
