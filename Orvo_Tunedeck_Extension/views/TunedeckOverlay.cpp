#include "Orvo_Tunedeck_Extension/views/TunedeckOverlay.h"

#include <algorithm>

TunedeckOverlay::TunedeckOverlay(ui::Rect frame) : View(frame) { baseClass.makeColors(); }

bool TunedeckOverlay::isFiltered(std::uint8_t channel) const {
    return std::find(channelFilter.begin(), channelFilter.end(), channel) != channelFilter.end();
}

void TunedeckOverlay::setNote(std::uint8_t channel, std::uint8_t note, std::uint8_t value) {
    if (isFiltered(channel)) return;
    baseClass.noteEvent(channel, note, value);
    setNeedsDisplay();
}

void TunedeckOverlay::setNotesOff(std::uint8_t channel) {
    if (isFiltered(channel)) return;
    baseClass.clearNoteCount(channel);
    setNeedsDisplay();
}

void TunedeckOverlay::setController(std::uint8_t channel, std::uint8_t value) {
    if (isFiltered(channel)) return;
    baseClass.controllerEvent(channel, value);
    setNeedsDisplay();
}

void TunedeckOverlay::reset() { baseClass.clearActivity(); }

void TunedeckOverlay::draw(ui::GraphicsContext& ctx, ui::Rect) {
    if (isHidden()) return;
    baseClass.draw(ctx, bounds(), ResizingBehavior::aspectFit);
}
