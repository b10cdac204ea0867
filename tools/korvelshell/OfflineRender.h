// Offline rendering of a synthesizer into a 16-bit stereo WAV file, or into nothing when no file is given.
//
// Thread contract: one thread, the one that also drives the synthesizer (the command shell's thread).
#pragma once

#include "sampler/src/synth/korvel_synth.h"

#include <sndfile.h>

#include <string>
#include <vector>

namespace korvelshell {

class OfflineRender {
public:
    // Renders the synthesizer at its own sample rate.
    explicit OfflineRender(korvel_synth_t* synth);
    ~OfflineRender();
    OfflineRender(const OfflineRender&) = delete;
    OfflineRender& operator=(const OfflineRender&) = delete;

    // Creates the WAV file that later renders go to. False, with the reason in error(), when it cannot be made.
    bool open(const std::string& path);
    // Renders `frames` frames; they go to the file when one is open (loud samples are clipped, not wrapped).
    // False when writing fails.
    bool render(long frames);
    // Closes the file, writing its header. False when the file could not be completed.
    bool close();

    double sampleRate() const { return rate_; }
    long framesWritten() const { return written_; }
    // The largest magnitude of either channel in the frames of the last render() call.
    float lastPeak() const { return peak_; }
    const std::string& error() const { return error_; }

private:
    korvel_synth_t* synth_;
    double rate_;
    SNDFILE* file_ = nullptr;
    long written_ = 0;
    float peak_ = 0.0f;
    std::string error_;
    std::vector<float> interleaved_;
};

} // namespace korvelshell
