#pragma once

#include "platform/ui/Label.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>

namespace ui {

class TableView;

enum class CellAccessory { none, disclosureIndicator, checkmark };

// One row of a table. A cell carries the identifier it is reused under and a content view whose subviews a screen
// design fills (addressed by position), or the ready-made text and detail labels, made on first use and then the
// content view's first subviews. The accessory (a checkmark or a disclosure chevron) sits at the right edge.
// Touches on the cell go to its table, which selects rows; controls inside the content view take their own.
//
// Thread contract: main thread only.
class TableViewCell : public View {
public:
    explicit TableViewCell(std::string reuseIdentifier = {}, Rect frame = {});

    const std::string& reuseIdentifier() const { return reuseIdentifier_; }

    View& contentView() { return *contentView_; }
    Label& textLabel();
    Label& detailTextLabel();

    CellAccessory accessory() const { return accessory_; }
    void setAccessory(CellAccessory accessory);

    bool isSelected() const { return selected_; }
    void setSelected(bool selected);
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted);

    Color backgroundColor = Color::white();
    Color selectionColor = Color::lightGray();

    // Called when the table takes the cell out of its reuse pool; the default clears selection and highlight.
    // Designs that keep state of their own override it (and call the base).
    virtual void prepareForReuse();

    void setFrame(Rect frame) override;
    void draw(GraphicsContext& ctx, Rect dirty) override;

    void touchesBegan(const std::vector<Touch>& touches) override;
    void touchesMoved(const std::vector<Touch>& touches) override;
    void touchesEnded(const std::vector<Touch>& touches) override;
    void touchesCancelled(const std::vector<Touch>& touches) override;

private:
    friend class TableView;
    std::vector<Touch> inTableCoordinates(const std::vector<Touch>& touches) const;
    void layoutLabels();

    std::string reuseIdentifier_;
    std::shared_ptr<View> contentView_;
    std::shared_ptr<Label> textLabel_;
    std::shared_ptr<Label> detailTextLabel_;
    CellAccessory accessory_ = CellAccessory::none;
    bool selected_ = false;
    bool highlighted_ = false;
    TableView* table_ = nullptr;
};

}  // namespace ui
