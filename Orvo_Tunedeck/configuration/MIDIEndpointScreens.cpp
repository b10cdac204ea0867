#include "Orvo_Tunedeck/configuration/MIDIEndpointScreens.h"

#include "platform/ui/Path.h"

namespace {

constexpr double kMargin = 16;
constexpr double kButtonHeight = 36;
constexpr double kRowHeight = 44;
constexpr double kHeaderHeight = 28;

// The exit button above the table, which takes the rest of the screen.
class EndpointScreenView final : public ui::View {
public:
    EndpointScreenView(std::shared_ptr<ui::Button> exit, std::shared_ptr<ui::TableView> table)
        : exit_(std::move(exit)), table_(std::move(table)) {
        addSubview(exit_);
        addSubview(table_);
    }

    void setFrame(ui::Rect frame) override {
        const bool widthChanged = frame.width != this->frame().width;
        View::setFrame(frame);
        const ui::Rect b = bounds();
        exit_->setFrame({kMargin, kMargin, 80, kButtonHeight});
        const double top = 2 * kMargin + kButtonHeight;
        table_->setFrame({0, top, b.width, std::max(kHeaderHeight, b.height - top)});
        if (widthChanged && table_->dataSource != nullptr) table_->reloadData();
    }

    void draw(ui::GraphicsContext& ctx, ui::Rect dirty) override { ctx.fill(ui::Path::rect(dirty), ui::Color::white()); }

private:
    std::shared_ptr<ui::Button> exit_;
    std::shared_ptr<ui::TableView> table_;
};

}  // namespace

MIDIEndpointScreen::MIDIEndpointScreen(std::string identifier, bool selectable)
    : identifier_(std::move(identifier)), selectable_(selectable) {}

void MIDIEndpointScreen::setSource(ui::TableViewDataSource* dataSource, ui::TableViewDelegate* delegate) {
    dataSource_ = dataSource;
    delegate_ = delegate;
}

void MIDIEndpointScreen::loadView() {
    exitButton = std::make_shared<ui::Button>(ui::Rect{}, "Exit");
    exitButton->action = [weak = weak_from_this(), this](ui::Button&) {
        if (const auto keep = weak.lock()) onExit();
    };
    tableView = std::make_shared<ui::TableView>();
    tableView->setRowHeight(kRowHeight);
    tableView->headerHeight = kHeaderHeight;
    tableView->registerCell(identifier_, [identifier = identifier_] { return std::make_shared<SwitchCell>(identifier); });
    setView(std::make_shared<EndpointScreenView>(exitButton, tableView));
    view().setFrame({0, 0, 480, 480});
}

void MIDIEndpointScreen::viewDidLoad() {
    tableView->dataSource = dataSource_;
    tableView->delegate = delegate_;
    tableView->allowsSelection = selectable_;
    tableView->reloadData();
}

void MIDIEndpointScreen::onExit() { dismiss(true); }

MIDIInputsViewController::MIDIInputsViewController(MIDIConnection& connection)
    : MIDIEndpointScreen("Sources", false), model_(connection), source_(makeSourcesTableSource(model_)) {
    setSource(source_.get(), source_.get());
}

MIDIOutputsViewController::MIDIOutputsViewController(MIDIConnection& connection)
    : MIDIEndpointScreen("Destinations", true), model_(connection), source_(makeDestinationsTableSource(model_)) {
    setSource(source_.get(), source_.get());
}
