// Edge pinning and the file loader, with pictures written by the tests (the fetching loader: ImageFetchTest.cpp).

#include "platform/dispatch/MainQueue.h"
#include "platform/ui/Url.h"
#include "shared/globals/ViewHelpers.h"
#include "tests/shared/globals/PictureFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

class PictureLoaders : public PictureFixture {
protected:
    bool logged(const std::string& line) const {
        const auto lines = log.lines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
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
