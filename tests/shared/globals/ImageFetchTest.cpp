// getImageFromURLString against a tiny HTTP server of the test's own and against files: what each answer shows and
// prints, and that the main queue never waits for the network.

#include "platform/dispatch/MainQueue.h"
#include "platform/network/URLSession.h"
#include "platform/ui/Url.h"
#include "shared/globals/ViewHelpers.h"
#include "tests/shared/globals/PictureFixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace {

// A socket listening on a free port of the loopback address, and that port (0 when none could be had).
int listenOnLoopback(int& port) {
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool listening = bind(listener, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
                           listen(listener, 4) == 0 &&
                           getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    port = listening ? ntohs(address.sin_port) : 0;
    return listener;
}

// Reads an HTTP request up to its blank line (or until the client goes).
void readRequest(int connection) {
    char buffer[1024];
    for (std::string request; request.find("\r\n\r\n") == std::string::npos;) {
        const ssize_t got = recv(connection, buffer, sizeof buffer, 0);
        if (got <= 0) return;
        request.append(buffer, static_cast<std::size_t>(got));
    }
}

// Listens on a free port of the loopback address and answers every request with the same bytes, but only once the
// test has let it.
class TinyServer {
public:
    explicit TinyServer(std::string answer) : answer_(std::move(answer)) {
        listener_ = listenOnLoopback(port_);
        if (port_ != 0) thread_ = std::thread([this] { serve(); });
    }
    ~TinyServer() {
        release();
        shutdown(listener_, SHUT_RDWR);
        close(listener_);
        if (thread_.joinable()) thread_.join();
    }

    int port() const { return port_; }
    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    int requests() const { return requests_.load(); }
    void release() {
        std::lock_guard<std::mutex> lock(mutex_);
        released_ = true;
        wake_.notify_all();
    }

private:
    void serve() {
        for (;;) {
            const int connection = accept(listener_, nullptr, nullptr);
            if (connection < 0) return;
            readRequest(connection);
            ++requests_;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                wake_.wait(lock, [this] { return released_; });
            }
            for (std::size_t sent = 0; sent < answer_.size();) {
                const ssize_t put = send(connection, answer_.data() + sent, answer_.size() - sent, MSG_NOSIGNAL);
                if (put <= 0) break;
                sent += static_cast<std::size_t>(put);
            }
            close(connection);
        }
    }

    std::string answer_;
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::atomic<int> requests_{0};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool released_ = false;
};

// Listens on a free port of the loopback address; accepts one connection, reads the request and answers with a
// header that promises a long body, then one byte of it every 50 ms until the test ends.
class TricklingServer {
public:
    TricklingServer() {
        listener_ = listenOnLoopback(port_);
        if (port_ != 0) thread_ = std::thread([this] { serve(); });
    }
    ~TricklingServer() {
        stop_ = true;
        shutdown(listener_, SHUT_RDWR);
        close(listener_);
        if (thread_.joinable()) thread_.join();
    }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/slow.png"; }

private:
    void serve() {
        const int connection = accept(listener_, nullptr, nullptr);
        if (connection < 0) return;
        readRequest(connection);
        const std::string header = "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nContent-Length: 1000000\r\n\r\n";
        bool open = send(connection, header.data(), header.size(), MSG_NOSIGNAL) > 0;
        while (open && !stop_) {
            open = send(connection, "x", 1, MSG_NOSIGNAL) > 0;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        close(connection);
    }

    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
};

std::string httpAnswer(const std::string& status, const std::string& body) {
    return "HTTP/1.1 " + status + "\r\nContent-Type: image/png\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

// A port on which nobody listens.
int closedPort() {
    int port = 0;
    close(listenOnLoopback(port));
    return port;
}

class ImageFetch : public PictureFixture {
protected:
    void SetUp() override {
        PictureFixture::SetUp();
        std::ifstream in(png(), std::ios::binary);
        pngBytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    int count(const std::string& line) const {
        const auto lines = log.lines();
        return static_cast<int>(std::count(lines.begin(), lines.end(), line));
    }
    // Drains the main queue until done holds; the fetch itself waits on a worker.
    template <typename Done>
    bool settle(Done done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!done() && std::chrono::steady_clock::now() < end) {
            dispatch::MainQueue::shared().drain();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        dispatch::MainQueue::shared().drain();
        return done();
    }
    void showPicture() {
        getImageFromURLString(view, ui::fileUrl(png().string()));
        ASSERT_TRUE(settle([&] { return view->image() != nullptr; }));
    }

    std::string pngBytes;
};

TEST_F(ImageFetch, AnHttpPictureIsFetchedWithoutHoldingTheMainQueue) {
    TinyServer server(httpAnswer("200 OK", pngBytes));
    ASSERT_NE(server.port(), 0);
    getImageFromURLString(view, server.url("/white%20picture.png"));
    ASSERT_TRUE(settle([&] { return server.requests() == 1; }));
    // The server holds its answer back: the main queue keeps running meanwhile.
    for (int i = 0; i < 20; ++i) dispatch::MainQueue::shared().drain();
    EXPECT_EQ(view->image(), nullptr);
    EXPECT_EQ(count("Fetched image successfully"), 0);

    server.release();
    ASSERT_TRUE(settle([&] { return view->image() != nullptr; }));
    EXPECT_EQ(view->image()->width(), 8);
    EXPECT_EQ(view->image()->height(), 6);
    EXPECT_EQ(count("Fetched image successfully"), 1);
}

TEST_F(ImageFetch, EveryOtherAnswerShowsWhatItsDataFormAndPrintsOnlyFailures) {
    TinyServer missing(httpAnswer("404 Not Found", "gone"));
    missing.release();
    const int refused = closedPort();
    const std::filesystem::path fifo = folder.path() / "fifo.png";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        const char* what;
        std::string address;
        bool pictureAfter;  // the view shows a picture when the answer has been handled
        bool failurePrinted;
    } cases[] = {
        {"http status 404", missing.url("/white%20picture.png"), false, false},
        {"nobody listening", "http://127.0.0.1:" + std::to_string(refused) + "/p.png", true, true},
        {"unknown scheme", "gopher://127.0.0.1/p.png", true, true},
        {"file picture", ui::fileUrl(png().string()), true, false},
        {"file without a picture", ui::fileUrl(text().string()), false, false},
        {"missing file", ui::fileUrl((folder.path() / "missing.png").string()), true, true},
        {"FIFO nobody writes to", ui::fileUrl(fifo.string()), true, true},
        {"device without an end", ui::fileUrl("/dev/zero"), true, true},
        {"folder", ui::fileUrl(folder.path().string()), true, true},
    };
    for (const auto& c : cases) {
        view->setImage(nullptr);
        showPicture();
        log.clear();
        getImageFromURLString(view, c.address);
        if (c.failurePrinted) {
            ASSERT_TRUE(settle([&] { return !log.lines().empty(); })) << c.what;
        } else if (c.pictureAfter) {
            ASSERT_TRUE(settle([&] { return view->image() != nullptr; })) << c.what;
        } else {
            ASSERT_TRUE(settle([&] { return view->image() == nullptr; })) << c.what;
        }
        EXPECT_EQ(view->image() != nullptr, c.pictureAfter) << c.what;
        EXPECT_EQ(count("Fetched image successfully"), 0) << c.what;
    }
}

TEST_F(ImageFetch, ATextThatIsNoUrlFetchesNothing) {
    showPicture();
    const std::size_t before = log.lines().size();
    getImageFromURLString(view, "no url at all");
    dispatch::MainQueue::shared().drain();
    EXPECT_NE(view->image(), nullptr);
    EXPECT_EQ(log.lines().size(), before);
}

TEST(ImageFetchLimits, AServerThatNeverFinishesEndsTheFetchAtItsTimeLimit) {
    TinyServer silent(httpAnswer("200 OK", "never sent"));
    TricklingServer trickling;
    const struct {
        const char* what;
        std::string address;
    } cases[] = {
        {"accepts and never answers", silent.url("/p.png")},
        {"answers a byte at a time for ever", trickling.url()},
    };
    for (const auto& c : cases) {
        std::promise<network::URLResponse> answer;
        auto outcome = answer.get_future();
        network::dataTask({c.address, 1}, [&answer](network::URLResponse response) { answer.set_value(response); });
        // A generous bound, far past the one-second limit, only so that a fault fails instead of hanging.
        ASSERT_EQ(outcome.wait_for(std::chrono::minutes(2)), std::future_status::ready) << c.what;
        const network::URLResponse response = outcome.get();
        ASSERT_TRUE(response.error) << c.what;
        EXPECT_EQ(*response.error, "The server of '" + c.address + "' did not answer within 1 seconds.") << c.what;
    }
}

// The program ends while a fetch waits for a server that never answers: the exit cancels the fetch at once rather
// than wait out the fetch's limit.
void exitDuringAFetch() {
    int port = 0;
    const int listener = listenOnLoopback(port);
    if (port == 0) std::exit(2);
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/p.png";
    network::dataTask({url, 300}, [](network::URLResponse response) {
        std::fprintf(stderr, "%s\n", response.error ? response.error->c_str() : "answered");
    });
    // Once the fetch has connected it waits for an answer that never comes.
    if (accept(listener, nullptr, nullptr) < 0) std::exit(3);
    std::exit(0);
}

TEST(ImageFetchLimits, TheEndOfTheProgramCancelsAFetchThatWaits) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(exitDuringAFetch(), testing::ExitedWithCode(0), "was cancelled as the program ends");
}

}  // namespace
