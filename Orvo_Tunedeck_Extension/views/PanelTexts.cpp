#include "Orvo_Tunedeck_Extension/views/PanelTexts.h"

#include <cmath>
#include <limits>

namespace {

long long toWhole(double value) {
    if (std::isnan(value)) return 0;
    constexpr double limit = static_cast<double>(std::numeric_limits<int>::max());
    const double clamped = std::fmax(-limit, std::fmin(limit, value));
    const long long whole = static_cast<long long>(clamped);
    return whole;
}

double finiteOrZero(double value) { return std::isnan(value) ? 0.0 : value; }

}  // namespace

std::string volumeText(double value) { return std::to_string(toWhole(finiteOrZero(value) * 127)); }

std::string transposeText(double value) {
    return std::to_string(toWhole(std::round(finiteOrZero(value) * 24 - 12)));
}

std::string progressText(double value) { return std::to_string(toWhole(finiteOrZero(value) * 100)) + " %"; }
