#include "Orvo_Tunedeck/midi/MIDINotificationReport.h"

#include <optional>
#include <string>

#include "Orvo_Tunedeck/midi/MIDIProperties.h"
#include "Orvo_Tunedeck/midi/MIDIStatusReport.h"
#include "shared/globals/Print.h"

namespace {

constexpr const char* kPrefix = "MIDIConnectivity::MyMIDINotifyBlock(): ";

std::string recordText(const midi::MIDINotification& n) {
    return "MIDINotification(messageID: " + std::to_string(n.messageID) +
           ", messageSize: " + std::to_string(n.messageSize) + ")";
}

std::string typeNumber(midi::MIDIObjectType type) {
    return std::to_string(static_cast<std::int32_t>(type));
}

void reportAddRemove(midi::MIDIServer& server, const midi::MIDINotification& n, bool added) {
    safeprint(std::string(kPrefix) + (added ? "Info: MIDI Objekt hinzugefügt: " : "Info: MIDI Objekt entfernt: ") +
              recordText(n));
    safeprint("- id " + std::to_string(n.messageID));
    safeprint("- size " + std::to_string(n.messageSize));
    safeprint("- child " + std::to_string(n.child));
    safeprint("- child type " + typeNumber(n.childType));
    if (added) {
        midiObjectTypeName(static_cast<std::int32_t>(n.childType));
    }
    safeprint("- parent " + std::to_string(n.parent));
    safeprint("- parentType " + typeNumber(n.parentType));
    if (added) {
        midiObjectTypeName(static_cast<std::int32_t>(n.parentType));
    }
    const std::optional<std::string> name = getDeviceName(server, n.child);
    safeprint("- childName " + (name ? *name : std::string("nil")));
}

}  // namespace

void reportNotification(midi::MIDIServer& server, const midi::MIDINotification& n) {
    safeprint(std::string("\n") + kPrefix + "Info: Wir haben eine MIDI Notifikation erhalten.");
    safeprint("- MIDI Notify, messageId= " + std::to_string(n.messageID));
    safeprint("- MIDI Notify, messageSize= " + std::to_string(n.messageSize));
    switch (n.messageID) {
        case midi::kMIDIMsgSetupChanged:
            safeprint(std::string(kPrefix) + "Info: MIDI Configuration geändert: " + recordText(n));
            safeprint("- id " + std::to_string(n.messageID));
            safeprint("- size " + std::to_string(n.messageSize));
            break;
        case midi::kMIDIMsgObjectAdded:
            reportAddRemove(server, n, true);
            break;
        case midi::kMIDIMsgObjectRemoved:
            reportAddRemove(server, n, false);
            break;
        case midi::kMIDIMsgPropertyChanged:
            safeprint(std::string(kPrefix) + "Info: MIDI Objekt Eigenschaft geändert: " + recordText(n));
            safeprint("- id " + std::to_string(n.messageID));
            safeprint("- size " + std::to_string(n.messageSize));
            safeprint("- object " + std::to_string(n.object));
            safeprint("- objectType  " + typeNumber(n.objectType));
            safeprint("- propertyName  Optional(\"" + n.propertyName + "\")");
            safeprint("- propertyName  " + n.propertyName);
            if (n.propertyName == "apple.midirtp.session") {
                safeprint(std::string(kPrefix) + "Info: 'apple.midirtp.session' hat sich geändert.");
            }
            break;
        case midi::kMIDIMsgThruConnectionsChanged:
            safeprint(std::string(kPrefix) + "Info: MIDI THRU hat sich geändert.");
            break;
        case midi::kMIDIMsgSerialPortOwnerChanged:
            safeprint(std::string(kPrefix) + "Info: Der Serielle Port hat sich geändert.");
            break;
        case midi::kMIDIMsgIOError:
            safeprint(std::string(kPrefix) + "Fehler: Ein MIDI I/O Fehler ist aufgetreten.");
            safeprint(recordText(n));
            safeprint("- id " + std::to_string(n.messageID));
            safeprint("- size " + std::to_string(n.messageSize));
            safeprint("- driverDevice " + std::to_string(n.driverDevice));
            safeprint("- errorCode " + std::to_string(n.errorCode));
            break;
        default:
            safeprint("- unknown -");
            break;
    }
}

void midiNetworkChanged(midi::MIDIServer& server, const midi::MIDINetworkNotification& notification) {
    safeprint("midiNetworkChanged(notification:)");
    safeprint(notification.description());
    const midi::MIDINetworkSession* session = notification.object;
    if (!session) {
        return;
    }
    safeprint("MIDIConnectivity::midiNetworkChanged(): Diagnose: Die MIDI Netzwerk Sitzung hat sich geändert: " +
              session->description());
    for (const std::string& connection : session->connections()) {
        safeprint("Diagnose: Verbindung: " + connection);
    }
    safeprint(std::string("- [isEnabled]: ") + (session->isEnabled() ? "true" : "false"));
    safeprint("- [sourceEndpoint]: " + std::to_string(session->sourceEndpoint()));
    safeprint("- [destinationEndpoint]: " + std::to_string(session->destinationEndpoint()));
    safeprint("- [networkName]: " + session->networkName());
    safeprint("- [localName]: " + session->localName());
    // A session without endpoints has no names to show; asking for them would only log a failure.
    if (session->sourceEndpoint() != 0) {
        if (const std::optional<std::string> name = getDeviceName(server, session->sourceEndpoint())) {
            safeprint("Diagnose: Quelle: " + *name);
        }
    }
    if (session->destinationEndpoint() != 0) {
        if (const std::optional<std::string> name = getDeviceName(server, session->destinationEndpoint())) {
            safeprint("Diagnose: Ziel: " + *name);
        }
    }
}

void midiNetworkContactsChanged(const midi::MIDINetworkNotification& notification) {
    safeprint("midiNetworkContactsChanged(notification:)");
    safeprint(notification.description());
    const midi::MIDINetworkSession* session = notification.object;
    if (!session) {
        return;
    }
    safeprint("MIDIConnectivity::midiNetworkContactsChanged(): Diagnose: Die MIDI Netzwerk Verbindung hat sich "
              "geändert:  " +
              session->description());
    for (const std::string& contact : session->contacts()) {
        safeprint("Diagnose: Verbindung: " + contact);
    }
}
