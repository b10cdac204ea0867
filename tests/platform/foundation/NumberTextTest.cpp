#include "platform/foundation/NumberText.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using foundation::numberText;

TEST(NumberText, DoublesPrintLikeTheLogTexts) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {120.0, "120.0"},   {0.79, "0.79"},     {4.0, "4.0"},          {0.0, "0.0"},
        {-0.0, "-0.0"},     {-96.0, "-96.0"},   {0.5, "0.5"},          {1.0 / 3.0, "0.3333333333333333"},
        {48000.0, "48000.0"}, {0.0001, "0.0001"}, {0.00001, "1e-05"},  {1.5e-7, "1.5e-07"},
        {9007199254740992.0, "9007199254740992.0"}, {1e16, "1e+16"},   {1.25e100, "1.25e+100"},
        {123.456, "123.456"}, {-0.016666, "-0.016666"},
        {std::numeric_limits<double>::infinity(), "inf"},
        {-std::numeric_limits<double>::infinity(), "-inf"},
        {std::numeric_limits<double>::quiet_NaN(), "nan"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(numberText(c.value), c.text) << c.text;
    }
}

TEST(NumberText, FloatsPrintTheirOwnShortestDigits) {
    const struct {
        float value;
        const char* text;
    } cases[] = {
        {0.79f, "0.79"}, {0.1f, "0.1"}, {4.0f, "4.0"}, {16777216.0f, "16777216.0"},
        {33554432.0f, "3.3554432e+07"}, {-12.0f, "-12.0"}, {0.5f, "0.5"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(numberText(c.value), c.text) << c.text;
    }
}

TEST(NumberText, Hex2XPadsToTwoCharactersWithASpace) {
    EXPECT_EQ(foundation::hexText2X(0x0F), " F");
    EXPECT_EQ(foundation::hexText2X(0x00), " 0");
    EXPECT_EQ(foundation::hexText2X(0x7F), "7F");
    EXPECT_EQ(foundation::hexText2X(0xF0), "F0");
    EXPECT_EQ(foundation::hexText2X(0x100), "100");
}

}  // namespace
