#pragma once

#include "platform/ui/Slider.h"

#include <functional>

// A slider that also tells when the finger that moved it lifts or is cancelled.
//
// Thread contract: main queue only.
class TrackingSlider : public ui::Slider {
public:
    using ui::Slider::Slider;

    // Runs at the end of every touch on the slider; may be empty.
    std::function<void(ui::Slider&)> editingEnded;

    void touchesEnded(const std::vector<ui::Touch>& touches) override;
    void touchesCancelled(const std::vector<ui::Touch>& touches) override;
};
