// Placement of the plug-in view and the visibility test of the display loop.

#include "Orvo_Tunedeck_Extension/controller/AudioUnitViewController.h"

ui::Rect AudioUnitViewController::layoutPluginView(double width, double height, double inset) const {
    const double w = width - 2 * inset;
    const double h = height - 2 * inset;
    if (h < w) {
        const double fittedWidth = h / ratio;
        return {width / 2 - fittedWidth / 2, inset, fittedWidth, h};
    }
    const double fittedHeight = w * ratio;
    return {inset, height / 2 - fittedHeight / 2, w, fittedHeight};
}

void AudioUnitViewController::centerpluginView() {
    if (!isViewLoaded() || !pluginView || !pluginView->superview()) return;
    const ui::Rect bounds = pluginView->superview()->bounds();
    pluginView->setFrame(layoutPluginView(bounds.width, bounds.height, viewInset));
}

void AudioUnitViewController::viewDidLayoutSubviews() {
    if (!lockAutoLayout_ && isSizeable) centerpluginView();
}

namespace {

bool intersects(const ui::Rect& a, const ui::Rect& b) {
    const ui::Rect r = a.standardized();
    const ui::Rect s = b.standardized();
    return r.x < s.x + s.width && s.x < r.x + r.width && r.y < s.y + s.height && s.y < r.y + r.height;
}

}  // namespace

bool AudioUnitViewController::isViewVisible(const ui::View& view) const {
    if (view.window() == nullptr) return false;
    const ui::View* current = &view;
    while (const ui::View* superview = current->superview()) {
        if (!intersects(superview->bounds(), current->frame()) || current->isHidden() || superview->isHidden()) {
            return false;
        }
        current = superview;
    }
    return true;
}
