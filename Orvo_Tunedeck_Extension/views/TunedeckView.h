#pragma once

#include "Orvo_Tunedeck_Extension/views/TunedeckViewBase.h"
#include "Orvo_Tunedeck_Extension/views/TunedeckViewDelegate.h"
#include "Orvo_Tunedeck_Extension/views/TunedeckViewHost.h"
#include "platform/ui/View.h"

#include <cstdint>
#include <string>
#include <vector>

// The touchable player panel. It draws its state object, hit-tests touches against the touch areas and tells its
// delegate: knob and slider drags as parameter writes, button taps as view options. Only a list's first touch is
// used, and with no delegate touches are ignored.
//
// Parameter addresses: 1001 volume, 1002 transposition (-12 to 12 semitones), 1016 + channel mute (1 or 0),
// 1032 + channel level, 1048 + channel pan. Option codes: 1178 file, 1179 programs (its value is the selected channel),
// 1180 progress, 1183 panic, 1186 play, 1187 pause, 1192 files; channel strips use their channel for both address
// and value.
//
// Thread contract: main thread only.
class TunedeckView : public ui::View {
public:
    static constexpr int kVolume = 1001;
    static constexpr int kTranspose = 1002;
    static constexpr int kMute = 1016;
    static constexpr int kLevel = 1032;
    static constexpr int kPan = 1048;
    static constexpr int kOptionOpenFile = 1178;
    static constexpr int kOptionPrograms = 1179;
    static constexpr int kOptionProgress = 1180;
    static constexpr int kOptionPanic = 1183;
    static constexpr int kOptionPlay = 1186;
    static constexpr int kOptionPause = 1187;
    static constexpr int kOptionFiles = 1192;

    explicit TunedeckView(ui::Rect frame = {});

    // Non-owning; setting either also sets the same field of baseClass.
    TunedeckViewHost* viewController() const { return viewController_; }
    void setViewController(TunedeckViewHost* host);
    TunedeckViewDelegate* delegate() const { return delegate_; }
    void setDelegate(TunedeckViewDelegate* delegate);

    bool touchesLocked = false;
    TunedeckViewBase baseClass;
    // Gain on drag distances.
    double scaler = 1.0;

    const std::string& hotspotMode() const { return hotspotMode_; }

    // Setters of the panel state; each asks for a redraw. Channels above 15 write channel 15; level and pan take
    // value / 127, at most 1.
    void setFocus(bool focus);
    void setContrast(double contrast);
    void setParameter(int address, float value);
    void setProgress(float value);
    void setPlaying(bool value);
    // Whether a stopped song may be started: while not, the play button is drawn dimmed and a tap on it does nothing.
    void setPlayAvailable(bool value);
    void setPan(std::uint8_t channel, std::uint8_t value);
    void setVolume(std::uint8_t channel, std::uint8_t value);
    void setBankMSB(std::uint8_t channel, std::uint8_t value);
    void setBankLSB(std::uint8_t channel, std::uint8_t value);
    void setProgram(std::uint8_t channel, std::uint8_t value);
    // Bank and program of the selected channel; nothing when no channel 0 to 15 is selected.
    void setProgram(std::uint8_t msb, std::uint8_t lsb, std::uint8_t program);
    void setFileName(std::string value);
    void reset();
    void update() { setNeedsDisplay(); }

    // Hit test of a canvas point: channel areas (the higher channel wins; strip, mute, slider, knob within one),
    // then the global areas, whose first hit overrides. Sets and logs hotspotMode; empty when nothing is hit.
    void findHotspot(ui::Point canvasPoint);

    void draw(ui::GraphicsContext& ctx, ui::Rect dirty) override;
    void touchesBegan(const std::vector<ui::Touch>& touches) override;
    void touchesMoved(const std::vector<ui::Touch>& touches) override;
    void touchesEnded(const std::vector<ui::Touch>& touches) override;
    void touchesCancelled(const std::vector<ui::Touch>& touches) override;

private:
    ui::Point canvasPoint(ui::Point location) const;
    // The channel of a hotspot name "<word><channel>", or -1.
    int channelOf(const std::string& word) const;
    void touchDown();
    void option(int address, float value);
    void parameter(int address, float value);

    TunedeckViewHost* viewController_ = nullptr;
    TunedeckViewDelegate* delegate_ = nullptr;
    std::string hotspotMode_;
    ui::Point startLocation_;
    double savedValue_ = 0.0;
};
