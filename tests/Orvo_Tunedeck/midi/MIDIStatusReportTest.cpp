#include "Orvo_Tunedeck/midi/MIDIStatusReport.h"

#include <gtest/gtest.h>

#include "Orvo_Tunedeck/midi/MIDINotificationReport.h"
#include "Orvo_Tunedeck/midi/MIDIProperties.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "platform/midi/LoopbackServer.h"

namespace {

using Lines = std::vector<std::string>;

template <typename Action>
Lines logOf(Action action) {
    dispatch::MainQueue::shared().drain();  // lines an earlier test left queued
    foundation::LogCapture log;
    action();
    dispatch::MainQueue::shared().drain();
    return log.lines();
}

struct StatusCase {
    foundation::OSStatus status;
    Lines lines;
};

class StatusReport : public testing::TestWithParam<StatusCase> {};

TEST_P(StatusReport, PrintsDecimalFourCharactersAndName) {
    EXPECT_EQ(logOf([] { errorName(GetParam().status); }), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StatusReport,
    testing::Values(StatusCase{-10830, {"Error: -10830", "error string ''", "kMIDIInvalidClient"}},
                    StatusCase{561017960, {"Error: 561017960", "error string '!pth'", "kAudio_BadFilePathError"}},
                    StatusCase{-50, {"Error: -50", "error string ''", "kAudio_ParamError"}},
                    StatusCase{1, {"Error: 1", std::string("error string '\0\0\0\1'", 19), "Total Unbekannter Fehler"}},
                    StatusCase{-10870, {"Error: -10870", "error string ''", "Total Unbekannter Fehler"}},
                    StatusCase{0, {}}));

TEST(StatusReportTable, FourCharStringIsEmptyForAnyHighByte) {
    EXPECT_EQ(fourCharString(0x61756D75), "aumu");
    EXPECT_EQ(fourCharString(0x61756DFF), "");
    EXPECT_EQ(fourCharString(0x80000000), "");
}

TEST(StatusReportTable, ObjectTypeNames) {
    EXPECT_EQ(logOf([] {
                  midiObjectTypeName(-1);
                  midiObjectTypeName(2);
                  midiObjectTypeName(19);
                  midiObjectTypeName(4);
              }),
              (Lines{"- (midiObjectType) Other", "- (midiObjectType) Source", "- (midiObjectType) ExternalDestination",
                     "- unknown -"}));
}

TEST(MIDIPropertyReaders, NamesAndIdentifiersOfKnownAndUnknownObjects) {
    midi::LoopbackServer server;
    const midi::MIDIEndpointRef keyboard = server.plugInSource("Keyboard");
    EXPECT_EQ(getName(server, keyboard), "Keyboard");
    EXPECT_NE(getID(server, keyboard), 0);
    EXPECT_EQ(logOf([&] { EXPECT_EQ(getName(server, 0x7777), "<has no name>"); }),
              (Lines{"MIDIConnectivity::getName(): Fehler: Die Eigenschaften des MIDI Objektes konnten nicht "
                     "ermittelt werden."}));
    EXPECT_EQ(logOf([&] { EXPECT_EQ(getID(server, 0x7777), 0); }),
              (Lines{"MIDIConnectivity::getID(): Fehler: Die Eigenschaften des MIDI Objektes konnten nicht "
                     "ermittelt werden."}));
    EXPECT_EQ(logOf([&] { EXPECT_FALSE(getDeviceName(server, 0x7777)); }),
              (Lines{"MIDIConnectivity::getDeviceName(): Fehler: Der Gerätename konnte nicht ermittelt werden.",
                     "Error: -10842", "error string ''", "kMIDIObjectNotFound"}));
}

TEST(MIDIPropertyReaders, DiagnosticsCountAndDumpEveryEndpoint) {
    midi::LoopbackServer server;
    server.plugInDestination("Synth");
    const Lines lines = logOf([&] { diagnostics(server); });
    const Lines expected{
        "MIDIConnectivity::diagnostics(): Diagnose: Alle (externen) MIDI Geräte -------",
        "MIDIConnectivity::allExternalDeviceProps(): Diagnose: Die Anzahl der externen Geräte beträgt: 0",
        "MIDIConnectivity::diagnostics(): Diagnose: Alle (internen) MIDI Geräte -----",
        "MIDIConnectivity::allDeviceProps(): Diagnose: Die Anzahl der internen Geräte beträgt: 0",
        "MIDIConnectivity::diagnostics(): Diagnose: Alle MIDI Ziele -----------------",
        "MIDIConnectivity::allDestinationProps(): Diagnose: Die Anzahl der internen MIDI Ziele beträgt: 1",
        "MIDIConnectivity::printProperties(): Diagnose: Die Eigenschaften des MIDI Objektes sind:",
        "- Schlüssel: 'displayName', Wert: 'Synth'",
        "- Schlüssel: 'name', Wert: 'Synth'",
    };
    ASSERT_GE(lines.size(), expected.size() + 3);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + static_cast<long>(expected.size())), expected);
    EXPECT_EQ(lines[expected.size()].rfind("- Schlüssel: 'uniqueID', Wert: '", 0), 0u);
    EXPECT_EQ(lines.back(), "MIDIConnectivity::allSourceProps(): Diagnose: Die Anzahl der internen MIDI Quellen "
                            "beträgt: 0");
}

TEST(NotificationReport, UnknownIdentifierGivesHeaderAndUnknown) {
    midi::LoopbackServer server;
    midi::MIDINotification n;
    n.messageID = 42;
    n.messageSize = 8;
    EXPECT_EQ(logOf([&] { reportNotification(server, n); }),
              (Lines{"\nMIDIConnectivity::MyMIDINotifyBlock(): Info: Wir haben eine MIDI Notifikation erhalten.",
                     "- MIDI Notify, messageId= 42", "- MIDI Notify, messageSize= 8", "- unknown -"}));
}

TEST(NotificationReport, ObjectAddedNamesTheChildAndBothTypes) {
    midi::LoopbackServer server;
    const midi::MIDIEndpointRef keyboard = server.plugInSource("Keyboard");
    midi::MIDINotification n;
    n.messageID = midi::kMIDIMsgObjectAdded;
    n.messageSize = 24;
    n.child = keyboard;
    n.childType = midi::MIDIObjectType::source;
    n.parentType = midi::MIDIObjectType::device;
    const Lines lines = logOf([&] { reportNotification(server, n); });
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[3].rfind("MIDIConnectivity::MyMIDINotifyBlock(): Info: MIDI Objekt hinzugefügt: ", 0), 0u);
    EXPECT_EQ(Lines(lines.begin() + 4, lines.end()),
              (Lines{"- id 2", "- size 24", "- child " + std::to_string(keyboard), "- child type 2",
                     "- (midiObjectType) Source", "- parent 0", "- parentType 0", "- (midiObjectType) Device",
                     "- childName Keyboard"}));
}

TEST(NotificationReport, NetworkSessionChangeReportsTheSessionState) {
    midi::LoopbackServer server;
    midi::MIDINetworkSession& session = server.networkSession();
    session.setEnabled(true);
    const Lines lines = logOf([&] {
        midiNetworkChanged(server, {midi::MIDINetworkNotificationSessionDidChange, &session});
    });
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], "midiNetworkChanged(notification:)");
    EXPECT_EQ(lines[2].rfind("MIDIConnectivity::midiNetworkChanged(): Diagnose: Die MIDI Netzwerk Sitzung hat sich "
                             "geändert: ",
                             0),
              0u);
    EXPECT_EQ(lines[3], "- [isEnabled]: true");
    EXPECT_EQ(lines[4], "- [sourceEndpoint]: 0");
    EXPECT_EQ(lines[5], "- [destinationEndpoint]: 0");
}

}  // namespace
