#include "Orvo_Tunedeck_Extension/views/TunedeckOverlayBase.h"

#include "platform/ui/Path.h"
#include "shared/midievents/NoteNames.h"

#include <algorithm>

namespace {
constexpr const char* kNoNote = "---";
int clampChannel(std::uint8_t channel) { return std::min<int>(channel, 15); }
double toLevel(std::uint8_t value) { return std::min(value / 127.0, 1.0); }
}  // namespace

TunedeckOverlayBase::TunedeckOverlayBase() { channelNoteNumberTextContent.fill(kNoNote); }

void TunedeckOverlayBase::makeColors() {
    const ui::Hsba source = channelColor.toHsba();
    for (int i = 0; i < channelCount; ++i) {
        channelColors[i] = ui::Color::fromHsba({i * 0.0625, source.saturation, source.brightness, source.alpha})
                               .withAlpha(0.75);
    }
}

void TunedeckOverlayBase::noteEvent(std::uint8_t channel, std::uint8_t note, std::uint8_t value) {
    const int c = clampChannel(channel);
    const double v = toLevel(value);
    if (valueNotes[c] < v) valueNotes[c] = v;
    if (v > 0) {
        ++noteCount[c];
        const auto& names = noteNames().values;
        const std::size_t index = std::min<std::size_t>(note, 127);
        channelNoteNumberTextContent[c] = index < names.size() ? names[index] : kNoNote;
    } else {
        --noteCount[c];
        channelNoteNumberTextContent[c] = kNoNote;
    }
    if (noteCount[c] < 0) noteCount[c] = 0;
}

void TunedeckOverlayBase::controllerEvent(std::uint8_t channel, std::uint8_t value) {
    const int c = clampChannel(channel);
    const double v = toLevel(value);
    if (valueControllers[c] < v) valueControllers[c] = v;
}

void TunedeckOverlayBase::clearActivity() {
    valueNotes.fill(0);
    valueControllers.fill(0);
    channelNoteNumberTextContent.fill(kNoNote);
}

void TunedeckOverlayBase::clearNoteCount(std::uint8_t channel) { noteCount[clampChannel(channel)] = 0; }

ui::Rect TunedeckOverlayBase::apply(ResizingBehavior behavior, ui::Rect rect, ui::Rect target,
                                    TunedeckOverlayBase& instance) {
    const FittedCanvas fitted = fitCanvas(rect, target, behavior);
    if (fitted.scale) instance.TunedeckOverlayScale = *fitted.scale;
    return fitted.rect;
}

void TunedeckOverlayBase::draw(ui::GraphicsContext& ctx, ui::Rect frame, ResizingBehavior resizing) {
    ctx.saveGState();
    const ui::Rect r = apply(resizing, canvas, frame, *this);
    ctx.translateBy(r.minX(), r.minY());
    ctx.scaleBy(r.width / canvas.width, r.height / canvas.height);

    // The decay follows the drawing passes, not the clock.
    for (double& n : valueNotes) n = std::max(n - reducing1, 0.0);
    for (double& k : valueControllers) k = std::max(k - reducing2, 0.0);

    for (int i = 0; i < channelCount; ++i) {
        const double x = 160 + 24.0 * i;
        const auto bar = [&](double level, double halfWidth) {
            ctx.saveGState();
            ctx.translateBy(x, 160 - 100 * level);
            ctx.fill(ui::Path::roundedTopRect({-halfWidth, 0, 2 * halfWidth, 100 * level}, 0.5), channelColors[i]);
            ctx.restoreGState();
        };
        bar(valueControllers[i], 4);
        bar(valueNotes[i], 10);
    }
    ctx.restoreGState();
}
