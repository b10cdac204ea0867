#include "Orvo_Tunedeck/midi/MIDIConnection.h"

#include <algorithm>
#include <utility>

#include "Orvo_Tunedeck/identity/ApplicationIdentity.h"
#include "Orvo_Tunedeck/midi/MIDINotificationReport.h"
#include "Orvo_Tunedeck/midi/MIDIProperties.h"
#include "Orvo_Tunedeck/midi/MIDIStatusReport.h"
#include "platform/audiounit/MIDIMessageLength.h"
#include "platform/dispatch/MainQueue.h"
#include "shared/globals/Print.h"

namespace {

constexpr const char* kMakerMIDIBase = "org.orvo.MIDI";

const char* boolText(bool value) {
    return value ? "true" : "false";
}

}  // namespace

MIDIConnection& MIDIConnection::shared() {
    // Never destroyed: the connection outlives every other static of the program.
    static MIDIConnection* connection =
        new MIDIConnection(midi::MIDIServer::systemDefault(), std::string(kApplicationBundleIdentifier));
    return *connection;
}

MIDIConnection::MIDIConnection(std::shared_ptr<midi::MIDIServer> server, std::optional<std::string> bundleIdentifier)
    : server_(std::move(server)),
      bundleIdentifier_(std::move(bundleIdentifier)),
      outputs_(MIDIObjectList{}) {}

MIDIConnection::~MIDIConnection() {
    dispose();
}

std::string MIDIConnection::baseName(const char* fallback) const {
    return bundleIdentifier_ ? *bundleIdentifier_ : std::string(fallback);
}

void MIDIConnection::addNetworkObservers() {
    midi::MIDINetworkSession& session = server_->networkSession();
    networkObservers_.push_back(session.addObserver(
        midi::MIDINetworkNotificationSessionDidChange,
        [this](const midi::MIDINetworkNotification& n) { midiNetworkChanged(*server_, n); }));
    networkObservers_.push_back(session.addObserver(midi::MIDINetworkNotificationContactsDidChange,
                                                    [](const midi::MIDINetworkNotification& n) {
                                                        midiNetworkContactsChanged(n);
                                                    }));
}

void MIDIConnection::_initialize() {
    addNetworkObservers();

    midi::MIDINetworkSession& session = server_->networkSession();
    session.setEnabled(true);
    session.setConnectionPolicy(midi::MIDINetworkConnectionPolicy::anyone);
    safeprint("MIDIConnectivity::enableNetwork(): Info: Wir haben versucht, die MIDI Netzwerk Sitzung zu "
              "aktivieren. Resultat: ");
    safeprint(std::string("- [net session enabled]: ") + boolText(session.isEnabled()));
    safeprint("- [net session networkPort]: " + std::to_string(session.networkPort()));
    safeprint("- [net session networkName]: " + session.networkName());
    safeprint("- [net session localName]: " + session.localName());

    safeprint("MIDIConnectivity::_initialize(): Info: MIDI Connections werden initialisiert.");
    const std::string base = baseName(kMakerMIDIBase);

    midi::MIDIClientRef client = 0;
    midi::OSStatus status = server_->clientCreate(
        base + ".MIDIClient", [this](const midi::MIDINotification& n) { MyMIDINotifyBlock(n); }, &client);
    if (status != foundation::noErr) {
        safeprint("MIDIConnectivity::_initialize(): Fehler: Die App konnte nicht als MIDI Klient registriert werden.");
        errorName(status);
        return;
    }
    midiClientRef_ = client;
    safeprint("MIDIConnectivity::_initialize(): Info: Die App wurde erfolgreich als MIDI Klient registriert.");

    midi::MIDIPortRef port = 0;
    status = server_->inputPortCreate(
        client, base + ".MIDIInput",
        [this](midi::MIDIPacketList packets, void* refCon) { readBlock(packets, refCon); }, &port);
    if (status != foundation::noErr) {
        safeprint("MIDIConnectivity::_initialize(): Fehler: Ein MIDI IN Port konnte nicht erzeugt werden.");
        errorName(status);
    } else {
        inputPortRef_ = port;
        safeprint("MIDIConnectivity::_initialize(): Info: Ein globaler MIDI IN Port '" + base +
                  ".MIDIInput' wurde erzeugt.");
    }

    port = 0;
    status = server_->outputPortCreate(client, base + ".MIDIOutput", &port);
    if (status != foundation::noErr) {
        safeprint("MIDIConnectivity::_initialize(): Fehler: Ein MIDI OUT Port konnte nicht erzeugt werden.");
        errorName(status);
    } else {
        outputPortRef_ = port;
        safeprint("MIDIConnectivity::_initialize(): Info: Ein globaler MIDI OUT Port '" + base +
                  ".MIDIOutput' wurde erzeugt.");
    }
}

void MIDIConnection::dispose() {
    for (const std::uint64_t token : networkObservers_) {
        server_->networkSession().removeObserver(token);
    }
    networkObservers_.clear();
    disconnectAllInputs();
    if (virtualSourceEndpointRef_ != 0) {
        errorName(server_->endpointDispose(virtualSourceEndpointRef_));
        virtualSourceEndpointRef_ = 0;
    }
    if (virtualDestinationEndpointRef_ != 0) {
        errorName(server_->endpointDispose(virtualDestinationEndpointRef_));
        virtualDestinationEndpointRef_ = 0;
    }
    if (inputPortRef_ != 0) {
        errorName(server_->portDispose(inputPortRef_));
        inputPortRef_ = 0;
    }
    if (outputPortRef_ != 0) {
        errorName(server_->portDispose(outputPortRef_));
        outputPortRef_ = 0;
    }
    if (midiClientRef_ != 0) {
        errorName(server_->clientDispose(midiClientRef_));
        midiClientRef_ = 0;
    }
}

void MIDIConnection::createVirtualPorts() {
    if (midiClientRef_ == 0) {
        safeprint("MIDIConnectivity::createVirtualPorts(): Fehler: MIDI ist nicht initialisiert.");
        return;
    }
    if (outputPortRef_ == 0) {
        safeprint("MIDIConnectivity::createVirtualPorts(): Fehler: MIDI OUT ist nicht initialisiert.");
        return;
    }
    if (inputPortRef_ == 0) {
        safeprint("MIDIConnectivity::createVirtualPorts(): Fehler: MIDI IN ist nicht initialisiert.");
        return;
    }
    const std::string base = baseName(kMakerDomain);
    midi::MIDIEndpointRef endpoint = 0;
    midi::OSStatus status = server_->destinationCreate(
        midiClientRef_, base + ".VirtualDestination",
        [this](midi::MIDIPacketList packets, void* refCon) { readBlock(packets, refCon); }, &endpoint);
    if (status != foundation::noErr) {
        safeprint("MIDIConnectivity::createVirtualPorts(): Fehler: Ein Virtueller MIDI Ziel Port konnte nicht "
                  "erzeugt werden.");
        errorName(status);
    } else {
        virtualDestinationEndpointRef_ = endpoint;
        safeprint("MIDIConnectivity::createVirtualPorts(): Info: Ein Virtueller MIDI Ziel Port '" + base +
                  ".VirtualDestination' wurde erzeugt.");
    }
    endpoint = 0;
    status = server_->sourceCreate(midiClientRef_, base + ".VirtualSource", &endpoint);
    if (status != foundation::noErr) {
        safeprint("MIDIConnectivity::createVirtualPorts(): Fehler: Ein Virtueller MIDI Quell Port konnte nicht "
                  "erzeugt werden.");
        errorName(status);
    } else {
        virtualSourceEndpointRef_ = endpoint;
        safeprint("MIDIConnectivity::createVirtualPorts(): Info: Ein Virtueller MIDI Quell Port '" + base +
                  ".VirtualSource' wurde erzeugt.");
    }
}

std::optional<std::string> MIDIConnection::getDeviceName(midi::MIDIObjectRef object) {
    return ::getDeviceName(*server_, object);
}

MIDIObjectList MIDIConnection::refreshEndpoints(std::size_t (midi::MIDIServer::*count)(),
                                                midi::MIDIEndpointRef (midi::MIDIServer::*get)(std::size_t),
                                                const MIDIObjectList& current, std::int64_t io) {
    const std::size_t n = (server_.get()->*count)();
    MIDIObjectList list;
    for (std::size_t i = 0; i < n; ++i) {
        const midi::MIDIEndpointRef endpoint = (server_.get()->*get)(i);
        if (endpoint == 0) {
            continue;
        }
        auto entry = std::make_shared<MIDIObject>();
        entry->object = endpoint;
        entry->io = io;
        entry->uid = getID(*server_, endpoint);
        const midi::OSStatus status =
            server_->objectGetStringProperty(endpoint, midi::kMIDIPropertyDisplayName, &entry->name);
        if (status != foundation::noErr) {
            errorName(status);
            entry->name.clear();
        }
        entry->active = std::any_of(current.begin(), current.end(), [endpoint](const auto& old) {
            return old->object == endpoint && old->active.load();
        });
        list.push_back(std::move(entry));
    }
    return list;
}

void MIDIConnection::refreshInputs() {
    inputs_ = refreshEndpoints(&midi::MIDIServer::numberOfSources, &midi::MIDIServer::source, inputs_, 1);
}

void MIDIConnection::refreshOutputs() {
    outputs_.replace(refreshEndpoints(&midi::MIDIServer::numberOfDestinations, &midi::MIDIServer::destination,
                                      outputs_.current(), 0));
}

void MIDIConnection::setOutputActive(midi::MIDIEndpointRef destination, bool on) {
    const MIDIObjectList& list = outputs_.current();
    const auto found =
        std::find_if(list.begin(), list.end(), [destination](const auto& o) { return o->object == destination; });
    if (found != list.end()) {
        (*found)->active = on;
    }
}

void MIDIConnection::connectInput(midi::MIDIEndpointRef source) {
    if (inputPortRef_ == 0) {
        safeprint("MIDIConnectivity::connectInput(): Warnung: Der MIDI IN Port ist nicht initialisiert.");
        return;
    }
    const midi::OSStatus status = server_->portConnectSource(inputPortRef_, source, nullptr);
    if (status != foundation::noErr) {
        safeprint("MIDIConnectivity::connectInput(): Fehler: Eine MIDI Quelle (" + std::to_string(source) +
                  ") konnte nicht zum MIDI IN Port hinzugefügt werden.");
        errorName(status);
        return;
    }
    safeprint("MIDIConnectivity::connectInput(): Info: Eine MIDI Quelle (" + std::to_string(source) +
              ") wurde zum MIDI IN Port hinzugefügt.");
    isInportConnected_ = true;
    const auto found =
        std::find_if(inputs_.begin(), inputs_.end(), [source](const auto& o) { return o->object == source; });
    if (found != inputs_.end()) {
        (*found)->active = true;
    }
}

void MIDIConnection::disconnectInput(midi::MIDIEndpointRef source) {
    if (inputPortRef_ == 0) {
        safeprint("MIDIConnectivity::disconnectInput(): Warnung: Der MIDI IN Port ist nicht initialisiert.");
        return;
    }
    if (!isInportConnected_) {
        return;
    }
    const midi::OSStatus status = server_->portDisconnectSource(inputPortRef_, source);
    if (status != foundation::noErr) {
        safeprint("MIDIConnectivity::disconnectInput(): Fehler: Die MIDI Quelle '" + std::to_string(source) +
                  "' konnte nicht von MIDI IN Port '" + std::to_string(inputPortRef_) + "' getrennt werden.");
        errorName(status);
        return;
    }
    safeprint("MIDIConnectivity::disconnectInput(): Info: Die MIDI Quelle '" + std::to_string(source) +
              "' wurde vom IN Port '" + std::to_string(inputPortRef_) + "' getrennt.");
    const auto found =
        std::find_if(inputs_.begin(), inputs_.end(), [source](const auto& o) { return o->object == source; });
    if (found != inputs_.end()) {
        (*found)->active = false;
    }
}

void MIDIConnection::connectAllInputs() {
    if (inputPortRef_ == 0) {
        safeprint("MIDIConnectivity::connectAllInputs(): Warnung: Der MIDI IN Port ist nicht initialisiert.");
        return;
    }
    const std::size_t count = server_->numberOfSources();
    safeprint("MIDIConnectivity::connectAllInputs(): Info: Es gibt momentan " + std::to_string(count) +
              " MIDI Quellen.");
    if (count == 0) {
        return;
    }
    inputs_.clear();
    for (std::size_t i = 0; i < count; ++i) {
        const midi::MIDIEndpointRef source = server_->source(i);
        const midi::OSStatus status = server_->portConnectSource(inputPortRef_, source, nullptr);
        if (status != foundation::noErr) {
            safeprint("MIDIConnectivity::connectAllInputs(): Fehler: (" + std::to_string(i) +
                      ") Eine MIDI Quelle konnte nicht zum MIDI IN Port hinzugefügt werden.");
            errorName(status);
            return;
        }
        safeprint("MIDIConnectivity::connectAllInputs(): Info: (" + std::to_string(i) +
                  ") Eine MIDI Quelle wurde zum MIDI IN Port hinzugefügt.");
        isInportConnected_ = true;
        if (source != 0) {
            auto entry = std::make_shared<MIDIObject>();
            entry->object = source;
            entry->io = 1;
            entry->uid = getID(*server_, source);
            entry->name = getName(*server_, source);
            entry->active = true;
            safeprint(" MIDI INPUT " + entry->name + " : " + "true");
            inputs_.push_back(std::move(entry));
        }
    }
}

void MIDIConnection::disconnectAllInputs() {
    if (inputPortRef_ == 0) {
        safeprint("MIDIConnectivity::disconnectAllInputs(): Warnung: Der MIDI IN Port ist nicht initialisiert.");
        return;
    }
    if (!isInportConnected_) {
        return;
    }
    const std::size_t count = server_->numberOfSources();
    safeprint("MIDIConnectivity::disconnectAllInputs(): Info: Es gibt momentan " + std::to_string(count) +
              " MIDI Quellen.");
    const std::string port = std::to_string(inputPortRef_);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string source = std::to_string(server_->source(i));
        const midi::OSStatus status = server_->portDisconnectSource(inputPortRef_, server_->source(i));
        if (status == foundation::noErr) {
            safeprint("MIDIConnectivity::disconnectAllInputs(): Info: Die MIDI Quelle '" + source +
                      "' wurde vom IN Port '" + port + "' getrennt.");
        } else {
            safeprint("MIDIConnectivity::disconnectAllInputs(): Fehler: Die MIDI Quelle '" + source +
                      "' konnte nicht von MIDI IN Port '" + port + "' getrennt werden.");
            errorName(status);
        }
    }
    inputs_.clear();
}

void MIDIConnection::sendMidiMessage(midi::MIDIEndpointRef destination, std::uint8_t status, std::uint8_t channel,
                                     std::uint8_t data1, std::uint8_t data2, midi::MIDITimeStamp timeStamp) {
    midi::MIDIPacket packet;
    packet.timeStamp = timeStamp;
    packet.data[0] = static_cast<std::uint8_t>(status + channel);
    packet.length = std::max<std::uint16_t>(1, midiMessageLength(packet.data[0]));
    packet.data[1] = data1;
    packet.data[2] = data2;
    const midi::OSStatus result = server_->send(outputPortRef_.load(), destination, midi::MIDIPacketList(&packet, 1));
    if (result != foundation::noErr) {
        safeprint("MIDIConnectivity::sendMidiMessage(): Fehler: Die MIDI Nachricht konnte nicht gesendet werden.");
        errorName(result);
    }
}

void MIDIConnection::sendMidiMessage(std::uint8_t status, std::uint8_t channel, std::uint8_t data1,
                                     std::uint8_t data2, midi::MIDITimeStamp timeStamp) {
    outputs_.read([&](const MIDIObjectList& list) {
        for (const std::shared_ptr<MIDIObject>& output : list) {
            if (output->active.load()) {
                sendMidiMessage(output->object, status, channel, data1, data2, timeStamp);
            }
        }
    });
}

std::vector<std::uint8_t> MIDIConnection::makeSysexBuffer(std::span<const std::uint8_t> bytes) {
    return {bytes.begin(), bytes.end()};
}

void MIDIConnection::sendSysex(midi::MIDIEndpointRef destination, std::size_t length,
                               std::span<const std::uint8_t> bytes) {
    auto send = std::make_shared<SysexSend>();
    send->bytes = makeSysexBuffer(bytes.first(std::min(length, bytes.size())));
    send->request.destination = destination;
    send->request.data = send->bytes.data();
    send->request.bytesToSend = static_cast<std::uint32_t>(send->bytes.size());
    send->request.completion = [this](midi::MIDISysexSendRequest* request) { onSysExCompleteCallback(request); };
    dispatch::MainQueue::shared().async([this, send] { pushSysexRequest(send); });
}

void MIDIConnection::sendSysex(std::size_t length, std::span<const std::uint8_t> bytes) {
    outputs_.read([&](const MIDIObjectList& list) {
        for (const std::shared_ptr<MIDIObject>& output : list) {
            if (output->active.load()) {
                sendSysex(output->object, length, bytes);
            }
        }
    });
}

std::size_t MIDIConnection::sysexPending() const {
    std::lock_guard lock(sysexMutex_);
    return sysexQueue_.size() + sysexInFlight_.size();
}

void MIDIConnection::pushSysexRequest(std::shared_ptr<SysexSend> send) {
    bool startNow = false;
    {
        std::lock_guard lock(sysexMutex_);
        startNow = sysexQueue_.empty() && sysexInFlight_.empty();
        sysexQueue_.push_back(std::move(send));
    }
    if (startNow) {
        onSysExCompleteCallback(nullptr);
    }
}

void MIDIConnection::onSysExCompleteCallback(midi::MIDISysexSendRequest* finished) {
    std::lock_guard lock(sysexMutex_);
    if (finished) {
        const auto done = std::find_if(sysexInFlight_.begin(), sysexInFlight_.end(),
                                       [finished](const auto& s) { return &s->request == finished; });
        if (finished->bytesToSend > 0) {
            safeprint("onSysExCompleteCallback() : ERROR: THE SYSEX message was not sent whole.");
        }
        if (done != sysexInFlight_.end()) {
            sysexRetired_ = std::move(*done);
            sysexInFlight_.erase(done);
        }
    }
    // A request the MIDI system refuses is dropped, so that it cannot hold up the ones behind it.
    while (!sysexQueue_.empty() && sysexInFlight_.empty()) {
        std::shared_ptr<SysexSend>& head = sysexQueue_.front();
        const midi::OSStatus status = server_->sendSysex(&head->request);
        if (status == foundation::noErr) {
            safeprint("-> (STACK) MIDI SYSEX OUT");
            sysexInFlight_.push_back(std::move(head));
        } else {
            safeprint("onSysExCompleteCallback() : ERROR: THE SYSEX message could not be sent.");
            errorName(status);
        }
        sysexQueue_.pop_front();
    }
}

void MIDIConnection::MyMIDINotifyBlock(const midi::MIDINotification& notification) {
    reportNotification(*server_, notification);
    if (const std::shared_ptr<MIDIMessageDelegate> d = delegate()) {
        d->onMIDINotification();
    }
}

void MIDIConnection::readBlock(midi::MIDIPacketList packets, void*) {
    for (const midi::MIDIPacket& packet : packets) {
        handleMIDIMessageCallback(packet);
    }
    if (!midiThru_.load()) {
        return;
    }
    outputs_.read([&](const MIDIObjectList& list) {
        for (const std::shared_ptr<MIDIObject>& output : list) {
            if (output->active.load()) {
                errorName(server_->received(output->object, packets));
            }
        }
    });
}
