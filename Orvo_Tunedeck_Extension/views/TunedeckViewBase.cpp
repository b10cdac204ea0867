#include "Orvo_Tunedeck_Extension/views/TunedeckViewBase.h"

#include "Orvo_Tunedeck_Extension/catalogue/Soundfontprograms.h"

namespace {
constexpr int kDrumChannel = 9;
constexpr double kStartPan = 0.5;
constexpr double kStartLevel = 0.8;
constexpr double kStartVolume = 0.79;
constexpr double kStartTranspose = 0.5;
}  // namespace

TunedeckViewBase::TunedeckViewBase() {
    valuePan.fill(kStartPan);
    valueLevel.fill(kStartLevel);
}

const Soundfontprograms* TunedeckViewBase::soundfontprograms() const {
    return viewController ? viewController->soundfontprograms() : nullptr;
}

void TunedeckViewBase::formatDisplay() {
    const Soundfontprograms* catalogue = soundfontprograms();
    if (!catalogue) return;
    const int c = valueSelected;
    if (c < 0 || c >= channelCount) return;
    const bool drums = c == kDrumChannel;
    valueDisplay = catalogue->formatInstrumentName(static_cast<std::uint8_t>(c), program[c],
                                                   drums ? std::uint8_t{127} : bankMSB[c],
                                                   drums ? std::uint8_t{127} : bankLSB[c]);
}

void TunedeckViewBase::reset() {
    valueProgress = 0;
    valueMainVolume = kStartVolume;
    valueTranspose = kStartTranspose;
    valuePan.fill(kStartPan);
    valueLevel.fill(kStartLevel);
    isMuted.fill(false);
    valueSelected = 0;
    const Soundfontprograms* catalogue = soundfontprograms();
    valueDisplay = catalogue ? catalogue->formatInstrumentName(0, 0, 0, 0) : "000/000 - 000 : Program";
}

ui::Rect TunedeckViewBase::apply(ResizingBehavior behavior, ui::Rect rect, ui::Rect target) {
    return fitCanvas(rect, target, behavior).rect;
}

ui::Rect TunedeckViewBase::apply(ResizingBehavior behavior, ui::Rect rect, ui::Rect target,
                                 TunedeckViewBase& instance) {
    const FittedCanvas fitted = fitCanvas(rect, target, behavior);
    if (fitted.scale) instance.TunedeckViewScale = *fitted.scale;
    return fitted.rect;
}
