#include "shared/globals/ViewHelpers.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/ui/Image.h"
#include "platform/ui/Url.h"
#include "shared/globals/Print.h"

#include <cctype>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

namespace {

// A URL needs a scheme: letters, digits, "+", "-" or "." after a first letter, then ":" and something more.
bool isUrl(const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon == 0 || colon == std::string::npos || colon + 1 == text.size()) return false;
    if (!std::isalpha(static_cast<unsigned char>(text[0]))) return false;
    for (std::size_t i = 1; i < colon; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
    }
    return true;
}

// The whole resource at url, with the reason when it cannot be read.
std::optional<std::vector<std::uint8_t>> readResource(const std::string& url, std::string& reason) {
    if (url.rfind("file://", 0) != 0) {
        reason = "The URL '" + url + "' cannot be fetched here: only file URLs can be read.";
        return std::nullopt;
    }
    const std::string path = ui::urlPath(url);
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        reason = "The file '" + path + "' could not be read.";
        return std::nullopt;
    }
    std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        reason = "The file '" + path + "' could not be read.";
        return std::nullopt;
    }
    return data;
}

}  // namespace

void pinToSuperviewEdges(ui::View& view) {
    if (view.superview() == nullptr) return;
    view.setPinnedToSuperviewEdges(true);
}

void loadFrom(const std::shared_ptr<ui::ImageView>& imageView, const std::string& URLAddress) {
    if (!isUrl(URLAddress)) {
        debugprint("UIImageView::loadFrom() : Could not encode url string : " + URLAddress);
        return;
    }
    dispatch::MainQueue::shared().async([weak = std::weak_ptr<ui::ImageView>(imageView), URLAddress] {
        std::string reason;
        const auto data = readResource(URLAddress, reason);
        if (!data) {
            debugprint("UIImageView::loadFrom() : Could not encode image data.");
            return;
        }
        const auto image = ui::Image::fromPngData(*data);
        const auto view = weak.lock();
        if (image && view) {
            view->setImage(image);
        } else {
            debugprint("UIImageView::loadFrom() : Could not assign image.");
        }
    });
}

void getImageFromURLString(const std::shared_ptr<ui::ImageView>& imageView, const std::string& imageURLString) {
    if (!isUrl(imageURLString)) return;
    dispatch::MainQueue::shared().async([imageView, imageURLString] {
        std::string reason;
        const auto data = readResource(imageURLString, reason);
        if (!data) {
            safeprint(reason);
            return;
        }
        imageView->setImage(ui::Image::fromPngData(*data));
    });
}
