#include "platform/ui/DocumentPicker.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace {

struct Receiver : ui::DocumentPickerDelegate {
    void documentPickerDidPick(ui::DocumentPicker& picker, const std::vector<std::filesystem::path>& files) override {
        picked = files;
        stillPresented = picker.presentingViewController() != nullptr;
    }
    void documentPickerWasCancelled(ui::DocumentPicker&) override { ++cancelled; }
    std::vector<std::filesystem::path> picked;
    bool stillPresented = true;
    int cancelled = 0;
};

struct Picking : ::testing::Test {
    ui::Window window{{0, 0, 320, 480}};
    std::shared_ptr<ui::ViewController> screen = std::make_shared<ui::ViewController>();
    Receiver receiver;
    void SetUp() override { window.setRootViewController(screen); }
    void TearDown() override { ui::DocumentPicker::setChooser({}); }
};

TEST_F(Picking, ChosenFilesReachTheDelegateAfterDismissal) {
    std::weak_ptr<ui::DocumentPicker> weak;
    {
        auto picker = std::make_shared<ui::DocumentPicker>(std::vector<std::string>{"mid", "midi", "kar"});
        picker->delegate = &receiver;
        weak = picker;
        ASSERT_TRUE(screen->present(picker, true));
    }
    weak.lock()->pick({"/music/a.mid", "/music/b.mid"});
    EXPECT_EQ(receiver.picked, std::vector<std::filesystem::path>{"/music/a.mid"});
    EXPECT_FALSE(receiver.stillPresented);
    EXPECT_EQ(screen->presentedViewController(), nullptr);
    EXPECT_TRUE(weak.expired());
}

TEST_F(Picking, TheBackEndsChooserAnswersOnceThePickerIsShown) {
    ui::DocumentPicker::setChooser([](ui::DocumentPicker& picker) { picker.pick({"/x/1.mid", "/x/2.kar"}); });
    auto picker = std::make_shared<ui::DocumentPicker>(std::vector<std::string>{}, true);
    picker->delegate = &receiver;
    ASSERT_TRUE(screen->present(picker, true));
    EXPECT_EQ(receiver.picked.size(), 2u);
    EXPECT_EQ(screen->presentedViewController(), nullptr);
}

TEST_F(Picking, CancelTellsTheDelegate) {
    auto picker = std::make_shared<ui::DocumentPicker>();
    picker->delegate = &receiver;
    ASSERT_TRUE(screen->present(picker, true));
    picker->cancel();
    EXPECT_EQ(receiver.cancelled, 1);
    EXPECT_TRUE(receiver.picked.empty());
}

}  // namespace
