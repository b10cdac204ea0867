#include "platform/midi/LoopbackServer.h"

#include <array>
#include <utility>

namespace midi {

namespace {

// Read blocks called for one delivery without allocating; further connections of the same source are skipped.
constexpr std::size_t kMaxReceiversPerDelivery = 32;

}  // namespace

OSStatus LoopbackServer::injectedFailure(Call call) {
    std::lock_guard lock(mutex_);
    const auto found = failures_.find(call);
    if (found == failures_.end()) {
        return foundation::noErr;
    }
    const OSStatus status = found->second;
    failures_.erase(found);
    return status;
}

void LoopbackServer::failNext(Call call, OSStatus status) {
    std::lock_guard lock(mutex_);
    failures_[call] = status;
}

MIDINotification LoopbackServer::endpointNotification(std::int32_t messageID, MIDIObjectRef ref, Kind kind) {
    MIDINotification n;
    n.messageID = messageID;
    n.messageSize = messageID == kMIDIMsgSetupChanged ? 8 : 24;
    if (messageID != kMIDIMsgSetupChanged) {
        n.child = ref;
        n.childType = kind == Kind::source ? MIDIObjectType::source : MIDIObjectType::destination;
    }
    return n;
}

void LoopbackServer::notifyAll(const std::vector<MIDINotification>& notifications) {
    std::vector<MIDINotifyBlock> blocks;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [ref, object] : objects_) {
            if (object.kind == Kind::client && object.notify) {
                blocks.push_back(object.notify);
            }
        }
    }
    for (const MIDINotification& n : notifications) {
        for (const MIDINotifyBlock& block : blocks) {
            block(n);
        }
    }
}

OSStatus LoopbackServer::create(Kind kind, MIDIClientRef owner, const std::string& name, MIDIReadBlock readBlock,
                                MIDIObjectRef* ref) {
    std::lock_guard lock(mutex_);
    if (kind != Kind::client && owner != 0) {
        const auto found = objects_.find(owner);
        if (found == objects_.end() || found->second.kind != Kind::client) {
            return kMIDIInvalidClient;
        }
    }
    Object object{kind, owner, name, {}, nullptr, {}, {}};
    if (readBlock) {
        object.readBlock = std::make_shared<const MIDIReadBlock>(std::move(readBlock));
    }
    const MIDIObjectRef made = nextRef_++;
    objects_.emplace(made, std::move(object));
    *ref = made;
    return foundation::noErr;
}

OSStatus LoopbackServer::clientCreate(const std::string& name, MIDINotifyBlock notify, MIDIClientRef* client) {
    if (const OSStatus failure = injectedFailure(Call::clientCreate)) {
        return failure;
    }
    std::lock_guard lock(mutex_);
    const MIDIObjectRef made = nextRef_++;
    objects_.emplace(made, Object{Kind::client, 0, name, std::move(notify), nullptr, {}, {}});
    *client = made;
    return foundation::noErr;
}

OSStatus LoopbackServer::clientDispose(MIDIClientRef client) {
    std::vector<MIDINotification> notifications;
    {
        std::lock_guard lock(mutex_);
        const auto found = objects_.find(client);
        if (found == objects_.end() || found->second.kind != Kind::client) {
            return kMIDIInvalidClient;
        }
        objects_.erase(found);
        for (auto it = objects_.begin(); it != objects_.end();) {
            if (it->second.owner == client) {
                if (it->second.kind == Kind::source || it->second.kind == Kind::destination) {
                    notifications.push_back(endpointNotification(kMIDIMsgObjectRemoved, it->first, it->second.kind));
                }
                it = objects_.erase(it);
            } else {
                ++it;
            }
        }
    }
    if (!notifications.empty()) {
        notifications.push_back(endpointNotification(kMIDIMsgSetupChanged, 0, Kind::client));
        notifyAll(notifications);
    }
    return foundation::noErr;
}

OSStatus LoopbackServer::inputPortCreate(MIDIClientRef client, const std::string& name, MIDIReadBlock readBlock,
                                         MIDIPortRef* port) {
    if (const OSStatus failure = injectedFailure(Call::inputPortCreate)) {
        return failure;
    }
    return create(Kind::inputPort, client, name, std::move(readBlock), port);
}

OSStatus LoopbackServer::outputPortCreate(MIDIClientRef client, const std::string& name, MIDIPortRef* port) {
    if (const OSStatus failure = injectedFailure(Call::outputPortCreate)) {
        return failure;
    }
    return create(Kind::outputPort, client, name, {}, port);
}

OSStatus LoopbackServer::portDispose(MIDIPortRef port) {
    std::lock_guard lock(mutex_);
    const auto found = objects_.find(port);
    if (found == objects_.end() || (found->second.kind != Kind::inputPort && found->second.kind != Kind::outputPort)) {
        return kMIDIInvalidPort;
    }
    objects_.erase(found);
    return foundation::noErr;
}

OSStatus LoopbackServer::destinationCreate(MIDIClientRef client, const std::string& name, MIDIReadBlock readBlock,
                                           MIDIEndpointRef* destination) {
    if (const OSStatus failure = injectedFailure(Call::destinationCreate)) {
        return failure;
    }
    const OSStatus status = create(Kind::destination, client, name, std::move(readBlock), destination);
    if (status == foundation::noErr) {
        notifyAll({endpointNotification(kMIDIMsgObjectAdded, *destination, Kind::destination),
                   endpointNotification(kMIDIMsgSetupChanged, 0, Kind::client)});
    }
    return status;
}

OSStatus LoopbackServer::sourceCreate(MIDIClientRef client, const std::string& name, MIDIEndpointRef* source) {
    if (const OSStatus failure = injectedFailure(Call::sourceCreate)) {
        return failure;
    }
    const OSStatus status = create(Kind::source, client, name, {}, source);
    if (status == foundation::noErr) {
        notifyAll({endpointNotification(kMIDIMsgObjectAdded, *source, Kind::source),
                   endpointNotification(kMIDIMsgSetupChanged, 0, Kind::client)});
    }
    return status;
}

OSStatus LoopbackServer::endpointDispose(MIDIEndpointRef endpoint) {
    Kind kind;
    {
        std::lock_guard lock(mutex_);
        const auto found = objects_.find(endpoint);
        if (found == objects_.end() || found->second.owner == 0 ||
            (found->second.kind != Kind::source && found->second.kind != Kind::destination)) {
            return kMIDIUnknownEndpoint;
        }
        kind = found->second.kind;
        objects_.erase(found);
        for (auto& [ref, object] : objects_) {
            std::erase_if(object.connectedSources, [endpoint](const auto& c) { return c.first == endpoint; });
        }
    }
    notifyAll({endpointNotification(kMIDIMsgObjectRemoved, endpoint, kind),
               endpointNotification(kMIDIMsgSetupChanged, 0, Kind::client)});
    return foundation::noErr;
}

std::vector<MIDIObjectRef> LoopbackServer::endpointsOfKind(Kind kind) const {
    std::lock_guard lock(mutex_);
    std::vector<MIDIObjectRef> refs;
    for (const auto& [ref, object] : objects_) {
        if (object.kind == kind) {
            refs.push_back(ref);
        }
    }
    return refs;
}

std::size_t LoopbackServer::numberOfSources() {
    return endpointsOfKind(Kind::source).size();
}

MIDIEndpointRef LoopbackServer::source(std::size_t index) {
    const std::vector<MIDIObjectRef> refs = endpointsOfKind(Kind::source);
    return index < refs.size() ? refs[index] : 0;
}

std::size_t LoopbackServer::numberOfDestinations() {
    return endpointsOfKind(Kind::destination).size();
}

MIDIEndpointRef LoopbackServer::destination(std::size_t index) {
    const std::vector<MIDIObjectRef> refs = endpointsOfKind(Kind::destination);
    return index < refs.size() ? refs[index] : 0;
}

OSStatus LoopbackServer::portConnectSource(MIDIPortRef inputPort, MIDIEndpointRef source, void* connRefCon) {
    if (const OSStatus failure = injectedFailure(Call::connectSource)) {
        return failure;
    }
    std::lock_guard lock(mutex_);
    const auto port = objects_.find(inputPort);
    if (port == objects_.end() || port->second.kind != Kind::inputPort) {
        return kMIDIInvalidPort;
    }
    const auto endpoint = objects_.find(source);
    if (endpoint == objects_.end() || endpoint->second.kind != Kind::source) {
        return kMIDIUnknownEndpoint;
    }
    auto& connected = port->second.connectedSources;
    std::erase_if(connected, [source](const auto& c) { return c.first == source; });
    connected.emplace_back(source, connRefCon);
    return foundation::noErr;
}

OSStatus LoopbackServer::portDisconnectSource(MIDIPortRef inputPort, MIDIEndpointRef source) {
    if (const OSStatus failure = injectedFailure(Call::disconnectSource)) {
        return failure;
    }
    std::lock_guard lock(mutex_);
    const auto port = objects_.find(inputPort);
    if (port == objects_.end() || port->second.kind != Kind::inputPort) {
        return kMIDIInvalidPort;
    }
    if (std::erase_if(port->second.connectedSources, [source](const auto& c) { return c.first == source; }) == 0) {
        return kMIDINoConnection;
    }
    return foundation::noErr;
}

void LoopbackServer::deliver(MIDIEndpointRef source, MIDIPacketList packets) {
    std::array<std::shared_ptr<const MIDIReadBlock>, kMaxReceiversPerDelivery> blocks;
    std::array<void*, kMaxReceiversPerDelivery> refCons{};
    std::size_t count = 0;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [ref, object] : objects_) {
            if (object.kind != Kind::inputPort || !object.readBlock) {
                continue;
            }
            for (const auto& [connected, refCon] : object.connectedSources) {
                if (connected == source && count < kMaxReceiversPerDelivery) {
                    blocks[count] = object.readBlock;
                    refCons[count] = refCon;
                    ++count;
                }
            }
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        (*blocks[i])(packets, refCons[i]);
    }
}

OSStatus LoopbackServer::send(MIDIPortRef outputPort, MIDIEndpointRef destination, MIDIPacketList packets) {
    if (const OSStatus failure = injectedFailure(Call::send)) {
        return failure;
    }
    std::shared_ptr<const MIDIReadBlock> block;
    {
        std::lock_guard lock(mutex_);
        const auto port = objects_.find(outputPort);
        if (port == objects_.end() || port->second.kind != Kind::outputPort) {
            return kMIDIInvalidPort;
        }
        const auto endpoint = objects_.find(destination);
        if (endpoint == objects_.end() || endpoint->second.kind != Kind::destination) {
            return kMIDIUnknownEndpoint;
        }
        if (endpoint->second.owner != 0) {
            block = endpoint->second.readBlock;
        } else {
            auto& recorded = endpoint->second.delivery.packets;
            recorded.insert(recorded.end(), packets.begin(), packets.end());
        }
    }
    if (block) {
        (*block)(packets, nullptr);
    }
    return foundation::noErr;
}

OSStatus LoopbackServer::received(MIDIEndpointRef virtualSource, MIDIPacketList packets) {
    {
        std::lock_guard lock(mutex_);
        const auto endpoint = objects_.find(virtualSource);
        if (endpoint == objects_.end() || endpoint->second.kind != Kind::source || endpoint->second.owner == 0) {
            return kMIDIWrongEndpointType;
        }
    }
    deliver(virtualSource, packets);
    return foundation::noErr;
}

OSStatus LoopbackServer::sendSysex(MIDISysexSendRequest* request) {
    if (const OSStatus failure = injectedFailure(Call::sendSysex)) {
        return failure;
    }
    std::lock_guard lock(mutex_);
    const auto endpoint = objects_.find(request->destination);
    if (endpoint == objects_.end() || endpoint->second.kind != Kind::destination) {
        return kMIDIUnknownEndpoint;
    }
    request->complete = false;
    sysexInFlight_.push_back(request);
    return foundation::noErr;
}

bool LoopbackServer::completeNextSysex() {
    MIDISysexSendRequest* request = nullptr;
    {
        std::lock_guard lock(mutex_);
        if (sysexInFlight_.empty()) {
            return false;
        }
        request = sysexInFlight_.front();
        sysexInFlight_.pop_front();
        const auto endpoint = objects_.find(request->destination);
        if (endpoint != objects_.end() && endpoint->second.owner == 0) {
            endpoint->second.delivery.sysex.emplace_back(request->data, request->data + request->bytesToSend);
            request->bytesToSend = 0;
        }
    }
    request->complete = true;
    if (request->completion) {
        request->completion(request);
    }
    return true;
}

std::size_t LoopbackServer::sysexInFlight() const {
    std::lock_guard lock(mutex_);
    return sysexInFlight_.size();
}

OSStatus LoopbackServer::objectGetStringProperty(MIDIObjectRef object, const std::string& property,
                                                 std::string* value) {
    std::lock_guard lock(mutex_);
    const auto found = objects_.find(object);
    if (found == objects_.end()) {
        return kMIDIObjectNotFound;
    }
    if (property != kMIDIPropertyName && property != kMIDIPropertyDisplayName) {
        return kMIDIUnknownProperty;
    }
    *value = found->second.name;
    return foundation::noErr;
}

OSStatus LoopbackServer::objectGetProperties(MIDIObjectRef object, foundation::PlistDictionary* properties) {
    if (const OSStatus failure = injectedFailure(Call::getProperties)) {
        return failure;
    }
    std::lock_guard lock(mutex_);
    const auto found = objects_.find(object);
    if (found == objects_.end()) {
        return kMIDIObjectNotFound;
    }
    foundation::PlistDictionary result;
    result[kMIDIPropertyName] = found->second.name;
    result[kMIDIPropertyDisplayName] = found->second.name;
    // Stable for the life of the object, and distinct from every other object's.
    result[kMIDIPropertyUniqueID] = static_cast<std::int32_t>(0x4C000000u | object);
    *properties = std::move(result);
    return foundation::noErr;
}

MIDIEndpointRef LoopbackServer::plugInSource(const std::string& name) {
    MIDIEndpointRef ref = 0;
    create(Kind::source, 0, name, {}, &ref);
    notifyAll({endpointNotification(kMIDIMsgObjectAdded, ref, Kind::source),
               endpointNotification(kMIDIMsgSetupChanged, 0, Kind::client)});
    return ref;
}

MIDIEndpointRef LoopbackServer::plugInDestination(const std::string& name) {
    MIDIEndpointRef ref = 0;
    create(Kind::destination, 0, name, {}, &ref);
    notifyAll({endpointNotification(kMIDIMsgObjectAdded, ref, Kind::destination),
               endpointNotification(kMIDIMsgSetupChanged, 0, Kind::client)});
    return ref;
}

void LoopbackServer::unplug(MIDIEndpointRef endpoint) {
    Kind kind;
    {
        std::lock_guard lock(mutex_);
        const auto found = objects_.find(endpoint);
        if (found == objects_.end() || found->second.owner != 0) {
            return;
        }
        kind = found->second.kind;
        objects_.erase(found);
        for (auto& [ref, object] : objects_) {
            std::erase_if(object.connectedSources, [endpoint](const auto& c) { return c.first == endpoint; });
        }
    }
    notifyAll({endpointNotification(kMIDIMsgObjectRemoved, endpoint, kind),
               endpointNotification(kMIDIMsgSetupChanged, 0, Kind::client)});
}

bool LoopbackServer::sendFromSource(MIDIEndpointRef source, MIDIPacketList packets) {
    {
        std::lock_guard lock(mutex_);
        const auto found = objects_.find(source);
        if (found == objects_.end() || found->second.kind != Kind::source) {
            return false;
        }
    }
    deliver(source, packets);
    return true;
}

LoopbackServer::Delivery LoopbackServer::delivered(MIDIEndpointRef destination) const {
    std::lock_guard lock(mutex_);
    const auto found = objects_.find(destination);
    return found == objects_.end() ? Delivery{} : found->second.delivery;
}

}  // namespace midi
