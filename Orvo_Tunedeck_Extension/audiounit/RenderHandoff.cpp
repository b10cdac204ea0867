#include "Orvo_Tunedeck_Extension/audiounit/RenderHandoff.h"

#include <cstring>

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"

RenderHandoff::RenderHandoff(ParameterHandler parameterHandler, void* parameterContext,
                             std::shared_ptr<AUMIDIMonitor> monitor, std::shared_ptr<AUMIDIRecorder> recorder,
                             std::size_t capacity)
    : parameterHandler_(parameterHandler),
      parameterContext_(parameterContext),
      monitor_(std::move(monitor)),
      recorder_(std::move(recorder)),
      ring_(capacity),
      byteCount_(capacity * AUMIDIEventEx::MAXBYTES + AUMIDIEventEx::kMaxDataCount),
      bytes_(std::make_unique_for_overwrite<std::uint8_t[]>(byteCount_)) {
    dispatch::MainQueue::shared().attach(ring_);
}

RenderHandoff::~RenderHandoff() { dispatch::MainQueue::shared().detach(ring_); }

bool RenderHandoff::pushParameter(AUParameterAddress address, AUValue value) noexcept {
    return ring_.pushNoAlloc(&RenderHandoff::applyParameter, this, Parameter{address, value});
}

bool RenderHandoff::pushMonitored(std::uint8_t type, const std::uint8_t* bytes, std::uint32_t length,
                                  AUEventSampleTime time) noexcept {
    const std::uint64_t size = byteCount_;
    // A message that would run past the end of the store starts at its beginning; the bytes skipped go with it.
    const std::uint64_t offset = written_ % size;
    const std::uint64_t start = offset + length > size ? written_ + (size - offset) : written_;
    if (length > size || start + length - released_.load(std::memory_order_acquire) > size) {
        droppedMessages_.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    std::memcpy(bytes_.get() + start % size, bytes, length);
    if (!ring_.pushNoAlloc(&RenderHandoff::monitorMessage, this, Message{start, time, length, type})) {
        return false;
    }
    written_ = start + length;
    return true;
}

bool RenderHandoff::pushLine(std::string_view line) noexcept { return foundation::queueLogLineNoAlloc(ring_, line); }

std::uint64_t RenderHandoff::droppedCount() const noexcept {
    return ring_.droppedCount() + droppedMessages_.load(std::memory_order_relaxed);
}

void RenderHandoff::applyParameter(void* context, const Parameter& parameter) {
    auto* self = static_cast<RenderHandoff*>(context);
    self->parameterHandler_(self->parameterContext_, parameter.address, parameter.value);
}

void RenderHandoff::monitorMessage(void* context, const Message& message) {
    auto* self = static_cast<RenderHandoff*>(context);
    const AUMIDIEventEx copy(message.type, self->bytes_.get() + message.start % self->byteCount_, message.length,
                             message.time);
    self->released_.store(message.start + message.length, std::memory_order_release);
    self->monitor_->addMonitoring(copy);
    if (self->recorder_->isRecording()) {
        self->recorder_->record(copy);
    }
}
