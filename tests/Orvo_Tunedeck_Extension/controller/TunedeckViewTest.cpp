// The player panel as a touch control: which touch area a touch lands on, and what it reports to its delegate.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Orvo_Tunedeck_Extension/views/TunedeckView.h"
#include "platform/dispatch/MainQueue.h"

namespace {

struct Report {
    bool isOption;
    int address;
    float value;
    friend bool operator==(const Report&, const Report&) = default;
};

std::ostream& operator<<(std::ostream& out, const Report& r) {
    return out << (r.isOption ? "option " : "parameter ") << r.address << " = " << r.value;
}

class RecordingDelegate : public TunedeckViewDelegate {
public:
    explicit RecordingDelegate(const TunedeckView& view) : view_(view) {}
    void onTunedeckViewParameter(int address, float value) override { reports.push_back({false, address, value}); }
    void onTunedeckViewOption(int address, float value) override {
        reports.push_back({true, address, value});
        selectedAtOption.push_back(view_.baseClass.valueSelected);
    }
    std::vector<Report> reports;
    std::vector<int> selectedAtOption;

private:
    const TunedeckView& view_;
};

// A panel twice the canvas size, touch areas built, reporting to a recording delegate.
class PanelControl : public ::testing::Test {
protected:
    void SetUp() override {
        panel.setDelegate(&delegate);
        panel.baseClass.drawSymbolHotspots(panel.bounds(), ResizingBehavior::aspectFit);
    }
    void TearDown() override { dispatch::MainQueue::shared().drain(); }

    // Canvas points, touched at the panel's scale.
    std::vector<ui::Touch> at(double x, double y) const { return {ui::Touch{{scale * x, scale * y}}}; }
    void resize(double factor) {
        scale = factor;
        panel.setFrame({0, 0, 600 * factor, 500 * factor});
        panel.baseClass.drawSymbolHotspots(panel.bounds(), ResizingBehavior::aspectFit);
        panel.baseClass.TunedeckViewScale = {factor, factor};  // as a drawing at this size records it
    }
    void tap(double x, double y) {
        panel.touchesBegan(at(x, y));
        panel.touchesEnded(at(x, y));
    }
    void drag(double x, double y, double dx, double dy) {
        panel.touchesBegan(at(x, y));
        panel.touchesMoved(at(x + dx / 2, y + dy / 2));
        panel.touchesEnded(at(x + dx, y + dy));
    }

    double scale = 2;
    TunedeckView panel{ui::Rect{0, 0, 1200, 1000}};
    RecordingDelegate delegate{panel};
};

TEST_F(PanelControl, TouchAreasFoundAtTheirCanvasPoints) {
    const std::vector<std::pair<ui::Point, std::string>> cases = {
        {{160, 100}, "bar0"},        {{520, 100}, "bar15"}, {{160 + 24 * 4, 170}, "mute4"},
        {{160 + 24 * 3, 220}, "slider3"}, {{160 + 24 * 7, 260}, "knob7"}, {{86, 100}, "transpose"},
        {{86, 200}, "volume"},       {{70, 420}, "file"},             {{300, 425}, "progress"},
        {{520, 420}, "play"},        {{150, 340}, "sync"},            {{280, 340}, "panic"},
        {{40, 340}, "caption1"},     {{450, 340}, "caption2"},        {{300, 60}, "program"},
        {{20, 20}, ""},
    };
    for (const auto& [point, name] : cases) {
        panel.findHotspot(point);
        EXPECT_EQ(panel.hotspotMode(), name) << point.x << ", " << point.y;
    }
}

TEST_F(PanelControl, OverlappingAreasResolvedByOrder) {
    TunedeckViewBase& b = panel.baseClass;
    b.hotspotKnobPath[3] = ui::Path::rect({0, 0, 50, 50});
    b.hotspotVolumePath = ui::Path::rect({0, 0, 50, 50});
    b.hotspotSliderPath[5] = ui::Path::rect({0, 100, 50, 50});
    b.hotspotBarsPath[6] = ui::Path::rect({0, 100, 50, 50});
    b.hotspotBarsPath[2] = ui::Path::rect({0, 200, 50, 50});
    b.hotspotMutePath[2] = ui::Path::rect({0, 200, 50, 50});
    const std::vector<std::pair<ui::Point, std::string>> cases = {
        {{10, 10}, "volume"}, {{10, 110}, "bar6"}, {{10, 210}, "bar2"}};
    for (const auto& [point, name] : cases) {
        panel.findHotspot(point);
        EXPECT_EQ(panel.hotspotMode(), name);
    }
}

TEST_F(PanelControl, TapsBecomeOptionsAndToggles) {
    panel.baseClass.valueLevel[3] = 0.25;
    tap(160 + 24 * 4, 170);  // mute 4 on
    tap(160 + 24 * 4, 170);  // and off
    tap(160 + 24 * 3, 220);  // level 3: one write on release
    tap(70, 420);            // file
    tap(300, 425);           // progress handle
    tap(150, 340);           // sync
    tap(520, 420);           // play while stopped
    panel.setPlaying(true);
    tap(520, 420);  // pause while playing
    tap(160 + 24 * 7, 100);  // strip 7
    tap(300, 60);            // program list of the selected channel
    const std::vector<Report> expected = {
        {false, 1020, 1.0f}, {false, 1020, 0.0f}, {false, 1035, 0.25f}, {true, 1178, 1.0f}, {true, 1180, 1.0f},
        {true, 1192, 1.0f},  {true, 1186, 1.0f},  {true, 1187, 1.0f},   {true, 7, 7.0f},     {true, 1179, 7.0f},
    };
    EXPECT_EQ(delegate.reports, expected);
    EXPECT_EQ(panel.baseClass.valueSelected, 7);
    EXPECT_TRUE(panel.baseClass.isMuted[4] == false);
    EXPECT_FALSE(panel.touchesLocked);
    EXPECT_TRUE(panel.hotspotMode().empty());
}

TEST_F(PanelControl, PanicResetsThePanelBeforeItIsSent) {
    panel.baseClass.valueSelected = 9;
    panel.baseClass.valueMainVolume = 0.2;
    tap(280, 340);
    ASSERT_EQ(delegate.reports, (std::vector<Report>{{true, 1183, 1.0f}}));
    EXPECT_EQ(delegate.selectedAtOption, std::vector<int>{0});
    EXPECT_DOUBLE_EQ(panel.baseClass.valueMainVolume, 0.79);
    EXPECT_FALSE(panel.baseClass.isButtonPanicActive);
}

TEST_F(PanelControl, DragsSetVolumeLevelAndPan) {
    resize(1);
    struct Case {
        double dx, dy, value;
    };
    for (const Case c : {Case{100, 0, 1.0}, Case{0, -40, 0.7}, Case{0, 100, 0.0}, Case{-20, 0, 0.4}}) {
        delegate.reports.clear();
        panel.baseClass.valueMainVolume = 0.5;
        drag(86, 200, c.dx, c.dy);
        ASSERT_FALSE(delegate.reports.empty());
        EXPECT_EQ(delegate.reports.back().address, 1001);
        EXPECT_NEAR(delegate.reports.back().value, c.value, 1e-6) << c.dx << ", " << c.dy;
        EXPECT_NEAR(panel.baseClass.valueMainVolume, c.value, 1e-6);
    }
    delegate.reports.clear();
    panel.baseClass.valuePan[2] = 0.5;
    drag(160 + 24 * 2, 260, 0, -20);
    EXPECT_EQ(delegate.reports.back().address, 1050);
    EXPECT_NEAR(delegate.reports.back().value, 0.6, 1e-6);
    EXPECT_FALSE(panel.baseClass.isKnobPanActive[2]);

    // At twice the size the distance counts half: the canvas distance is divided by the scale once more.
    resize(2);
    panel.baseClass.valueMainVolume = 0.5;
    drag(86, 200, 100, 0);
    EXPECT_NEAR(delegate.reports.back().value, 0.75, 1e-6);
}

TEST_F(PanelControl, TranspositionSentInRoundedSemitones) {
    for (const auto& [knob, semitones] : std::vector<std::pair<double, float>>{
             {0.5, 0.0f}, {12.5 / 24, 1.0f}, {11.5 / 24, -1.0f}, {0.0, -12.0f}, {1.0, 12.0f}}) {
        delegate.reports.clear();
        panel.baseClass.valueTranspose = knob;
        tap(86, 100);
        EXPECT_EQ(delegate.reports, (std::vector<Report>{{false, 1002, semitones}})) << knob;
    }
}

TEST_F(PanelControl, WithoutDelegateTouchesChangeNothing) {
    panel.setDelegate(nullptr);
    tap(160 + 24 * 4, 170);
    EXPECT_FALSE(panel.baseClass.isMuted[4]);
    EXPECT_TRUE(panel.hotspotMode().empty());
}

TEST_F(PanelControl, CancelledTouchReleasesTheControl) {
    panel.touchesBegan(at(160 + 24 * 3, 220));
    EXPECT_TRUE(panel.touchesLocked);
    EXPECT_TRUE(panel.baseClass.isSliderLevelActive[3]);
    panel.touchesCancelled(at(160 + 24 * 3, 220));
    EXPECT_FALSE(panel.touchesLocked);
    EXPECT_FALSE(panel.baseClass.isSliderLevelActive[3]);
}

TEST_F(PanelControl, SettersClampChannelsAndValues) {
    panel.setPan(20, 64);
    EXPECT_DOUBLE_EQ(panel.baseClass.valuePan[15], 64 / 127.0);
    panel.setVolume(2, 200);
    EXPECT_DOUBLE_EQ(panel.baseClass.valueLevel[2], 1.0);
    panel.setBankLSB(40, 2);
    EXPECT_EQ(panel.baseClass.bankLSB[15], 2);

    panel.baseClass.valueSelected = 4;
    panel.setProgram(std::uint8_t{8}, std::uint8_t{1}, std::uint8_t{5});
    for (int channel = 0; channel < 16; ++channel) {
        EXPECT_EQ(panel.baseClass.program[channel], channel == 4 ? 5 : 0) << channel;
    }
    panel.baseClass.valueSelected = 16;
    panel.setProgram(std::uint8_t{8}, std::uint8_t{1}, std::uint8_t{6});
    for (int channel = 0; channel < 16; ++channel) {
        EXPECT_NE(panel.baseClass.program[channel], 6) << channel;
    }
}

}  // namespace
