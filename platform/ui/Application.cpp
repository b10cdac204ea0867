#include "platform/ui/Application.h"

namespace ui {

Application& Application::shared() {
    static Application application;
    return application;
}

}  // namespace ui
