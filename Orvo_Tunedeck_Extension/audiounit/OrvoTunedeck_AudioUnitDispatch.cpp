// Parameter dispatch: what a parameter change does beyond storing its value.

#include <algorithm>

#include "Orvo_Tunedeck_Extension/audiounit/OrvoTunedeck_AudioUnit.h"
#include "Orvo_Tunedeck_Extension/audiounit/ParameterDataByte.h"
#include "platform/synth/MIDISynthUnit.h"
#include "shared/globals/Print.h"
#include "shared/midievents/MIDIConstants.h"

namespace {

constexpr int64_t kVolume = 1001;
constexpr int64_t kTranspose = 1002;
constexpr int64_t kMutes = 1016;
constexpr int64_t kLevels = 1032;
constexpr int64_t kPans = 1048;
constexpr int64_t kBanksMSB = 1064;
constexpr int64_t kBanksLSB = 1080;
constexpr int64_t kPrograms = 1096;
constexpr int64_t kPitchBends = 1112;
constexpr int64_t kControllers2End = 1175;
constexpr int64_t kPanic = 1183;
// View options that reach the dispatch and do nothing here.
constexpr int64_t kSilentOptions[] = {1182, 1186, 1187};

constexpr uint8_t kChannels = 16;

bool inGroup(int64_t address, int64_t base) { return address >= base && address < base + kChannels; }

// The per-channel start values, in the order initializeParameters writes them.
struct ChannelStart {
    int64_t base;
    float value;
};
constexpr ChannelStart kChannelStarts[] = {
    {1032, 0.79f}, {1048, 0.5f}, {1016, 0.0f}, {1064, 0.0f}, {1080, 0.0f},
    {1096, 0.0f},  {1112, 0.5f}, {1128, 0.0f}, {1144, 0.5f}, {1160, 0.5f},
};

}  // namespace

void OrvoTunedeck_AudioUnit::setParameter(int64_t index, float value) {
    if (setOption(index, value)) {
        return;
    }
    const auto tree = parameters_->parameterTree;
    if (!tree) {
        debugprint("OrvoTunedeck_AudioUnit::setParameter() : ERROR: The parameter tree is nil.");
        return;
    }
    const auto parameter = index >= 0 ? tree->parameterWithAddress(static_cast<AUParameterAddress>(index)) : nullptr;
    if (parameter) {
        parameter->setValue(value);
        if (index >= kLevels && index < kPitchBends) channelSettingsSent_.set(static_cast<size_t>(index - kLevels));
        const auto channel = static_cast<uint8_t>(index >= kMutes ? (index - kMutes) % kChannels : 0);
        const uint8_t byte = parameterDataByte(value);
        if (index >= kPitchBends && index <= kControllers2End) {
            return;
        }
        if (inGroup(index, kPrograms)) {
            queue(channel, STATUS_PROGRAM, byte, 0);
            return;
        }
        if (inGroup(index, kBanksLSB)) {
            bankLSB_[channel] = byte;
            queue(channel, STATUS_CONTROLLER, CONTROLLER_BANKSELECT_LSB, byte);
            return;
        }
        if (inGroup(index, kBanksMSB)) {
            bankMSB_[channel] = byte;
            queue(channel, STATUS_CONTROLLER, CONTROLLER_BANKSELECT_MSB, byte);
            return;
        }
        if (inGroup(index, kPans)) {
            queue(channel, STATUS_CONTROLLER, CONTROLLER_PAN, byte);
            return;
        }
        if (inGroup(index, kLevels)) {
            queue(channel, STATUS_CONTROLLER, CONTROLLER_VOLUME, byte);
            return;
        }
        if (inGroup(index, kMutes)) {
            if (value == 1.0f) {
                sendAllNotesOff();
                eventMixer_->mute(channel);
            } else {
                eventMixer_->unmute(channel);
            }
        } else if (index == kTranspose) {
            synth_->setParameter(kMIDISynthParameter_CoarseTuneSemitones, value);
        } else if (index == kVolume) {
            synth_->setParameter(kMIDISynthParameter_GainDecibels, mainVolumeDecibels(value));
        }
    } else if (index == kPanic) {
        sendAllNotesOff();
        sendAllSoundsOff();
        resetAllControllers();
        resetPrograms();
        setSynthGainAndTuning(getParameter(kVolume), getParameter(kTranspose));
    } else if (std::find(std::begin(kSilentOptions), std::end(kSilentOptions), index) == std::end(kSilentOptions)) {
        debugprint("OrvoTunedeck_AudioUnit::setParameter() : ERROR: A parameter with ID " + std::to_string(index) +
                   " could not be set.");
    }
    if (index >= 0 && index <= INT32_MAX) {
        kernelAdapter_->setParameterEx(static_cast<int32_t>(index), value);
    }
}

float OrvoTunedeck_AudioUnit::getParameter(int64_t index) {
    const auto tree = parameters_->parameterTree;
    if (!tree) {
        debugprint("OrvoTunedeck_AudioUnit::getParameter() : ERROR: The parameter tree is nil.");
        return 0.0f;
    }
    const auto parameter = index >= 0 ? tree->parameterWithAddress(static_cast<AUParameterAddress>(index)) : nullptr;
    if (!parameter) {
        debugprint("OrvoTunedeck_AudioUnit::getParameter() : ERROR: A parameter with ID " + std::to_string(index) +
                   " could not be found.");
        return 0.0f;
    }
    return kernelAdapter_->valueForParameter(*parameter);
}

void OrvoTunedeck_AudioUnit::updateParameters() {
    const auto tree = parameters_->parameterTree;
    if (!tree) {
        debugprint("OrvoTunedeck_AudioUnit::updateParameters() : ERROR: The parameter tree is nil.");
        return;
    }
    for (const auto& parameter : tree->allParameters()) {
        setParameter(static_cast<int64_t>(parameter->address()), parameter->value());
    }
}

void OrvoTunedeck_AudioUnit::reapplyChannelSettings() {
    // Levels, pans, bank selects and programs are the groups from kLevels up to the pitch bends, in tree order.
    static_assert(decltype(channelSettingsSent_){}.size() == kPitchBends - kLevels);
    for (int64_t address = kLevels; address < kPitchBends; ++address) {
        if (channelSettingsSent_.test(static_cast<size_t>(address - kLevels))) {
            setParameter(address, getParameter(address));
        }
    }
}

void OrvoTunedeck_AudioUnit::setSynthGainAndTuning(float volume, float transpose) {
    synth_->setParameter(kMIDISynthParameter_GainDecibels, mainVolumeDecibels(volume));
    synth_->setParameter(kMIDISynthParameter_CoarseTuneSemitones, transpose);
}

void OrvoTunedeck_AudioUnit::initializeParameters() {
    setParameter(kVolume, kStartVolume);
    setParameter(kTranspose, kStartTranspose);
    for (uint8_t channel = 0; channel < kChannels; ++channel) {
        for (const ChannelStart& start : kChannelStarts) {
            setParameter(start.base + channel, start.value);
        }
    }
    eventMixer_->unmuteAll();
}

void OrvoTunedeck_AudioUnit::queue(uint8_t channel, uint8_t status, uint8_t data1, uint8_t data2) {
    sequencer_->sendEvent(channel, status, data1, data2);
}

void OrvoTunedeck_AudioUnit::sendProgramChange(uint8_t channel, uint8_t program, int64_t) {
    queue(channel, STATUS_PROGRAM, program, 0);
}

void OrvoTunedeck_AudioUnit::sendController(uint8_t channel, uint8_t controller, uint8_t value, int64_t) {
    queue(channel, STATUS_CONTROLLER, controller, value);
}

void OrvoTunedeck_AudioUnit::sendAllNotesOff() {
    for (uint8_t channel = 0; channel < kChannels; ++channel) {
        queue(channel, STATUS_CONTROLLER, CONTROLLER_NOTES_OFF, 0);
    }
    safeprint("OrvoTunedeck_AudioUnit::sendAllNotesOff()");
}

void OrvoTunedeck_AudioUnit::sendAllSoundsOff() {
    for (uint8_t channel = 0; channel < kChannels; ++channel) {
        queue(channel, STATUS_CONTROLLER, CONTROLLER_SOUNDS_OFF, 0);
    }
    safeprint("OrvoTunedeck_AudioUnit::sendAllSoundsOff()");
}

void OrvoTunedeck_AudioUnit::resetAllControllers() {
    for (uint8_t channel = 0; channel < kChannels; ++channel) {
        queue(channel, STATUS_CONTROLLER, CONTROLLER_RESET_CONTROLLERS, 0);
    }
}

void OrvoTunedeck_AudioUnit::resetPrograms() {
    for (uint8_t channel = 0; channel < kChannels; ++channel) {
        queue(channel, STATUS_PROGRAM, 0, 0);
    }
}

void OrvoTunedeck_AudioUnit::setVelocities(const std::vector<uint8_t>& values) {
    VelocityTable table = eventMixer_->velocities();
    std::copy_n(values.begin(), std::min(values.size(), table.size()), table.begin());
    eventMixer_->setVelocities(table);
}
