// The progress and brightness sliders, the contrast button and the long press on the panel that reveals the tools.

#include "Orvo_Tunedeck_Extension/controller/AudioUnitViewController.h"

#include "platform/foundation/Folders.h"
#include "platform/ui/Url.h"
#include "shared/globals/Print.h"
#include "shared/globals/ViewHelpers.h"

void AudioUnitViewController::loadControls() {
    std::weak_ptr<AudioUnitViewController> weak = self();
    const double left = 4 * viewInset + viewInset / 4;
    sliderProgress = std::make_shared<ui::Slider>(
        ui::Rect{left, 0, toolbarBottom->frame().width - left - viewInset / 4, viewInset});
    sliderProgress->valueChanged = [weak](ui::Slider& slider) {
        if (auto controller = weak.lock()) controller->onSliderProgress(slider.value());
    };
    toolbarBottom->addSubview(sliderProgress);

    contrastButton = std::make_shared<ui::Button>(ui::Rect{2 * viewInset, 0, viewInset, viewInset});
    contrastButton->setImageName("Contrast Icon");
    contrastButton->setHidden(true);
    showButtonPicture(*contrastButton);
    contrastButton->action = [weak](ui::Button& sender) {
        if (auto controller = weak.lock()) controller->onContrastButton(&sender);
    };
    toolbarTop->addSubview(contrastButton);

    brightnessSlider = std::make_shared<TrackingSlider>(ui::Rect{3 * viewInset + viewInset / 4, 0, 5 * viewInset,
                                                                 viewInset});
    brightnessSlider->setValue(pluginFrame->contrast);
    brightnessSlider->setHidden(true);
    brightnessSlider->valueChanged = [weak](ui::Slider& slider) {
        if (auto controller = weak.lock()) controller->onBrightnessSlider(slider.value());
    };
    brightnessSlider->editingEnded = [weak](ui::Slider&) {
        if (auto controller = weak.lock()) controller->onSliderEnd();
    };
    toolbarTop->addSubview(brightnessSlider);

    longPressGesture->action = [weak](ui::GestureState state) {
        if (auto controller = weak.lock()) controller->onlongPressGesture(state);
    };
}

void AudioUnitViewController::onContrastButton(ui::Button* sender) {
    if (!brightnessSlider) return;
    brightnessSlider->setHidden(!brightnessSlider->isHidden());
    touchesLocked = !brightnessSlider->isHidden();
    if (sender != nullptr) {
        sender->alpha = brightnessSlider->isHidden() ? 0.5 : 1.0;
        sender->setNeedsDisplay();
    }
}

void AudioUnitViewController::onSliderEnd() { onContrastButton(contrastButton.get()); }

void AudioUnitViewController::onlongPressGesture(ui::GestureState state) {
    if (!contrastButton || !freezeButton || !brightnessSlider) return;
    switch (state) {
        case ui::GestureState::began:
            contrastButton->setHidden(!contrastButton->isHidden());
            freezeButton->setHidden(contrastButton->isHidden());
            if (contrastButton->isHidden()) {
                brightnessSlider->setHidden(true);
                touchesLocked = false;
            } else {
                touchesLocked = true;
            }
            break;
        case ui::GestureState::ended:
            contrastButton->alpha = 1.0;
            contrastButton->setNeedsDisplay();
            touchesLocked = false;
            break;
        case ui::GestureState::changed:
        case ui::GestureState::cancelled:
            break;
    }
}

void AudioUnitViewController::showButtonPicture(ui::Button& button) {
    const auto resources = foundation::resourcesFolder();
    if (!resources) {
        safeprint("AudioUnitViewController: ERROR: No resources folder, so no picture for '" + button.imageName() + "'.");
        return;
    }
    const std::shared_ptr<ui::ImageView>& picture = button.imageView();
    pinToSuperviewEdges(*picture);
    loadFrom(picture, ui::fileUrl((*resources / "icons" / (button.imageName() + ".png")).string()));
}
