#pragma once

#include <cstdint>

// Time of a render call in several clocks; mFlags says which fields are valid. Render code reads mSampleTime.
// Field order and widths are fixed (64 bytes).
//
// Plain data; any thread.

struct SMPTETime {
    std::int16_t mSubframes = 0;
    std::int16_t mSubframeDivisor = 0;
    std::uint32_t mCounter = 0;
    std::uint32_t mType = 0;
    std::uint32_t mFlags = 0;
    std::int16_t mHours = 0;
    std::int16_t mMinutes = 0;
    std::int16_t mSeconds = 0;
    std::int16_t mFrames = 0;
};

enum : std::uint32_t {
    kAudioTimeStampSampleTimeValid = 1u << 0,
    kAudioTimeStampHostTimeValid = 1u << 1,
    kAudioTimeStampRateScalarValid = 1u << 2,
    kAudioTimeStampWordClockTimeValid = 1u << 3,
    kAudioTimeStampSMPTETimeValid = 1u << 4,
};

struct AudioTimeStamp {
    double mSampleTime = 0.0;
    std::uint64_t mHostTime = 0;
    double mRateScalar = 0.0;
    std::uint64_t mWordClockTime = 0;
    SMPTETime mSMPTETime;
    std::uint32_t mFlags = 0;
    std::uint32_t mReserved = 0;
};
