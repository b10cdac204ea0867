#include "platform/audioengine/UnitNode.h"

#include <algorithm>
#include <cmath>

namespace audioengine {

UnitNode::UnitNode(std::shared_ptr<AUAudioUnit> unit) : unit_(std::move(unit)) {
    pullInputBlock_ = [this](AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount frames,
                             int64_t bus, AudioBufferList* inputData) {
        return bus == 0 ? pullInput(frames, inputData) : foundation::kAudioUnitErr_InvalidElement;
    };
}

UnitNode::~UnitNode() { detached(); }

std::shared_ptr<UnitNode> UnitNode::instantiate(const AudioComponentDescription& description, std::string& error,
                                                AudioComponentRegistry& registry) {
    const auto found = registry.components(description);
    if (found.empty()) {
        error = "no audio unit matches the description";
        return nullptr;
    }
    try {
        return std::make_shared<UnitNode>(found.front().instantiate());
    } catch (const AudioUnitStatusError& failure) {
        error = failure.what();
        return nullptr;
    }
}

std::string UnitNode::name() const {
    const std::string unitName = unit_->audioUnitName();
    return unitName.empty() ? "audio unit" : unitName;
}

uint32_t UnitNode::numberOfInputs() const { return unit_->inputBusses().count() > 0 ? 1 : 0; }

bool UnitNode::prepare(double sampleRate, uint32_t maxFrames, std::string& error) {
    if (!Node::prepare(sampleRate, maxFrames, error)) return false;
    if (!unit_->renderResourcesAllocated()) {
        const AudioFormat format = AudioFormat::standard(sampleRate, 2);
        for (AUAudioUnitBusArray* busses : {&unit_->inputBusses(), &unit_->outputBusses()})
            if (busses->count() > 0 && !(*busses)[0]->setFormat(format)) {
                error = "the unit does not take " + format.description();
                return false;
            }
        if (unit_->maximumFramesToRender() < maxFrames) unit_->setMaximumFramesToRender(maxFrames);
        try {
            unit_->allocateRenderResources();
        } catch (const AudioUnitStatusError& failure) {
            error = failure.what();
            return false;
        }
        allocatedHere_ = true;
    } else if (unit_->outputBusses().count() > 0 && (*unit_->outputBusses()[0]).format().sampleRate != sampleRate) {
        error = "the unit is allocated at " + std::to_string(std::lround(unit_->outputBusses()[0]->format().sampleRate)) +
                " Hz, the engine runs at " + std::to_string(std::lround(sampleRate)) + " Hz";
        return false;
    }
    renderBlock_ = unit_->renderBlock();
    return true;
}

void UnitNode::detached() {
    if (allocatedHere_) unit_->deallocateRenderResources();
    allocatedHere_ = false;
}

foundation::OSStatus UnitNode::pullInput(AUAudioFrameCount frames, AudioBufferList* inputData) noexcept {
    if (inputData == nullptr) return foundation::kAudio_ParamError;
    const float* sources[2] = {nullptr, nullptr};
    if (currentInput_ != nullptr) {
        sources[0] = currentInput_->left;
        sources[1] = currentInput_->right;
    }
    for (uint32_t i = 0; i < inputData->mNumberBuffers && i < AudioBufferList::kMaxBuffers; ++i) {
        AudioBuffer& buffer = inputData->mBuffers[i];
        if (buffer.mData == nullptr) {
            // Hand out the input itself; the unit only reads it.
            if (sources[i] == nullptr) return foundation::kAudio_ParamError;
            buffer.mData = const_cast<float*>(sources[i]);
        } else if (sources[i] != nullptr) {
            std::copy_n(sources[i], frames, static_cast<float*>(buffer.mData));
        } else {
            std::fill_n(static_cast<float*>(buffer.mData), frames, 0.0f);
        }
        buffer.mDataByteSize = static_cast<uint32_t>(frames * sizeof(float));
    }
    return foundation::noErr;
}

void UnitNode::render(const RenderCycle& cycle, const StereoChannels* inputs, uint32_t inputCount,
                      StereoChannels output) noexcept {
    AudioBufferList buffers = stereoBufferList(output.left, output.right, cycle.frames);
    AudioTimeStamp timestamp;
    timestamp.mSampleTime = static_cast<double>(cycle.sampleTime);
    timestamp.mFlags = kAudioTimeStampSampleTimeValid;
    AudioUnitRenderActionFlags flags = 0;
    currentInput_ = inputCount > 0 ? &inputs[0] : nullptr;
    const foundation::OSStatus status =
        renderBlock_ ? renderBlock_(&flags, &timestamp, cycle.frames, 0, &buffers, nullptr, pullInputBlock_)
                     : foundation::kAudioUnitErr_Uninitialized;
    currentInput_ = nullptr;
    if (status != foundation::noErr) {
        std::fill_n(output.left, cycle.frames, 0.0f);
        std::fill_n(output.right, cycle.frames, 0.0f);
        return;
    }
    // A unit may answer with buffers of its own instead of filling ours.
    if (buffers.mBuffers[0].mData != output.left)
        std::copy_n(static_cast<const float*>(buffers.mBuffers[0].mData), cycle.frames, output.left);
    if (buffers.mBuffers[1].mData != output.right)
        std::copy_n(static_cast<const float*>(buffers.mBuffers[1].mData), cycle.frames, output.right);
}

}  // namespace audioengine
