#include "Orvo_Tunedeck/midi/MIDIMessageCallback.h"

#include <gtest/gtest.h>

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "tests/Orvo_Tunedeck/midi/RecordingDelegate.h"
#include "tests/support/AllocationCounter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

midi::MIDIPacket packet(const Bytes& bytes, midi::MIDITimeStamp timeStamp = 0) {
    midi::MIDIPacket p;
    p.timeStamp = timeStamp;
    p.length = static_cast<std::uint16_t>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), p.data);
    return p;
}

struct ParserCase {
    const char* name;
    std::vector<Bytes> packets;
    std::vector<std::string> events;
};

class PacketParsing : public testing::TestWithParam<ParserCase> {};

TEST_P(PacketParsing, GivesTheDelegateCallsInByteOrder) {
    MIDIMessageCallback parser;
    auto delegate = std::make_shared<RecordingDelegate>();
    parser.setDelegate(delegate);
    for (const Bytes& bytes : GetParam().packets) {
        parser.handleMIDIMessageCallback(packet(bytes));
    }
    EXPECT_EQ(delegate->events(), GetParam().events);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PacketParsing,
    testing::Values(
        ParserCase{"NoteOn", {{0x90, 0x3C, 0x64}}, {"channel 90 3C 64 3"}},
        ParserCase{"ProgramChangeIsTwoBytes", {{0xC0, 0x05}}, {"channel C0 05 00 2"}},
        ParserCase{"TwoMessagesInOnePacket", {{0x90, 0x3C, 0x64, 0x80, 0x3C, 0x00}},
                   {"channel 90 3C 64 3", "channel 80 3C 00 3"}},
        ParserCase{"RunningStatusInsideAPacket", {{0x90, 0x3C, 0x64, 0x3E, 0x64}},
                   {"channel 90 3C 64 3", "channel 90 3E 64 3"}},
        ParserCase{"TwoProgramChangesKeepTheirStatus", {{0xC0, 0x05, 0xC1, 0x06}},
                   {"channel C0 05 00 2", "channel C1 06 00 2"}},
        ParserCase{"NoRunningStatusAcrossPackets", {{0x90, 0x3C, 0x64}, {0x3E, 0x64}}, {"channel 90 3C 64 3"}},
        ParserCase{"DataBytesWithoutStatus", {{0x3C, 0x64}}, {}},
        ParserCase{"EmptyPacket", {{}}, {}},
        ParserCase{"IncompleteMessageAtTheEnd", {{0x90, 0x3C}}, {}},
        ParserCase{"StatusByteNeverPassesAsData", {{0x90, 0x3C, 0x80, 0x3C, 0x00}}, {"channel 80 3C 00 3"}},
        ParserCase{"RealTimeInsideAMessage", {{0x90, 0xF8, 0x3C, 0xFE, 0x64}}, {"clock", "activesensing",
                                                                               "channel 90 3C 64 3"}},
        ParserCase{"RealTimeMessages", {{0xFA}, {0xFB}, {0xFC}, {0xFF}, {0xF9}, {0xFD}},
                   {"start", "continue", "stop", "reset"}},
        ParserCase{"SystemCommon", {{0xF1, 0x05}, {0xF2, 0x10, 0x20}, {0xF3, 0x02}, {0xF6}},
                   {"timecode 05", "songposition 10 20", "songselect 02", "tunerequest"}},
        ParserCase{"UndefinedAndStrayEndBytesGiveNothing", {{0xF7}, {0xF4, 0x3C, 0x64}, {0xF5}}, {}},
        ParserCase{"SystemCommonEndsRunningStatus", {{0x90, 0x3C, 0x64, 0xF3, 0x01, 0x3E, 0x64}},
                   {"channel 90 3C 64 3", "songselect 01"}},
        ParserCase{"SysexInOnePacket", {{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}}, {"sysex 6: F0 7E 7F 09 01 F7"}},
        ParserCase{"SysexSplitAcrossPackets", {{0xF0, 0x43, 0x10}, {0x4C, 0x00}, {0x00, 0x7E, 0x00, 0xF7}},
                   {"sysex 9: F0 43 10 4C 00 00 7E 00 F7"}},
        ParserCase{"RealTimeInsideSysex", {{0xF0, 0x43, 0xF8, 0x10}, {0xF8, 0xF7, 0x90, 0x3C, 0x64}},
                   {"clock", "clock", "sysex 4: F0 43 10 F7", "channel 90 3C 64 3"}},
        ParserCase{"SysexCutOffByAStatusIsDropped", {{0xF0, 0x43, 0x10}, {0x90, 0x3C, 0x64}},
                   {"channel 90 3C 64 3"}},
        ParserCase{"SysexRestartedDropsTheFirst", {{0xF0, 0x43, 0xF0, 0x41, 0xF7}}, {"sysex 3: F0 41 F7"}}),
    [](const testing::TestParamInfo<ParserCase>& info) { return std::string(info.param.name); });

TEST(PacketParsingDetails, SysexLongerThanOnePacketKeepsEveryByteAndTheFirstTimeStamp) {
    MIDIMessageCallback parser;
    auto delegate = std::make_shared<RecordingDelegate>();
    parser.setDelegate(delegate);
    Bytes first(256, 0x11);
    first[0] = 0xF0;
    Bytes second(44, 0x22);
    second.back() = 0xF7;
    parser.handleMIDIMessageCallback(packet(first, 1000));
    parser.handleMIDIMessageCallback(packet(second, 2000));
    const std::vector<std::string> events = delegate->events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].rfind("sysex 300: F0 11", 0), 0u);
    EXPECT_NE(events[0].find("11 22"), std::string::npos);
    EXPECT_EQ(events[0].substr(events[0].size() - 9), " F7 @1000");
    EXPECT_EQ(parser.droppedSysexCount(), 0u);
}

TEST(PacketParsingDetails, APacketClaimingMoreThanItsDataAreaIsDecodedToTheAreaEndAndLogged) {
    MIDIMessageCallback parser;
    auto delegate = std::make_shared<RecordingDelegate>();
    parser.setDelegate(delegate);
    dispatch::MainQueue::shared().drain();  // lines an earlier test left queued
    foundation::LogCapture log;
    midi::MIDIPacket full;
    for (std::size_t i = 0; i + 2 < midi::MIDIPacket::kDataBytes; i += 3) {
        full.data[i] = 0x90;
        full.data[i + 1] = 0x3C;
        full.data[i + 2] = 0x64;
    }
    full.length = 256;
    parser.handleMIDIMessageCallback(full);
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(delegate->events().size(), 85u);
    EXPECT_TRUE(log.lines().empty());

    full.length = 258;
    parser.handleMIDIMessageCallback(full);
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(delegate->events().size(), 170u);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "MIDIMessageCallback::handleMIDIMessageCallback(): MIDI Data Overflow (256) !"}));
}

TEST(PacketParsingDetails, WithoutDelegateEveryPacketLogsAWarning) {
    MIDIMessageCallback parser;
    dispatch::MainQueue::shared().drain();  // lines an earlier test left queued
    foundation::LogCapture log;
    parser.handleMIDIMessageCallback(packet({0x90, 0x3C, 0x64}));
    parser.handleMIDIMessageCallback(packet({0x80, 0x3C, 0x00}));
    dispatch::MainQueue::shared().drain();
    const std::string warning = "MIDIMessageCallback::handleMIDIMessageCallback(): Warnung: MIDI Delegate ist "
                                "undefiniert. Es können keine Ereignisse weitergeleitet werden.";
    EXPECT_EQ(log.lines(), (std::vector<std::string>{warning, warning}));
}

TEST(PacketParsingDetails, DecodingDoesNotAllocate) {
    MIDIMessageCallback parser;
    struct Silent final : MIDIMessageDelegate {
        int calls = 0;
        void onChannelMessage(midi::MIDITimeStamp, std::uint8_t, std::uint8_t, std::uint8_t, std::uint16_t) override {
            ++calls;
        }
        void onSysEx(midi::MIDITimeStamp, std::uint16_t, std::span<const std::uint8_t>) override { ++calls; }
        void onTimeCode(midi::MIDITimeStamp, std::uint8_t) override {}
        void onSongPositionPointer(midi::MIDITimeStamp, std::uint8_t, std::uint8_t) override {}
        void onSongSelect(midi::MIDITimeStamp, std::uint8_t) override {}
        void onTuneRequest(midi::MIDITimeStamp) override {}
        void onClock(midi::MIDITimeStamp) override { ++calls; }
        void onStart(midi::MIDITimeStamp) override {}
        void onContinue(midi::MIDITimeStamp) override {}
        void onStop(midi::MIDITimeStamp) override {}
        void onActiveSensing(midi::MIDITimeStamp) override {}
        void onSystemReset(midi::MIDITimeStamp) override {}
        void onMIDINotification() override {}
    };
    auto delegate = std::make_shared<Silent>();
    parser.setDelegate(delegate);
    const midi::MIDIPacket notes = packet({0x90, 0x3C, 0x64, 0x3E, 0x64, 0xF8, 0xB0, 0x07, 0x64});
    const midi::MIDIPacket sysexStart = packet({0xF0, 0x43, 0x10});
    const midi::MIDIPacket sysexEnd = packet({0x4C, 0x00, 0xF7});
    const std::uint64_t before = testsupport::allocationsOnThisThread();
    parser.handleMIDIMessageCallback(notes);
    parser.handleMIDIMessageCallback(sysexStart);
    parser.handleMIDIMessageCallback(sysexEnd);
    EXPECT_EQ(testsupport::allocationsOnThisThread(), before);
    EXPECT_EQ(delegate->calls, 5);
}

}  // namespace
