// Options: values that hosts write to addresses the parameter tree does not hold.

#include <array>
#include <cmath>

#include "Orvo_Tunedeck_Extension/audiounit/OrvoTunedeck_AudioUnit.h"
#include "shared/globals/Print.h"

namespace {

// The sound sets in the order hosts list them.
constexpr std::array<const char*, 6> kSoundSetRows{"00", "01", "02", "06", "07", "09"};

}  // namespace

bool OrvoTunedeck_AudioUnit::setOption(int64_t address, float value) {
    if (address == kFilePlayerOption) {
        hostStopped_ = value < 0.5f;
        if (value < 0.5f && isSequencerPlaying()) {
            pauseSequencer();
            pausedForHost_ = sequencer_->transportSerial();
        } else if (value >= 0.5f && pausedForHost_) {
            // A player someone stopped, paused or started since stays as they left it.
            if (*pausedForHost_ == sequencer_->transportSerial()) continueSequencer();
            pausedForHost_.reset();
        }
        return true;
    }
    if (address != kSoundSetOption) {
        return false;
    }
    if (!(value > -0.5f && value < static_cast<float>(kSoundSetRows.size()) - 0.5f)) {
        safeprint("OrvoTunedeck_AudioUnit::setOption() : ERROR: There is no sound set in row " +
                  std::to_string(value) + ".");
        return true;
    }
    loadSoundfontMode(kSoundSetRows[static_cast<std::size_t>(std::lround(value))]);
    return true;
}
