#pragma once

#include <string>

// Receives the MIDI file the user picked in the browser. Main queue.
class MIDIFileViewControllerDelegate {
public:
    virtual ~MIDIFileViewControllerDelegate() = default;
    // index: the picked row; path: the file's absolute path.
    virtual void onMIDIFileSelect(int index, const std::string& path) = 0;
};
