#include "platform/ui/Url.h"

namespace ui {

std::string urlPath(std::string_view url) {
    std::string_view rest = url.substr(0, url.find_first_of("?#"));
    const size_t scheme = rest.find("://");
    if (scheme == std::string_view::npos) return std::string(rest);
    rest.remove_prefix(scheme + 3);
    const size_t slash = rest.find('/');
    return slash == std::string_view::npos ? std::string() : std::string(rest.substr(slash));
}

std::string pathExtension(std::string_view path) {
    while (!path.empty() && path.back() == '/') path.remove_suffix(1);
    const size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return {};
    return std::string(name.substr(dot + 1));
}

std::string fileUrl(std::string_view absolutePath) {
    return "file://" + std::string(absolutePath);
}

}  // namespace ui
