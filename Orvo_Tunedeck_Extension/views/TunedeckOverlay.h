#pragma once

#include "Orvo_Tunedeck_Extension/views/TunedeckOverlayBase.h"
#include "platform/ui/View.h"

#include <cstdint>
#include <vector>

// The channel activity overlay as a view: feeds note and controller activity to its state object and redraws.
// Channels listed in channelFilter (compared before any clamping) are ignored.
//
// Thread contract: main thread only.
class TunedeckOverlay : public ui::View {
public:
    explicit TunedeckOverlay(ui::Rect frame = {});

    TunedeckOverlayBase baseClass;
    std::vector<std::uint8_t> channelFilter;

    void setNote(std::uint8_t channel, std::uint8_t note, std::uint8_t value);
    void setNotesOff(std::uint8_t channel);
    void setController(std::uint8_t channel, std::uint8_t value);
    // Clears the bars and note names without asking for a redraw.
    void reset();
    void update() { setNeedsDisplay(); }

    void draw(ui::GraphicsContext& ctx, ui::Rect dirty) override;

private:
    bool isFiltered(std::uint8_t channel) const;
};
