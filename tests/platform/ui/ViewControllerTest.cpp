#include "platform/ui/HeadlessRenderer.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <any>
#include <memory>
#include <string>
#include <vector>

namespace {

// Logs its lifecycle calls, under a name, into a shared list.
class Screen : public ui::ViewController {
public:
    Screen(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
    void viewDidLoad() override { log_.push_back(name_ + " didLoad"); }
    void viewWillAppear(bool animated) override { log_.push_back(name_ + " willAppear " + (animated ? "1" : "0")); }
    void viewDidAppear(bool) override { log_.push_back(name_ + " didAppear"); }
    void viewWillDisappear(bool) override { log_.push_back(name_ + " willDisappear"); }
    void viewDidDisappear(bool) override { log_.push_back(name_ + " didDisappear"); }
    void prepare(ui::Segue& segue, const std::any& sender) override {
        log_.push_back(name_ + " prepare " + segue.identifier + " from " + std::any_cast<std::string>(sender));
        prepared = segue.destination;
    }

    std::shared_ptr<ui::ViewController> prepared;

private:
    std::string name_;
    std::vector<std::string>& log_;
};

struct Screens : ::testing::Test {
    std::vector<std::string> log;
    ui::Window window{{0, 0, 320, 480}};
    std::shared_ptr<Screen> root = std::make_shared<Screen>("root", log);

    void SetUp() override {
        window.setRootViewController(root);
        log.clear();
    }
};

TEST_F(Screens, RootFillsTheWindow) {
    EXPECT_EQ(root->view().frame(), (ui::Rect{0, 0, 320, 480}));
    EXPECT_EQ(root->view().superview(), &window.rootView());
}

TEST_F(Screens, PresentAndDismissRunTheLifecycleInOrder) {
    auto modal = std::make_shared<Screen>("modal", log);
    bool presented = false;
    ASSERT_TRUE(root->present(modal, true, [&] { presented = true; }));
    EXPECT_TRUE(presented);
    EXPECT_EQ(root->presentedViewController(), modal.get());
    EXPECT_EQ(modal->presentingViewController(), root.get());
    EXPECT_EQ(modal->view().superview(), &window.rootView());
    EXPECT_EQ(modal->view().frame(), root->view().frame());
    // Views the covered screen adds later stay below the presented one.
    root->view().addSubview(std::make_shared<ui::View>(ui::Rect{0, 0, 320, 480}));
    EXPECT_EQ(window.rootView().hitTest({5, 5}), &modal->view());

    ASSERT_TRUE(modal->dismiss(true));
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(modal->presentingViewController(), nullptr);
    EXPECT_EQ(modal->view().superview(), nullptr);
    const std::vector<std::string> expected{"modal didLoad", "modal willAppear 1", "modal didAppear",
                                            "modal willDisappear", "modal didDisappear"};
    EXPECT_EQ(log, expected);
}

TEST(ScreensOutsideAWindow, PresentedViewBecomesTheLastSubview) {
    std::vector<std::string> log;
    auto screen = std::make_shared<Screen>("screen", log);
    screen->view().setFrame({0, 0, 200, 100});
    auto modal = std::make_shared<Screen>("modal", log);
    ASSERT_TRUE(screen->present(modal, false));
    EXPECT_EQ(modal->view().superview(), &screen->view());
    EXPECT_EQ(modal->view().frame(), (ui::Rect{0, 0, 200, 100}));
}

TEST_F(Screens, PresentIsRefusedWhileAnotherIsShown) {
    auto first = std::make_shared<Screen>("first", log);
    auto second = std::make_shared<Screen>("second", log);
    ASSERT_TRUE(root->present(first, false));
    EXPECT_FALSE(root->present(second, false));
    EXPECT_FALSE(second->isViewLoaded());
    // Already presented elsewhere, or itself.
    EXPECT_FALSE(second->present(first, false));
    EXPECT_FALSE(root->present(root, false));
    EXPECT_FALSE(root->present(nullptr, false));
    EXPECT_FALSE(second->dismiss(false));
}

TEST_F(Screens, DismissTakesTheChainAboveWithIt) {
    auto middle = std::make_shared<Screen>("middle", log);
    auto top = std::make_shared<Screen>("top", log);
    ASSERT_TRUE(root->present(middle, false));
    ASSERT_TRUE(middle->present(top, false));
    EXPECT_EQ(root->topViewController(), top.get());
    std::weak_ptr<Screen> weakTop = top;
    top.reset();
    ASSERT_TRUE(root->dismiss(false));
    EXPECT_TRUE(weakTop.expired());
    EXPECT_EQ(middle->presentedViewController(), nullptr);
    EXPECT_EQ(root->topViewController(), root.get());
}

TEST_F(Screens, ControllerMayDismissItselfFromItsOwnCall) {
    std::weak_ptr<Screen> weak;
    {
        auto modal = std::make_shared<Screen>("modal", log);
        weak = modal;
        ASSERT_TRUE(root->present(modal, false));
    }
    ASSERT_FALSE(weak.expired());
    EXPECT_TRUE(weak.lock()->dismiss(false));
    EXPECT_TRUE(weak.expired());
}

// A list screen whose row tap closes it, as the pickers of files and programs do.
class ClosingList : public ui::ViewController, public ui::TableViewDataSource, public ui::TableViewDelegate {
public:
    void loadView() override {
        auto table = std::make_shared<ui::TableView>();
        table->dataSource = this;
        table->delegate = this;
        setView(table);
    }
    int numberOfRows(ui::TableView&, int) override { return 3; }
    std::shared_ptr<ui::TableViewCell> cellForRow(ui::TableView& table, ui::IndexPath p) override {
        return table.dequeueReusableCell("Row", p);
    }
    // Goes on with its own state after closing itself.
    void didSelectRow(ui::TableView& table, ui::IndexPath) override {
        dismiss(true);
        ++picks;
        table.setNeedsDisplay();
    }
    int picks = 0;
};

TEST_F(Screens, ATapMayCloseItsOwnScreen) {
    std::weak_ptr<ClosingList> weak;
    {
        auto list = std::make_shared<ClosingList>();
        weak = list;
        ASSERT_TRUE(root->present(list, true));
    }
    ui::HeadlessRenderer renderer;
    renderer.render(window.rootView());
    renderer.pointer().press(window.rootView(), {50, 50});
    renderer.pointer().release({50, 50});
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_TRUE(weak.expired());
}

TEST_F(Screens, SegueMakesPreparesAndPresents) {
    root->registerSegue("showPrograms", [this] { return std::make_shared<Screen>("programs", log); });
    EXPECT_FALSE(root->performSegue("showFiles", std::string("button")));
    ASSERT_TRUE(root->performSegue("showPrograms", std::string("button")));
    ASSERT_NE(root->prepared, nullptr);
    EXPECT_EQ(root->presentedViewController(), root->prepared.get());
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0], "root prepare showPrograms from button");
    EXPECT_EQ(log[1], "programs didLoad");
}

TEST_F(Screens, ReplacingTheRootLetsTheOldOneDisappear) {
    auto other = std::make_shared<Screen>("other", log);
    window.setRootViewController(other);
    EXPECT_EQ(log, (std::vector<std::string>{"root willDisappear", "root didDisappear", "other didLoad",
                                             "other willAppear 0", "other didAppear"}));
    EXPECT_EQ(window.rootView().subviews().size(), 1u);
}

}  // namespace
