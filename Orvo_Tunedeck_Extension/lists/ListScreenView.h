// The root view of a list screen: a row of buttons along the top edge and the list filling the rest, laid out again
// whenever the screen is resized (a presented screen takes its presenter's size). The screen is opaque: nothing of
// the presenter's view shows through around its buttons.
//
// Threads: main queue only.
#pragma once

#include <memory>

#include "platform/ui/View.h"

class ListScreenView : public ui::View {
public:
    static constexpr double kButtonHeight = 44;

    // Adds list as the last subview; it covers the view below the button row.
    ListScreenView(ui::Rect frame, std::shared_ptr<ui::View> list);

    void setFrame(ui::Rect frame) override;
    void draw(ui::GraphicsContext& ctx, ui::Rect dirty) override;

private:
    std::shared_ptr<ui::View> list_;
};
