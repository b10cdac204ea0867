#include "Orvo_Tunedeck_Extension/views/PanelSymbols.h"
#include "Orvo_Tunedeck_Extension/views/PanelTexts.h"
#include "Orvo_Tunedeck_Extension/views/TunedeckViewBase.h"

#include <string>
#include <numbers>

namespace {

constexpr double degrees(double d) { return d * std::numbers::pi / 180; }

// Knob turn for a 0-to-1 value: 0.5 points up, 0 and 1 point 130 degrees to either side.
double knobTurn(double value) { return degrees((2 * value - 1) * 130); }

const char* const kTitle = "TUNEDECK GM PLAYER";

const ui::StrokeStyle kRound1{1, ui::LineCap::round, ui::LineJoin::round, 10};

// Saves the state, moves the origin to centre, turns and scales, draws, and restores.
template <typename Draw>
void drawAround(ui::GraphicsContext& ctx, ui::Point centre, double turn, double scale, Draw&& draw) {
    ctx.saveGState();
    ctx.translateBy(centre.x, centre.y);
    ctx.rotate(turn);
    ctx.scaleBy(scale, scale);
    draw();
    ctx.restoreGState();
}

ui::TextStyle textStyle(const ui::Font& font, ui::Color color, ui::TextAlignment alignment) {
    return {font, color, alignment, true};
}

void drawMarker(ui::GraphicsContext& ctx, ui::Point offset, double length, double width, ui::Color color) {
    ctx.saveGState();
    ctx.translateBy(offset.x, offset.y);
    ui::Path line;
    line.moveTo({0, 0});
    line.lineTo({length, 0});
    ctx.stroke(line, color, {width, ui::LineCap::round, ui::LineJoin::round, 10});
    ctx.restoreGState();
}

}  // namespace

void TunedeckViewBase::drawSymbolControls(ui::GraphicsContext& ctx, ui::Rect frame, ResizingBehavior resizing) {
    using ui::Font;
    using ui::Path;
    using ui::TextAlignment;

    // Step 1: fit the canvas. A view exactly the canvas's size gets no scale from the fitting rule, yet its touches
    // need one.
    ctx.saveGState();
    const ui::Rect r = apply(resizing, canvas, frame, *this);
    if (frame == canvas) TunedeckViewScale = {1, 1};
    ctx.translateBy(r.minX(), r.minY());
    ctx.scaleBy(r.width / canvas.width, r.height / canvas.height);
    const ui::Color dimmed = colorContrastInverted.withAlpha(0.3);
    const Font systemSmall = Font::system(9);
    const Font euphemia8 = Font::named("EuphemiaUCAS-Bold", 8);
    const Font helvetica9 = Font::named("HelveticaNeue", 9);
    const Font condensed22 = Font::named("HelveticaNeue-CondensedBold", 22);
    const Font condensed10 = Font::named("HelveticaNeue-CondensedBold", 10);

    // Lower frame.
    ctx.stroke(Path::roundedRect({26, 375, 548, 100}, 8), isPlayerActive ? colorMain : colorContrastInverted, {6});

    // Play button.
    const ui::Color playInk = isPlaying || isPlayAvailable ? colorContrastInverted : dimmed;
    drawAround(ctx, {521.08, 425.59}, 0, isButtonPlayActive ? 1.0 : 0.5, [&] {
        if (!isPlaying) {
            ctx.saveGState();
            ctx.translateBy(-0.5, -0.5);
            ctx.rotate(std::numbers::pi / 2);
            const Path triangle = playTrianglePath();
            ctx.fill(triangle, playInk);
            ctx.stroke(triangle, playInk, {4, ui::LineCap::round, ui::LineJoin::round, 10});
            ctx.restoreGState();
        }
        ctx.stroke(Path::oval({-24, -24, 48, 48}), playInk, {3});
        if (isPlaying) {
            for (const ui::Rect bar : {ui::Rect{-4, -4.5, 1, 10}, ui::Rect{3, -4.5, 1, 10}}) {
                const Path path = Path::roundedRect(bar, 0.5);
                ctx.fill(path, colorContrastInverted);
                ctx.stroke(path, ui::Color::white(), {4});
            }
        }
    });

    // Progress text, track, fill and handle.
    ctx.drawText(progressText(valueProgress), {128, 401, 344, 10},
                 textStyle(systemSmall, colorContrastInverted, TextAlignment::right));
    ctx.stroke(Path::roundedRect({125.5, 418.5, 354, 14}, 6), ui::Color::lightGray(), {2});
    ctx.fill(Path::roundedRect({128, 423, valueProgress * 349, 5}, 0.5), colorMain);
    drawAround(ctx, {127 + valueProgress * 349, 425.58}, 0, isHandleProgressActive ? 1.5 : 1.0,
               [&] { ctx.fill(Path::oval({-7, -7, 14, 14}), colorContrastInverted); });

    // File name and file button.
    ctx.drawText(valueLabelFile, {128, 442, 344, 10}, textStyle(systemSmall, colorContrastInverted, TextAlignment::left));
    drawAround(ctx, {76.6, 427.2}, 0, isButtonFileActive ? 1.0 : 0.7, [&] {
        ctx.saveGState();
        ctx.translateBy(-2.19, -3.03);
        ctx.stroke(folderOutlinePath(), colorContrastInverted, {1.5, ui::LineCap::round, ui::LineJoin::round, 2});
        ctx.restoreGState();
        for (const Path& glyph : midiGlyphPaths()) ctx.fill(glyph, colorContrastInverted);
    });

    // Upper frame and the focus frame of the selected strip.
    ctx.stroke(Path::roundedRect({27, 26, 548, 276}, 8), colorMain, {6});
    ctx.stroke(Path::roundedRect({147.5 + 24.0 * valueSelected, 57, 25, 222}, 4), colorFocus, {2});

    // Channel strips.
    const Path knob8 = knobPath(8);
    for (int i = 0; i < channelCount; ++i) {
        const double x = 24.0 * i;
        const Path light = Path::roundedRect({151 + x, 183, 18, 10}, 2);
        ctx.fill(light, isMuted[i] ? dimmed : colorContrastInverted);
        ctx.stroke(light, colorContrastInverted, kRound1);

        const std::string number = (i < 9 ? "0" : "") + std::to_string(i + 1);
        ctx.drawText(number, {149 + x, 165, 22, 12}, textStyle(euphemia8, ui::Color::white(), TextAlignment::centre));

        drawAround(ctx, {160 + x, 264}, knobTurn(valuePan[i]), isKnobPanActive[i] ? 3.0 : 1.0, [&] {
            ctx.fill(knob8, colorContrast);
            ctx.stroke(knob8, colorMain, kRound1);
        });

        drawAround(ctx, {160 + x, 230}, 0, isSliderLevelActive[i] ? 3.0 : 1.0, [&] {
            const Path body = Path::roundedRect({-6.5, -25, 13, 40}, 2);
            ctx.fill(body, colorContrast);
            ctx.stroke(body, colorMain, {1});
            drawMarker(ctx, {-3.5, -18 * (2 * valueLevel[i] - 1) - 5}, 7, 2, colorMain);
        });
    }

    // Main volume.
    ctx.drawText("MAIN VOLUME", {56, 271, 60, 10.75}, textStyle(euphemia8, colorContrastInverted, TextAlignment::centre));
    drawAround(ctx, {86.5, 203}, 0, isSliderVolumeActive ? 1.5 : 1.0, [&] {
        const ui::Rect bodyRect{-16, -50, 32, 100};
        const Path body = Path::roundedRect(bodyRect, 4);
        ctx.fill(body, colorContrast);
        ctx.stroke(body, colorMain, {3});
        ctx.drawText(volumeText(valueMainVolume), bodyRect,
                     textStyle(helvetica9, colorContrastInverted, TextAlignment::centre));
        drawMarker(ctx, {-10, -44 * (2 * valueMainVolume - 1) - 1.00001970443}, 20, 4, colorMain);
    });

    // Transposition.
    ctx.drawText("TRANSPOSE", {56, 56, 60, 10}, textStyle(euphemia8, colorContrastInverted, TextAlignment::centre));
    drawAround(ctx, {86.4, 106.94}, knobTurn(valueTranspose), isKnobTransposeActive ? 1.5 : 1.0, [&] {
        const Path knob = knobPath(24);
        ctx.fill(knob, colorContrast);
        ctx.stroke(knob, colorMain, {3, ui::LineCap::round, ui::LineJoin::round, 10});
        ctx.drawText(transposeText(valueTranspose), {-24, -17, 48, 34},
                     textStyle(helvetica9, colorContrastInverted, TextAlignment::centre), true);
    });
    ctx.fill(Path::oval({57, 129.35, 4, 4}), colorMain);
    ctx.fill(Path::oval({113, 129.35, 4, 4}), colorMain);

    // Row labels.
    const ui::TextStyle labelStyle = textStyle(Font::system(6), ui::Color::white(), TextAlignment::right);
    const struct {
        const char* text;
        double y;
    } labels[] = {{"prg", 56}, {"sel", 150}, {"pan", 260}, {"vol", 222}, {"mut", 183}};
    for (const auto& label : labels) ctx.drawText(label.text, {119, label.y, 22, 9}, labelStyle);

    // Display line.
    if (isDisplayVisible) {
        drawAround(ctx, {529.25, 64.26}, 0, isProgramSelectActive ? 1.1 : 1.0, [&] {
            ctx.drawText(valueDisplay, {-372.25, -15.26, 372, 32},
                         textStyle(Font::named("EuphemiaUCAS-Bold", Font::systemFontSize), colorContrastInverted,
                                   TextAlignment::right));
        });
    }

    // Title, the two text buttons and the logo. The title keeps clear of the PANIC! frame (which ends at 342.5), narrowed
    // where the font is wider than the design's.
    ctx.drawText(kTitle, {352, 325, 220, 31}, textStyle(condensed22, colorContrastInverted, TextAlignment::right));
    const auto textButton = [&](ui::Point centre, bool active, const char* text) {
        drawAround(ctx, centre, 0, active ? 1.1 : 1.0, [&] {
            const ui::Rect box{-61.5, -12, 123, 24};
            ctx.stroke(Path::roundedRect(box, 6), colorContrastInverted, kRound1);
            ctx.drawText(text, box, textStyle(condensed10, colorContrastInverted, TextAlignment::centre));
        });
    };
    textButton({148, 340.5}, isButtonSyncedActive, "MIDI Collection");
    textButton({281, 340.5}, isButtonPanicActive, "PANIC!");
    ctx.drawText("Orvo", {27, 325, 40, 31}, textStyle(condensed22, colorContrastInverted, TextAlignment::left));

    // Touch areas, in canvas units.
    ctx.saveGState();
    ctx.clip(canvas);
    drawSymbolHotspots(canvas, ResizingBehavior::stretch);
    ctx.restoreGState();
    ctx.restoreGState();
}
