// Offline rendering of a synthesizer into a 16-bit stereo WAV file, or into nothing when no file is given. What goes
// to the file passes the product's output limiter first, so that a loud song is held below full scale instead of
// clipping; the limiter's look-ahead is taken out again, so every frame lands where the synthesizer rendered it.
// The samples go to a file that takes the target's name only when it is complete (foundation::FileTarget): a run
// that fails or is killed leaves an older file of that name as it was, and a device, FIFO or folder is never
// written.
//
// Thread contract: one thread, the one that also drives the synthesizer (the command shell's thread).
#pragma once

#include "platform/audioengine/PeakLimiter.h"
#include "platform/foundation/FileTarget.h"
#include "sampler/src/synth/korvel_synth.h"

#include <sndfile.h>

#include <optional>
#include <string>
#include <vector>

namespace korvelshell {

class OfflineRender {
public:
    // The limiter's ceiling: a dB below full scale, so that no point of the file reaches its largest value.
    static constexpr double CEILING_DECIBELS = -1.0;

    // Renders the synthesizer at its own sample rate.
    explicit OfflineRender(korvel_synth_t* synth);
    ~OfflineRender();
    OfflineRender(const OfflineRender&) = delete;
    OfflineRender& operator=(const OfflineRender&) = delete;

    // Creates the file for path that later renders go to. False, with the reason in error(), when it cannot be
    // made (path is no regular file, or its folder is missing or cannot be written).
    bool open(const std::string& path);
    // Renders `frames` frames; they go to the file, limited, when one is open. False when writing fails.
    bool render(long frames);
    // Writes what the limiter still holds, closes the file and gives it the target's name. False, with the reason
    // in error() and nothing left behind, when the file could not be completed. A file in place whose folder could
    // not be flushed to the disk is complete; warning() then says so.
    bool close();
    // Closes the file and removes it, leaving the target as it was: for a run whose input failed (and what a run
    // that ends without close() gets).
    void discard();

    double sampleRate() const { return rate_; }
    long framesWritten() const { return written_; }
    // The largest magnitude of either channel of the synthesizer's output in the frames of the last render() call.
    float lastPeak() const { return peak_; }
    const std::string& error() const { return error_; }
    const std::string& warning() const { return warning_; }

private:
    // Limits `frames` frames of left_ and right_ and writes them, less the look-ahead still to be taken out.
    bool write(int frames);

    korvel_synth_t* synth_;
    double rate_;
    SNDFILE* file_ = nullptr;
    std::optional<foundation::FileTarget> target_;
    long rendered_ = 0;
    long written_ = 0;
    long delayLeft_ = 0; // frames of the limiter's look-ahead not yet taken out of the file's start
    float peak_ = 0.0f;
    std::string error_;
    std::string warning_;
    audioengine::PeakLimiter limiter_;
    std::vector<float> left_;
    std::vector<float> right_;
    std::vector<float> interleaved_;
};

} // namespace korvelshell
