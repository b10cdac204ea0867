#include "Orvo_Tunedeck_Extension/views/TunedeckView.h"

#include "shared/globals/Print.h"

#include <algorithm>
#include <cmath>

namespace {

int clampedChannel(std::uint8_t channel) { return std::min<int>(channel, TunedeckViewBase::channelCount - 1); }

double unitValue(std::uint8_t value) { return std::min(value / 127.0, 1.0); }

}  // namespace

TunedeckView::TunedeckView(ui::Rect frame) : View(frame) {}

void TunedeckView::setViewController(TunedeckViewHost* host) {
    viewController_ = host;
    baseClass.viewController = host;
}

void TunedeckView::setDelegate(TunedeckViewDelegate* delegate) {
    delegate_ = delegate;
    baseClass.delegate = delegate;
}

void TunedeckView::setFocus(bool) { setNeedsDisplay(); }

void TunedeckView::setContrast(double) {}

void TunedeckView::setParameter(int, float) { setNeedsDisplay(); }

void TunedeckView::setProgress(float value) {
    baseClass.valueProgress = value;
    setNeedsDisplay();
}

void TunedeckView::setPlaying(bool value) {
    baseClass.isPlaying = value;
    setNeedsDisplay();
}

void TunedeckView::setPlayAvailable(bool value) {
    if (baseClass.isPlayAvailable == value) return;
    baseClass.isPlayAvailable = value;
    setNeedsDisplay();
}

void TunedeckView::setPan(std::uint8_t channel, std::uint8_t value) {
    baseClass.valuePan[clampedChannel(channel)] = unitValue(value);
    setNeedsDisplay();
}

void TunedeckView::setVolume(std::uint8_t channel, std::uint8_t value) {
    baseClass.valueLevel[clampedChannel(channel)] = unitValue(value);
    setNeedsDisplay();
}

void TunedeckView::setBankMSB(std::uint8_t channel, std::uint8_t value) {
    baseClass.bankMSB[clampedChannel(channel)] = value;
    baseClass.formatDisplay();
    setNeedsDisplay();
}

void TunedeckView::setBankLSB(std::uint8_t channel, std::uint8_t value) {
    baseClass.bankLSB[clampedChannel(channel)] = value;
    baseClass.formatDisplay();
    setNeedsDisplay();
}

void TunedeckView::setProgram(std::uint8_t channel, std::uint8_t value) {
    baseClass.program[clampedChannel(channel)] = value;
    baseClass.formatDisplay();
    setNeedsDisplay();
}

void TunedeckView::setProgram(std::uint8_t msb, std::uint8_t lsb, std::uint8_t program) {
    const int selected = baseClass.valueSelected;
    if (selected < 0 || selected >= TunedeckViewBase::channelCount) {
        safeprint("TunedeckView::setProgram() : WARNING: No channel is selected (" + std::to_string(selected) + ").");
        return;
    }
    baseClass.bankMSB[selected] = msb;
    baseClass.bankLSB[selected] = lsb;
    baseClass.program[selected] = program;
    baseClass.formatDisplay();
    setNeedsDisplay();
}

void TunedeckView::setFileName(std::string value) {
    baseClass.valueLabelFile = std::move(value);
    setNeedsDisplay();
}

void TunedeckView::reset() {
    baseClass.reset();
    setNeedsDisplay();
}

void TunedeckView::draw(ui::GraphicsContext& ctx, ui::Rect) {
    if (isHidden()) return;
    baseClass.drawSymbolControls(ctx, bounds(), ResizingBehavior::aspectFit);
}

ui::Point TunedeckView::canvasPoint(ui::Point location) const {
    const ui::Size scale = baseClass.TunedeckViewScale;
    return {location.x / scale.width, location.y / scale.height};
}

void TunedeckView::findHotspot(ui::Point p) {
    hotspotMode_.clear();
    for (int i = 0; i < TunedeckViewBase::channelCount; ++i) {
        const std::string index = std::to_string(i);
        if (baseClass.hotspotBarsPath[i].contains(p)) {
            hotspotMode_ = "bar" + index;
        } else if (baseClass.hotspotMutePath[i].contains(p)) {
            hotspotMode_ = "mute" + index;
        } else if (baseClass.hotspotSliderPath[i].contains(p)) {
            hotspotMode_ = "slider" + index;
        } else if (baseClass.hotspotKnobPath[i].contains(p)) {
            hotspotMode_ = "knob" + index;
        }
    }
    const std::pair<const char*, const ui::Path*> globals[] = {
        {"transpose", &baseClass.hotspotTransposePath}, {"volume", &baseClass.hotspotVolumePath},
        {"file", &baseClass.hotspotFilePath},           {"progress", &baseClass.hotspotProgressPath},
        {"play", &baseClass.hotspotPlayPath},           {"sync", &baseClass.hotspotSyncPath},
        {"panic", &baseClass.hotspotPanicPath},         {"caption1", &baseClass.hotspotCaption1Path},
        {"caption2", &baseClass.hotspotCaption2Path},   {"program", &baseClass.hotspotProgramPath},
    };
    for (const auto& [name, path] : globals) {
        if (path->contains(p)) {
            hotspotMode_ = name;
            break;
        }
    }
    safeprint(hotspotMode_);
}

int TunedeckView::channelOf(const std::string& word) const {
    if (hotspotMode_.size() <= word.size() || hotspotMode_.compare(0, word.size(), word) != 0) return -1;
    const std::string digits = hotspotMode_.substr(word.size());
    for (int i = 0; i < TunedeckViewBase::channelCount; ++i) {
        if (digits == std::to_string(i)) return i;
    }
    return -1;
}

void TunedeckView::option(int address, float value) { delegate_->onTunedeckViewOption(address, value); }

void TunedeckView::parameter(int address, float value) { delegate_->onTunedeckViewParameter(address, value); }

void TunedeckView::touchesBegan(const std::vector<ui::Touch>& touches) {
    if (delegate_ == nullptr || touches.empty()) return;
    startLocation_ = canvasPoint(touches.front().location);
    findHotspot(startLocation_);
    if (hotspotMode_.empty()) {
        touchesLocked = false;
        return;
    }
    touchesLocked = true;
    touchDown();
    setNeedsDisplay();
}

void TunedeckView::touchDown() {
    TunedeckViewBase& b = baseClass;
    if (hotspotMode_ == "transpose") {
        savedValue_ = b.valueTranspose;
        b.isKnobTransposeActive = true;
    } else if (hotspotMode_ == "volume") {
        savedValue_ = b.valueMainVolume;
        b.isSliderVolumeActive = true;
    } else if (hotspotMode_ == "file") {
        b.isButtonFileActive = true;
        option(kOptionOpenFile, 1.0f);
    } else if (hotspotMode_ == "progress") {
        b.isHandleProgressActive = true;
        savedValue_ = b.valueProgress;
        option(kOptionProgress, 1.0f);
    } else if (hotspotMode_ == "play") {
        if (!b.isPlaying && !b.isPlayAvailable) return;
        b.isButtonPlayActive = true;
        option(b.isPlaying ? kOptionPause : kOptionPlay, 1.0f);
    } else if (hotspotMode_ == "sync") {
        b.isButtonSyncedActive = true;
        option(kOptionFiles, 1.0f);
    } else if (hotspotMode_ == "panic") {
        b.isButtonPanicActive = true;
        b.reset();
        setNeedsDisplay();
        option(kOptionPanic, 1.0f);
    } else if (hotspotMode_ == "program") {
        b.isProgramSelectActive = true;
        option(kOptionPrograms, static_cast<float>(b.valueSelected));
    } else if (const int i = channelOf("bar"); i >= 0) {
        b.valueSelected = i;
        b.formatDisplay();
        option(i, static_cast<float>(i));
    } else if (const int m = channelOf("mute"); m >= 0) {
        b.isMuted[m] = !b.isMuted[m];
        parameter(kMute + m, b.isMuted[m] ? 1.0f : 0.0f);
    } else if (const int s = channelOf("slider"); s >= 0) {
        savedValue_ = b.valueLevel[s];
        b.isSliderLevelActive[s] = true;
    } else if (const int k = channelOf("knob"); k >= 0) {
        savedValue_ = b.valuePan[k];
        b.isKnobPanActive[k] = true;
    }
}

void TunedeckView::touchesMoved(const std::vector<ui::Touch>& touches) {
    if (delegate_ == nullptr || hotspotMode_.empty() || touches.empty()) return;
    const ui::Point loc = touches.front().location;
    const ui::Size s = baseClass.TunedeckViewScale;
    const double dx = ((loc.x / s.width - startLocation_.x) / s.width) * scaler;
    const double dy = scaler * ((loc.y / s.height - startLocation_.y) / s.height);
    const float d = std::clamp(static_cast<float>(dy - dx) * 0.5f / 100.0f, -1.0f, 1.0f);
    const double v = std::clamp(savedValue_ - d, 0.0, 1.0);

    TunedeckViewBase& b = baseClass;
    if (hotspotMode_ == "transpose") {
        b.valueTranspose = v;
        parameter(kTranspose, static_cast<float>(static_cast<int>(std::round(v * 24 - 12))));
    } else if (hotspotMode_ == "volume") {
        b.valueMainVolume = v;
        parameter(kVolume, static_cast<float>(v));
    } else if (const int i = channelOf("slider"); i >= 0) {
        b.valueLevel[i] = v;
        parameter(kLevel + i, static_cast<float>(v));
    } else if (const int k = channelOf("knob"); k >= 0) {
        b.valuePan[k] = v;
        parameter(kPan + k, static_cast<float>(v));
    }
    setNeedsDisplay();
}

void TunedeckView::touchesEnded(const std::vector<ui::Touch>& touches) {
    if (delegate_ == nullptr) return;
    touchesMoved(touches);
    TunedeckViewBase& b = baseClass;
    if (hotspotMode_ == "transpose") {
        b.isKnobTransposeActive = false;
    } else if (hotspotMode_ == "volume") {
        b.isSliderVolumeActive = false;
    } else if (hotspotMode_ == "file") {
        b.isButtonFileActive = false;
    } else if (hotspotMode_ == "progress") {
        b.isHandleProgressActive = false;
    } else if (hotspotMode_ == "play") {
        b.isButtonPlayActive = false;
    } else if (hotspotMode_ == "sync") {
        b.isButtonSyncedActive = false;
    } else if (hotspotMode_ == "panic") {
        b.isButtonPanicActive = false;
    } else if (hotspotMode_ == "program") {
        b.isProgramSelectActive = false;
    } else if (const int i = channelOf("slider"); i >= 0) {
        b.isSliderLevelActive[i] = false;
    } else if (const int k = channelOf("knob"); k >= 0) {
        b.isKnobPanActive[k] = false;
    }
    hotspotMode_.clear();
    touchesLocked = false;
    setNeedsDisplay();
}

void TunedeckView::touchesCancelled(const std::vector<ui::Touch>& touches) {
    touchesLocked = false;
    touchesEnded(touches);
    setNeedsDisplay();
}
