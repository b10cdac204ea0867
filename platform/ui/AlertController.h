#pragma once

#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

enum class AlertStyle { alert, actionSheet };
enum class AlertActionStyle { normal, cancel, destructive };

struct AlertAction {
    std::string title;
    AlertActionStyle style = AlertActionStyle::normal;
    // Runs after the alert is dismissed; may be empty.
    std::function<void()> handler;
};

// A question to the user with a title, a message (lines split at '\n', and broken between words where they are wider
// than the box), optional text fields and buttons, one per action. Shown by presenting it from a controller; present
// returns at once, and the answer comes later, when the user (or a test, through tapAction) picks an action: the
// alert is dismissed, then the action's handler runs.
//
// Thread contract: main thread only.
class AlertController : public ViewController {
public:
    AlertController(std::string title, std::string message, AlertStyle style = AlertStyle::alert);

    const std::string& title() const { return title_; }
    const std::string& message() const { return message_; }
    AlertStyle preferredStyle() const { return style_; }

    void addAction(AlertAction action);
    const std::vector<AlertAction>& actions() const { return actions_; }

    // Adds a text field below the message; configure (may be empty) sets it up.
    void addTextField(const std::function<void(TextField&)>& configure);
    const std::vector<std::shared_ptr<TextField>>& textFields() const { return textFields_; }

    // Picks an action as a tap on its button does. False when there is no such action; an alert that is not
    // presented still runs the handler.
    bool tapAction(std::size_t index);
    // The first action with that title.
    bool tapAction(std::string_view title);

    // The button rectangle of each action in the alert view's coordinates (loads the view).
    std::vector<Rect> actionRects();

    void loadView() override;

private:
    friend class AlertView;
    struct Layout;
    Layout layout(Rect bounds) const;

    std::string title_;
    std::string message_;
    AlertStyle style_;
    std::vector<AlertAction> actions_;
    std::vector<std::shared_ptr<TextField>> textFields_;
};

}  // namespace ui
