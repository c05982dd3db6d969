// The wave-input, wave-output and mixer services over the active driver. Handles, header
// states, formats and identifiers are checked here once; a driver only lists devices and
// delivers samples.
//
// Threads: every function below runs on the caller's thread. A driver thread reaches an open
// stream only through its CaptureSink, and writes only sample memory and the stream's atomics;
// the WAVEHDR fields are brought up to date on the caller's thread, at the next call that
// names the handle.
#include "platform/mmsystem/mmsystem.h"

#include "platform/mmsystem/Driver.h"
#include "platform/vcl/Messages.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <string_view>

namespace mmsystem {
namespace {

std::atomic<std::uint64_t> droppedSamples{0};

// More than the program ever queues (four); an add beyond it is refused, never allocated.
constexpr std::size_t QueueCapacity = 32;

// An open wave-input device: the sink the driver fills, and the queue of headers in the order
// they were added. Sequence numbers count adds; header s lives in slot s % QueueCapacity.
class InputStream final : public CaptureSink {
public:
    InputStream(HWND window, HWAVEIN handle) : window(window), handle(handle) {}
    ~InputStream() override { CloseDevice(); }

    std::unique_ptr<CaptureStream> device;
    bool started = false;

    // Driver thread.
    void Deliver(const std::int16_t* samples, std::size_t count) override {
        while (count > 0) {
            if (failed.load(std::memory_order_acquire) ||
                head == tail.load(std::memory_order_acquire)) {
                droppedSamples.fetch_add(count, std::memory_order_relaxed);
                return;
            }
            Slot& slot = ring[head % QueueCapacity];
            const std::size_t room = (slot.capacity - filled) / 2;
            const std::size_t n = std::min(room, count);
            std::memcpy(slot.data + filled, samples, n * sizeof(std::int16_t));
            filled += DWORD(n * sizeof(std::int16_t));
            samples += n;
            count -= n;
            if (slot.capacity - filled < sizeof(std::int16_t))
                Complete(slot);
        }
    }

    // Driver thread. The lock keeps an add from slipping in between the flag and the flush.
    void Fail() override {
        std::lock_guard lock(addLock);
        failed.store(true, std::memory_order_release);
        const std::uint64_t end = tail.load(std::memory_order_acquire);
        while (head != end) {
            Slot& slot = ring[head % QueueCapacity];
            std::memset(slot.data + filled, 0, slot.capacity - filled);
            Complete(slot);
        }
    }

    // Caller's thread: copies what the driver has completed into the headers.
    void Reap() {
        const std::uint64_t done = completed.load(std::memory_order_acquire);
        for (; reaped < done; ++reaped) {
            Slot& slot = ring[reaped % QueueCapacity];
            slot.header->dwBytesRecorded = slot.recorded.load(std::memory_order_relaxed);
            slot.header->dwFlags = (slot.header->dwFlags | WHDR_DONE) & ~WHDR_INQUEUE;
        }
    }

    bool IsQueued(const WAVEHDR* header) const {
        const std::uint64_t end = tail.load(std::memory_order_relaxed);
        for (std::uint64_t s = reaped; s < end; ++s)
            if (ring[s % QueueCapacity].header == header)
                return true;
        return false;
    }

    bool HasFailed() const { return failed.load(std::memory_order_acquire); }

    // Caller's thread, after Reap and the checks of waveInAddBuffer.
    MMRESULT Add(WAVEHDR* header) {
        if (HasFailed())
            return MMSYSERR_NODRIVER;
        if (tail.load(std::memory_order_relaxed) - reaped >= QueueCapacity)
            return MMSYSERR_NOMEM;
        if (const MMRESULT refused = device->AcceptAdd())
            return refused;
        std::lock_guard lock(addLock);
        if (HasFailed())
            return MMSYSERR_NODRIVER;
        const std::uint64_t s = tail.load(std::memory_order_relaxed);
        Slot& slot = ring[s % QueueCapacity];
        slot.header = header;
        slot.data = header->lpData;
        slot.capacity = header->dwBufferLength & ~DWORD(1);
        header->dwBytesRecorded = 0;
        header->dwFlags = (header->dwFlags | WHDR_INQUEUE) & ~WHDR_DONE;
        tail.store(s + 1, std::memory_order_release);
        return MMSYSERR_NOERROR;
    }

    // Caller's thread. Stops the device and hands every header still queued back as done,
    // with what it holds and without a message: the window hears nothing more of this handle.
    void CloseDevice() {
        if (!device)
            return;
        device->Close();
        device.reset();
        Reap();
        const std::uint64_t end = tail.load(std::memory_order_relaxed);
        for (; reaped < end; ++reaped) {
            WAVEHDR* header = ring[reaped % QueueCapacity].header;
            header->dwBytesRecorded = reaped == head ? filled : 0;
            header->dwFlags = (header->dwFlags | WHDR_DONE) & ~WHDR_INQUEUE;
        }
    }

private:
    struct Slot {
        WAVEHDR* header = nullptr;
        char* data = nullptr;
        DWORD capacity = 0;
        std::atomic<DWORD> recorded{0};
    };

    // Driver thread: slot head is full (or the stream failed).
    void Complete(Slot& slot) {
        WAVEHDR* header = slot.header;
        slot.recorded.store(filled, std::memory_order_relaxed);
        completed.store(head + 1, std::memory_order_release);
        ++head;
        filled = 0;
        if (window)
            PostMessageA(window, MM_WIM_DATA, reinterpret_cast<WPARAM>(handle),
                         reinterpret_cast<LPARAM>(header));
    }

    const HWND window;
    const HWAVEIN handle;
    std::array<Slot, QueueCapacity> ring;
    std::atomic<std::uint64_t> tail{0};      // next add; written on the caller's thread
    std::atomic<std::uint64_t> completed{0}; // headers done; written by the driver
    std::atomic<bool> failed{false};
    std::mutex addLock;
    std::uint64_t reaped = 0; // caller's thread
    std::uint64_t head = 0;   // driver thread: the header being filled
    DWORD filled = 0;         // driver thread: bytes in it
};

// Used when no backend can be made at all: a machine without sound.
class NoDevices final : public Driver {
public:
    const char* Name() const override { return "none"; }
    std::vector<std::string> InputDevices() override { return {}; }
    MMRESULT OpenInput(int, CaptureSink&, std::unique_ptr<CaptureStream>&) override {
        return MMSYSERR_BADDEVICEID;
    }
    std::vector<WaveOutDevice> OutputDevices() override { return {}; }
    std::vector<MixerDevice> Mixers() override { return {}; }
    MMRESULT MixerOfInput(int, UINT&) override { return MMSYSERR_NODRIVER; }
};

struct Front {
    std::mutex lock;
    std::unique_ptr<Driver> driver;
    // The device lists as last counted; identifiers refer to these until the next count.
    std::optional<std::vector<std::string>> inputs;
    std::optional<std::vector<WaveOutDevice>> outputs;
    std::optional<std::vector<MixerDevice>> mixers;
    // Handles are never reused, so a stale one can only be invalid.
    std::map<std::uintptr_t, std::unique_ptr<InputStream>> streams;
    std::uintptr_t nextHandle = 0x10000;

    Driver& Active() {
        if (!driver)
            driver = CreateDefaultDriver();
        if (!driver)
            driver = std::make_unique<NoDevices>();
        return *driver;
    }
    const std::vector<std::string>& Inputs() {
        if (!inputs)
            inputs = Active().InputDevices();
        return *inputs;
    }
    const std::vector<WaveOutDevice>& Outputs() {
        if (!outputs)
            outputs = Active().OutputDevices();
        return *outputs;
    }
    const std::vector<MixerDevice>& Mixers() {
        if (!mixers)
            mixers = Active().Mixers();
        return *mixers;
    }
    InputStream* Find(HWAVEIN handle) {
        auto it = streams.find(reinterpret_cast<std::uintptr_t>(handle));
        return it == streams.end() ? nullptr : it->second.get();
    }
};

Front& TheFront() {
    static Front front;
    return front;
}

// Bytes in the UTF-8 sequence that lead byte b starts; 0 when b cannot start one.
std::size_t SequenceLength(unsigned char b) {
    if (b < 0x80)
        return 1;
    if (b >= 0xC2 && b <= 0xDF)
        return 2;
    if (b >= 0xE0 && b <= 0xEF)
        return 3;
    if (b >= 0xF0 && b <= 0xF4)
        return 4;
    return 0;
}

// Copies a device name into a fixed field: invalid UTF-8 and control characters become
// U+FFFD, and the text is cut on a character boundary so the field always holds valid UTF-8.
void CopyName(char* field, std::size_t size, std::string_view name) {
    static constexpr char replacement[] = "\xEF\xBF\xBD";
    std::size_t out = 0;
    auto put = [&](const char* bytes, std::size_t n) {
        if (out + n > size - 1)
            return false;
        std::memcpy(field + out, bytes, n);
        out += n;
        return true;
    };
    std::size_t i = 0;
    while (i < name.size()) {
        const auto b = static_cast<unsigned char>(name[i]);
        const std::size_t n = SequenceLength(b);
        bool valid = n > 0 && i + n <= name.size();
        for (std::size_t k = 1; valid && k < n; ++k)
            valid = (static_cast<unsigned char>(name[i + k]) & 0xC0) == 0x80;
        if (valid && n >= 3) {
            // Overlong forms, surrogates and code points past U+10FFFF.
            const auto b1 = static_cast<unsigned char>(name[i + 1]);
            valid = !(b == 0xE0 && b1 < 0xA0) && !(b == 0xED && b1 >= 0xA0) &&
                    !(b == 0xF0 && b1 < 0x90) && !(b == 0xF4 && b1 >= 0x90);
        }
        const bool control = n == 1 && (b < 0x20 || b == 0x7F);
        const bool ok = valid && !control ? put(name.data() + i, n) : put(replacement, 3);
        if (!ok)
            break;
        i += valid ? n : 1;
    }
    std::memset(field + out, 0, size - out);
}

template <class Caps> MMRESULT FillCaps(const Caps& full, Caps* caps, UINT size) {
    // As the system does, a short record gets the leading part.
    std::memcpy(caps, &full, std::min<std::size_t>(size, sizeof(Caps)));
    return MMSYSERR_NOERROR;
}

bool SupportedFormat(const WAVEFORMATEX& f) {
    return f.wFormatTag == WAVE_FORMAT_PCM && f.nChannels == 1 && f.nSamplesPerSec == 44100 &&
           f.wBitsPerSample == 16 && f.nBlockAlign == 2 && f.nAvgBytesPerSec == 88200;
}

constexpr WORD SimpleMid = 0xFF;       // not a registered manufacturer
constexpr UINT DriverVersion = 0x0100; // 1.0

} // namespace

void InstallDriver(std::unique_ptr<Driver> driver) {
    Front& front = TheFront();
    std::lock_guard lock(front.lock);
    // Streams cannot outlive their driver: any still open are closed, their headers returned.
    front.streams.clear();
    front.inputs.reset();
    front.outputs.reset();
    front.mixers.reset();
    front.driver = std::move(driver);
}

Driver& ActiveDriver() {
    Front& front = TheFront();
    std::lock_guard lock(front.lock);
    return front.Active();
}

std::uint64_t DroppedSampleCount() {
    return droppedSamples.load(std::memory_order_relaxed);
}

} // namespace mmsystem

using mmsystem::TheFront;

UINT waveInGetNumDevs() {
    auto& front = TheFront();
    std::lock_guard lock(front.lock);
    front.inputs.reset();
    return UINT(front.Inputs().size());
}

MMRESULT waveInGetDevCapsA(UINT_PTR deviceId, WAVEINCAPSA* caps, UINT size) {
    if (!caps || size == 0)
        return MMSYSERR_INVALPARAM;
    auto& front = TheFront();
    std::lock_guard lock(front.lock);
    const auto& inputs = front.Inputs();
    if (deviceId >= inputs.size())
        return MMSYSERR_BADDEVICEID;
    if (const MMRESULT refused = front.Active().InputCapsResult(int(deviceId)))
        return refused;
    WAVEINCAPSA full{};
    full.wMid = mmsystem::SimpleMid;
    full.wPid = 1;
    full.vDriverVersion = mmsystem::DriverVersion;
    mmsystem::CopyName(full.szPname, sizeof full.szPname, inputs[deviceId]);
    full.dwFormats = WAVE_FORMAT_4M16;
    full.wChannels = 1;
    return mmsystem::FillCaps(full, caps, size);
}

MMRESULT waveInOpen(HWAVEIN* handle, UINT deviceId, const WAVEFORMATEX* format, DWORD_PTR callback,
                    DWORD_PTR, DWORD flags) {
    const bool query = flags & WAVE_FORMAT_QUERY;
    if ((!handle && !query) || !format)
        return MMSYSERR_INVALPARAM;
    const DWORD known =
        CALLBACK_TYPEMASK | WAVE_FORMAT_QUERY | WAVE_ALLOWSYNC | WAVE_MAPPED | WAVE_FORMAT_DIRECT;
    if (flags & ~known)
        return MMSYSERR_INVALFLAG;
    const DWORD callbackType = flags & CALLBACK_TYPEMASK;
    if (callbackType != CALLBACK_NULL && callbackType != CALLBACK_WINDOW)
        return MMSYSERR_NOTSUPPORTED;
    if (!mmsystem::SupportedFormat(*format))
        return WAVERR_BADFORMAT;

    auto& front = TheFront();
    std::lock_guard lock(front.lock);
    if (deviceId != WAVE_MAPPER && deviceId >= front.Inputs().size())
        return MMSYSERR_BADDEVICEID;
    if (query)
        return MMSYSERR_NOERROR;
    HWND window = callbackType == CALLBACK_WINDOW ? reinterpret_cast<HWND>(callback) : nullptr;
    if (callbackType == CALLBACK_WINDOW && !window)
        return MMSYSERR_INVALPARAM;

    const std::uintptr_t id = front.nextHandle;
    const auto h = reinterpret_cast<HWAVEIN>(id);
    auto stream = std::make_unique<mmsystem::InputStream>(window, h);
    const int index = deviceId == WAVE_MAPPER ? -1 : int(deviceId);
    if (const MMRESULT failed = front.Active().OpenInput(index, *stream, stream->device))
        return failed;
    if (!stream->device)
        return MMSYSERR_ERROR;
    front.nextHandle += 0x10;
    front.streams.emplace(id, std::move(stream));
    *handle = h;
    return MMSYSERR_NOERROR;
}

MMRESULT waveInGetErrorTextA(MMRESULT code, char* text, UINT size) {
    if (!text || size == 0)
        return MMSYSERR_INVALPARAM;
    static const std::map<MMRESULT, const char*> texts = {
        {MMSYSERR_NOERROR, "The operation completed successfully."},
        {MMSYSERR_ERROR, "An unspecified error occurred in the audio system."},
        {MMSYSERR_BADDEVICEID, "The device identifier does not name an installed device."},
        {MMSYSERR_NOTENABLED, "The audio driver could not be enabled."},
        {MMSYSERR_ALLOCATED,
         "The device is already in use. Wait until it is free, and then try again."},
        {MMSYSERR_INVALHANDLE, "The device handle is not valid."},
        {MMSYSERR_NODRIVER,
         "There is no driver for this device, or the device is no longer connected."},
        {MMSYSERR_NOMEM, "There is not enough memory, or too many buffers are queued."},
        {MMSYSERR_NOTSUPPORTED, "The device does not support this function."},
        {MMSYSERR_BADERRNUM, "The error number is not known to the audio system."},
        {MMSYSERR_INVALFLAG, "A flag passed to the audio system is not valid."},
        {MMSYSERR_INVALPARAM, "A parameter passed to the audio system is not valid."},
        {MMSYSERR_HANDLEBUSY, "The device handle is in use by another thread."},
        {MMSYSERR_NODRIVERCB, "The driver did not call back as expected."},
        {WAVERR_BADFORMAT, "The device cannot record in the requested waveform-audio format."},
        {WAVERR_STILLPLAYING, "The device still holds the buffer; it cannot be released yet."},
        {WAVERR_UNPREPARED, "The buffer header has not been prepared."},
        {WAVERR_SYNC, "The device is synchronous and was opened without allowing it."},
        {MIXERR_INVALLINE, "The mixer line does not exist."},
    };
    const auto it = texts.find(code);
    if (it == texts.end()) {
        text[0] = '\0';
        return MMSYSERR_BADERRNUM;
    }
    const std::size_t n = std::min<std::size_t>(std::strlen(it->second), size - 1);
    std::memcpy(text, it->second, n);
    text[n] = '\0';
    return MMSYSERR_NOERROR;
}

namespace {

// The checks every header call shares; on success the stream's headers are up to date.
MMRESULT HeaderCall(HWAVEIN handle, WAVEHDR* header, UINT size, mmsystem::InputStream*& stream) {
    stream = TheFront().Find(handle);
    if (!stream)
        return MMSYSERR_INVALHANDLE;
    // Only the fields before lpNext are used, so the 32 bytes of the 32-bit record will do.
    if (!header || size < offsetof(WAVEHDR, lpNext))
        return MMSYSERR_INVALPARAM;
    stream->Reap();
    return MMSYSERR_NOERROR;
}

} // namespace

MMRESULT waveInPrepareHeader(HWAVEIN handle, WAVEHDR* header, UINT size) {
    std::lock_guard lock(TheFront().lock);
    mmsystem::InputStream* stream;
    if (const MMRESULT r = HeaderCall(handle, header, size, stream))
        return r;
    if (stream->IsQueued(header))
        return WAVERR_STILLPLAYING;
    if (!header->lpData || header->dwBufferLength == 0)
        return MMSYSERR_INVALPARAM;
    header->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveInAddBuffer(HWAVEIN handle, WAVEHDR* header, UINT size) {
    std::lock_guard lock(TheFront().lock);
    mmsystem::InputStream* stream;
    if (const MMRESULT r = HeaderCall(handle, header, size, stream))
        return r;
    if (stream->IsQueued(header))
        return WAVERR_STILLPLAYING;
    if (!(header->dwFlags & WHDR_PREPARED))
        return WAVERR_UNPREPARED;
    if (!header->lpData || header->dwBufferLength < sizeof(std::int16_t))
        return MMSYSERR_INVALPARAM;
    return stream->Add(header);
}

MMRESULT waveInStart(HWAVEIN handle) {
    std::lock_guard lock(TheFront().lock);
    mmsystem::InputStream* stream = TheFront().Find(handle);
    if (!stream)
        return MMSYSERR_INVALHANDLE;
    if (stream->HasFailed())
        return MMSYSERR_NODRIVER;
    if (stream->started)
        return MMSYSERR_NOERROR;
    const MMRESULT r = stream->device->Start();
    stream->started = r == MMSYSERR_NOERROR;
    return r;
}

MMRESULT waveInUnprepareHeader(HWAVEIN handle, WAVEHDR* header, UINT size) {
    std::lock_guard lock(TheFront().lock);
    mmsystem::InputStream* stream;
    if (const MMRESULT r = HeaderCall(handle, header, size, stream))
        return r;
    if (stream->IsQueued(header))
        return WAVERR_STILLPLAYING;
    // Unpreparing a header that was never prepared has no effect and succeeds.
    header->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

// Unlike the system, which answers WAVERR_STILLPLAYING while buffers are queued and keeps the
// device open, this closes in any case: the device stops writing into the caller's memory, and
// every queued header comes back done. A device that never fills its blocks would otherwise
// stay open for good once the caller's bounded wait has given up.
MMRESULT waveInClose(HWAVEIN handle) {
    auto& front = TheFront();
    std::lock_guard lock(front.lock);
    auto it = front.streams.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == front.streams.end())
        return MMSYSERR_INVALHANDLE;
    it->second->CloseDevice();
    front.streams.erase(it);
    return MMSYSERR_NOERROR;
}

UINT waveOutGetNumDevs() {
    auto& front = TheFront();
    std::lock_guard lock(front.lock);
    front.outputs.reset();
    return UINT(front.Outputs().size());
}

MMRESULT waveOutGetDevCapsA(UINT_PTR deviceId, WAVEOUTCAPSA* caps, UINT size) {
    if (!caps || size == 0)
        return MMSYSERR_INVALPARAM;
    auto& front = TheFront();
    std::lock_guard lock(front.lock);
    const auto& outputs = front.Outputs();
    if (deviceId >= outputs.size())
        return MMSYSERR_BADDEVICEID;
    WAVEOUTCAPSA full{};
    full.wMid = mmsystem::SimpleMid;
    full.wPid = 2;
    full.vDriverVersion = mmsystem::DriverVersion;
    mmsystem::CopyName(full.szPname, sizeof full.szPname, outputs[deviceId].Name);
    full.dwFormats = WAVE_FORMAT_4M16 | WAVE_FORMAT_4S16;
    full.wChannels = 2;
    full.dwSupport = outputs[deviceId].Support;
    return mmsystem::FillCaps(full, caps, size);
}

MMRESULT waveOutGetVolume(HWAVEOUT handle, DWORD* volume) {
    if (!volume)
        return MMSYSERR_INVALPARAM;
    auto& front = TheFront();
    std::lock_guard lock(front.lock);
    // No output is ever opened here, so the "handle" is always an identifier.
    const auto id = reinterpret_cast<std::uintptr_t>(handle);
    const auto& outputs = front.Outputs();
    if (id >= outputs.size())
        return MMSYSERR_BADDEVICEID;
    if (!(outputs[id].Support & WAVECAPS_VOLUME))
        return MMSYSERR_NOTSUPPORTED;
    *volume = outputs[id].Volume;
    return MMSYSERR_NOERROR;
}

UINT mixerGetNumDevs() {
    auto& front = TheFront();
    std::lock_guard lock(front.lock);
    front.mixers.reset();
    return UINT(front.Mixers().size());
}

MMRESULT mixerGetDevCapsA(UINT_PTR mixerId, MIXERCAPSA* caps, UINT size) {
    if (!caps || size == 0)
        return MMSYSERR_INVALPARAM;
    auto& front = TheFront();
    std::lock_guard lock(front.lock);
    const auto& mixers = front.Mixers();
    if (mixerId >= mixers.size())
        return MMSYSERR_BADDEVICEID;
    MIXERCAPSA full{};
    full.wMid = mmsystem::SimpleMid;
    full.wPid = 3;
    full.vDriverVersion = mmsystem::DriverVersion;
    mmsystem::CopyName(full.szPname, sizeof full.szPname, mixers[mixerId].Name);
    full.cDestinations = DWORD(mixers[mixerId].Destinations.size());
    return mmsystem::FillCaps(full, caps, size);
}

MMRESULT mixerGetLineInfoA(HMIXEROBJ mixer, MIXERLINEA* line, DWORD flags) {
    if (!line || line->cbStruct < sizeof(MIXERLINEA))
        return MMSYSERR_INVALPARAM;
    // Only mixer identifiers are taken: no mixer is ever opened here.
    if (flags & ~(MIXER_GETLINEINFOF_QUERYMASK | MIXER_OBJECTF_TYPEMASK) ||
        (flags & MIXER_OBJECTF_TYPEMASK) != MIXER_OBJECTF_MIXER)
        return MMSYSERR_INVALFLAG;
    const DWORD query = flags & MIXER_GETLINEINFOF_QUERYMASK;
    if (query != MIXER_GETLINEINFOF_DESTINATION && query != MIXER_GETLINEINFOF_SOURCE)
        return MMSYSERR_NOTSUPPORTED;

    auto& front = TheFront();
    std::lock_guard lock(front.lock);
    const auto id = reinterpret_cast<std::uintptr_t>(mixer);
    const auto& mixers = front.Mixers();
    if (id >= mixers.size())
        return MMSYSERR_BADDEVICEID;
    const mmsystem::MixerDevice& device = mixers[id];
    if (line->dwDestination >= device.Destinations.size())
        return MIXERR_INVALLINE;
    const mmsystem::MixerDestination& dest = device.Destinations[line->dwDestination];
    const bool source = query == MIXER_GETLINEINFOF_SOURCE;
    if (source && line->dwSource >= dest.Sources.size())
        return MIXERR_INVALLINE;

    const DWORD d = line->dwDestination;
    const DWORD s = source ? line->dwSource : 0;
    std::memset(reinterpret_cast<char*>(line) + offsetof(MIXERLINEA, dwLineID), 0,
                sizeof(MIXERLINEA) - offsetof(MIXERLINEA, dwLineID));
    line->dwSource = s;
    // Destination d is line d; source s of it is line (s + 1) << 16 | d.
    std::string_view name;
    if (source) {
        const mmsystem::MixerSource& src = dest.Sources[s];
        line->dwLineID = ((s + 1) << 16) | d;
        line->fdwLine = MIXERLINE_LINEF_ACTIVE | MIXERLINE_LINEF_SOURCE;
        line->dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_ANALOG;
        line->cChannels = src.Channels;
        name = src.Name;
    } else {
        line->dwLineID = d;
        line->fdwLine = MIXERLINE_LINEF_ACTIVE;
        line->dwComponentType = dest.ComponentType;
        line->cChannels = 2;
        line->cConnections = DWORD(dest.Sources.size());
        line->cControls = dest.Controls;
        name = dest.Name;
        line->Target.dwType = dest.ComponentType == MIXERLINE_COMPONENTTYPE_DST_WAVEIN
                                  ? MIXERLINE_TARGETTYPE_WAVEIN
                              : dest.ComponentType == MIXERLINE_COMPONENTTYPE_DST_SPEAKERS
                                  ? MIXERLINE_TARGETTYPE_WAVEOUT
                                  : MIXERLINE_TARGETTYPE_UNDEFINED;
    }
    mmsystem::CopyName(line->szShortName, sizeof line->szShortName, name);
    mmsystem::CopyName(line->szName, sizeof line->szName, name);
    line->Target.wMid = mmsystem::SimpleMid;
    line->Target.wPid = 3;
    line->Target.vDriverVersion = mmsystem::DriverVersion;
    mmsystem::CopyName(line->Target.szPname, sizeof line->Target.szPname, device.Name);
    return MMSYSERR_NOERROR;
}

MMRESULT mixerGetID(HMIXEROBJ object, UINT* mixerId, DWORD flags) {
    if (!mixerId)
        return MMSYSERR_INVALPARAM;
    auto& front = TheFront();
    std::lock_guard lock(front.lock);
    // An identifier in the low 32 bits, however the caller widened it (-1 is the mapper).
    const auto id = UINT(reinterpret_cast<std::uintptr_t>(object));
    switch (flags) {
    case MIXER_OBJECTF_MIXER:
        if (id >= front.Mixers().size())
            return MMSYSERR_BADDEVICEID;
        *mixerId = id;
        return MMSYSERR_NOERROR;
    case MIXER_OBJECTF_WAVEIN: {
        if (id != WAVE_MAPPER && id >= front.Inputs().size())
            return MMSYSERR_BADDEVICEID;
        UINT found = 0;
        const MMRESULT r = front.Active().MixerOfInput(id == WAVE_MAPPER ? -1 : int(id), found);
        if (r == MMSYSERR_NOERROR)
            *mixerId = found;
        return r;
    }
    default:
        return MMSYSERR_INVALFLAG;
    }
}
