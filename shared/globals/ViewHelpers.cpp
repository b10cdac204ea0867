#include "shared/globals/ViewHelpers.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/network/URLSession.h"
#include "platform/ui/Image.h"
#include "shared/globals/Print.h"

#include <cctype>
#include <utility>

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
        const network::URLResponse read = network::readFileURL(URLAddress);
        if (read.error) {
            debugprint("UIImageView::loadFrom() : Could not encode image data.");
            return;
        }
        const auto image = ui::Image::fromPngData(read.data);
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
        // The view travels on to the main queue and is let go there only, never on the fetching worker.
        network::dataTask({imageURLString, kImageFetchSeconds}, [imageView](network::URLResponse response) mutable {
            dispatch::MainQueue::shared().async([imageView = std::move(imageView), response = std::move(response)] {
                if (response.error) {
                    safeprint(*response.error);
                    return;
                }
                if (response.isHTTP && response.statusCode == 200) safeprint("Fetched image successfully");
                imageView->setImage(ui::Image::fromPngData(response.data));
            });
        });
    });
}
