#include "platform/midi/ALSASequencerServer.h"

#include "platform/midi/ALSAMIDICoder.h"

#include <alsa/asoundlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace midi {

namespace {

constexpr MIDIObjectRef kPortTag = 0x01000000;    // | client << 8 | port: ports and endpoints
constexpr MIDIObjectRef kClientTag = 0x02000000;  // | client: clients and devices

MIDIObjectRef portRef(int client, int port) {
    return kPortTag | (static_cast<MIDIObjectRef>(client) << 8) | static_cast<MIDIObjectRef>(port);
}

bool isPortRef(MIDIObjectRef ref) {
    return (ref & 0xFF000000u) == kPortTag;
}

int refClient(MIDIObjectRef ref) {
    return static_cast<int>((ref >> 8) & 0xFFFF);
}

int refPort(MIDIObjectRef ref) {
    return static_cast<int>(ref & 0xFF);
}

std::int32_t stableUniqueID(const std::string& text) {
    std::uint32_t hash = 2166136261u;  // FNV-1a
    for (const unsigned char c : text) {
        hash = (hash ^ c) * 16777619u;
    }
    return static_cast<std::int32_t>(hash);
}

// How long one event of a system-exclusive send may wait for room at the receiving side.
constexpr int kPatienceMilliseconds = 1000;

class ALSASequencerServer final : public MIDIServer {
public:
    ALSASequencerServer(snd_seq_t* seq, std::unique_ptr<ALSAMIDICoder> inputCoder,
                        std::unique_ptr<ALSAMIDICoder> outputCoder, int wakeFd)
        : seq_(seq), inputCoder_(std::move(inputCoder)), outputCoder_(std::move(outputCoder)), wakeFd_(wakeFd),
          ownClient_(snd_seq_client_id(seq)) {
        receiver_ = std::thread([this] { receive(); });
        sysexSender_ = std::thread([this] { sendSysexRequests(); });
    }

    ~ALSASequencerServer() override {
        // Set before the lock is taken: the sysex thread may hold it while it waits for room.
        stopping_ = true;
        {
            std::lock_guard lock(mutex_);
        }
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(wakeFd_, &one, sizeof one);
        sysexWake_.notify_all();
        receiver_.join();
        sysexSender_.join();
        snd_seq_close(seq_);
        ::close(wakeFd_);
    }

    std::string backendName() const override { return "ALSA sequencer"; }

    OSStatus clientCreate(const std::string& name, MIDINotifyBlock notify, MIDIClientRef* client) override {
        std::lock_guard lock(mutex_);
        if (notify_) {
            return kMIDINotPermitted;
        }
        if (snd_seq_set_client_name(seq_, name.c_str()) < 0) {
            return kMIDIServerStartErr;
        }
        announcePort_ = snd_seq_create_simple_port(seq_, "announce",
                                                   SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_NO_EXPORT,
                                                   SND_SEQ_PORT_TYPE_APPLICATION);
        if (announcePort_ >= 0) {
            snd_seq_connect_from(seq_, announcePort_, SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE);
        }
        notify_ = std::make_shared<const MIDINotifyBlock>(std::move(notify));
        *client = kClientTag | static_cast<MIDIObjectRef>(ownClient_);
        return foundation::noErr;
    }

    OSStatus clientDispose(MIDIClientRef client) override {
        std::lock_guard lock(mutex_);
        if (client != (kClientTag | static_cast<MIDIObjectRef>(ownClient_)) || !notify_) {
            return kMIDIInvalidClient;
        }
        for (const auto& [port, entry] : ports_) {
            snd_seq_delete_simple_port(seq_, port);
        }
        ports_.clear();
        if (announcePort_ >= 0) {
            snd_seq_delete_simple_port(seq_, announcePort_);
            announcePort_ = -1;
        }
        notify_.reset();
        return foundation::noErr;
    }

    OSStatus inputPortCreate(MIDIClientRef client, const std::string& name, MIDIReadBlock readBlock,
                             MIDIPortRef* port) override {
        return makePort(client, name, Kind::inputPort, std::move(readBlock), port);
    }

    OSStatus outputPortCreate(MIDIClientRef client, const std::string& name, MIDIPortRef* port) override {
        return makePort(client, name, Kind::outputPort, {}, port);
    }

    OSStatus portDispose(MIDIPortRef port) override { return removePort(port, Kind::inputPort, Kind::outputPort); }

    OSStatus destinationCreate(MIDIClientRef client, const std::string& name, MIDIReadBlock readBlock,
                               MIDIEndpointRef* destination) override {
        return makePort(client, name, Kind::destination, std::move(readBlock), destination);
    }

    OSStatus sourceCreate(MIDIClientRef client, const std::string& name, MIDIEndpointRef* source) override {
        return makePort(client, name, Kind::source, {}, source);
    }

    OSStatus endpointDispose(MIDIEndpointRef endpoint) override {
        return removePort(endpoint, Kind::source, Kind::destination);
    }

    std::size_t numberOfSources() override {
        return endpoints(SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ).size();
    }
    MIDIEndpointRef source(std::size_t index) override {
        return at(endpoints(SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ), index);
    }
    std::size_t numberOfDestinations() override {
        return endpoints(SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE).size();
    }
    MIDIEndpointRef destination(std::size_t index) override {
        return at(endpoints(SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE), index);
    }
    std::size_t numberOfDevices() override { return devices().size(); }
    MIDIDeviceRef device(std::size_t index) override { return at(devices(), index); }
    std::size_t numberOfExternalDevices() override { return 0; }
    MIDIDeviceRef externalDevice(std::size_t) override { return 0; }

    OSStatus portConnectSource(MIDIPortRef inputPort, MIDIEndpointRef source, void* connRefCon) override {
        std::lock_guard lock(mutex_);
        const auto port = ownPort(inputPort, Kind::inputPort);
        if (!port) {
            return kMIDIInvalidPort;
        }
        if (!isPortRef(source) || snd_seq_connect_from(seq_, *port, refClient(source), refPort(source)) < 0) {
            return kMIDIUnknownEndpoint;
        }
        ports_[*port].refCons[source] = connRefCon;
        return foundation::noErr;
    }

    OSStatus portDisconnectSource(MIDIPortRef inputPort, MIDIEndpointRef source) override {
        std::lock_guard lock(mutex_);
        const auto port = ownPort(inputPort, Kind::inputPort);
        if (!port) {
            return kMIDIInvalidPort;
        }
        if (!isPortRef(source) || snd_seq_disconnect_from(seq_, *port, refClient(source), refPort(source)) < 0) {
            return kMIDINoConnection;
        }
        ports_[*port].refCons.erase(source);
        return foundation::noErr;
    }

    OSStatus send(MIDIPortRef outputPort, MIDIEndpointRef destination, MIDIPacketList packets) override {
        std::lock_guard order(outputOrder_);
        std::lock_guard lock(mutex_);
        const auto port = ownPort(outputPort, Kind::outputPort);
        if (!port) {
            return kMIDIInvalidPort;
        }
        if (!isPortRef(destination)) {
            return kMIDIUnknownEndpoint;
        }
        return output(*port, destination, packets);
    }

    OSStatus received(MIDIEndpointRef virtualSource, MIDIPacketList packets) override {
        std::lock_guard order(outputOrder_);
        std::lock_guard lock(mutex_);
        const auto port = ownPort(virtualSource, Kind::source);
        if (!port) {
            return kMIDIWrongEndpointType;
        }
        return output(*port, 0, packets);
    }

    OSStatus sendSysex(MIDISysexSendRequest* request) override {
        {
            std::lock_guard lock(mutex_);
            if (!isPortRef(request->destination)) {
                return kMIDIUnknownEndpoint;
            }
            if (std::none_of(ports_.begin(), ports_.end(),
                             [](const auto& p) { return p.second.kind == Kind::outputPort; })) {
                return kMIDIInvalidPort;
            }
            request->complete = false;
            sysexQueue_.push_back(request);
        }
        sysexWake_.notify_one();
        return foundation::noErr;
    }

    OSStatus objectGetStringProperty(MIDIObjectRef object, const std::string& property, std::string* value) override {
        foundation::PlistDictionary properties;
        if (const OSStatus status = objectGetProperties(object, &properties)) {
            return status;
        }
        const auto found = properties.find(property);
        if (found == properties.end() || !found->second.string()) {
            return kMIDIUnknownProperty;
        }
        *value = *found->second.string();
        return foundation::noErr;
    }

    OSStatus objectGetProperties(MIDIObjectRef object, foundation::PlistDictionary* properties) override {
        std::lock_guard lock(mutex_);
        snd_seq_client_info_t* clientInfo;
        snd_seq_client_info_alloca(&clientInfo);
        const int clientId = isPortRef(object) ? refClient(object) : static_cast<int>(object & 0xFFFF);
        if ((object & 0xFF000000u) != kPortTag && (object & 0xFF000000u) != kClientTag) {
            return kMIDIObjectNotFound;
        }
        if (snd_seq_get_any_client_info(seq_, clientId, clientInfo) < 0) {
            return kMIDIObjectNotFound;
        }
        const std::string clientName = snd_seq_client_info_get_name(clientInfo);
        foundation::PlistDictionary result;
        if (isPortRef(object)) {
            snd_seq_port_info_t* portInfo;
            snd_seq_port_info_alloca(&portInfo);
            if (snd_seq_get_any_port_info(seq_, clientId, refPort(object), portInfo) < 0) {
                return kMIDIObjectNotFound;
            }
            const std::string portName = snd_seq_port_info_get_name(portInfo);
            result[kMIDIPropertyName] = portName;
            result[kMIDIPropertyDisplayName] =
                portName.starts_with(clientName) ? portName : clientName + " " + portName;
            result[kMIDIPropertyUniqueID] = stableUniqueID(clientName + ":" + portName);
            result["alsaClient"] = clientId;
            result["alsaPort"] = refPort(object);
        } else {
            result[kMIDIPropertyName] = clientName;
            result[kMIDIPropertyDisplayName] = clientName;
            result[kMIDIPropertyUniqueID] = stableUniqueID(clientName);
            result["alsaClient"] = clientId;
        }
        *properties = std::move(result);
        return foundation::noErr;
    }

private:
    enum class Kind { inputPort, outputPort, source, destination };

    struct Port {
        Kind kind;
        std::shared_ptr<const MIDIReadBlock> readBlock;
        std::map<MIDIEndpointRef, void*> refCons;
    };

    OSStatus makePort(MIDIClientRef client, const std::string& name, Kind kind, MIDIReadBlock readBlock,
                      MIDIObjectRef* ref) {
        std::lock_guard lock(mutex_);
        if (!notify_ || client != (kClientTag | static_cast<MIDIObjectRef>(ownClient_))) {
            return kMIDIInvalidClient;
        }
        unsigned caps = 0;
        switch (kind) {
            case Kind::inputPort: caps = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_NO_EXPORT; break;
            case Kind::outputPort: caps = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_NO_EXPORT; break;
            case Kind::source: caps = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ; break;
            case Kind::destination: caps = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE; break;
        }
        const int port = snd_seq_create_simple_port(seq_, name.c_str(), caps,
                                                    SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
        if (port < 0) {
            return kMIDIServerStartErr;
        }
        Port entry{kind, nullptr, {}};
        if (readBlock) {
            entry.readBlock = std::make_shared<const MIDIReadBlock>(std::move(readBlock));
        }
        ports_[port] = std::move(entry);
        *ref = portRef(ownClient_, port);
        return foundation::noErr;
    }

    OSStatus removePort(MIDIObjectRef ref, Kind a, Kind b) {
        std::lock_guard lock(mutex_);
        const auto port = isPortRef(ref) && refClient(ref) == ownClient_ ? ports_.find(refPort(ref)) : ports_.end();
        if (port == ports_.end() || (port->second.kind != a && port->second.kind != b)) {
            return a == Kind::inputPort ? kMIDIInvalidPort : kMIDIUnknownEndpoint;
        }
        snd_seq_delete_simple_port(seq_, port->first);
        ports_.erase(port);
        return foundation::noErr;
    }

    // Caller holds mutex_.
    std::optional<int> ownPort(MIDIObjectRef ref, Kind kind) const {
        if (!isPortRef(ref) || refClient(ref) != ownClient_) {
            return std::nullopt;
        }
        const auto found = ports_.find(refPort(ref));
        if (found == ports_.end() || found->second.kind != kind) {
            return std::nullopt;
        }
        return found->first;
    }

    // Caller holds outputOrder_ and mutex_. destination 0 sends to the port's subscribers. Each packet's messages go
    // out with their own bytes; a system-exclusive message as one or more system-exclusive events.
    OSStatus output(int port, MIDIEndpointRef destination, MIDIPacketList packets) {
        outputCoder_->resetEncoder();
        for (const MIDIPacket& packet : packets) {
            const std::size_t length = std::min<std::size_t>(packet.length, MIDIPacket::kDataBytes);
            const bool sent = outputEvents(port, destination, std::span<const std::uint8_t>(packet.data, length),
                                           [this](snd_seq_event_t& ev) {
                                               return snd_seq_event_output_direct(seq_, &ev) >= 0;
                                           });
            if (!sent) {
                return kMIDIMessageSendErr;
            }
        }
        return foundation::noErr;
    }

    // Caller holds outputOrder_. Encodes bytes and hands each event, addressed from port to destination, to put;
    // stops at the first event put refuses.
    bool outputEvents(int port, MIDIEndpointRef destination, std::span<const std::uint8_t> bytes,
                      const std::function<bool(snd_seq_event_t&)>& put) {
        return outputCoder_->encode(bytes, [&](snd_seq_event_t& ev) {
            snd_seq_ev_set_source(&ev, port);
            if (destination == 0) {
                snd_seq_ev_set_subs(&ev);
            } else {
                snd_seq_ev_set_dest(&ev, refClient(destination), refPort(destination));
            }
            snd_seq_ev_set_direct(&ev);
            return put(ev);
        });
    }

    // Sysex thread, holding outputOrder_ (not mutex_). An event that the receiving side has no room for yet is tried
    // again every millisecond, up to kPatienceMilliseconds; mutex_ is free meanwhile, so that the receiver thread
    // (which may be the receiving side) goes on reading.
    bool outputWhenRoom(snd_seq_event_t& ev) {
        for (int waited = 0;; ++waited) {
            int result = 0;
            {
                std::lock_guard lock(mutex_);
                result = snd_seq_event_output_direct(seq_, &ev);
            }
            if (result >= 0) {
                return true;
            }
            if ((result != -EAGAIN && result != -ENOMEM) || waited == kPatienceMilliseconds || stopping_) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    std::vector<MIDIObjectRef> endpoints(unsigned caps) {
        std::lock_guard lock(mutex_);
        std::vector<MIDIObjectRef> refs;
        snd_seq_client_info_t* clientInfo;
        snd_seq_port_info_t* portInfo;
        snd_seq_client_info_alloca(&clientInfo);
        snd_seq_port_info_alloca(&portInfo);
        snd_seq_client_info_set_client(clientInfo, -1);
        while (snd_seq_query_next_client(seq_, clientInfo) >= 0) {
            const int client = snd_seq_client_info_get_client(clientInfo);
            if (client == SND_SEQ_CLIENT_SYSTEM) {
                continue;
            }
            snd_seq_port_info_set_client(portInfo, client);
            snd_seq_port_info_set_port(portInfo, -1);
            while (snd_seq_query_next_port(seq_, portInfo) >= 0) {
                if ((snd_seq_port_info_get_capability(portInfo) & caps) == caps) {
                    refs.push_back(portRef(client, snd_seq_port_info_get_port(portInfo)));
                }
            }
        }
        return refs;
    }

    std::vector<MIDIObjectRef> devices() {
        std::lock_guard lock(mutex_);
        std::vector<MIDIObjectRef> refs;
        snd_seq_client_info_t* clientInfo;
        snd_seq_client_info_alloca(&clientInfo);
        snd_seq_client_info_set_client(clientInfo, -1);
        while (snd_seq_query_next_client(seq_, clientInfo) >= 0) {
            const int client = snd_seq_client_info_get_client(clientInfo);
            if (client != SND_SEQ_CLIENT_SYSTEM && client != ownClient_) {
                refs.push_back(kClientTag | static_cast<MIDIObjectRef>(client));
            }
        }
        return refs;
    }

    static MIDIObjectRef at(const std::vector<MIDIObjectRef>& refs, std::size_t index) {
        return index < refs.size() ? refs[index] : 0;
    }

    // The receiver thread: input events become packets for the read blocks, announce events notifications.
    void receive() {
        const int count = snd_seq_poll_descriptors_count(seq_, POLLIN);
        std::vector<pollfd> fds(static_cast<std::size_t>(count) + 1);
        snd_seq_poll_descriptors(seq_, fds.data(), static_cast<unsigned>(count), POLLIN);
        fds.back() = {wakeFd_, POLLIN, 0};
        while (!stopping_) {
            if (::poll(fds.data(), fds.size(), -1) < 0) {
                continue;
            }
            snd_seq_event_t* ev = nullptr;
            while (!stopping_ && snd_seq_event_input(seq_, &ev) >= 0 && ev) {
                if (ev->source.client == SND_SEQ_CLIENT_SYSTEM) {
                    announce(*ev);
                } else {
                    dispatchInput(*ev);
                }
            }
        }
    }

    void dispatchInput(const snd_seq_event_t& ev) {
        std::shared_ptr<const MIDIReadBlock> block;
        void* refCon = nullptr;
        {
            std::lock_guard lock(mutex_);
            const auto port = ports_.find(ev.dest.port);
            if (port == ports_.end() || !port->second.readBlock) {
                return;
            }
            block = port->second.readBlock;
            const auto found = port->second.refCons.find(portRef(ev.source.client, ev.source.port));
            refCon = found == port->second.refCons.end() ? nullptr : found->second;
        }
        inputCoder_->decode(ev, [&](MIDIPacketList packets) { (*block)(packets, refCon); });
    }

    void announce(const snd_seq_event_t& ev) {
        std::shared_ptr<const MIDINotifyBlock> notify;
        {
            std::lock_guard lock(mutex_);
            notify = notify_;
        }
        if (!notify) {
            return;
        }
        MIDINotification n;
        const MIDIObjectRef endpoint = portRef(ev.data.addr.client, ev.data.addr.port);
        switch (ev.type) {
            case SND_SEQ_EVENT_PORT_START:
            case SND_SEQ_EVENT_PORT_EXIT:
                n.messageID = ev.type == SND_SEQ_EVENT_PORT_START ? kMIDIMsgObjectAdded : kMIDIMsgObjectRemoved;
                n.messageSize = 24;
                n.parent = kClientTag | static_cast<MIDIObjectRef>(ev.data.addr.client);
                n.parentType = MIDIObjectType::device;
                n.child = endpoint;
                n.childType = MIDIObjectType::other;
                break;
            case SND_SEQ_EVENT_PORT_CHANGE:
                n.messageID = kMIDIMsgPropertyChanged;
                n.messageSize = 24;
                n.object = endpoint;
                n.objectType = MIDIObjectType::other;
                n.propertyName = kMIDIPropertyName;
                break;
            case SND_SEQ_EVENT_CLIENT_START:
            case SND_SEQ_EVENT_CLIENT_EXIT:
            case SND_SEQ_EVENT_CLIENT_CHANGE:
                break;
            default:
                return;
        }
        if (n.messageID != 0) {
            (*notify)(n);
        }
        MIDINotification changed;
        changed.messageID = kMIDIMsgSetupChanged;
        changed.messageSize = 8;
        (*notify)(changed);
    }

    // The sysex thread: one request at a time, completion after the bytes went out (bytesToSend then 0) or the
    // sending broke off (bytesToSend as it was). outputOrder_ is held for the whole message, so that nothing else this
    // client sends comes between its parts.
    void sendSysexRequests() {
        while (true) {
            MIDISysexSendRequest* request = nullptr;
            std::optional<int> port;
            {
                std::unique_lock lock(mutex_);
                sysexWake_.wait(lock, [this] { return stopping_ || !sysexQueue_.empty(); });
                if (stopping_) {
                    return;
                }
                request = sysexQueue_.front();
                sysexQueue_.pop_front();
                const auto out = std::find_if(ports_.begin(), ports_.end(),
                                              [](const auto& p) { return p.second.kind == Kind::outputPort; });
                if (out != ports_.end()) {
                    port = out->first;
                }
            }
            if (port) {
                std::lock_guard order(outputOrder_);
                outputCoder_->resetEncoder();
                if (outputEvents(*port, request->destination,
                                 std::span<const std::uint8_t>(request->data, request->bytesToSend),
                                 [this](snd_seq_event_t& ev) { return outputWhenRoom(ev); })) {
                    request->bytesToSend = 0;
                }
            }
            request->complete = true;
            if (request->completion) {
                request->completion(request);
            }
        }
    }

    snd_seq_t* seq_;
    std::unique_ptr<ALSAMIDICoder> inputCoder_;   // receiver thread only
    std::unique_ptr<ALSAMIDICoder> outputCoder_;  // under outputOrder_
    int wakeFd_;
    int ownClient_;
    int announcePort_ = -1;
    std::atomic<bool> stopping_{false};

    // Held for each whole send, taken before mutex_.
    std::mutex outputOrder_;
    std::mutex mutex_;
    std::shared_ptr<const MIDINotifyBlock> notify_;
    std::map<int, Port> ports_;
    std::deque<MIDISysexSendRequest*> sysexQueue_;
    std::condition_variable sysexWake_;

    std::thread receiver_;
    std::thread sysexSender_;
};

}  // namespace

std::shared_ptr<MIDIServer> openALSASequencer(OSStatus* status, std::string* error) {
    *status = kMIDIServerStartErr;
    if (::access("/dev/snd/seq", F_OK) != 0) {
        *error = "the ALSA sequencer is not available: /dev/snd/seq does not exist";
        return nullptr;
    }
    snd_seq_t* seq = nullptr;
    if (const int result = snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK); result < 0) {
        *error = std::string("the ALSA sequencer could not be opened: ") + snd_strerror(result);
        return nullptr;
    }
    std::unique_ptr<ALSAMIDICoder> inputCoder = ALSAMIDICoder::make(error);
    std::unique_ptr<ALSAMIDICoder> outputCoder = inputCoder ? ALSAMIDICoder::make(error) : nullptr;
    const int wakeFd = outputCoder ? ::eventfd(0, EFD_NONBLOCK) : -1;
    if (wakeFd < 0) {
        if (outputCoder) *error = "the ALSA sequencer's wake-up descriptor could not be made";
        snd_seq_close(seq);
        return nullptr;
    }
    *status = foundation::noErr;
    return std::make_shared<ALSASequencerServer>(seq, std::move(inputCoder), std::move(outputCoder), wakeFd);
}

}  // namespace midi
