#include "platform/ui/AlertController.h"
#include "platform/ui/HeadlessRenderer.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct Alerts : ::testing::Test {
    ui::Window window{{0, 0, 320, 480}};
    std::shared_ptr<ui::ViewController> screen = std::make_shared<ui::ViewController>();
    std::vector<std::string> answers;

    std::shared_ptr<ui::AlertController> confirm() {
        auto alert = std::make_shared<ui::AlertController>("Delete Files", "Really?\nThis cannot be undone!");
        alert->addAction({"OK", ui::AlertActionStyle::normal, [this] { answers.push_back("ok"); }});
        alert->addAction({"Cancel", ui::AlertActionStyle::cancel, [this] { answers.push_back("cancel"); }});
        return alert;
    }

    void SetUp() override { window.setRootViewController(screen); }
};

TEST_F(Alerts, PresentReturnsBeforeTheAnswer) {
    ASSERT_TRUE(screen->present(confirm(), true));
    EXPECT_TRUE(answers.empty());
    auto* alert = dynamic_cast<ui::AlertController*>(screen->presentedViewController());
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->title(), "Delete Files");
    ASSERT_EQ(alert->actions().size(), 2u);
    EXPECT_EQ(alert->actions()[1].style, ui::AlertActionStyle::cancel);
}

TEST_F(Alerts, TappingAnActionDismissesThenRunsItsHandler) {
    auto alert = confirm();
    alert->addAction({"Later", ui::AlertActionStyle::normal, [&] {
                          answers.push_back(screen->presentedViewController() ? "still shown" : "gone");
                      }});
    ASSERT_TRUE(screen->present(alert, true));
    EXPECT_TRUE(alert->tapAction("Later"));
    EXPECT_EQ(answers, std::vector<std::string>{"gone"});
    EXPECT_FALSE(alert->tapAction("Never"));
    EXPECT_FALSE(alert->tapAction(7));
}

TEST_F(Alerts, TouchOnAButtonPicksItsAction) {
    auto alert = confirm();
    ASSERT_TRUE(screen->present(alert, true));
    ui::HeadlessRenderer renderer;
    renderer.startRecording();
    renderer.render(window.rootView());
    bool drewTitle = false;
    for (const std::string& call : renderer.recordedCalls()) drewTitle |= call.find("Delete Files") != std::string::npos;
    EXPECT_TRUE(drewTitle);

    const std::vector<ui::Rect> buttons = alert->actionRects();
    ASSERT_EQ(buttons.size(), 2u);
    const ui::Point cancel{buttons[1].midX(), buttons[1].midY()};
    // A press that slides off the button picks nothing.
    renderer.pointer().press(window.rootView(), cancel);
    renderer.pointer().release({5, 5});
    EXPECT_TRUE(answers.empty());
    renderer.pointer().press(window.rootView(), cancel);
    renderer.pointer().release(cancel);
    EXPECT_EQ(answers, std::vector<std::string>{"cancel"});
    EXPECT_EQ(screen->presentedViewController(), nullptr);
}

TEST_F(Alerts, TextFieldsCarryTheirText) {
    auto alert = std::make_shared<ui::AlertController>("Save", "Name of the file");
    alert->addTextField([](ui::TextField& field) { field.placeholder = "name"; });
    std::string saved;
    alert->addAction({"OK", ui::AlertActionStyle::normal, [&, a = alert.get()] { saved = a->textFields()[0]->text(); }});
    ASSERT_TRUE(screen->present(alert, true));
    alert->textFields()[0]->setText("song");
    EXPECT_NE(alert->textFields()[0]->superview(), nullptr);
    alert->tapAction("OK");
    EXPECT_EQ(saved, "song");
}

}  // namespace
