// What a parameter change does beyond storing its value: the MIDI it queues for the next buffer, channel mutes, the
// synthesizer's gain and tuning, panic, and the addresses outside the tree.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/audiounit/MIDIMessageLength.h"
#include "platform/foundation/Log.h"
#include "tests/Orvo_Tunedeck_Extension/audiounit/UnitFixture.h"

namespace unit_test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class ParameterDispatch : public UnitFixture {
protected:
    // The messages of the next buffer, bytes only.
    std::vector<Bytes> nextBuffer() {
        std::vector<Bytes> messages;
        for (const SentMessage& message : sentByNextRender(time_)) {
            messages.push_back(message.bytes);
        }
        time_ += kFrames;
        return messages;
    }

    std::vector<Bytes> onEveryChannel(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
        std::vector<Bytes> messages;
        for (std::uint8_t channel = 0; channel < 16; ++channel) {
            messages.push_back({static_cast<std::uint8_t>(status + channel), data1, data2});
            messages.back().resize(midiMessageLength(messages.back()[0]));
        }
        return messages;
    }

    std::vector<std::string> logOf(int64_t address, float value) {
        foundation::LogCapture capture;
        unit->setParameter(address, value);
        dispatch::MainQueue::shared().drain();
        return capture.lines();
    }

    float synthParameter(int64_t address) { return unit->synth()->getParameter(address); }

    AUEventSampleTime time_ = kFrames;
};

TEST_F(ParameterDispatch, ChannelParametersQueueTheirMessage) {
    struct Case {
        int64_t address;
        float value;
        std::vector<Bytes> messages;
    };
    const Case cases[] = {
        {1097, 0.5f, {{0xC1, 0x3F}}},
        {1096, 100.0f, {{0xC0, 0x7F}}},
        {1096, std::numeric_limits<float>::quiet_NaN(), {{0xC0, 0x00}}},
        {1096, -1.0f, {{0xC0, 0x00}}},
        {1080, 1.0f, {{0xB0, 0x20, 0x7F}}},
        {1065, 0.5f, {{0xB1, 0x00, 0x3F}}},
        {1050, 0.79f, {{0xB2, 0x0A, 0x64}}},
        {1035, 0.79f, {{0xB3, 0x07, 0x64}}},
        {1047, 0.78f, {{0xBF, 0x07, 0x63}}},
        {1130, 0.3f, {}},
        {1112, 0.9f, {}},
        {1175, 0.1f, {}},
        {1003, 5.0f, {}},
    };
    for (const Case& c : cases) {
        unit->setParameter(c.address, c.value);
        EXPECT_EQ(nextBuffer(), c.messages) << c.address << " = " << c.value;
        if (!std::isnan(c.value)) {
            EXPECT_EQ(unit->getParameter(c.address), c.value) << c.address;
        }
    }
    EXPECT_EQ(unit->bankLSB()[0], 127);
    EXPECT_EQ(unit->bankMSB()[1], 63);
}

TEST_F(ParameterDispatch, MutingSilencesEveryChannelAndFiltersOne) {
    unit->setParameter(1020, 1.0f);
    EXPECT_EQ(nextBuffer(), onEveryChannel(0xB0, 0x7B, 0x00));

    EventListBuilder host;
    host.midi(time_, {0x94, 0x3C, 0x64}).midi(time_, {0x93, 0x3C, 0x64}).midi(time_, {0xB4, 0x7B, 0x00});
    sent.clear();
    render(time_, host.head());
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].bytes, (Bytes{0x93, 0x3C, 0x64}));
    EXPECT_EQ(sent[1].bytes, (Bytes{0xB4, 0x7B, 0x00}));
    time_ += kFrames;

    for (const float unmuting : {0.999f, 0.5f}) {
        unit->setParameter(1020, 1.0f);
        nextBuffer();
        unit->setParameter(1020, unmuting);
        EXPECT_TRUE(nextBuffer().empty());
        EXPECT_EQ(unit->eventMixer()->channels().size(), 16u) << unmuting;
    }
}

TEST_F(ParameterDispatch, VolumeAndTransposeReachTheSynthesizer) {
    struct Case {
        int64_t address;
        float value;
        int64_t synthAddress;
        float synthValue;
    };
    for (const Case c : {Case{1001, 0.0f, 900, -96.0f}, Case{1001, 1.0f, 900, 12.0f},
                         Case{1001, 0.79f, 900, 0.79f * 108.0f - 96.0f}, Case{1002, 3.0f, 901, 3.0f},
                         Case{1002, -12.0f, 901, -12.0f}}) {
        unit->setParameter(c.address, c.value);
        EXPECT_FLOAT_EQ(synthParameter(c.synthAddress), c.synthValue) << c.address << " = " << c.value;
        EXPECT_EQ(unit->getParameter(c.address), c.value);
    }
    EXPECT_TRUE(nextBuffer().empty());
}

TEST_F(ParameterDispatch, PanicSilencesResetsAndReappliesVolumeAndTranspose) {
    unit->setParameter(1001, 0.5f);
    unit->setParameter(1002, 2.0f);
    unit->synth()->setParameter(900, 6.0f);
    unit->synth()->setParameter(901, 7.0f);

    unit->setParameter(1183, 1.0f);
    std::vector<Bytes> expected = onEveryChannel(0xB0, 0x7B, 0x00);
    for (const auto& burst : {onEveryChannel(0xB0, 0x78, 0x00), onEveryChannel(0xB0, 0x79, 0x00),
                              onEveryChannel(0xC0, 0x00, 0x00)}) {
        expected.insert(expected.end(), burst.begin(), burst.end());
    }
    EXPECT_EQ(nextBuffer(), expected);
    EXPECT_FLOAT_EQ(synthParameter(900), 0.5f * 108.0f - 96.0f);
    EXPECT_FLOAT_EQ(synthParameter(901), 2.0f);
    EXPECT_EQ(unit->getParameter(1001), 0.5f);
    EXPECT_EQ(unit->getParameter(1002), 2.0f);
}

TEST_F(ParameterDispatch, AddressesOutsideTheTree) {
    const std::string notSet = "OrvoTunedeck_AudioUnit::setParameter() : ERROR: A parameter with ID 1190 could not be set.";
    EXPECT_EQ(logOf(1190, 3.0f), std::vector<std::string>{notSet});
    EXPECT_EQ(logOf(1010, 1.0f).size(), 1u);
    EXPECT_EQ(logOf(-5, 1.0f).size(), 1u);
    for (const int64_t silent : {1182, 1186, 1187}) {
        EXPECT_TRUE(logOf(silent, 1.0f).empty()) << silent;
    }
    EXPECT_TRUE(nextBuffer().empty());

    foundation::LogCapture capture;
    EXPECT_EQ(unit->getParameter(1183), 0.0f);
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(capture.lines(), std::vector<std::string>{
                                   "OrvoTunedeck_AudioUnit::getParameter() : ERROR: A parameter with ID 1183 could not "
                                   "be found."});
}

TEST_F(ParameterDispatch, InitializeParametersWritesTheStartValuesAndUnmutesAll) {
    unit->eventMixer()->muteAll();
    unit->initializeParameters();
    std::vector<Bytes> expected;
    for (std::uint8_t channel = 0; channel < 16; ++channel) {
        const auto controller = static_cast<std::uint8_t>(0xB0 + channel);
        expected.push_back({controller, 0x07, 100});
        expected.push_back({controller, 0x0A, 63});
        expected.push_back({controller, 0x00, 0});
        expected.push_back({controller, 0x20, 0});
        expected.push_back({static_cast<std::uint8_t>(0xC0 + channel), 0});
    }
    EXPECT_EQ(nextBuffer(), expected);
    EXPECT_EQ(unit->eventMixer()->channels().size(), 16u);
    EXPECT_FLOAT_EQ(synthParameter(900), -10.68f);
    EXPECT_FLOAT_EQ(synthParameter(901), 0.0f);
    EXPECT_FLOAT_EQ(unit->getParameter(1001), 0.79f);
    EXPECT_FLOAT_EQ(unit->getParameter(1003), 0.0f);
}

TEST_F(ParameterDispatch, UpdateParametersSendsTheWholeTreeAgain) {
    unit->setParameter(1096 + 5, 10.0f / 127.0f + 0.001f);
    nextBuffer();
    unit->updateParameters();
    const std::vector<Bytes> messages = nextBuffer();
    // Per channel: level, pan, bank MSB, bank LSB, program; mutes at 0 unmute and send nothing.
    EXPECT_EQ(messages.size(), 16u * 5u);
    EXPECT_NE(std::find(messages.begin(), messages.end(), Bytes{0xC5, 10}), messages.end());
}

TEST_F(ParameterDispatch, VelocityTableTakesWhatTheListHas) {
    unit->setVelocities(Bytes(130, 20));
    EXPECT_EQ(unit->eventMixer()->velocities()[127], 20);
    unit->setVelocities(Bytes{0, 1, 2, 99});
    EXPECT_EQ(unit->eventMixer()->velocities()[3], 99);
    EXPECT_EQ(unit->eventMixer()->velocities()[4], 20);
}

}  // namespace
}  // namespace unit_test
