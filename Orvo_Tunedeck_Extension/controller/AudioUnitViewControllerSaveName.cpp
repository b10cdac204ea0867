// The alert that asks for the name of a file to save.

#include "Orvo_Tunedeck_Extension/controller/AudioUnitViewController.h"

#include "platform/foundation/Folders.h"
#include "platform/ui/AlertController.h"
#include "shared/globals/Print.h"

#include <filesystem>
#include <system_error>

void AudioUnitViewController::alertFileName(const std::string& forFile, const std::string& defaultName,
                                            const std::string& message) {
    auto alert = std::make_shared<ui::AlertController>("File name", message);
    alert->addTextField([&defaultName](ui::TextField& field) {
        field.placeholder = "file name";
        field.setText(defaultName);
    });
    std::weak_ptr<ui::AlertController> weakAlert = alert;
    std::weak_ptr<AudioUnitViewController> weak = self();
    alert->addAction({"OK", ui::AlertActionStyle::normal, [weak, weakAlert, forFile, defaultName] {
                          auto self = weak.lock();
                          auto shown = weakAlert.lock();
                          if (!self) return;
                          std::string name = shown ? shown->textFields().front()->text() : std::string();
                          if (name.empty()) name = defaultName;
                          self->confirmFileName(forFile, name);
                      }});
    alert->addAction({"Cancel", ui::AlertActionStyle::cancel, [] { safeprint("Save action was canceled."); }});
    present(std::move(alert), true);
}

void AudioUnitViewController::alertFileName(const std::string& forFile, const std::string& defaultName) {
    alertFileName(forFile, defaultName, "Please enter the file name for the current file: ");
}

void AudioUnitViewController::confirmFileName(const std::string& forFile, const std::string& name) {
    const auto documents = foundation::documentsFolder(foundation::kExtensionDeliverable);
    std::error_code error;
    if (documents && std::filesystem::exists(*documents / name, error)) {
        alertFileName(forFile, name, "The file already exists. Please type in another file name: ");
    }
}
