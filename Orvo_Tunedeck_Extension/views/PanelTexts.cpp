#include "Orvo_Tunedeck_Extension/views/PanelTexts.h"

#include <cmath>
#include <limits>

namespace {

// Whole part towards zero, NaN as 0, saturating at the int range.
long long toWhole(double value) {
    if (std::isnan(value)) return 0;
    constexpr double limit = static_cast<double>(std::numeric_limits<int>::max());
    return static_cast<long long>(std::fmax(-limit, std::fmin(limit, value)));
}

}  // namespace

std::string volumeText(double value) { return std::to_string(toWhole(value * 127)); }

std::string transposeText(double value) {
    return std::to_string(toWhole(std::round(value * 24 - 12)));
}

std::string progressText(double value) { return std::to_string(toWhole(value * 100)) + " %"; }
