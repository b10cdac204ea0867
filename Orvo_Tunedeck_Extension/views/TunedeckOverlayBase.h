#pragma once

#include "Orvo_Tunedeck_Extension/views/ResizingBehavior.h"
#include "platform/ui/Color.h"
#include "platform/ui/GraphicsContext.h"

#include <array>
#include <cstdint>
#include <string>

// State and drawing of the channel activity overlay: per channel a note bar and a controller bar that jump up on
// events and sink by a fixed step on every drawing pass, plus the held-note count and last note name.
//
// Thread contract: main thread only.
class TunedeckOverlayBase {
public:
    using TunedeckOverlayResizingBehavior = ResizingBehavior;

    static constexpr int channelCount = 16;
    static constexpr ui::Rect canvas{0, 0, 600, 328};
    // Decay per drawing pass of the note bars and of the controller bars.
    static constexpr double reducing1 = 0.01;
    static constexpr double reducing2 = 0.04;

    TunedeckOverlayBase();
    virtual ~TunedeckOverlayBase() = default;

    ui::Color channelColor{0.8, 0.4, 0.4, 1.0};
    // Transparent until makeColors() runs.
    std::array<ui::Color, channelCount> channelColors{};
    ui::Color colorMain{0.143, 0.504, 0.65, 0.75};
    std::array<double, channelCount> valueNotes{};
    std::array<double, channelCount> valueControllers{};
    ui::Size TunedeckOverlayScale{0, 0};

    // Channel i gets hue i / 16 with the saturation and brightness of channelColor, at alpha 0.75.
    virtual void makeColors();

    // Decays the bars once, then draws them on the 600 x 328 canvas fitted into frame; records the scale as the
    // fitting rule gives it.
    virtual void draw(ui::GraphicsContext& ctx, ui::Rect frame, ResizingBehavior resizing);

    // Channels above 15 act on 15, notes above 127 on 127. A value of 0 is a note ending.
    virtual void noteEvent(std::uint8_t channel, std::uint8_t note, std::uint8_t value);
    virtual void controllerEvent(std::uint8_t channel, std::uint8_t value);
    // Empties all bars and note names; the note counts stay.
    virtual void clearActivity();

    const std::string& noteName(int channel) const { return channelNoteNumberTextContent[channel]; }
    int heldNotes(int channel) const { return noteCount[channel]; }
    // Forgets the held notes of a channel (above 15: of 15), leaving its bar.
    void clearNoteCount(std::uint8_t channel);

    static ui::Rect apply(ResizingBehavior behavior, ui::Rect rect, ui::Rect target, TunedeckOverlayBase& instance);

private:
    std::array<std::string, channelCount> channelNoteNumberTextContent;
    std::array<int, channelCount> noteCount{};
};
