// Edge pinning and the two picture loaders, with pictures written by the tests.

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "platform/ui/ImageSurface.h"
#include "platform/ui/Path.h"
#include "platform/ui/Url.h"
#include "shared/globals/ViewHelpers.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>

namespace {

class PictureLoaders : public ::testing::Test {
protected:
    void SetUp() override {
        ui::ImageSurface picture(8, 6);
        picture.context().fill(ui::Path::rect({0, 0, 8, 6}), ui::Color::white());
        ASSERT_TRUE(picture.writePng(png()));
        std::ofstream(text(), std::ios::binary) << "not a picture";
    }
    std::filesystem::path png() const { return folder.path() / "white picture.png"; }
    std::filesystem::path text() const { return folder.path() / "notes.txt"; }
    bool logged(const std::string& line) const {
        const auto lines = log.lines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    testsupport::TestFolder folder;
    foundation::LogCapture log;
    std::shared_ptr<ui::ImageView> view = std::make_shared<ui::ImageView>();
};

TEST_F(PictureLoaders, LoadFromShowsAPictureOfAFileUrlOnTheMainQueue) {
    loadFrom(view, ui::fileUrl(png().string()));
    EXPECT_EQ(view->image(), nullptr);
    dispatch::MainQueue::shared().drain();
    ASSERT_NE(view->image(), nullptr);
    EXPECT_EQ(view->image()->width(), 8);
    EXPECT_EQ(view->image()->height(), 6);
}

TEST_F(PictureLoaders, LoadFromLogsWhatWentWrongAndKeepsThePicture) {
    const struct {
        std::string address;
        std::string line;
    } cases[] = {
        {"no url at all", "UIImageView::loadFrom() : Could not encode url string : no url at all"},
        {ui::fileUrl((folder.path() / "missing.png").string()), "UIImageView::loadFrom() : Could not encode image data."},
        {"https://example.invalid/p.png", "UIImageView::loadFrom() : Could not encode image data."},
        {ui::fileUrl(text().string()), "UIImageView::loadFrom() : Could not assign image."},
    };
    for (const auto& c : cases) {
        loadFrom(view, c.address);
        dispatch::MainQueue::shared().drain();
        EXPECT_TRUE(logged(c.line)) << c.address;
        EXPECT_EQ(view->image(), nullptr) << c.address;
    }
}

TEST_F(PictureLoaders, LoadFromLetsTheImageViewGoFirst) {
    loadFrom(view, ui::fileUrl(png().string()));
    view.reset();
    dispatch::MainQueue::shared().drain();
    EXPECT_TRUE(logged("UIImageView::loadFrom() : Could not assign image."));
}

TEST_F(PictureLoaders, GetImageFromURLStringShowsWhatTheDataFormAndReportsFailedFetches) {
    getImageFromURLString(view, "no url at all");
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(view->image(), nullptr);
    getImageFromURLString(view, ui::fileUrl(png().string()));
    dispatch::MainQueue::shared().drain();
    EXPECT_NE(view->image(), nullptr);
    getImageFromURLString(view, ui::fileUrl(text().string()));
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(view->image(), nullptr);
    const auto before = log.lines().size();
    getImageFromURLString(view, "https://example.invalid/p.png");
    dispatch::MainQueue::shared().drain();
    EXPECT_GT(log.lines().size(), before);
}

TEST(PinToSuperviewEdges, FitsAViewToItsSuperviewAndLeavesALoneViewAlone) {
    ui::View lone({1, 2, 3, 4});
    pinToSuperviewEdges(lone);
    EXPECT_FALSE(lone.isPinnedToSuperviewEdges());
    EXPECT_EQ(lone.frame(), (ui::Rect{1, 2, 3, 4}));

    auto parent = std::make_shared<ui::View>(ui::Rect{0, 0, 40, 30});
    auto child = std::make_shared<ui::View>(ui::Rect{1, 2, 3, 4});
    parent->addSubview(child);
    pinToSuperviewEdges(*child);
    EXPECT_EQ(child->frame(), (ui::Rect{0, 0, 40, 30}));
    parent->setFrame({0, 0, 64, 48});
    EXPECT_EQ(child->frame(), (ui::Rect{0, 0, 64, 48}));
}

}  // namespace
