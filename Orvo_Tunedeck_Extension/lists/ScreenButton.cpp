#include "Orvo_Tunedeck_Extension/lists/ScreenButton.h"

#include <utility>

ScreenButton::ScreenButton(ui::Rect frame, std::string title, std::function<void()> action)
    : ui::Label(frame, std::move(title)), action_(std::move(action)) {
    userInteractionEnabled = true;
}

void ScreenButton::touchesEnded(const std::vector<ui::Touch>& touches) {
    if (bounds().contains(touches.front().location) && action_) action_();
}
