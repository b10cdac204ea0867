#include "platform/ui/AlertController.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/HeadlessRenderer.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <cstdio>
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

namespace {

// The text and rectangle of a recorded text call: text "..." x y width height colour.
struct DrawnText {
    std::string text;
    ui::Rect rect;
};

std::vector<DrawnText> drawnTexts(const std::vector<std::string>& calls) {
    std::vector<DrawnText> found;
    for (const std::string& call : calls) {
        if (!call.starts_with("text \"")) continue;
        const size_t end = call.rfind('"');
        DrawnText drawn{call.substr(6, end - 6), {}};
        std::sscanf(call.c_str() + end + 1, "%lf %lf %lf %lf", &drawn.rect.x, &drawn.rect.y, &drawn.rect.width,
                    &drawn.rect.height);
        found.push_back(drawn);
    }
    return found;
}

TEST_F(Alerts, EveryLineOfALongMessageIsDrawnWholeInsideTheBoxAndNoLinesOverlap) {
    const std::string first = "Do You really want to delete the file or folder?";
    const std::string second =
        "This cannot be undone! The files or folders (with all the included subfolders) are permanently deleted "
        "from the apps 'Documents' directory and no linger available.";
    auto alert = std::make_shared<ui::AlertController>("Delete Files", first + "\n" + second);
    alert->addAction({"OK", ui::AlertActionStyle::normal, nullptr});
    alert->addAction({"Cancel", ui::AlertActionStyle::cancel, nullptr});
    ASSERT_TRUE(screen->present(alert, true));
    ui::HeadlessRenderer renderer;
    renderer.startRecording();
    renderer.render(window.rootView());

    const ui::GraphicsContext measure(nullptr);
    std::string words;
    std::vector<DrawnText> texts = drawnTexts(renderer.recordedCalls());
    ASSERT_GT(texts.size(), 5u);
    for (size_t i = 0; i < texts.size(); ++i) {
        const DrawnText& drawn = texts[i];
        SCOPED_TRACE(drawn.text);
        EXPECT_GE(drawn.rect.minX(), 0);
        EXPECT_LE(drawn.rect.maxX(), window.rootView().bounds().width);
        for (size_t j = 0; j < i; ++j) {
            const ui::Rect& other = texts[j].rect;
            const bool overlap = drawn.rect.minX() < other.maxX() && other.minX() < drawn.rect.maxX() &&
                                 drawn.rect.minY() < other.maxY() && other.minY() < drawn.rect.maxY();
            EXPECT_FALSE(overlap) << texts[j].text;
        }
        if (drawn.text == "Delete Files" || drawn.text == "OK" || drawn.text == "Cancel") continue;
        EXPECT_LE(measure.textSize(drawn.text, ui::Font::system(13)).width, drawn.rect.width + 0.5);
        words += (words.empty() ? "" : " ") + drawn.text;
    }
    EXPECT_EQ(words, first + " " + second);
}

}  // namespace
