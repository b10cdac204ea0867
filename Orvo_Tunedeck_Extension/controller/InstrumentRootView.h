#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/View.h"

#include <functional>
#include <memory>

// The root of the instrument's view. It paints a dark background and shows its content at the scale that fits the
// design's size into it with its proportions kept; the content fills the root, so it is at least the design's size
// in design units (wider or taller where the root's proportions differ). After every resize it reports to didLayout
// (the controller's layout pass), which lays the content out.
//
// Thread contract: main queue only.
class InstrumentRootView : public ui::View {
public:
    static constexpr ui::Rect kDesign{0, 0, 680, 580};
    static constexpr ui::Color kBackground{0.08, 0.09, 0.11, 1};

    explicit InstrumentRootView(ui::Rect frame);

    // The view holding the toolbars and the plug-in view, in design units.
    const std::shared_ptr<ui::View>& content() const { return content_; }
    std::function<void()> didLayout;

    void setFrame(ui::Rect frame) override;
    void draw(ui::GraphicsContext& ctx, ui::Rect dirty) override;

private:
    std::shared_ptr<ui::View> content_;
};

// The plug-in view: holds the frame control, the panel and the overlay at the panel's design size and scales them
// to whatever frame it is given (by layout, pan or pinch), so they always fill it.
class PluginView : public ui::View {
public:
    explicit PluginView(ui::Rect frame, double designWidth) : View(frame), designWidth_(designWidth) {
        setScale(frame.width / designWidth_);
    }
    void setFrame(ui::Rect frame) override {
        View::setFrame(frame);
        if (frame.width > 0) setScale(frame.width / designWidth_);
    }

private:
    double designWidth_;
};
