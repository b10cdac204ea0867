#include "Orvo_Tunedeck/app/SceneDelegate.h"

#include "Orvo_Tunedeck/app/NotificationCenter.h"
#include "shared/globals/Print.h"

void SceneDelegate::sceneOpenURLContexts(const std::vector<std::filesystem::path>& urls) {
    std::string description = "[";
    for (const std::filesystem::path& url : urls) description += (description.size() > 1 ? ", " : "") + url.string();
    safeprint(description + "]");
    if (!urls.empty()) openURL(urls.front(), "scene:openURLContexts");
}

void SceneDelegate::openURL(const std::filesystem::path& url, const std::string& message) {
    postOpenIn(url, message);
    safeprint("SceneDelegate::openURL() : A notification was created and forwarded to the ViewController.");
}
