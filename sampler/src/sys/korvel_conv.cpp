#include "sampler/src/sys/korvel_conv.h"

#include <cmath>
#include <mutex>
#include <numbers>

namespace {

constexpr int CENTS_HZ_SIZE = 1200;
constexpr int CB_AMP_SIZE = 961;
constexpr int CURVE_SIZE = 128;
constexpr int PAN_SIZE = 1002;

float ct2hz_tab[CENTS_HZ_SIZE];
float cb2amp_tab[CB_AMP_SIZE];
float concave_tab[CURVE_SIZE];
float convex_tab[CURVE_SIZE];
float pan_tab[PAN_SIZE];

std::once_flag tables_built;

void build_tables()
{
    for (int i = 0; i < CENTS_HZ_SIZE; i++) {
        ct2hz_tab[i] = static_cast<float>(std::pow(2.0, i / 1200.0));
    }
    for (int i = 0; i < CB_AMP_SIZE; i++) {
        cb2amp_tab[i] = static_cast<float>(std::pow(10.0, i / -200.0));
    }
    concave_tab[0] = 0.0f;
    concave_tab[CURVE_SIZE - 1] = 1.0f;
    convex_tab[0] = 0.0f;
    convex_tab[CURVE_SIZE - 1] = 1.0f;
    for (int i = 1; i < CURVE_SIZE - 1; i++) {
        double x = -200.0 / 960.0 * std::log10(double(i) * i / (127.0 * 127.0));
        concave_tab[127 - i] = static_cast<float>(x);
        convex_tab[i] = static_cast<float>(1.0 - x);
    }
    for (int i = 0; i < PAN_SIZE; i++) {
        pan_tab[i] = static_cast<float>(std::sin(i * (std::numbers::pi / 2.0) / 1001.0));
    }
}

float tc2sec_clamped(float tc, float lo, float hi)
{
    if (tc < lo) {
        tc = lo;
    }
    if (tc > hi) {
        tc = hi;
    }
    return static_cast<float>(std::pow(2.0, tc / 1200.0));
}

float curve(const float* table, float x)
{
    if (x < 0.0f) {
        return 0.0f;
    }
    if (x > 127.0f) {
        return 1.0f;
    }
    return table[static_cast<int>(x)];
}

} // namespace

extern "C" {

void korvel_conversion_config(void)
{
    std::call_once(tables_built, build_tables);
}

float korvel_ct2hz(float cents)
{
    if (cents < 1500.0f) {
        cents = 1500.0f;
    } else if (cents > 13500.0f) {
        cents = 13500.0f;
    }
    // Octave bands from 900 cents (13.75 Hz) upwards; within a band the table gives the fraction of the octave.
    int band = static_cast<int>((cents - 900.0f) / 1200.0f);
    float band_start = 900.0f + 1200.0f * band;
    float base = 13.75f * static_cast<float>(1 << band);
    int index = static_cast<int>(cents - band_start);
    if (index >= CENTS_HZ_SIZE) {
        index = CENTS_HZ_SIZE - 1;
    }
    return base * ct2hz_tab[index];
}

float korvel_act2hz(float cents)
{
    return static_cast<float>(8.176 * std::pow(2.0, cents / 1200.0));
}

float korvel_hz2ct(float f)
{
    return static_cast<float>(6900.0 + 1200.0 * std::log2(f / 440.0));
}

float korvel_cb2amp(float cb)
{
    if (cb < 0.0f) {
        return 1.0f;
    }
    if (cb >= static_cast<float>(CB_AMP_SIZE)) {
        return 0.0f;
    }
    return cb2amp_tab[static_cast<int>(cb)];
}

float korvel_tc2sec(float tc)
{
    return static_cast<float>(std::pow(2.0, tc / 1200.0));
}

float korvel_tc2sec_delay(float tc)
{
    if (tc <= -32768.0f) {
        return 0.0f;
    }
    return tc2sec_clamped(tc, -12000.0f, 5000.0f);
}

float korvel_tc2sec_attack(float tc)
{
    if (tc <= -32768.0f) {
        return 0.0f;
    }
    return tc2sec_clamped(tc, -12000.0f, 8000.0f);
}

float korvel_tc2sec_release(float tc)
{
    if (tc <= -32768.0f) {
        return 0.0f;
    }
    return tc2sec_clamped(tc, -12000.0f, 8000.0f);
}

float korvel_pan(float cents, int left)
{
    if (left) {
        cents = -cents;
    }
    if (cents < -500.0f) {
        return 0.0f;
    }
    if (cents > 500.0f) {
        return 1.0f;
    }
    return pan_tab[static_cast<int>(cents + 500.0f)];
}

float korvel_concave(float x)
{
    return curve(concave_tab, x);
}

float korvel_convex(float x)
{
    return curve(convex_tab, x);
}

} // extern "C"
