#include "shared/globals/Paths.h"

#include <string>
#include <system_error>

#include "platform/foundation/Folders.h"
#include "shared/globals/Print.h"

std::optional<std::filesystem::path> documentsURL;
std::optional<std::filesystem::path> resourcesURL;
std::optional<std::filesystem::path> sharedURLAudio;
std::optional<std::filesystem::path> sharedURLMIDI;

namespace {

void logPath(const std::optional<std::filesystem::path>& folder, const char* name) {
    const std::string prefix = "AudioUnitViewController::getPaths() : ";
    if (folder) {
        safeprint(prefix + "Audio Unit's " + name + " path is: " + folder->string());
    } else {
        safeprint(prefix + "ERROR: Audio Unit's " + name + " path is nil.");
    }
}

}  // namespace

void getPaths() {
    documentsURL = foundation::documentsFolder(foundation::kExtensionDeliverable);
    logPath(documentsURL, "documents");
    resourcesURL = foundation::resourcesFolder();
    logPath(resourcesURL, "resources");
}

bool ensureDirectoryExists(const std::filesystem::path& url) { return ensureDirectoryExists(url, ""); }

bool ensureDirectoryExists(const std::filesystem::path& url, std::string_view owner) {
    std::error_code error;
    if (std::filesystem::is_directory(url, error)) {
        return true;
    }
    // Fails with "Not a directory" also when a file that is no directory is at url itself.
    std::filesystem::create_directories(url, error);
    if (error) {
        debugprint(std::string(owner) + "ensureDirectoryExists() : ERROR: Creating required directory '" + url.string() +
                   "' failed: " + error.message());
        return false;
    }
    return true;
}
