#include "platform/foundation/Log.h"

#include <cstdio>
#include <utility>

#include "platform/dispatch/MainQueue.h"

namespace foundation {
namespace {

std::mutex& sinkMutex() {
    static std::mutex mutex;
    return mutex;
}

LogSink& currentSink() {
    static LogSink sink;
    return sink;
}

void writeToStandardOutput(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void writeHandedOffLine(void*, const std::byte* payload, std::size_t sizeBytes) {
    writeLogLine(std::string_view(reinterpret_cast<const char*>(payload), sizeBytes));
}

// The longest prefix of line that fits in maxBytes without splitting a UTF-8 sequence.
std::size_t fittingLength(std::string_view line, std::size_t maxBytes) {
    if (line.size() <= maxBytes) {
        return line.size();
    }
    std::size_t length = maxBytes;
    while (length > 0 && (static_cast<unsigned char>(line[length]) & 0xC0) == 0x80) {
        --length;
    }
    return length;
}

}  // namespace

void writeLogLine(std::string_view line) {
    std::lock_guard lock(sinkMutex());
    if (currentSink()) {
        currentSink()(line);
    } else {
        writeToStandardOutput(line);
    }
}

void queueLogLine(std::string line) {
    dispatch::MainQueue::shared().async([line = std::move(line)] { writeLogLine(line); });
}

bool queueLogLineNoAlloc(dispatch::HandoffRing& ring, std::string_view line) noexcept {
    const std::size_t length = fittingLength(line, dispatch::HandoffRing::kPayloadBytes);
    return ring.pushBytesNoAlloc(&writeHandedOffLine, nullptr, line.data(), length);
}

LogSink setLogSink(LogSink sink) {
    std::lock_guard lock(sinkMutex());
    return std::exchange(currentSink(), std::move(sink));
}

LogCapture::LogCapture() {
    previous_ = setLogSink([this](std::string_view line) {
        std::lock_guard lock(mutex_);
        lines_.emplace_back(line);
    });
}

LogCapture::~LogCapture() {
    setLogSink(std::move(previous_));
}

std::vector<std::string> LogCapture::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

void LogCapture::clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
}

}  // namespace foundation
