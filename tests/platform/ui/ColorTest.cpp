#include "platform/ui/Color.h"

#include <gtest/gtest.h>

namespace {

struct HsvCase {
    double hue;
    ui::Color expected;
};

TEST(Color, HsbConversionMatchesTheStandardFormulaAroundTheWheel) {
    const HsvCase cases[] = {
        {0.0, {0.8, 0.4, 0.4, 1}},      {1 / 16.0, {0.8, 0.55, 0.4, 1}}, {3 / 16.0, {0.75, 0.8, 0.4, 1}},
        {6 / 16.0, {0.4, 0.8, 0.5, 1}}, {9 / 16.0, {0.4, 0.65, 0.8, 1}}, {11 / 16.0, {0.45, 0.4, 0.8, 1}},
        {15 / 16.0, {0.8, 0.4, 0.55, 1}}, {1.0, {0.8, 0.4, 0.4, 1}},
    };
    for (const auto& c : cases) {
        const ui::Color color = ui::Color::fromHsba({c.hue, 0.5, 0.8, 1});
        EXPECT_NEAR(color.red, c.expected.red, 1e-9) << c.hue;
        EXPECT_NEAR(color.green, c.expected.green, 1e-9) << c.hue;
        EXPECT_NEAR(color.blue, c.expected.blue, 1e-9) << c.hue;
        const ui::Hsba back = color.toHsba();
        EXPECT_NEAR(back.saturation, 0.5, 1e-9);
        EXPECT_NEAR(back.brightness, 0.8, 1e-9);
        EXPECT_NEAR(back.hue, c.hue == 1.0 ? 0.0 : c.hue, 1e-9);
    }
}

TEST(Color, GreyHasNoHueOrSaturationAndBadComponentsAreClamped) {
    const ui::Hsba grey = ui::Color::lightGray().toHsba();
    EXPECT_EQ(grey.hue, 0);
    EXPECT_EQ(grey.saturation, 0);
    EXPECT_NEAR(grey.brightness, 2.0 / 3, 1e-12);

    const ui::Color odd = ui::Color::fromHsba({std::numeric_limits<double>::quiet_NaN(), 2, -1, 5});
    EXPECT_EQ(odd, (ui::Color{0, 0, 0, 1}));
}

TEST(Color, DefaultIsTransparentAndWithAlphaKeepsTheComponents) {
    EXPECT_EQ(ui::Color{}.alpha, 0);
    EXPECT_EQ(ui::Color::white().withAlpha(0.3), (ui::Color{1, 1, 1, 0.3}));
}

}  // namespace
