#include "platform/ui/AlertController.h"

#include "platform/ui/Path.h"

#include <algorithm>
#include <utility>

namespace ui {

namespace {

constexpr double kBoxWidth = 270;
constexpr double kLineHeight = 20;
constexpr double kFieldHeight = 28;
constexpr double kButtonHeight = 44;
constexpr double kMargin = 16;

Font messageFont() { return Font::system(13); }

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    if (text.empty()) return out;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('\n', start);
        out.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return out;
        start = end + 1;
    }
}

// The message's lines broken between words so that each fits width in the message font; a single word wider
// than width keeps a line of its own.
std::vector<std::string> wrappedLines(const std::string& text, double width) {
    const GraphicsContext measure(nullptr);
    std::vector<std::string> out;
    for (const std::string& line : lines(text)) {
        std::string current;
        size_t start = 0;
        while (start <= line.size()) {
            size_t end = line.find(' ', start);
            if (end == std::string::npos) end = line.size();
            const std::string word = line.substr(start, end - start);
            start = end + 1;
            if (word.empty()) continue;
            const std::string longer = current.empty() ? word : current + " " + word;
            if (!current.empty() && measure.textSize(longer, messageFont()).width > width) {
                out.push_back(current);
                current = word;
            } else {
                current = longer;
            }
        }
        out.push_back(current);
    }
    return out;
}

}  // namespace

struct AlertController::Layout {
    Rect box;
    Rect title;
    std::vector<std::string> messageTexts;
    std::vector<Rect> messageLines;
    std::vector<Rect> fields;
    std::vector<Rect> buttons;
};

// Draws the alert over a dimmed backdrop and turns a tap on a button into its action.
class AlertView : public View {
public:
    explicit AlertView(AlertController& owner) : owner_(owner) {}

    void setFrame(Rect frame) override {
        View::setFrame(frame);
        const AlertController::Layout l = owner_.layout(bounds());
        for (size_t i = 0; i < owner_.textFields_.size(); ++i) owner_.textFields_[i]->setFrame(l.fields[i]);
    }

    void draw(GraphicsContext& ctx, Rect) override {
        const AlertController::Layout l = owner_.layout(bounds());
        ctx.fill(Path::rect(bounds()), {0, 0, 0, 0.4});
        ctx.fill(Path::roundedRect(l.box, 13), {0.97, 0.97, 0.97, 1});
        ctx.drawText(owner_.title_, l.title, {Font{"DejaVu Sans", true, false, 16}, Color::black(),
                                              TextAlignment::centre, true});
        for (size_t i = 0; i < l.messageTexts.size(); ++i) {
            // Lines break between words; a single word wider than the box is narrowed to fit it.
            ctx.drawText(l.messageTexts[i], l.messageLines[i],
                         {messageFont(), Color::black(), TextAlignment::centre, true});
        }
        for (size_t i = 0; i < l.buttons.size(); ++i) {
            const Rect b = l.buttons[i];
            ctx.fill(Path::rect({b.x, b.y, b.width, 0.5}), Color::lightGray());
            if (i > 0 && b.y == l.buttons[i - 1].y) ctx.fill(Path::rect({b.x, b.y, 0.5, b.height}), Color::lightGray());
            const AlertAction& a = owner_.actions_[i];
            const Color color = a.style == AlertActionStyle::destructive ? Color{1, 0.23, 0.19, 1}
                                                                         : Color{0, 0.48, 1, 1};
            ctx.drawText(a.title, b, {Font{"DejaVu Sans", a.style == AlertActionStyle::cancel, false, 16}, color,
                                      TextAlignment::centre, true});
        }
    }

    void touchesBegan(const std::vector<Touch>& t) override { pressed_ = buttonAt(t.front().location); }
    void touchesCancelled(const std::vector<Touch>&) override { pressed_ = -1; }
    void touchesEnded(const std::vector<Touch>& t) override {
        const int released = buttonAt(t.front().location);
        const int pressed = pressed_;
        pressed_ = -1;
        if (released >= 0 && released == pressed) owner_.tapAction(static_cast<size_t>(released));
    }

private:
    int buttonAt(Point p) const {
        const AlertController::Layout l = owner_.layout(bounds());
        for (size_t i = 0; i < l.buttons.size(); ++i) {
            if (l.buttons[i].contains(p)) return static_cast<int>(i);
        }
        return -1;
    }

    AlertController& owner_;
    int pressed_ = -1;
};

AlertController::AlertController(std::string title, std::string message, AlertStyle style)
    : title_(std::move(title)), message_(std::move(message)), style_(style) {}

void AlertController::addAction(AlertAction action) {
    actions_.push_back(std::move(action));
    if (isViewLoaded()) view().setNeedsDisplay();
}

void AlertController::addTextField(const std::function<void(TextField&)>& configure) {
    auto field = std::make_shared<TextField>();
    if (configure) configure(*field);
    textFields_.push_back(field);
    if (isViewLoaded()) {
        view().addSubview(field);
        view().setFrame(view().frame());
    }
}

bool AlertController::tapAction(std::size_t index) {
    if (index >= actions_.size()) return false;
    // Dismissal releases the presenter's reference; the handler runs on a live alert.
    const std::shared_ptr<ViewController> keep = weak_from_this().lock();
    const std::function<void()> handler = actions_[index].handler;
    dismiss(true);
    if (handler) handler();
    return true;
}

bool AlertController::tapAction(std::string_view title) {
    auto it = std::find_if(actions_.begin(), actions_.end(), [&](const AlertAction& a) { return a.title == title; });
    return it != actions_.end() && tapAction(static_cast<size_t>(it - actions_.begin()));
}

std::vector<Rect> AlertController::actionRects() {
    return layout(view().bounds()).buttons;
}

AlertController::Layout AlertController::layout(Rect bounds) const {
    Layout l;
    const double width = std::min(kBoxWidth, bounds.width);
    l.messageTexts = wrappedLines(message_, width - 2 * kMargin);
    const std::vector<std::string>& text = l.messageTexts;
    const bool sideBySide = actions_.size() == 2 && style_ == AlertStyle::alert;
    const size_t buttonRows = sideBySide ? 1 : actions_.size();
    const double height = kMargin + kLineHeight + text.size() * kLineHeight +
                          textFields_.size() * (kFieldHeight + 8) + kMargin + buttonRows * kButtonHeight;
    l.box = {bounds.midX() - width / 2, bounds.midY() - height / 2, width, height};
    double y = l.box.y + kMargin;
    l.title = {l.box.x + kMargin, y, width - 2 * kMargin, kLineHeight};
    y += kLineHeight;
    for (size_t i = 0; i < text.size(); ++i, y += kLineHeight) {
        l.messageLines.push_back({l.box.x + kMargin, y, width - 2 * kMargin, kLineHeight});
    }
    for (size_t i = 0; i < textFields_.size(); ++i) {
        y += 8;
        l.fields.push_back({l.box.x + kMargin, y, width - 2 * kMargin, kFieldHeight});
        y += kFieldHeight;
    }
    y += kMargin;
    for (size_t i = 0; i < actions_.size(); ++i) {
        if (sideBySide) {
            l.buttons.push_back({l.box.x + i * width / 2, y, width / 2, kButtonHeight});
        } else {
            l.buttons.push_back({l.box.x, y + i * kButtonHeight, width, kButtonHeight});
        }
    }
    return l;
}

void AlertController::loadView() {
    auto v = std::make_shared<AlertView>(*this);
    for (const auto& field : textFields_) v->addSubview(field);
    setView(v);
}

}  // namespace ui
