#pragma once

#include <memory>

namespace ui {

// A touch handler may close the screen it belongs to, which would free the very view whose handler is still
// running. Back ends open a scope around each delivery of an event; whatever the handlers let go of through
// releaseAfterEvent inside it lives until the outermost scope ends.
//
// Thread contract: main thread only.
class EventScope {
public:
    EventScope();
    ~EventScope();
    EventScope(const EventScope&) = delete;
    EventScope& operator=(const EventScope&) = delete;
};

// Drops object at the end of the event being delivered, or at once outside any event.
void releaseAfterEvent(std::shared_ptr<const void> object);

}  // namespace ui
