#pragma once

#include "platform/ui/ImageSurface.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

// Compares a pixel with an expected colour within a tolerance per channel.
inline ::testing::AssertionResult pixelNear(const ui::ImageSurface& image, int x, int y, ui::Pixel expected,
                                            int tolerance = 3) {
    const ui::Pixel p = image.pixel(x, y);
    auto near = [tolerance](int a, int b) { return std::abs(a - b) <= tolerance; };
    if (near(p.red, expected.red) && near(p.green, expected.green) && near(p.blue, expected.blue) &&
        near(p.alpha, expected.alpha)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << int(p.red) << "/"
                                         << int(p.green) << "/" << int(p.blue) << "/" << int(p.alpha)
                                         << ", expected " << int(expected.red) << "/" << int(expected.green) << "/"
                                         << int(expected.blue) << "/" << int(expected.alpha);
}

inline constexpr ui::Pixel kBlack{0, 0, 0, 255};
inline constexpr ui::Pixel kWhite{255, 255, 255, 255};
inline constexpr ui::Pixel kRed{255, 0, 0, 255};
