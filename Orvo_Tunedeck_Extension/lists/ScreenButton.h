// A titled button of the list screens: a label whose title colour marks the active tab and whose tap (a touch that
// ends inside it) runs its action.
//
// Threads: main queue only.
#pragma once

#include <functional>
#include <string>

#include "platform/ui/Label.h"

class ScreenButton : public ui::Label {
public:
    ScreenButton(ui::Rect frame, std::string title, std::function<void()> action);

    void touchesEnded(const std::vector<ui::Touch>& touches) override;

private:
    std::function<void()> action_;
};
