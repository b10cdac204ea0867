#include "platform/audioengine/AudioSession.h"

namespace audioengine {

AudioSession& AudioSession::sharedInstance() {
    static AudioSession session;
    return session;
}

bool AudioSession::setCategory(Category category) {
    std::lock_guard lock(mutex_);
    category_ = category;
    return true;
}

AudioSession::Category AudioSession::category() const {
    std::lock_guard lock(mutex_);
    return category_;
}

bool AudioSession::setPreferredSampleRate(double sampleRateHz) {
    if (!(sampleRateHz >= 8000.0 && sampleRateHz <= 384000.0)) return false;
    std::lock_guard lock(mutex_);
    preferredSampleRate_ = sampleRateHz;
    return true;
}

double AudioSession::preferredSampleRate() const {
    std::lock_guard lock(mutex_);
    return preferredSampleRate_;
}

bool AudioSession::setActive(bool active) {
    std::lock_guard lock(mutex_);
    active_ = active;
    return true;
}

bool AudioSession::isActive() const {
    std::lock_guard lock(mutex_);
    return active_;
}

}  // namespace audioengine
