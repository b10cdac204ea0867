#include "Orvo_Tunedeck_Extension/controller/TrackingSlider.h"

void TrackingSlider::touchesEnded(const std::vector<ui::Touch>&) {
    if (editingEnded) editingEnded(*this);
}

void TrackingSlider::touchesCancelled(const std::vector<ui::Touch>&) {
    if (editingEnded) editingEnded(*this);
}
