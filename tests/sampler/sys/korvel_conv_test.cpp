// Unit conversions against the SoundFont 2.04 unit definitions, written out as arithmetic.
#include "sampler/src/sys/korvel_conv.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class Conversions : public ::testing::Test {
protected:
    void SetUp() override { korvel_conversion_config(); }
};

TEST_F(Conversions, AbsoluteCentsFollowTheStandardInsideTheFilterRange)
{
    for (int cents = 1500; cents <= 13500; cents += 37) {
        double standard = 8.176 * std::pow(2.0, cents / 1200.0);
        EXPECT_NEAR(korvel_ct2hz(static_cast<float>(cents)), standard, standard * 2e-4) << cents;
        EXPECT_NEAR(korvel_act2hz(static_cast<float>(cents)), standard, standard * 1e-6) << cents;
    }
    EXPECT_NEAR(korvel_ct2hz(6900.0f), 440.0f, 0.01f);
}

TEST_F(Conversions, ClampedCentsStopAtTheFilterRangeWhileTheUnclampedFormKeepsGoing)
{
    EXPECT_EQ(korvel_ct2hz(1000.0f), korvel_ct2hz(1500.0f));
    EXPECT_NEAR(korvel_ct2hz(1500.0f), 19.45f, 0.01f);
    EXPECT_EQ(korvel_ct2hz(20000.0f), korvel_ct2hz(13500.0f));
    EXPECT_NEAR(korvel_act2hz(0.0f), 8.176f, 1e-4f);
    EXPECT_NEAR(korvel_act2hz(600.0f), 8.176 * std::pow(2.0, 0.5), 1e-4);
    EXPECT_NEAR(korvel_hz2ct(880.0f), 8100.0f, 1e-3f);
}

TEST_F(Conversions, CentibelsFollowTheStandardAtWholeCentibels)
{
    for (int cb = 0; cb <= 960; cb++) {
        double standard = std::pow(10.0, -cb / 200.0);
        EXPECT_NEAR(korvel_cb2amp(static_cast<float>(cb)), standard, standard * 1e-6) << cb;
    }
    EXPECT_EQ(korvel_cb2amp(-5.0f), 1.0f);
    EXPECT_EQ(korvel_cb2amp(0.0f), 1.0f);
    EXPECT_NEAR(korvel_cb2amp(200.0f), 0.1f, 1e-7f);
    EXPECT_EQ(korvel_cb2amp(961.0f), 0.0f);
}

TEST_F(Conversions, TimecentsFollowTheStandardWithTheirClamps)
{
    struct Row {
        float tc;
        double plain, delay, attack;
    };
    const Row rows[] = {
        {0.0f, 1.0, 1.0, 1.0},
        {1200.0f, 2.0, 2.0, 2.0},
        {-7973.0f, std::pow(2.0, -7973.0 / 1200.0), std::pow(2.0, -7973.0 / 1200.0), std::pow(2.0, -7973.0 / 1200.0)},
        {-12500.0f, std::pow(2.0, -12500.0 / 1200.0), std::pow(2.0, -10.0), std::pow(2.0, -10.0)},
        {6000.0f, 32.0, std::pow(2.0, 5000.0 / 1200.0), 32.0},
        {9000.0f, std::pow(2.0, 7.5), std::pow(2.0, 5000.0 / 1200.0), std::pow(2.0, 8000.0 / 1200.0)},
        {-32768.0f, std::pow(2.0, -32768.0 / 1200.0), 0.0, 0.0},
    };
    for (const Row& r : rows) {
        EXPECT_NEAR(korvel_tc2sec(r.tc), r.plain, r.plain * 1e-6 + 1e-12) << r.tc;
        EXPECT_NEAR(korvel_tc2sec_delay(r.tc), r.delay, r.delay * 1e-6) << r.tc;
        EXPECT_NEAR(korvel_tc2sec_attack(r.tc), r.attack, r.attack * 1e-6) << r.tc;
        EXPECT_NEAR(korvel_tc2sec_release(r.tc), r.attack, r.attack * 1e-6) << r.tc;
    }
}

TEST_F(Conversions, PanIsASineLawAcrossTenthsOfAPercent)
{
    EXPECT_NEAR(korvel_pan(0.0f, 0), std::sin(500.0 * M_PI / 2002.0), 1e-6);
    EXPECT_NEAR(korvel_pan(0.0f, 0), 0.7065f, 1e-4f);
    EXPECT_EQ(korvel_pan(-600.0f, 0), 0.0f);
    EXPECT_EQ(korvel_pan(600.0f, 0), 1.0f);
    EXPECT_EQ(korvel_pan(600.0f, 1), 0.0f);
    EXPECT_NEAR(korvel_pan(250.0f, 1), std::sin(250.0 * M_PI / 2002.0), 1e-6);
    EXPECT_NEAR(korvel_pan(500.0f, 0), std::sin(1000.0 * M_PI / 2002.0), 1e-6);
}

TEST_F(Conversions, ConcaveAndConvexCurvesFollowTheirLogarithm)
{
    EXPECT_EQ(korvel_concave(0.0f), 0.0f);
    EXPECT_EQ(korvel_concave(127.0f), 1.0f);
    EXPECT_EQ(korvel_convex(0.0f), 0.0f);
    EXPECT_EQ(korvel_convex(127.0f), 1.0f);
    EXPECT_EQ(korvel_concave(-1.0f), 0.0f);
    EXPECT_EQ(korvel_convex(200.0f), 1.0f);
    for (int i = 1; i < 127; i++) {
        double x = -200.0 / 960.0 * std::log10(double(i) * i / (127.0 * 127.0));
        EXPECT_NEAR(korvel_concave(127.0f - i), x, 1e-6) << i;
        EXPECT_NEAR(korvel_convex(static_cast<float>(i)), 1.0 - x, 1e-6) << i;
    }
    EXPECT_NEAR(korvel_concave(63.0f), 0.1240f, 1e-4f);
}

} // namespace
