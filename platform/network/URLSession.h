#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace network {

struct URLRequest {
    std::string url;
    // Longest time for the whole fetch, seconds (whole seconds; at least one); connecting and each wait for the
    // server are bounded by it too.
    double timeoutSeconds = 60;
};

// What a fetch brought: the body and, for http and https, the status code; or, when no answer came, the reason.
struct URLResponse {
    std::vector<std::uint8_t> data;
    bool isHTTP = false;
    int statusCode = 0;
    std::optional<std::string> error;
};

// Fetches the resource of request.url on a worker of the global queue and hands the outcome to completion there.
// http and https go through libsoup, which follows redirects and keeps the protocol's caching rules; file URLs are
// read from the file system; other schemes fail with a reason. A server that answers with an error status is no
// failure: its status and body come back. A fetch that passes its time limit, or is still waiting when the global
// queue stops at the end of the program, ends with a reason.
//
// Thread contract: any thread except the render thread; completion runs on a worker thread, so callers hop to
// their own queue from there.
void dataTask(URLRequest request, std::function<void(URLResponse)> completion);

// Reads the regular file a file URL names (at most 64 MiB), at once, on the calling thread; a FIFO, a device or a
// folder fails with a reason at once, as does any other URL.
URLResponse readFileURL(const std::string& url);

}  // namespace network
