// The unit's parameter tree: connected once, observed, mirrored into the panel, and read and written by address.

#include "Orvo_Tunedeck_Extension/controller/AudioUnitViewController.h"

#include "platform/dispatch/MainQueue.h"
#include "shared/globals/Print.h"

void AudioUnitViewController::connectParameters() {
    if (parameterTree_) {
        safeprint("AU Diagnostics: WARNING: Parameters already initialized.");
        return;
    }
    if (!audioUnit_) {
        safeprint("AU Diagnostics: WARNING: The audio unit is nil.");
        return;
    }
    safeprint("AU Diagnostics: Retriving parameters from the audio unit: ");
    parameterTree_ = audioUnit_->parameterTree();
    if (!parameterTree_) {
        safeprint("AU Diagnostics: Retriving the parameter tree from the audio unit failed.");
        return;
    }
    safeprint("ExtensionViewController: Extracting the parameter tree: ");
    collectParameters(parameterTree_.get(), 0);
    parameters_ = parameterTree_->allParameters();
    std::weak_ptr<AudioUnitViewController> weak = self();
    parameterObserverToken_ = parameterTree_->tokenByAddingParameterObserver([weak](AUParameterAddress, AUValue) {
        auto self = weak.lock();
        if (!self) {
            safeprint("AU Diagnostics: The strong self shit is nil.");
            return;
        }
        dispatch::MainQueue::shared().async([self = std::move(self)] { self->onParameterChanged(); });
    });
    safeprint(parameterObserverToken_ != 0 ? "AU Diagnostics: Connected parameters to the plugins interface."
                                           : "ERROR: Could not initialize parameter observer.");
}

void AudioUnitViewController::collectParameters(const AUParameterGroup* group, int depth) {
    if (group == nullptr) {
        safeprint("ExtensionViewController: The parameter group has no children.");
        return;
    }
    for (const auto& child : group->children()) {
        const auto* subgroup = dynamic_cast<const AUParameterGroup*>(child.get());
        if (subgroup == nullptr) continue;
        for (const auto& parameter : subgroup->allParameters()) {
            safeprint("address: " + std::to_string(parameter->address()) + ", name: " + parameter->displayName());
        }
        collectParameters(subgroup, depth + 1);
    }
}

void AudioUnitViewController::onParameterChanged() {
    if (tunedeckView) tunedeckView->setNeedsDisplay();
}

void AudioUnitViewController::updateView() {
    if (!audioUnit_ || !tunedeckView) return;
    for (const auto& parameter : parameters_) {
        tunedeckView->setParameter(static_cast<int>(parameter->address()), parameter->value());
    }
}

void AudioUnitViewController::setParameter(AUParameterAddress address, AUValue value) {
    if (!parameterTree_) {
        safeprint("AudioUnitViewController: ERROR: The parameter tree is not connected.");
        return;
    }
    if (const auto parameter = parameterTree_->parameterWithAddress(address)) {
        parameter->setValue(value);
    } else {
        safeprint("AudioUnitViewController: ERROR: The parameter address " + std::to_string(address) +
                  " is not available.");
    }
}

AUValue AudioUnitViewController::getParameter(AUParameterAddress address) {
    if (!parameterTree_) return 0;
    if (const auto parameter = parameterTree_->parameterWithAddress(address)) return parameter->value();
    safeprint("AudioUnitViewController: ERROR: The parameter address " + std::to_string(address) +
              " is not available.");
    return 0;
}
