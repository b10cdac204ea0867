#include "Orvo_Tunedeck/configuration/SoundfontsTableView.h"

void SoundfontsTableView::setup(ConfigurationScreen* screen) {
    viewController = screen;
    soundfonts.assign(kSoundsetRows.begin(), kSoundsetRows.end());
}

SoundfontsTableView::Row SoundfontsTableView::row(int64_t index) const {
    if (index < 0 || index >= numberOfRows()) return {"", false, -1};
    return {soundfonts[static_cast<size_t>(index)], index == selected, index};
}

void SoundfontsTableView::onSwitchChanged(int64_t tag) {
    selected = tag;
    if (viewController != nullptr && viewController->delegate != nullptr) {
        viewController->delegate->onSoundsetSelected(tag);
        if (viewController->dismiss) viewController->dismiss();
        return;
    }
    ++reloadCount;
}
