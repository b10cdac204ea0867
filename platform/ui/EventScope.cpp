#include "platform/ui/EventScope.h"

#include <utility>
#include <vector>

namespace ui {

namespace {

struct Pending {
    int depth = 0;
    std::vector<std::shared_ptr<const void>> objects;
};

Pending& pending() {
    static Pending instance;
    return instance;
}

}  // namespace

EventScope::EventScope() {
    ++pending().depth;
}

EventScope::~EventScope() {
    Pending& p = pending();
    if (--p.depth > 0) return;
    // Releasing may run destructors that release more: drain until nothing is left.
    while (!p.objects.empty()) {
        std::vector<std::shared_ptr<const void>> batch = std::move(p.objects);
        p.objects.clear();
        ++p.depth;
        batch.clear();
        --p.depth;
    }
}

void releaseAfterEvent(std::shared_ptr<const void> object) {
    if (pending().depth > 0) pending().objects.push_back(std::move(object));
}

}  // namespace ui
