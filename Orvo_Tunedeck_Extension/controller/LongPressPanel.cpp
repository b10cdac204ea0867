#include "Orvo_Tunedeck_Extension/controller/LongPressPanel.h"

void LongPressPanel::touchesBegan(const std::vector<ui::Touch>& touches) {
    TunedeckView::touchesBegan(touches);
    if (!touches.empty()) longPress.touchBegan(touches.front().location);
}

void LongPressPanel::touchesMoved(const std::vector<ui::Touch>& touches) {
    TunedeckView::touchesMoved(touches);
    if (!touches.empty()) longPress.touchMoved(touches.front().location);
}

void LongPressPanel::touchesEnded(const std::vector<ui::Touch>& touches) {
    TunedeckView::touchesEnded(touches);
    longPress.touchEnded();
}

void LongPressPanel::touchesCancelled(const std::vector<ui::Touch>& touches) {
    // The panel ends a cancelled touch through touchesEnded: the recogniser has to hear of the cancel first.
    longPress.touchCancelled();
    TunedeckView::touchesCancelled(touches);
}
