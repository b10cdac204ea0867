#include "platform/ui/Font.h"

namespace ui {

Font Font::named(const std::string& name, double size) {
    if (name == "EuphemiaUCAS-Bold") return {"DejaVu Sans", true, false, size};
    if (name == "HelveticaNeue") return {"DejaVu Sans", false, false, size};
    if (name == "HelveticaNeue-CondensedBold") return {"DejaVu Sans Condensed", true, true, size};
    return system(size);
}

}  // namespace ui
