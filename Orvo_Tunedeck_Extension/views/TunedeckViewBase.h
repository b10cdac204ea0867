#pragma once

#include "Orvo_Tunedeck_Extension/views/ResizingBehavior.h"
#include "Orvo_Tunedeck_Extension/views/TunedeckViewDelegate.h"
#include "Orvo_Tunedeck_Extension/views/TunedeckViewHost.h"
#include "platform/ui/Color.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Path.h"

#include <array>
#include <cstdint>
#include <string>

// State and drawing code of the player panel: each channel's bank, program, pan, level and mute; which channel is
// selected and its text line; master volume, transposition, progress, file name; which controls are held; colours,
// touch areas and the last drawing scale. Fields are plain: the owning view decides when to redraw.
//
// Thread contract: main thread only.
class TunedeckViewBase {
public:
    using TunedeckViewBaseResizingBehavior = ResizingBehavior;
    using TunedeckViewBaseResizingBehavior0 = ResizingBehavior;

    static constexpr int channelCount = 16;
    // The design canvas all drawing and touch areas are given in.
    static constexpr ui::Rect canvas{0, 0, 600, 500};

    template <typename T>
    using PerChannel = std::array<T, channelCount>;

    TunedeckViewBase();
    virtual ~TunedeckViewBase() = default;

    // Non-owning; the owning view keeps them equal to its own.
    TunedeckViewHost* viewController = nullptr;
    TunedeckViewDelegate* delegate = nullptr;

    PerChannel<std::uint8_t> bankMSB{};
    PerChannel<std::uint8_t> bankLSB{};
    PerChannel<std::uint8_t> program{};
    bool isDisplayVisible = true;
    std::string valueDisplay = "CH 01: 000/000 - 000 Grand Piano";
    int valueSelected = 9;
    PerChannel<double> valuePan;
    PerChannel<double> valueLevel;
    PerChannel<bool> isMuted{};
    double valueMainVolume = 0.79;
    double valueTranspose = 0.5;
    double valueProgress = 0;
    std::string valueLabelFile = "file.mid";
    bool isPlaying = false;
    bool isPlayAvailable = true;
    bool isPlayerActive = false;
    bool isSynced = false;
    PerChannel<bool> isSliderLevelActive{};
    PerChannel<bool> isKnobPanActive{};
    bool isSliderVolumeActive = false;
    bool isKnobTransposeActive = false;
    bool isButtonFileActive = false;
    bool isButtonPlayActive = false;
    bool isButtonPanicActive = false;
    bool isButtonSyncedActive = false;
    bool isHandleProgressActive = false;
    bool isProgramSelectActive = false;
    ui::Color colorMain{1, 1, 1, 1};
    ui::Color colorFocus{0.431, 0.057, 0.179, 1};
    ui::Color colorContrast{0.1, 0.1, 0.1, 1};
    ui::Color colorContrastInverted{1, 1, 1, 1};
    ui::Color colorHotspots{0.283, 1, 0, 0.125};

    // Touch areas in canvas units, empty until the first drawing.
    ui::Path hotspotTransposePath;
    ui::Path hotspotVolumePath;
    PerChannel<ui::Path> hotspotBarsPath;
    PerChannel<ui::Path> hotspotMutePath;
    PerChannel<ui::Path> hotspotSliderPath;
    PerChannel<ui::Path> hotspotKnobPath;
    ui::Path hotspotFilePath;
    ui::Path hotspotProgressPath;
    ui::Path hotspotPlayPath;
    ui::Path hotspotSyncPath;
    ui::Path hotspotPanicPath;
    ui::Path hotspotCaption2Path;
    ui::Path hotspotCaption1Path;
    ui::Path hotspotProgramPath;

    // Factors from the canvas to the view at the last drawing; touch points are divided by them.
    ui::Size TunedeckViewScale{0, 0};

    // The program catalogue of the host's audio unit, or null without a host or audio unit.
    const Soundfontprograms* soundfontprograms() const;

    // Sets valueDisplay to the catalogue's caption of the selected channel's program (bank 127/127 on channel 9).
    // Leaves it as it is without a catalogue or with a selected channel outside 0 to 15.
    virtual void formatDisplay();

    // Back to the start values of playing: progress 0, volume 0.79, transposition 0.5, pans 0.5, levels 0.8, no
    // mutes, channel 0 selected and its caption for program 0 of bank 0/0 ("000/000 - 000 : Program" without a
    // catalogue). Banks, programs, file name, flags, colours, touch areas and scale stay.
    virtual void reset();

    // Paints the whole panel into ctx, the canvas fitted into frame, then rebuilds the touch areas. Records the
    // scale; a frame equal to the canvas records (1, 1).
    virtual void drawSymbolControls(ui::GraphicsContext& ctx, ui::Rect frame, ResizingBehavior resizing);

    // Rebuilds every touch area (all independent of any graphics context) and records the scale of frame as
    // apply() does.
    virtual void drawSymbolHotspots(ui::Rect frame, ResizingBehavior resizing);

    // The fitting rule of ResizingBehavior; the second form also stores the scale, when there is one, in instance.
    static ui::Rect apply(ResizingBehavior behavior, ui::Rect rect, ui::Rect target);
    static ui::Rect apply(ResizingBehavior behavior, ui::Rect rect, ui::Rect target, TunedeckViewBase& instance);
};
