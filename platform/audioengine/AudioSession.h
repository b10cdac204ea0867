#pragma once
// The process's audio session: records the category, the preferred sample rate (48000 Hz unless set) and whether it
// is active. Engines made without an explicit output run at the preferred rate. Thread-safe.

#include <mutex>

namespace audioengine {

class AudioSession {
public:
    enum class Category { ambient, playback, record, playAndRecord };

    static constexpr double kDefaultSampleRate = 48000.0;

    static AudioSession& sharedInstance();

    bool setCategory(Category category);
    Category category() const;
    // Refuses (false) rates outside 8000 to 384000 Hz.
    bool setPreferredSampleRate(double sampleRateHz);
    double preferredSampleRate() const;
    // The rate in use: the preferred one.
    double sampleRate() const { return preferredSampleRate(); }
    bool setActive(bool active);
    bool isActive() const;

private:
    mutable std::mutex mutex_;
    Category category_ = Category::ambient;
    double preferredSampleRate_ = kDefaultSampleRate;
    bool active_ = false;
};

}  // namespace audioengine
