#include "platform/ui/DocumentPicker.h"

#include <memory>
#include <utility>

namespace ui {

namespace {

DocumentPicker::Chooser& chooser() {
    static DocumentPicker::Chooser instance;
    return instance;
}

}  // namespace

DocumentPicker::DocumentPicker(std::vector<std::string> extensions, bool allowsMultipleSelection)
    : extensions_(std::move(extensions)), allowsMultipleSelection_(allowsMultipleSelection) {}

void DocumentPicker::pick(std::vector<std::filesystem::path> files) {
    if (!allowsMultipleSelection_ && files.size() > 1) files.resize(1);
    // Dismissal releases the presenter's reference: the picker stays alive for its delegate.
    const std::shared_ptr<ViewController> keep = weak_from_this().lock();
    dismiss(true);
    if (delegate) delegate->documentPickerDidPick(*this, files);
}

void DocumentPicker::cancel() {
    const std::shared_ptr<ViewController> keep = weak_from_this().lock();
    dismiss(true);
    if (delegate) delegate->documentPickerWasCancelled(*this);
}

void DocumentPicker::setChooser(Chooser chooser) {
    ui::chooser() = std::move(chooser);
}

void DocumentPicker::viewDidAppear(bool) {
    if (chooser()) chooser()(*this);
}

}  // namespace ui
