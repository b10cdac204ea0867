#include "platform/network/URLSession.h"

#include "platform/dispatch/GlobalQueue.h"
#include "platform/foundation/Files.h"

#include <libsoup/soup.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <stop_token>
#include <string>
#include <utility>

namespace network {

namespace {

// The largest file a file URL reads: far above any picture the program shows.
constexpr std::uint64_t kFileByteLimit = std::uint64_t{64} << 20;

// What the asynchronous fetch hands back to the loop that waits for it.
struct Outcome {
    GBytes* body = nullptr;
    GError* error = nullptr;
    bool finished = false;
    bool pastDeadline = false;
    GCancellable* cancellable = nullptr;
};

void onBodyRead(GObject* session, GAsyncResult* result, gpointer data) {
    auto* outcome = static_cast<Outcome*>(data);
    outcome->body = soup_session_send_and_read_finish(SOUP_SESSION(session), result, &outcome->error);
    outcome->finished = true;
}

gboolean onDeadline(gpointer data) {
    auto* outcome = static_cast<Outcome*>(data);
    outcome->pastDeadline = true;
    g_cancellable_cancel(outcome->cancellable);
    return G_SOURCE_REMOVE;
}

URLResponse fetchHttp(const URLRequest& request, std::stop_token stop) {
    URLResponse response;
    response.isHTTP = true;
    SoupMessage* message = soup_message_new("GET", request.url.c_str());
    if (message == nullptr) {
        response.error = "The URL '" + request.url + "' is not a valid address.";
        return response;
    }
    const auto seconds = static_cast<guint>(std::max(1.0, std::ceil(request.timeoutSeconds)));
    // A context and a session of this fetch alone, on this worker: libsoup sessions belong to the thread (context)
    // that made them, and the loop below runs only what this fetch needs.
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);
    // The session's timeout bounds connecting and each wait for the server; the deadline bounds the whole fetch,
    // also against a server that sends a byte now and then.
    SoupSession* session = soup_session_new_with_options("timeout", seconds, nullptr);
    Outcome outcome;
    outcome.cancellable = g_cancellable_new();
    GSource* deadline = g_timeout_source_new_seconds(seconds);
    g_source_set_callback(deadline, onDeadline, &outcome, nullptr);
    g_source_attach(deadline, context);
    soup_session_send_and_read_async(session, message, G_PRIORITY_DEFAULT, outcome.cancellable, onBodyRead, &outcome);
    {
        std::stop_callback cancelAtStop(stop,
                                        [cancellable = outcome.cancellable] { g_cancellable_cancel(cancellable); });
        while (!outcome.finished) g_main_context_iteration(context, TRUE);
    }
    g_source_destroy(deadline);
    g_source_unref(deadline);
    if (outcome.body != nullptr) {
        gsize size = 0;
        const auto* bytes = static_cast<const std::uint8_t*>(g_bytes_get_data(outcome.body, &size));
        response.data.assign(bytes, bytes + size);
        response.statusCode = static_cast<int>(soup_message_get_status(message));
        g_bytes_unref(outcome.body);
    } else if (outcome.pastDeadline || g_error_matches(outcome.error, G_IO_ERROR, G_IO_ERROR_TIMED_OUT)) {
        response.error = "The server of '" + request.url + "' did not answer within " + std::to_string(seconds) +
                         " seconds.";
    } else if (stop.stop_requested()) {
        response.error = "The fetch of '" + request.url + "' was cancelled as the program ends.";
    } else {
        response.error = outcome.error != nullptr ? outcome.error->message : "The server did not answer.";
    }
    g_clear_error(&outcome.error);
    g_object_unref(outcome.cancellable);
    g_object_unref(session);
    g_object_unref(message);
    // Whatever the session left queued on the context goes with it.
    while (g_main_context_iteration(context, FALSE)) {
    }
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);
    return response;
}

URLResponse fetch(const URLRequest& request, std::stop_token stop) {
    gchar* scheme = g_uri_parse_scheme(request.url.c_str());
    std::string name = scheme != nullptr ? scheme : "";
    g_free(scheme);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return g_ascii_tolower(c); });
    if (name == "http" || name == "https") return fetchHttp(request, std::move(stop));
    if (name == "file") return readFileURL(request.url);
    URLResponse response;
    response.error = "The URL '" + request.url + "' has no scheme that can be fetched (http, https or file).";
    return response;
}

}  // namespace

URLResponse readFileURL(const std::string& url) {
    URLResponse response;
    gchar* converted = g_filename_from_uri(url.c_str(), nullptr, nullptr);
    if (converted == nullptr) {
        response.error = "The URL '" + url + "' names no local file.";
        return response;
    }
    const std::string path = converted;
    g_free(converted);
    // Looked at before it is opened, so that a FIFO nobody writes to cannot hold the caller; only a regular file is
    // read, never a device that has no end.
    const auto refuse = [&](const std::string& cause) {
        response.error = "The file '" + path + "' could not be read: " + cause + ".";
        return response;
    };
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return refuse(std::strerror(errno));
    if (!S_ISREG(info.st_mode)) return refuse("it is not a regular file");
    std::string error;
    std::optional<std::vector<std::uint8_t>> bytes = foundation::readFile(path, kFileByteLimit, error);
    if (bytes) {
        response.data = std::move(*bytes);
    } else {
        response.error = error;
    }
    return response;
}

void dataTask(URLRequest request, std::function<void(URLResponse)> completion) {
    auto& queue = dispatch::GlobalQueue::shared();
    queue.async([request = std::move(request), completion = std::move(completion), stop = queue.stopToken()] {
        completion(fetch(request, stop));
    });
}

}  // namespace network
