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
      messages_(capacity) {
    dispatch::MainQueue::shared().attach(ring_);
}

RenderHandoff::~RenderHandoff() { dispatch::MainQueue::shared().detach(ring_); }

bool RenderHandoff::pushParameter(AUParameterAddress address, AUValue value) noexcept {
    return ring_.pushNoAlloc(&RenderHandoff::applyParameter, this, Parameter{address, value});
}

bool RenderHandoff::pushMonitored(std::uint8_t type, const std::uint8_t* bytes, std::uint32_t length,
                                  AUEventSampleTime time) noexcept {
    if (length > AUMIDIEventEx::MAXBYTES || written_ - released_.load(std::memory_order_acquire) >= messages_.size()) {
        droppedMessages_.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    Message& message = messages_[written_ % messages_.size()];
    message.time = time;
    message.length = length;
    message.type = type;
    std::memcpy(message.bytes, bytes, length);
    if (!ring_.pushNoAlloc(&RenderHandoff::monitorMessage, this, written_)) {
        return false;
    }
    ++written_;
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

void RenderHandoff::monitorMessage(void* context, const std::uint64_t& sequence) {
    auto* self = static_cast<RenderHandoff*>(context);
    const Message& message = self->messages_[sequence % self->messages_.size()];
    const AUMIDIEventEx copy(message.type, message.bytes, message.length, message.time);
    self->released_.fetch_add(1, std::memory_order_release);
    self->monitor_->addMonitoring(copy);
    if (self->recorder_->isRecording()) {
        self->recorder_->record(copy);
    }
}
