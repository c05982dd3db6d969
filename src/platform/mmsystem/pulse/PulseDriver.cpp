#include "platform/mmsystem/pulse/PulseDriver.h"

#include "platform/mmsystem/pulse/PulseCaptureStream.h"

#include <pulse/introspect.h>
#include <pulse/proplist.h>

#include <algorithm>

namespace mmsystem::pulse {

namespace {

// Collects one introspection list; the callbacks run on the loop thread under its lock.
template <class Item> struct Listing {
    PulseConnection* connection;
    std::vector<Item> items;
    bool done = false;
};

template <class Item> void Finish(Listing<Item>& l, int eol) {
    if (eol != 0) {
        l.done = true;
        l.connection->Signal();
    }
}

std::string Text(const char* s) {
    return s ? s : "";
}

template <class Info> void ReadPorts(const Info* info, PulseNode& node) {
    for (std::uint32_t i = 0; i < info->n_ports; ++i) {
        const char* d = info->ports[i]->description;
        node.Ports.push_back(Text(d && *d ? d : info->ports[i]->name));
    }
}

void OnSource(pa_context*, const pa_source_info* info, int eol, void* user) {
    auto& l = *static_cast<Listing<PulseNode>*>(user);
    if (info) {
        PulseNode n;
        n.Index = info->index;
        n.Name = Text(info->name);
        n.Description = Text(info->description);
        n.Card = info->card;
        n.Channels = info->channel_map.channels;
        n.Monitor = info->monitor_of_sink != PA_INVALID_INDEX;
        ReadPorts(info, n);
        l.items.push_back(std::move(n));
    }
    Finish(l, eol);
}

void OnSink(pa_context*, const pa_sink_info* info, int eol, void* user) {
    auto& l = *static_cast<Listing<PulseNode>*>(user);
    if (info) {
        PulseNode n;
        n.Index = info->index;
        n.Name = Text(info->name);
        n.Description = Text(info->description);
        n.Card = info->card;
        n.Channels = info->channel_map.channels;
        ReadPorts(info, n);
        if (n.Channels >= 2) {
            n.LeftVolume = pa_cvolume_get_position(&info->volume, &info->channel_map,
                                                   PA_CHANNEL_POSITION_FRONT_LEFT);
            n.RightVolume = pa_cvolume_get_position(&info->volume, &info->channel_map,
                                                    PA_CHANNEL_POSITION_FRONT_RIGHT);
            // A map without front left/right (surround only): first and second channel.
            if (n.LeftVolume == PA_VOLUME_MUTED && n.RightVolume == PA_VOLUME_MUTED) {
                n.LeftVolume = info->volume.values[0];
                n.RightVolume = info->volume.values[1];
            }
        } else {
            n.LeftVolume = pa_cvolume_max(&info->volume);
        }
        n.Latency = (info->flags & PA_SINK_LATENCY) != 0;
        l.items.push_back(std::move(n));
    }
    Finish(l, eol);
}

void OnCard(pa_context*, const pa_card_info* info, int eol, void* user) {
    auto& l = *static_cast<Listing<PulseCard>*>(user);
    if (info) {
        PulseCard c;
        c.Index = info->index;
        const char* d = pa_proplist_gets(info->proplist, PA_PROP_DEVICE_DESCRIPTION);
        c.Description = Text(d ? d : info->name);
        for (std::uint32_t i = 0; i < info->n_ports; ++i) {
            const pa_card_port_info* p = info->ports[i];
            c.Ports.push_back({Text(p->description ? p->description : p->name),
                               p->direction == PA_DIRECTION_OUTPUT});
        }
        l.items.push_back(std::move(c));
    }
    Finish(l, eol);
}

template <class Item, class Start>
std::optional<std::vector<Item>> List(PulseConnection& c, Start start) {
    Listing<Item> l{&c, {}, false};
    PulseConnection::Lock lock(c);
    pa_operation* op = start(c.Context(), &l);
    if (!op)
        return std::nullopt;
    // The list callback sees the end before the operation is marked done: wait for both, so
    // that nothing runs on l after it is gone.
    const bool ok = c.WaitOperation(op, ServerTimeout);
    if (!ok || !l.done)
        return std::nullopt;
    std::sort(l.items.begin(), l.items.end(),
              [](const Item& a, const Item& b) { return a.Index < b.Index; });
    return std::move(l.items);
}

} // namespace

std::unique_ptr<PulseDriver> PulseDriver::Create(std::chrono::milliseconds timeout) {
    auto connection = std::make_unique<PulseConnection>();
    if (!connection->Connect(timeout))
        return nullptr;
    std::unique_ptr<PulseDriver> d(new PulseDriver);
    d->connection_ = std::move(connection);
    return d;
}

bool PulseDriver::EnsureConnected() {
    {
        PulseConnection::Lock lock(*connection_);
        if (connection_->Ready())
            return true;
    }
    return connection_->Connect(ServerTimeout);
}

std::optional<std::vector<PulseNode>> PulseDriver::Sources() {
    if (!EnsureConnected())
        return std::nullopt;
    return List<PulseNode>(*connection_, [](pa_context* c, void* l) {
        return pa_context_get_source_info_list(c, &OnSource, l);
    });
}

std::optional<std::vector<PulseNode>> PulseDriver::Sinks() {
    if (!EnsureConnected())
        return std::nullopt;
    return List<PulseNode>(*connection_, [](pa_context* c, void* l) {
        return pa_context_get_sink_info_list(c, &OnSink, l);
    });
}

std::optional<std::vector<PulseCard>> PulseDriver::Cards() {
    if (!EnsureConnected())
        return std::nullopt;
    return List<PulseCard>(*connection_, [](pa_context* c, void* l) {
        return pa_context_get_card_info_list(c, &OnCard, l);
    });
}

std::optional<std::string> PulseDriver::DefaultSourceName() {
    if (!EnsureConnected())
        return std::nullopt;
    struct Answer {
        PulseConnection* connection;
        std::optional<std::string> name;
    } answer{connection_.get(), std::nullopt};
    PulseConnection::Lock lock(*connection_);
    pa_operation* op = pa_context_get_server_info(
        connection_->Context(),
        [](pa_context*, const pa_server_info* info, void* user) {
            auto& a = *static_cast<Answer*>(user);
            if (info && info->default_source_name)
                a.name = info->default_source_name;
            a.connection->Signal();
        },
        &answer);
    if (!connection_->WaitOperation(op, ServerTimeout))
        return std::nullopt;
    return answer.name;
}

std::vector<std::string> PulseDriver::InputDevices() {
    inputs_ = Sources().value_or(std::vector<PulseNode>{});
    listed_ = true;
    std::vector<std::string> names;
    names.reserve(inputs_.size());
    for (const PulseNode& n : inputs_)
        names.push_back(n.Description.empty() ? n.Name : n.Description);
    return names;
}

MMRESULT PulseDriver::OpenInput(int index, CaptureSink& sink,
                                std::unique_ptr<CaptureStream>& stream) {
    if (index < 0)
        return PulseCaptureStream::Open(nullptr, sink, stream);
    if (!listed_)
        InputDevices();
    if (std::size_t(index) >= inputs_.size())
        return MMSYSERR_BADDEVICEID;
    return PulseCaptureStream::Open(inputs_[std::size_t(index)].Name.c_str(), sink, stream);
}

std::vector<WaveOutDevice> PulseDriver::OutputDevices() {
    std::vector<WaveOutDevice> devices;
    for (const PulseNode& sink : Sinks().value_or(std::vector<PulseNode>{}))
        devices.push_back(MakeWaveOutDevice(sink));
    return devices;
}

std::vector<MixerDevice> PulseDriver::Mixers() {
    auto cards = Cards();
    if (!cards || cards->empty())
        return {};
    return BuildMixers(std::move(*cards), Sinks().value_or(std::vector<PulseNode>{}),
                       Sources().value_or(std::vector<PulseNode>{}));
}

MMRESULT PulseDriver::MixerOfInput(int index, UINT& mixerId) {
    std::uint32_t card = InvalidIndex;
    if (index < 0) {
        const auto name = DefaultSourceName();
        const auto sources = Sources();
        if (!name || !sources)
            return MMSYSERR_NODRIVER;
        for (const PulseNode& n : *sources) {
            if (n.Name == *name)
                card = n.Card;
        }
    } else {
        if (!listed_)
            InputDevices();
        if (std::size_t(index) >= inputs_.size())
            return MMSYSERR_BADDEVICEID;
        card = inputs_[std::size_t(index)].Card;
    }
    if (card == InvalidIndex)
        return MMSYSERR_NODRIVER;
    const auto cards = Cards();
    if (!cards)
        return MMSYSERR_NODRIVER;
    return MixerOfCard(*cards, card, mixerId);
}

} // namespace mmsystem::pulse
