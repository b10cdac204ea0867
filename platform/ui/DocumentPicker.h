#pragma once

#include "platform/ui/ViewController.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace ui {

class DocumentPicker;

class DocumentPickerDelegate {
public:
    virtual ~DocumentPickerDelegate() = default;
    virtual void documentPickerDidPick(DocumentPicker& picker, const std::vector<std::filesystem::path>& files) = 0;
    virtual void documentPickerWasCancelled(DocumentPicker&) {}
};

// A screen for choosing files to open. Presented like any screen; when it has appeared it hands itself to the
// chooser of the back end (a GTK file dialog, say), which answers later through pick or cancel. Without a
// chooser (headless), tests answer the same way. Either answer dismisses the picker, then tells the delegate.
//
// Thread contract: main thread only.
class DocumentPicker : public ViewController {
public:
    // extensions: the file-name extensions offered, without the dot, compared ignoring case (empty: any file).
    explicit DocumentPicker(std::vector<std::string> extensions = {}, bool allowsMultipleSelection = false);

    const std::vector<std::string>& extensions() const { return extensions_; }
    bool allowsMultipleSelection() const { return allowsMultipleSelection_; }
    // Non-owning.
    DocumentPickerDelegate* delegate = nullptr;

    // The user chose files (more than one only when multiple selection is allowed: the rest is dropped).
    void pick(std::vector<std::filesystem::path> files);
    void cancel();

    // The back end's chooser, run when a picker has appeared; process-wide, set once at start-up by a back end.
    using Chooser = std::function<void(DocumentPicker&)>;
    static void setChooser(Chooser chooser);

    void viewDidAppear(bool animated) override;

private:
    std::vector<std::string> extensions_;
    bool allowsMultipleSelection_;
};

}  // namespace ui
