#pragma once

#include <cstddef>
#include <string>

// Receives the MIDI file the user picked in the browser. Main queue.
class MIDIFileViewControllerDelegate {
public:
    virtual ~MIDIFileViewControllerDelegate() = default;
    // index: the picked row; path: the file's absolute path.
    virtual void onMIDIFileSelect(std::ptrdiff_t index, const std::string& path) = 0;
};
