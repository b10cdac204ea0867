#pragma once

#include "Orvo_Tunedeck_Extension/controller/LongPressRecognizer.h"
#include "Orvo_Tunedeck_Extension/views/TunedeckView.h"

// The player panel as the view controller shows it: every touch works the panel's controls as usual and is also
// watched by a long-press recogniser, so that a finger held on the panel reaches longPress.action.
//
// Thread contract: main queue only.
class LongPressPanel : public TunedeckView {
public:
    using TunedeckView::TunedeckView;

    LongPressRecognizer longPress;

    void touchesBegan(const std::vector<ui::Touch>& touches) override;
    void touchesMoved(const std::vector<ui::Touch>& touches) override;
    void touchesEnded(const std::vector<ui::Touch>& touches) override;
    void touchesCancelled(const std::vector<ui::Touch>& touches) override;
};
