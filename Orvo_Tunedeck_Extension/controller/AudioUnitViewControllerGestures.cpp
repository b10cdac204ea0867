// The freeze button and the gestures that move, scale and place the plug-in view.

#include "Orvo_Tunedeck_Extension/controller/AudioUnitViewController.h"

void AudioUnitViewController::onFreezeButton(ui::Button* sender) {
    isSizeable = !isSizeable;
    if (sender != nullptr) {
        sender->alpha = isSizeable ? 0.5 : 1.0;
        sender->setNeedsDisplay();
    }
}

void AudioUnitViewController::loadGestures(ui::View& root) {
    // Touches that work a control are the control's; the recognisers watch the rest, so that dragging a knob never
    // moves the view and tapping a mute light twice never places it again.
    const auto onBackground = [this, &root](const ui::View& hit) {
        return &hit == &root || &hit == root.subviews().front().get() || &hit == toolbarTop.get() ||
               &hit == toolbarBottom.get() || &hit == pluginView.get() || &hit == tunedeckContainer.get();
    };
    std::weak_ptr<AudioUnitViewController> weak = self();
    tapGesture = std::make_shared<ui::TapGestureRecognizer>(1);
    tapGesture->shouldReceiveTouch = onBackground;
    tapGesture->action = [weak] {
        if (auto controller = weak.lock()) controller->onTapGesture();
    };
    doubleTapGesture = std::make_shared<ui::TapGestureRecognizer>(2);
    doubleTapGesture->shouldReceiveTouch = onBackground;
    doubleTapGesture->action = [weak] {
        if (auto controller = weak.lock()) controller->onDoubleTapGesture();
    };
    panGesture = std::make_shared<ui::PanGestureRecognizer>();
    panGesture->shouldReceiveTouch = onBackground;
    panGesture->action = [weak] {
        auto controller = weak.lock();
        if (!controller || !controller->pluginView || !controller->pluginView->superview()) return;
        // The recogniser measures in the root; the plug-in view moves in the scaled design area.
        const double scale = controller->pluginView->superview()->scale();
        const ui::Point moved = controller->panGesture->translation();
        controller->onPanGesture(controller->panGesture->state(), {moved.x / scale, moved.y / scale});
    };
    pinchGesture = std::make_shared<ui::PinchGestureRecognizer>();
    pinchGesture->action = [weak] {
        if (auto controller = weak.lock()) {
            controller->onPinchGesture(controller->pinchGesture->state(), controller->pinchGesture->scale());
        }
    };
    root.addGestureRecognizer(tapGesture);
    root.addGestureRecognizer(doubleTapGesture);
    root.addGestureRecognizer(panGesture);
    root.addGestureRecognizer(pinchGesture);
}

void AudioUnitViewController::onTapGesture() {
    touchesLocked = false;
    if (pluginView) controlFrame_ = pluginView->frame();
}

void AudioUnitViewController::onDoubleTapGesture() {
    touchesLocked = false;
    centerpluginView();
}

void AudioUnitViewController::onPanGesture(ui::GestureState state, ui::Point translation) {
    if (!isSizeable || touchesLocked || !pluginView) return;
    switch (state) {
        case ui::GestureState::began:
            lockAutoLayout_ = true;
            controlFrame_ = pluginView->frame();
            break;
        case ui::GestureState::changed:
            pluginView->setFrame({controlFrame_.x + translation.x, controlFrame_.y + translation.y,
                                  controlFrame_.width, controlFrame_.height});
            break;
        case ui::GestureState::ended:
        case ui::GestureState::cancelled:
            lockAutoLayout_ = false;
            controlFrame_ = pluginView->frame();
            break;
    }
}

void AudioUnitViewController::onPinchGesture(ui::GestureState state, double scale) {
    if (!isSizeable || !pluginView) return;
    touchesLocked = false;
    switch (state) {
        case ui::GestureState::began:
            lockAutoLayout_ = true;
            controlFrame_ = pluginView->frame();
            break;
        case ui::GestureState::changed: {
            const double width = controlFrame_.width * scale;
            const double height = controlFrame_.height * scale;
            if (width >= kMinPluginWidth && width <= kMaxPluginWidth) {
                pluginView->setFrame(
                    {controlFrame_.midX() - width / 2, controlFrame_.midY() - height / 2, width, height});
            }
            break;
        }
        case ui::GestureState::ended:
            lockAutoLayout_ = false;
            controlFrame_ = pluginView->frame();
            break;
        case ui::GestureState::cancelled:
            lockAutoLayout_ = false;
            break;
    }
}
