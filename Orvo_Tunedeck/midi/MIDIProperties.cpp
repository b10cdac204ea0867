#include "Orvo_Tunedeck/midi/MIDIProperties.h"

#include "Orvo_Tunedeck/midi/MIDIStatusReport.h"
#include "Orvo_Tunedeck/text/PlistValueText.h"
#include "shared/globals/Print.h"

namespace {

template <typename Count, typename Get>
void allProps(midi::MIDIServer& server, const char* countLine, Count count, Get get) {
    const std::size_t n = (server.*count)();
    safeprint(countLine + std::to_string(n));
    for (std::size_t i = 0; i < n; ++i) {
        printProperties(server, (server.*get)(i));
    }
}

}  // namespace

std::int64_t getID(midi::MIDIServer& server, midi::MIDIObjectRef object) {
    foundation::PlistDictionary properties;
    if (server.objectGetProperties(object, &properties) != foundation::noErr) {
        safeprint("MIDIConnectivity::getID(): Fehler: Die Eigenschaften des MIDI Objektes konnten nicht ermittelt "
                  "werden.");
        return 0;
    }
    const auto found = properties.find(midi::kMIDIPropertyUniqueID);
    if (found == properties.end() || !found->second.integer()) {
        return 0;
    }
    return *found->second.integer();
}

std::string getName(midi::MIDIServer& server, midi::MIDIObjectRef object) {
    foundation::PlistDictionary properties;
    if (server.objectGetProperties(object, &properties) != foundation::noErr) {
        safeprint("MIDIConnectivity::getName(): Fehler: Die Eigenschaften des MIDI Objektes konnten nicht "
                  "ermittelt werden.");
        return "<has no name>";
    }
    const auto found = properties.find(midi::kMIDIPropertyName);
    if (found == properties.end() || !found->second.string()) {
        return "<no name property>";
    }
    return *found->second.string();
}

std::optional<std::string> getDeviceName(midi::MIDIServer& server, midi::MIDIObjectRef object) {
    std::string name;
    const midi::OSStatus status = server.objectGetStringProperty(object, midi::kMIDIPropertyName, &name);
    if (status != foundation::noErr) {
        safeprint("MIDIConnectivity::getDeviceName(): Fehler: Der Gerätename konnte nicht ermittelt werden.");
        errorName(status);
        return std::nullopt;
    }
    return name;
}

void printProperties(midi::MIDIServer& server, midi::MIDIObjectRef object) {
    if (object == 0) {
        return;
    }
    foundation::PlistDictionary properties;
    if (server.objectGetProperties(object, &properties) != foundation::noErr) {
        safeprint("MIDIConnectivity::printProperties(): Fehler: Die Eigenschaften des MIDI Objektes konnten nicht "
                  "ermittelt werden.");
        return;
    }
    safeprint("MIDIConnectivity::printProperties(): Diagnose: Die Eigenschaften des MIDI Objektes sind:");
    for (const auto& [key, value] : properties) {
        safeprint("- Schlüssel: '" + key + "', Wert: '" + plistValueText(value) + "'");
    }
}

void allExternalDeviceProps(midi::MIDIServer& server) {
    allProps(server, "MIDIConnectivity::allExternalDeviceProps(): Diagnose: Die Anzahl der externen Geräte beträgt: ",
             &midi::MIDIServer::numberOfExternalDevices, &midi::MIDIServer::externalDevice);
}

void allDeviceProps(midi::MIDIServer& server) {
    allProps(server, "MIDIConnectivity::allDeviceProps(): Diagnose: Die Anzahl der internen Geräte beträgt: ",
             &midi::MIDIServer::numberOfDevices, &midi::MIDIServer::device);
}

void allDestinationProps(midi::MIDIServer& server) {
    allProps(server,
             "MIDIConnectivity::allDestinationProps(): Diagnose: Die Anzahl der internen MIDI Ziele beträgt: ",
             &midi::MIDIServer::numberOfDestinations, &midi::MIDIServer::destination);
}

void allSourceProps(midi::MIDIServer& server) {
    allProps(server, "MIDIConnectivity::allSourceProps(): Diagnose: Die Anzahl der internen MIDI Quellen beträgt: ",
             &midi::MIDIServer::numberOfSources, &midi::MIDIServer::source);
}

void diagnostics(midi::MIDIServer& server) {
    safeprint("MIDIConnectivity::diagnostics(): Diagnose: Alle (externen) MIDI Geräte -------");
    allExternalDeviceProps(server);
    safeprint("MIDIConnectivity::diagnostics(): Diagnose: Alle (internen) MIDI Geräte -----");
    allDeviceProps(server);
    safeprint("MIDIConnectivity::diagnostics(): Diagnose: Alle MIDI Ziele -----------------");
    allDestinationProps(server);
    safeprint("MIDIConnectivity::diagnostics(): Diagnose: Alle MIDI Quellen ---------------");
    allSourceProps(server);
}
