#include "Orvo_Tunedeck/configuration/ConfigurationViewController.h"

#include <algorithm>
#include <initializer_list>
#include <string>

#include "Orvo_Tunedeck/configuration/MIDIEndpointTableSource.h"
#include "Orvo_Tunedeck/configuration/SwitchCell.h"
#include "platform/ui/Path.h"

namespace {

constexpr double kMargin = 16;
constexpr double kButtonHeight = 36;
constexpr double kRowHeight = 44;
constexpr double kHeaderHeight = 28;
constexpr double kSoundsetHeight = kHeaderHeight + kRowHeight * static_cast<double>(kSoundsetRows.size());
// The screen scrolls over content this tall, whatever the window's height.
constexpr double kContentHeight = 1000;

// A scroll view filling the screen over the close button, the sound-set table and the two MIDI tables, which share
// the height the content has left below it; laid out again on every resize, the content as wide as the screen.
class ConfigurationView final : public ui::View {
public:
    ConfigurationView(std::shared_ptr<ui::ScrollView> scroll, std::shared_ptr<ui::Button> close,
                      std::shared_ptr<ui::TableView> soundsets, std::shared_ptr<ui::TableView> sources,
                      std::shared_ptr<ui::TableView> destinations)
        : scroll_(std::move(scroll)),
          close_(std::move(close)),
          soundsets_(std::move(soundsets)),
          sources_(std::move(sources)),
          destinations_(std::move(destinations)) {
        addSubview(scroll_);
        for (const auto& view : std::initializer_list<std::shared_ptr<ui::View>>{close_, soundsets_, sources_,
                                                                                destinations_})
            scroll_->contentView().addSubview(view);
    }

    void setFrame(ui::Rect frame) override {
        const bool widthChanged = frame.width != this->frame().width;
        View::setFrame(frame);
        const ui::Rect b = bounds();
        scroll_->setFrame(b);
        scroll_->setContentSize({b.width, kContentHeight});
        close_->setFrame({kMargin, kMargin, 80, kButtonHeight});
        double y = 2 * kMargin + kButtonHeight;
        soundsets_->setFrame({0, y, b.width, kSoundsetHeight});
        y += kSoundsetHeight + kMargin;
        const double midiHeight = (kContentHeight - y - 2 * kMargin) / 2;
        sources_->setFrame({0, y, b.width, midiHeight});
        destinations_->setFrame({0, y + midiHeight + kMargin, b.width, midiHeight});
        // Cells keep the width they were made with: a new width makes them anew.
        if (widthChanged) {
            for (ui::TableView* table : {soundsets_.get(), sources_.get(), destinations_.get()})
                if (table->dataSource != nullptr) table->reloadData();
        }
    }

    void draw(ui::GraphicsContext& ctx, ui::Rect dirty) override { ctx.fill(ui::Path::rect(dirty), ui::Color::white()); }

private:
    std::shared_ptr<ui::ScrollView> scroll_;
    std::shared_ptr<ui::Button> close_;
    std::shared_ptr<ui::TableView> soundsets_;
    std::shared_ptr<ui::TableView> sources_;
    std::shared_ptr<ui::TableView> destinations_;
};

// Rows at or beyond the list's end get a new, empty plain cell.
std::shared_ptr<ui::TableViewCell> emptyCell() { return std::make_shared<ui::TableViewCell>(); }

std::weak_ptr<ui::ViewController> current;

}  // namespace

std::shared_ptr<ConfigurationViewController> currentConfigurationViewController() {
    return std::static_pointer_cast<ConfigurationViewController>(current.lock());
}

// The sound-set table's rows: a switch per sound set, the selected one on; rows take no highlight and no focus.
class ConfigurationViewController::SoundsetSource final : public ui::TableViewDataSource,
                                                          public ui::TableViewDelegate {
public:
    explicit SoundsetSource(ConfigurationViewController& owner) : owner_(owner) {}

    int numberOfRows(ui::TableView&, int) override { return static_cast<int>(owner_.soundsets_.numberOfRows()); }
    std::string titleForHeader(ui::TableView&, int) override { return "Sound Set"; }
    bool shouldHighlightRow(ui::TableView&, ui::IndexPath) override { return false; }
    bool canFocusRow(ui::TableView&, ui::IndexPath) override { return false; }

    std::shared_ptr<ui::TableViewCell> cellForRow(ui::TableView& table, ui::IndexPath indexPath) override {
        const SoundfontsTableView::Row row = owner_.soundsets_.row(indexPath.row);
        if (row.tag < 0) return emptyCell();
        auto cell = table.dequeueReusableCell("Soundfont", indexPath);
        if (ui::Label* label = cellLabel(*cell)) label->setText(row.text);
        if (ui::Switch* control = cellSwitch(*cell)) {
            control->setOn(row.switchOn);
            control->tag = row.tag;
            // Choosing a set may close the screen: the screen stays alive until the handler has returned.
            control->valueChanged = [weak = owner_.weak_from_this(), &owner = owner_](ui::Switch& sender) {
                if (const auto keep = weak.lock()) owner.onSoundsetSwitch(sender.tag);
            };
        }
        return cell;
    }

private:
    ConfigurationViewController& owner_;
};

ConfigurationViewController::ConfigurationViewController(MIDIConnection& connection)
    : sources_(connection), destinations_(connection) {}

ConfigurationViewController::~ConfigurationViewController() = default;

void ConfigurationViewController::loadView() {
    buttonClose = std::make_shared<ui::Button>(ui::Rect{}, "Close");
    buttonClose->action = [weak = weak_from_this(), this](ui::Button&) {
        if (const auto keep = weak.lock()) onButtonClose();
    };
    const auto makeTable = [](const std::string& identifier) {
        auto table = std::make_shared<ui::TableView>();
        table->setRowHeight(kRowHeight);
        table->headerHeight = kHeaderHeight;
        table->registerCell(identifier, [identifier] { return std::make_shared<SwitchCell>(identifier); });
        return table;
    };
    tableSoundset = makeTable("Soundfont");
    tableMIDIIn = makeTable("Sources");
    tableMIDIOut = makeTable("Destinations");
    scrollView = std::make_shared<ui::ScrollView>();
    setView(std::make_shared<ConfigurationView>(scrollView, buttonClose, tableSoundset, tableMIDIIn, tableMIDIOut));
    view().setFrame({0, 0, 480, 720});
}

void ConfigurationViewController::viewDidLoad() {
    current = weak_from_this();
    screen_.dismiss = [this] { dismiss(true); };
    soundsets_.setup(&screen_);

    soundsetSource_ = std::make_unique<SoundsetSource>(*this);
    sourcesSource_ = makeSourcesTableSource(sources_);
    destinationsSource_ = makeDestinationsTableSource(destinations_);
    tableSoundset->dataSource = soundsetSource_.get();
    tableSoundset->delegate = soundsetSource_.get();
    sourcesSource_->setup(*tableMIDIIn);
    destinationsSource_->setup(*tableMIDIOut);
    // Sound-set and source rows take no highlight and no selection; destination rows do.
    tableSoundset->allowsSelection = false;
    tableMIDIIn->allowsSelection = false;
    tableSoundset->reloadData();
    tableMIDIIn->reloadData();
    tableMIDIOut->reloadData();
}

void ConfigurationViewController::showLoadedSoundset(int64_t row) {
    if (row < 0 || row >= static_cast<int64_t>(kSoundsetRows.size())) return;
    soundsets_.selected = row;
    if (tableSoundset) tableSoundset->reloadData();
}

void ConfigurationViewController::onButtonClose() { dismiss(true); }

void ConfigurationViewController::onSoundsetSwitch(int64_t tag) {
    const int reloads = soundsets_.reloadCount;
    screen_.delegate = delegate;
    soundsets_.onSwitchChanged(tag);
    if (soundsets_.reloadCount != reloads) tableSoundset->reloadData();
}
