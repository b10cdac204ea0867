#include <cstddef>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "platform/audiounit/AudioBufferList.h"
#include "platform/audiounit/AudioTimeStamp.h"
#include "platform/audiounit/ComponentDescription.h"
#include "platform/audiounit/RenderEvent.h"
#include "platform/foundation/Status.h"

namespace {

struct FieldLayout {
    std::string field;
    std::size_t actual;
    std::size_t expected;
};

void expectLayout(const std::string& record, std::size_t size, std::size_t expectedSize,
                  std::initializer_list<FieldLayout> fields) {
    EXPECT_EQ(size, expectedSize) << "size of " << record;
    for (const FieldLayout& f : fields) {
        EXPECT_EQ(f.actual, f.expected) << "offset of " << record << "::" << f.field;
    }
}

TEST(RecordLayout, RenderEvents) {
    expectLayout("AURenderEventHeader", sizeof(AURenderEventHeader), 24,
                 {{"next", offsetof(AURenderEventHeader, next), 0},
                  {"eventSampleTime", offsetof(AURenderEventHeader, eventSampleTime), 8},
                  {"eventType", offsetof(AURenderEventHeader, eventType), 16},
                  {"reserved", offsetof(AURenderEventHeader, reserved), 17}});
    expectLayout("AUMIDIEvent", sizeof(AUMIDIEvent), 24,
                 {{"next", offsetof(AUMIDIEvent, next), 0},
                  {"eventSampleTime", offsetof(AUMIDIEvent, eventSampleTime), 8},
                  {"eventType", offsetof(AUMIDIEvent, eventType), 16},
                  {"reserved", offsetof(AUMIDIEvent, reserved), 17},
                  {"length", offsetof(AUMIDIEvent, length), 18},
                  {"cable", offsetof(AUMIDIEvent, cable), 20},
                  {"data", offsetof(AUMIDIEvent, data), 21}});
    expectLayout("AUParameterEvent", sizeof(AUParameterEvent), 40,
                 {{"next", offsetof(AUParameterEvent, next), 0},
                  {"eventSampleTime", offsetof(AUParameterEvent, eventSampleTime), 8},
                  {"eventType", offsetof(AUParameterEvent, eventType), 16},
                  {"reserved", offsetof(AUParameterEvent, reserved), 17},
                  {"rampDurationSampleFrames", offsetof(AUParameterEvent, rampDurationSampleFrames), 20},
                  {"parameterAddress", offsetof(AUParameterEvent, parameterAddress), 24},
                  {"value", offsetof(AUParameterEvent, value), 32}});
    EXPECT_EQ(sizeof(AURenderEvent), 40u);
    EXPECT_EQ(alignof(AURenderEvent), 8u);
    EXPECT_EQ(sizeof(AURenderEventType), 1u);
}

TEST(RecordLayout, EventTypesAndImmediateTime) {
    EXPECT_EQ(AURenderEventParameter, 1);
    EXPECT_EQ(AURenderEventParameterRamp, 2);
    EXPECT_EQ(AURenderEventMIDI, 8);
    EXPECT_EQ(AURenderEventMIDISysEx, 9);
    EXPECT_EQ(kAUEventSampleTimeImmediate, -4294967296LL);
}

TEST(RecordLayout, StatusCodesOfTheUnitLayer) {
    EXPECT_EQ(sizeof(foundation::OSStatus), 4u);
    EXPECT_EQ(foundation::noErr, 0);
    EXPECT_EQ(foundation::kAudioUnitErr_TooManyFramesToProcess, -10874);
    EXPECT_EQ(foundation::kAudioUnitErr_Uninitialized, -10867);
    EXPECT_EQ(foundation::kAudioUnitErr_InvalidFilePath, -66742);
}

TEST(RecordLayout, ComponentDescription) {
    expectLayout("AudioComponentDescription", sizeof(AudioComponentDescription), 20,
                 {{"componentType", offsetof(AudioComponentDescription, componentType), 0},
                  {"componentSubType", offsetof(AudioComponentDescription, componentSubType), 4},
                  {"componentManufacturer", offsetof(AudioComponentDescription, componentManufacturer), 8},
                  {"componentFlags", offsetof(AudioComponentDescription, componentFlags), 12},
                  {"componentFlagsMask", offsetof(AudioComponentDescription, componentFlagsMask), 16}});
}

TEST(RecordLayout, TimeStamp) {
    expectLayout("SMPTETime", sizeof(SMPTETime), 24,
                 {{"mSubframes", offsetof(SMPTETime, mSubframes), 0},
                  {"mSubframeDivisor", offsetof(SMPTETime, mSubframeDivisor), 2},
                  {"mCounter", offsetof(SMPTETime, mCounter), 4},
                  {"mType", offsetof(SMPTETime, mType), 8},
                  {"mFlags", offsetof(SMPTETime, mFlags), 12},
                  {"mHours", offsetof(SMPTETime, mHours), 16},
                  {"mMinutes", offsetof(SMPTETime, mMinutes), 18},
                  {"mSeconds", offsetof(SMPTETime, mSeconds), 20},
                  {"mFrames", offsetof(SMPTETime, mFrames), 22}});
    expectLayout("AudioTimeStamp", sizeof(AudioTimeStamp), 64,
                 {{"mSampleTime", offsetof(AudioTimeStamp, mSampleTime), 0},
                  {"mHostTime", offsetof(AudioTimeStamp, mHostTime), 8},
                  {"mRateScalar", offsetof(AudioTimeStamp, mRateScalar), 16},
                  {"mWordClockTime", offsetof(AudioTimeStamp, mWordClockTime), 24},
                  {"mSMPTETime", offsetof(AudioTimeStamp, mSMPTETime), 32},
                  {"mFlags", offsetof(AudioTimeStamp, mFlags), 56},
                  {"mReserved", offsetof(AudioTimeStamp, mReserved), 60}});
}

TEST(RecordLayout, BufferList) {
    expectLayout("AudioBuffer", sizeof(AudioBuffer), 16,
                 {{"mNumberChannels", offsetof(AudioBuffer, mNumberChannels), 0},
                  {"mDataByteSize", offsetof(AudioBuffer, mDataByteSize), 4},
                  {"mData", offsetof(AudioBuffer, mData), 8}});
    expectLayout("AudioBufferList", sizeof(AudioBufferList), 40,
                 {{"mNumberBuffers", offsetof(AudioBufferList, mNumberBuffers), 0},
                  {"mBuffers", offsetof(AudioBufferList, mBuffers), 8}});
}

// A host list mixes parameter and MIDI entries; walking it through the common header must reach each entry's own
// view with its values intact.
TEST(RenderEventList, WalkSelectsEachEntrysView) {
    AURenderEvent second{};
    second.MIDI = {nullptr, 130, AURenderEventMIDI, 0, 3, 0, {0x90, 0x3C, 0x64}};
    AURenderEvent first{};
    first.parameter = {&second, 100, AURenderEventParameterRamp, {0, 0, 0}, 64, 1032, 0.5f};

    int seen = 0;
    for (const AURenderEvent* e = &first; e != nullptr; e = e->head.next, ++seen) {
        if (e->head.eventType == AURenderEventParameterRamp) {
            EXPECT_EQ(e->head.eventSampleTime, 100);
            EXPECT_EQ(e->parameter.parameterAddress, 1032u);
            EXPECT_EQ(e->parameter.rampDurationSampleFrames, 64u);
            EXPECT_FLOAT_EQ(e->parameter.value, 0.5f);
        } else {
            ASSERT_EQ(e->head.eventType, AURenderEventMIDI);
            EXPECT_EQ(e->head.eventSampleTime, 130);
            EXPECT_EQ(e->MIDI.length, 3);
            EXPECT_EQ(e->MIDI.data[0], 0x90);
            EXPECT_EQ(e->MIDI.data[2], 0x64);
        }
    }
    EXPECT_EQ(seen, 2);
}

}  // namespace
