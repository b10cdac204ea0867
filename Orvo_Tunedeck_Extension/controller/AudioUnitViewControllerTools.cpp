// Toolbars, pan and pinch gestures on the plug-in view, the alert asking for a save name, and parameter lookup by
// address.

#include "Orvo_Tunedeck_Extension/controller/AudioUnitViewController.h"

#include "platform/foundation/Folders.h"
#include "platform/ui/AlertController.h"
#include "shared/globals/Print.h"

#include <filesystem>
#include <system_error>

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

void AudioUnitViewController::alertFileName(const std::string& forFile, const std::string& defaultName,
                                            const std::string& message) {
    auto alert = std::make_shared<ui::AlertController>("File name", message);
    alert->addTextField([&defaultName](ui::TextField& field) {
        field.placeholder = "file name";
        field.setText(defaultName);
    });
    std::weak_ptr<ui::AlertController> weakAlert = alert;
    std::weak_ptr<AudioUnitViewController> weak = self();
    alert->addAction({"OK", ui::AlertActionStyle::normal, [weak, weakAlert, forFile, defaultName] {
                          auto self = weak.lock();
                          auto shown = weakAlert.lock();
                          if (!self) return;
                          std::string name = shown ? shown->textFields().front()->text() : std::string();
                          if (name.empty()) name = defaultName;
                          self->confirmFileName(forFile, name);
                      }});
    alert->addAction({"Cancel", ui::AlertActionStyle::cancel, [] { safeprint("Save action was canceled."); }});
    present(std::move(alert), true);
}

void AudioUnitViewController::alertFileName(const std::string& forFile, const std::string& defaultName) {
    alertFileName(forFile, defaultName, "Please enter the file name for the current file: ");
}

void AudioUnitViewController::confirmFileName(const std::string& forFile, const std::string& name) {
    const auto documents = foundation::documentsFolder(foundation::kExtensionDeliverable);
    std::error_code error;
    if (documents && std::filesystem::exists(*documents / name, error)) {
        alertFileName(forFile, name, "The file already exists. Please type in another file name: ");
    }
}

void AudioUnitViewController::setParameter(AUParameterAddress address, AUValue value) {
    if (!parameterTree_) {
        safeprint("AudioUnitViewController: ERROR: The parameter tree is not connected.");
        return;
    }
    if (const auto parameter = parameterTree_->parameterWithAddress(address)) {
        parameter->setValue(value);
    } else {
        safeprint("AudioUnitViewController: ERROR: The parameter address " + std::to_string(address) +
                  " is not available.");
    }
}

AUValue AudioUnitViewController::getParameter(AUParameterAddress address) {
    if (!parameterTree_) return 0;
    if (const auto parameter = parameterTree_->parameterWithAddress(address)) return parameter->value();
    safeprint("AudioUnitViewController: ERROR: The parameter address " + std::to_string(address) +
              " is not available.");
    return 0;
}
