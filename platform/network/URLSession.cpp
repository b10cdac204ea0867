#include "platform/network/URLSession.h"

#include "platform/dispatch/GlobalQueue.h"

#include <libsoup/soup.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <utility>

namespace network {

namespace {

URLResponse fetchHttp(const URLRequest& request) {
    URLResponse response;
    response.isHTTP = true;
    SoupMessage* message = soup_message_new("GET", request.url.c_str());
    if (message == nullptr) {
        response.error = "The URL '" + request.url + "' is not a valid address.";
        return response;
    }
    const auto timeout = static_cast<guint>(std::max(1.0, std::ceil(request.timeoutSeconds)));
    // A session of its own: libsoup sessions belong to the thread that made them, and workers differ.
    SoupSession* session = soup_session_new_with_options("timeout", timeout, nullptr);
    GError* error = nullptr;
    if (GBytes* body = soup_session_send_and_read(session, message, nullptr, &error)) {
        gsize size = 0;
        const auto* bytes = static_cast<const std::uint8_t*>(g_bytes_get_data(body, &size));
        response.data.assign(bytes, bytes + size);
        response.statusCode = static_cast<int>(soup_message_get_status(message));
        g_bytes_unref(body);
    } else {
        response.error = error != nullptr ? error->message : "The server did not answer.";
        g_clear_error(&error);
    }
    g_object_unref(session);
    g_object_unref(message);
    return response;
}

URLResponse fetch(const URLRequest& request) {
    gchar* scheme = g_uri_parse_scheme(request.url.c_str());
    std::string name = scheme != nullptr ? scheme : "";
    g_free(scheme);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return g_ascii_tolower(c); });
    if (name == "http" || name == "https") return fetchHttp(request);
    if (name == "file") return readFileURL(request.url);
    URLResponse response;
    response.error = "The URL '" + request.url + "' has no scheme that can be fetched (http, https or file).";
    return response;
}

}  // namespace

URLResponse readFileURL(const std::string& url) {
    URLResponse response;
    gchar* path = g_filename_from_uri(url.c_str(), nullptr, nullptr);
    if (path == nullptr) {
        response.error = "The URL '" + url + "' names no local file.";
        return response;
    }
    std::ifstream in(path, std::ios::binary);
    response.data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in.is_open() || in.bad()) {
        response.data.clear();
        response.error = std::string("The file '") + path + "' could not be read.";
    }
    g_free(path);
    return response;
}

void dataTask(URLRequest request, std::function<void(URLResponse)> completion) {
    dispatch::GlobalQueue::shared().async([request = std::move(request), completion = std::move(completion)] {
        completion(fetch(request));
    });
}

}  // namespace network
