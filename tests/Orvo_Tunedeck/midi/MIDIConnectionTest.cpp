#include "Orvo_Tunedeck/midi/MIDIConnection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "platform/midi/LoopbackServer.h"
#include "tests/Orvo_Tunedeck/midi/RecordingDelegate.h"

namespace {

using Lines = std::vector<std::string>;
using midi::LoopbackServer;

bool contains(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

struct Fixture {
    std::size_t leftOver = dispatch::MainQueue::shared().drain();  // lines an earlier test left queued
    std::shared_ptr<LoopbackServer> server = std::make_shared<LoopbackServer>();
    foundation::LogCapture log;

    Lines drainedLog() {
        dispatch::MainQueue::shared().drain();
        return log.lines();
    }
};

std::string nameOf(LoopbackServer& server, midi::MIDIObjectRef object) {
    std::string name;
    server.objectGetStringProperty(object, midi::kMIDIPropertyName, &name);
    return name;
}

TEST(MIDIConnection, InitialisingNamesClientAndPortsAfterTheBundleIdentifierAndEnablesTheNetwork) {
    Fixture f;
    MIDIConnection connection(f.server, std::string("x.y"));
    connection._initialize();
    EXPECT_EQ(nameOf(*f.server, connection.midiClient()), "x.y.MIDIClient");
    EXPECT_EQ(nameOf(*f.server, connection.inputPort()), "x.y.MIDIInput");
    EXPECT_EQ(nameOf(*f.server, connection.outputPort()), "x.y.MIDIOutput");
    EXPECT_TRUE(f.server->networkSession().isEnabled());
    EXPECT_EQ(f.server->networkSession().connectionPolicy(), midi::MIDINetworkConnectionPolicy::anyone);
    const Lines lines = f.drainedLog();
    EXPECT_TRUE(contains(lines, "- [net session enabled]: true"));
    EXPECT_TRUE(contains(lines, "midiNetworkChanged(notification:)"));
    EXPECT_TRUE(contains(lines, "MIDIConnectivity::_initialize(): Info: Ein globaler MIDI IN Port 'x.y.MIDIInput' "
                                "wurde erzeugt."));
    EXPECT_TRUE(contains(lines, "MIDIConnectivity::_initialize(): Info: Ein globaler MIDI OUT Port 'x.y.MIDIOutput' "
                                "wurde erzeugt."));
    EXPECT_TRUE(connection.inputs().empty());
    EXPECT_TRUE(connection.outputs().empty());
}

TEST(MIDIConnection, WithoutBundleIdentifierTheMakersNameIsTheBase) {
    Fixture f;
    MIDIConnection connection(f.server, std::nullopt);
    connection._initialize();
    EXPECT_EQ(nameOf(*f.server, connection.midiClient()), "org.orvo.MIDI.MIDIClient");
    EXPECT_EQ(nameOf(*f.server, connection.inputPort()), "org.orvo.MIDI.MIDIInput");
    EXPECT_EQ(nameOf(*f.server, connection.outputPort()), "org.orvo.MIDI.MIDIOutput");
    connection.createVirtualPorts();
    EXPECT_EQ(nameOf(*f.server, connection.virtualDestination()), "org.orvo.VirtualDestination");
    EXPECT_EQ(nameOf(*f.server, connection.virtualSource()), "org.orvo.VirtualSource");
}

TEST(MIDIConnection, AFailingClientLeavesBothPortsUnmade) {
    Fixture f;
    f.server->failNext(LoopbackServer::Call::clientCreate, midi::kMIDIServerStartErr);
    MIDIConnection connection(f.server, std::string("x.y"));
    connection._initialize();
    EXPECT_EQ(connection.midiClient(), 0u);
    EXPECT_EQ(connection.inputPort(), 0u);
    EXPECT_EQ(connection.outputPort(), 0u);
    const Lines lines = f.drainedLog();
    const auto failure = std::find(lines.begin(), lines.end(),
                                   "MIDIConnectivity::_initialize(): Fehler: Die App konnte nicht als MIDI Klient "
                                   "registriert werden.");
    ASSERT_NE(failure, lines.end());
    EXPECT_EQ(Lines(failure + 1, lines.end()),
              (Lines{"Error: -10839", "error string ''", "kMIDIServerStartErr"}));
    f.log.clear();
    connection.connectInput(0x123);
    connection.createVirtualPorts();
    EXPECT_EQ(f.drainedLog(),
              (Lines{"MIDIConnectivity::connectInput(): Warnung: Der MIDI IN Port ist nicht initialisiert.",
                     "MIDIConnectivity::createVirtualPorts(): Fehler: MIDI ist nicht initialisiert."}));
}

TEST(MIDIConnection, AFailingInputPortDoesNotPreventTheOutputPort) {
    Fixture f;
    f.server->failNext(LoopbackServer::Call::inputPortCreate, midi::kMIDIInvalidClient);
    MIDIConnection connection(f.server, std::string("x.y"));
    connection._initialize();
    EXPECT_EQ(connection.inputPort(), 0u);
    EXPECT_NE(connection.outputPort(), 0u);
    EXPECT_TRUE(contains(f.drainedLog(),
                         "MIDIConnectivity::_initialize(): Fehler: Ein MIDI IN Port konnte nicht erzeugt werden."));
}

TEST(MIDIConnection, RefreshingKeepsSwitchesOfEndpointsThatStay) {
    Fixture f;
    MIDIConnection connection(f.server, std::string("x.y"));
    connection._initialize();
    const midi::MIDIEndpointRef a = f.server->plugInSource("A");
    const midi::MIDIEndpointRef b = f.server->plugInSource("B");
    const midi::MIDIEndpointRef synth = f.server->plugInDestination("Synth");
    connection.refreshInputs();
    connection.refreshOutputs();
    connection.connectInput(a);
    connection.connectInput(b);
    connection.setOutputActive(synth, true);
    connection.refreshInputs();
    connection.refreshInputs();
    f.server->unplug(b);
    const midi::MIDIEndpointRef c = f.server->plugInSource("C");
    connection.refreshInputs();
    connection.refreshOutputs();

    ASSERT_EQ(connection.inputs().size(), 2u);
    EXPECT_EQ(connection.inputs()[0]->object, a);
    EXPECT_TRUE(connection.inputs()[0]->active);
    EXPECT_EQ(connection.inputs()[0]->name, "A");
    EXPECT_EQ(connection.inputs()[0]->io, 1);
    EXPECT_NE(connection.inputs()[0]->uid, 0);
    EXPECT_EQ(connection.inputs()[1]->object, c);
    EXPECT_FALSE(connection.inputs()[1]->active);
    ASSERT_EQ(connection.outputs().size(), 1u);
    EXPECT_TRUE(connection.outputs()[0]->active);
    EXPECT_EQ(connection.outputs()[0]->io, 0);
}

TEST(MIDIConnection, AChannelMessageGoesToEveryActiveDestinationOnce) {
    Fixture f;
    MIDIConnection connection(f.server, std::string("x.y"));
    connection._initialize();
    const midi::MIDIEndpointRef one = f.server->plugInDestination("One");
    const midi::MIDIEndpointRef two = f.server->plugInDestination("Two");
    const midi::MIDIEndpointRef off = f.server->plugInDestination("Off");
    connection.refreshOutputs();
    connection.setOutputActive(one, true);
    connection.setOutputActive(two, true);
    connection.sendMidiMessage(0x90, 3, 60, 100, 777);

    for (const midi::MIDIEndpointRef destination : {one, two}) {
        const auto packets = f.server->delivered(destination).packets;
        ASSERT_EQ(packets.size(), 1u);
        EXPECT_EQ(packets[0].length, 3);
        EXPECT_EQ(packets[0].timeStamp, 777u);
        EXPECT_EQ(packets[0].data[0], 0x93);
        EXPECT_EQ(packets[0].data[1], 60);
        EXPECT_EQ(packets[0].data[2], 100);
    }
    EXPECT_TRUE(f.server->delivered(off).packets.empty());
}

TEST(MIDIConnection, SysexMessagesGoOutOneAtATimeInPushOrder) {
    Fixture f;
    MIDIConnection connection(f.server, std::string("x.y"));
    connection._initialize();
    const midi::MIDIEndpointRef synth = f.server->plugInDestination("Synth");
    connection.refreshOutputs();
    connection.setOutputActive(synth, true);
    const std::vector<std::vector<std::uint8_t>> messages{
        {0xF0, 0x01, 0xF7}, {0xF0, 0x02, 0x02, 0xF7}, {0xF0, 0x03, 0x03, 0x03, 0xF7}};
    for (const auto& message : messages) {
        connection.sendSysex(message.size(), message);
    }
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(f.server->sysexInFlight(), 1u);
    EXPECT_EQ(connection.sysexPending(), 3u);

    std::thread completer([&] {
        while (f.server->completeNextSysex()) {
        }
    });
    completer.join();
    EXPECT_EQ(f.server->delivered(synth).sysex, messages);
    EXPECT_EQ(connection.sysexPending(), 0u);
    const Lines lines = f.drainedLog();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "-> (STACK) MIDI SYSEX OUT"), 3);
}

TEST(MIDIConnection, ARefusedSysexIsDroppedAndTheNextOneStillGoesOut) {
    Fixture f;
    MIDIConnection connection(f.server, std::string("x.y"));
    connection._initialize();
    const midi::MIDIEndpointRef synth = f.server->plugInDestination("Synth");
    connection.refreshOutputs();
    connection.setOutputActive(synth, true);
    f.server->failNext(LoopbackServer::Call::sendSysex, midi::kMIDIMessageSendErr);
    const std::vector<std::uint8_t> first{0xF0, 0x01, 0xF7};
    const std::vector<std::uint8_t> second{0xF0, 0x02, 0xF7};
    // Cut to the bytes given: a length beyond them reads nothing more.
    connection.sendSysex(100, first);
    connection.sendSysex(second.size(), second);
    dispatch::MainQueue::shared().drain();
    EXPECT_TRUE(f.server->completeNextSysex());
    EXPECT_EQ(f.server->delivered(synth).sysex, (std::vector<std::vector<std::uint8_t>>{second}));
    const Lines lines = f.drainedLog();
    EXPECT_TRUE(contains(lines, "onSysExCompleteCallback() : ERROR: THE SYSEX message could not be sent."));
    EXPECT_TRUE(contains(lines, "kMIDIMessageSendErr"));
}

// The destination goes while the message is on its way: the send ends with bytes left, which is reported, and the
// next message still goes out.
TEST(MIDIConnection, ASysexThatEndsWithBytesLeftIsReported) {
    Fixture f;
    MIDIConnection connection(f.server, std::string("x.y"));
    connection._initialize();
    const midi::MIDIEndpointRef gone = f.server->plugInDestination("Gone");
    const midi::MIDIEndpointRef synth = f.server->plugInDestination("Synth");
    connection.refreshOutputs();
    connection.setOutputActive(gone, true);
    connection.setOutputActive(synth, true);
    const std::vector<std::uint8_t> message{0xF0, 0x01, 0xF7};
    connection.sendSysex(message.size(), message);
    dispatch::MainQueue::shared().drain();
    f.server->unplug(gone);
    while (f.server->completeNextSysex()) {
    }
    EXPECT_EQ(f.server->delivered(synth).sysex, (std::vector<std::vector<std::uint8_t>>{message}));
    const Lines lines = f.drainedLog();
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "onSysExCompleteCallback() : ERROR: THE SYSEX message was not sent whole."),
              1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "-> (STACK) MIDI SYSEX OUT"), 2);
}

TEST(MIDIConnection, DisconnectingBeforeAnyConnectDoesNothing) {
    Fixture f;
    MIDIConnection connection(f.server, std::string("x.y"));
    connection._initialize();
    const midi::MIDIEndpointRef a = f.server->plugInSource("A");
    f.drainedLog();
    f.log.clear();
    connection.disconnectInput(a);
    connection.disconnectAllInputs();
    EXPECT_TRUE(f.drainedLog().empty());
}

TEST(MIDIConnection, NotificationsAreReportedAndSignalTheDelegate) {
    Fixture f;
    MIDIConnection connection(f.server, std::string("x.y"));
    auto delegate = std::make_shared<RecordingDelegate>();
    connection.setDelegate(delegate);
    connection._initialize();
    f.server->plugInSource("Keyboard");
    midi::MIDINotification unknown;
    unknown.messageID = 99;
    connection.MyMIDINotifyBlock(unknown);
    EXPECT_EQ(delegate->events(), (Lines{"notification", "notification", "notification"}));
    const Lines lines = f.drainedLog();
    EXPECT_TRUE(contains(lines, "- childName Keyboard"));
    EXPECT_TRUE(contains(lines, "- unknown -"));
}

TEST(MIDIConnection, ConnectedSourcesReachTheDelegateThroughTheParserOnTheSendingThread) {
    Fixture f;
    MIDIConnection connection(f.server, std::string("x.y"));
    auto delegate = std::make_shared<RecordingDelegate>();
    connection.setDelegate(delegate);
    connection._initialize();
    const midi::MIDIEndpointRef keyboard = f.server->plugInSource("Keyboard");
    connection.refreshInputs();
    connection.connectInput(keyboard);
    EXPECT_TRUE(connection.isInportConnected());
    EXPECT_TRUE(connection.inputs()[0]->active);

    std::array<midi::MIDIPacket, 3> list{};
    const std::vector<std::vector<std::uint8_t>> bytes{{0x90, 0x3C, 0x64}, {0xF0, 0x7D}, {0x01, 0xF7, 0x80, 0x3C}};
    for (std::size_t i = 0; i < list.size(); ++i) {
        list[i].timeStamp = 10 * (i + 1);
        list[i].length = static_cast<std::uint16_t>(bytes[i].size());
        std::copy(bytes[i].begin(), bytes[i].end(), list[i].data);
    }
    std::thread source([&] { f.server->sendFromSource(keyboard, midi::MIDIPacketList(list.data(), list.size())); });
    source.join();
    EXPECT_EQ(delegate->events(), (Lines{"notification", "notification", "channel 90 3C 64 3 @10",
                                         "sysex 4: F0 7D 01 F7 @20"}));

    connection.disconnectInput(keyboard);
    EXPECT_FALSE(connection.inputs()[0]->active);
    f.server->sendFromSource(keyboard, midi::MIDIPacketList(list.data(), 1));
    EXPECT_EQ(delegate->events().size(), 4u);
}

TEST(MIDIConnection, ConnectingAllSourcesStopsAtTheFirstFailure) {
    Fixture f;
    MIDIConnection connection(f.server, std::string("x.y"));
    connection._initialize();
    const midi::MIDIEndpointRef a = f.server->plugInSource("A");
    f.server->plugInSource("B");
    connection.connectAllInputs();
    ASSERT_EQ(connection.inputs().size(), 2u);
    EXPECT_EQ(connection.inputs()[0]->object, a);
    EXPECT_TRUE(connection.inputs()[1]->active);

    f.drainedLog();
    f.log.clear();
    f.server->failNext(LoopbackServer::Call::connectSource, midi::kMIDIInvalidPort);
    connection.connectAllInputs();
    EXPECT_TRUE(connection.inputs().empty());
    EXPECT_EQ(f.drainedLog(),
              (Lines{"MIDIConnectivity::connectAllInputs(): Info: Es gibt momentan 2 MIDI Quellen.",
                     "MIDIConnectivity::connectAllInputs(): Fehler: (0) Eine MIDI Quelle konnte nicht zum MIDI IN "
                     "Port hinzugefügt werden.",
                     "Error: -10831", "error string ''", "kMIDIInvalidPort"}));
}

TEST(MIDIConnection, SendingWhileTheMainQueueChangesTheOutputsSendsOnlyToListedDestinations) {
    Fixture f;
    MIDIConnection connection(f.server, std::string("x.y"));
    connection._initialize();
    const midi::MIDIEndpointRef synth = f.server->plugInDestination("Synth");
    connection.refreshOutputs();
    connection.setOutputActive(synth, true);
    constexpr int kMessages = 2000;
    std::atomic<bool> sending{true};
    std::thread output([&] {
        for (int i = 0; i < kMessages; ++i) {
            connection.sendMidiMessage(0xB0, 0, 7, static_cast<std::uint8_t>(i % 128), 0);
        }
        sending = false;
    });
    bool on = true;
    while (sending) {
        connection.refreshOutputs();
        on = !on;
        connection.setOutputActive(synth, on);
    }
    output.join();
    const auto packets = f.server->delivered(synth).packets;
    EXPECT_LE(packets.size(), static_cast<std::size_t>(kMessages));
    for (const midi::MIDIPacket& p : packets) {
        ASSERT_EQ(p.length, 3);
        ASSERT_EQ(p.data[0], 0xB0);
    }
}

TEST(MIDIConnection, DisposeReleasesEverythingItMade) {
    Fixture f;
    {
        MIDIConnection connection(f.server, std::string("x.y"));
        connection._initialize();
        connection.createVirtualPorts();
        const midi::MIDIEndpointRef keyboard = f.server->plugInSource("Keyboard");
        connection.connectInput(keyboard);
        connection.dispose();
        EXPECT_EQ(connection.midiClient(), 0u);
        EXPECT_EQ(connection.inputPort(), 0u);
        EXPECT_EQ(connection.virtualSource(), 0u);
    }
    EXPECT_EQ(f.server->numberOfSources(), 1u);
    EXPECT_EQ(f.server->numberOfDestinations(), 0u);
}

}  // namespace
