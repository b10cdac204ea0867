// Placement of the plug-in view and the visibility test of the display loop.

#include "Orvo_Tunedeck_Extension/controller/AudioUnitViewController.h"

#include <algorithm>

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

void AudioUnitViewController::layoutDesignArea() {
    if (!isViewLoaded() || !toolbarTop || !toolbarTop->superview()) return;
    const ui::Rect area = toolbarTop->superview()->bounds();
    toolbarTop->setFrame({0, 0, area.width, viewInset});
    toolbarBottom->setFrame({0, area.height - viewInset, area.width, viewInset});
    const ui::Rect progress = sliderProgress->frame();
    sliderProgress->setFrame({progress.x, 0, std::max(0.0, area.width - progress.x - viewInset / 4), viewInset});
    const ui::Rect placed = pluginView->frame();
    pluginView->setFrame({placed.x + (area.width - designArea_.width) / 2,
                          placed.y + (area.height - designArea_.height) / 2, placed.width, placed.height});
    designArea_ = {area.width, area.height};
}

void AudioUnitViewController::viewDidLayoutSubviews() {
    layoutDesignArea();
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
