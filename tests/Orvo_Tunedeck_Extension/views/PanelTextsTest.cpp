#include "Orvo_Tunedeck_Extension/views/PanelTexts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct TextCase {
    double value;
    const char* expected;
};

TEST(PanelTexts, VolumeIsTheWholePartOfTheControllerValue) {
    const TextCase cases[] = {{0.79, "100"}, {0, "0"}, {1, "127"}, {0.999, "126"}, {std::nan(""), "0"}};
    for (const auto& c : cases) EXPECT_EQ(volumeText(c.value), c.expected) << c.value;
}

TEST(PanelTexts, TransposeShowsTheSemitonesThatAreSent) {
    const TextCase cases[] = {
        {0.5, "0"}, {0, "-12"}, {1, "12"}, {12.5 / 24, "1"}, {11.5 / 24, "-1"}, {0.47, "-1"}, {0.01, "-12"},
        {0.49, "0"},  // -0.24 semitones: never "-0"
        {std::nan(""), "0"},
    };
    for (const auto& c : cases) EXPECT_EQ(transposeText(c.value), c.expected) << c.value;
}

TEST(PanelTexts, ProgressIsAPercentage) {
    const TextCase cases[] = {{0.5, "50 %"}, {0, "0 %"}, {1, "100 %"}, {0.999, "99 %"},
                              {std::numeric_limits<double>::infinity(), "2147483647 %"}, {std::nan(""), "0 %"}};
    for (const auto& c : cases) EXPECT_EQ(progressText(c.value), c.expected) << c.value;
}

}  // namespace
