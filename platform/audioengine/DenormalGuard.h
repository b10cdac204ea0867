#pragma once
// Flushes denormal floats to zero for the lifetime of the guard (one render callback), then restores the mode.

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace audioengine {

class DenormalGuard {
public:
#if defined(__SSE__)
    DenormalGuard() noexcept : saved_(_mm_getcsr()) { _mm_setcsr(saved_ | 0x8040U); }  // flush-to-zero, denormals-are-zero
    ~DenormalGuard() { _mm_setcsr(saved_); }
#else
    DenormalGuard() noexcept = default;
#endif
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;

private:
#if defined(__SSE__)
    unsigned int saved_;
#endif
};

}  // namespace audioengine
