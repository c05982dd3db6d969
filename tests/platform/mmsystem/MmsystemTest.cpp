// The wave and mixer services front over the simulated driver: header lifecycle, argument
// checks, name cutting, error texts, dropped samples, failing and closing streams.
#include "platform/mmsystem/mmsystem.h"
#include "platform/mmsystem/simulated/SimulatedDriver.h"
#include "platform/vcl/Messages.h"

#include <QCoreApplication>
#include <QWidget>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <set>
#include <string>
#include <vector>

using namespace mmsystem::simulated;

namespace {

constexpr WAVEFORMATEX Format = {WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};

// A window that keeps the messages posted to it.
class Receiver : public QWidget {
public:
    std::vector<TMessage> messages;

protected:
    bool event(QEvent* e) override {
        if (e->type() == TMessageEvent::EventType()) {
            messages.push_back(static_cast<TMessageEvent*>(e)->Message);
            return true;
        }
        return QWidget::event(e);
    }
};

struct Block {
    std::int16_t samples[BlockSamples];
    WAVEHDR header;
};

class FrontTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (handle)
            waveInClose(handle);
        mmsystem::InstallDriver(nullptr);
    }

    SimulatedDriver& Install(Config config = {}) {
        if (config.Inputs.empty())
            config.Inputs = {{.Name = "Mic", .Source = Counter()}};
        return SimulatedDriver::Install(std::move(config));
    }
    MMRESULT Open(UINT id = 0) {
        waveInGetNumDevs();
        WAVEFORMATEX f = Format;
        return waveInOpen(&handle, id, &f, reinterpret_cast<DWORD_PTR>(&window), 0,
                          CALLBACK_WINDOW);
    }
    static void Fill(Block& b, std::int16_t value) {
        std::fill(std::begin(b.samples), std::end(b.samples), value);
        b.header = {};
        b.header.lpData = reinterpret_cast<LPSTR>(b.samples);
        b.header.dwBufferLength = sizeof b.samples;
    }
    MMRESULT Queue(Block& b, std::int16_t value = 0x5555) {
        Fill(b, value);
        waveInPrepareHeader(handle, &b.header, sizeof(WAVEHDR));
        return waveInAddBuffer(handle, &b.header, sizeof(WAVEHDR));
    }
    MMRESULT Unprepare(Block& b) {
        return waveInUnprepareHeader(handle, &b.header, sizeof(WAVEHDR));
    }
    void Flush() { QCoreApplication::sendPostedEvents(&window); }

    Receiver window;
    // Outlive the handle, which TearDown may close with headers still queued.
    Block blocks[4];
    HWAVEIN handle = nullptr;
};

TEST_F(FrontTest, HeadersCompleteInOrderAndAreHeldWhileQueued) {
    SimulatedDriver& sim = Install();
    ASSERT_EQ(Open(), MMSYSERR_NOERROR);
    for (Block& b : blocks)
        ASSERT_EQ(Queue(b), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInStart(handle), MMSYSERR_NOERROR);

    // Pieces that do not line up with the blocks.
    sim.Step(1000);
    EXPECT_EQ(Unprepare(blocks[0]), WAVERR_STILLPLAYING);
    sim.Step(3096);
    for (int k : {0, 1}) {
        EXPECT_EQ(Unprepare(blocks[k]), MMSYSERR_NOERROR);
        EXPECT_EQ(blocks[k].header.dwBytesRecorded, 4096u);
        EXPECT_EQ(blocks[k].header.dwFlags & (WHDR_DONE | WHDR_INQUEUE | WHDR_PREPARED), WHDR_DONE);
        for (int i = 0; i < int(BlockSamples); i += 511)
            ASSERT_EQ(blocks[k].samples[i], std::int16_t(k * BlockSamples + i)) << k << " " << i;
    }
    EXPECT_EQ(Unprepare(blocks[2]), WAVERR_STILLPLAYING);
    EXPECT_EQ(blocks[2].header.dwFlags & WHDR_INQUEUE, WHDR_INQUEUE);

    Flush();
    ASSERT_EQ(window.messages.size(), 2u);
    for (int k : {0, 1}) {
        EXPECT_EQ(window.messages[k].Msg, MM_WIM_DATA);
        EXPECT_EQ(window.messages[k].WParam, reinterpret_cast<WPARAM>(handle));
        EXPECT_EQ(window.messages[k].LParam, reinterpret_cast<LPARAM>(&blocks[k].header));
    }
}

TEST_F(FrontTest, HeaderCallsCheckHandleHeaderAndState) {
    Install();
    ASSERT_EQ(Open(), MMSYSERR_NOERROR);
    Block& queued = blocks[0];
    Block& loose = blocks[1];
    ASSERT_EQ(Queue(queued), MMSYSERR_NOERROR);
    Fill(loose, 0);
    const auto bogus = reinterpret_cast<HWAVEIN>(std::uintptr_t(0xdead0));
    WAVEHDR* none = nullptr;
    struct Case {
        const char* what;
        MMRESULT (*call)(HWAVEIN, WAVEHDR*, UINT);
        HWAVEIN h;
        WAVEHDR* header;
        UINT size;
        MMRESULT expected;
    };
    const Case cases[] = {
        {"unprepare of an unprepared header", waveInUnprepareHeader, handle, &loose.header, 32,
         MMSYSERR_NOERROR},
        {"add of an unprepared header", waveInAddBuffer, handle, &loose.header, 32,
         WAVERR_UNPREPARED},
        {"add of a queued header", waveInAddBuffer, handle, &queued.header, 32,
         WAVERR_STILLPLAYING},
        {"prepare of a queued header", waveInPrepareHeader, handle, &queued.header, 32,
         WAVERR_STILLPLAYING},
        {"unprepare of a queued header", waveInUnprepareHeader, handle, &queued.header, 32,
         WAVERR_STILLPLAYING},
        {"prepare, bad handle", waveInPrepareHeader, bogus, &loose.header, 32,
         MMSYSERR_INVALHANDLE},
        {"add, bad handle", waveInAddBuffer, bogus, &loose.header, 32, MMSYSERR_INVALHANDLE},
        {"unprepare, null handle", waveInUnprepareHeader, nullptr, &loose.header, 32,
         MMSYSERR_INVALHANDLE},
        {"prepare, no header", waveInPrepareHeader, handle, none, 32, MMSYSERR_INVALPARAM},
        {"add, short size", waveInAddBuffer, handle, &loose.header, 16, MMSYSERR_INVALPARAM},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.call(c.h, c.header, c.size), c.expected) << c.what;

    // A prepared header without a buffer is refused, not queued.
    Block& empty = blocks[2];
    Fill(empty, 0);
    empty.header.dwBufferLength = 0;
    empty.header.dwFlags = WHDR_PREPARED;
    EXPECT_EQ(waveInAddBuffer(handle, &empty.header, sizeof(WAVEHDR)), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveInStart(bogus), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveInClose(bogus), MMSYSERR_INVALHANDLE);
}

TEST_F(FrontTest, OpenChecksFormatDeviceAndFlags) {
    SimulatedDriver& sim =
        Install({.Inputs = {{.Name = "A"}, {.Name = "B", .OpenResult = MMSYSERR_ALLOCATED}},
                 .DefaultInput = 0});
    waveInGetNumDevs();
    auto with = [](auto change) {
        WAVEFORMATEX f = Format;
        change(f);
        return f;
    };
    struct Case {
        const char* what;
        WAVEFORMATEX format;
        UINT id;
        DWORD flags;
        MMRESULT expected;
    };
    const DWORD window = CALLBACK_WINDOW;
    const Case cases[] = {
        {"stereo", with([](auto& f) { f.nChannels = 2; }), 0, window, WAVERR_BADFORMAT},
        {"48 kHz", with([](auto& f) { f.nSamplesPerSec = 48000; }), 0, window, WAVERR_BADFORMAT},
        {"8 bits", with([](auto& f) { f.wBitsPerSample = 8; }), 0, window, WAVERR_BADFORMAT},
        {"float", with([](auto& f) { f.wFormatTag = 3; }), 0, window, WAVERR_BADFORMAT},
        {"align", with([](auto& f) { f.nBlockAlign = 4; }), 0, window, WAVERR_BADFORMAT},
        {"rate", with([](auto& f) { f.nAvgBytesPerSec = 44100; }), 0, window, WAVERR_BADFORMAT},
        {"past the last device", Format, 2, window, MMSYSERR_BADDEVICEID},
        {"device refuses", Format, 1, window, MMSYSERR_ALLOCATED},
        {"unknown flag", Format, 0, window | 0x100, MMSYSERR_INVALFLAG},
        {"function callback", Format, 0, 0x00030000, MMSYSERR_NOTSUPPORTED},
        {"query only", Format, 0, WAVE_FORMAT_QUERY, MMSYSERR_NOERROR},
    };
    for (const Case& c : cases) {
        HWAVEIN h = nullptr;
        EXPECT_EQ(
            waveInOpen(&h, c.id, &c.format, reinterpret_cast<DWORD_PTR>(&this->window), 0, c.flags),
            c.expected)
            << c.what;
        EXPECT_EQ(h, nullptr) << c.what;
    }
    HWAVEIN h = nullptr;
    EXPECT_EQ(waveInOpen(&h, 0, &Format, 0, 0, CALLBACK_WINDOW), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveInOpen(nullptr, 0, &Format, 0, 0, CALLBACK_NULL), MMSYSERR_INVALPARAM);
    EXPECT_EQ(sim.OpenStreams(), 0u);

    // The mapper reaches the driver as -1.
    ASSERT_EQ(Open(WAVE_MAPPER), MMSYSERR_NOERROR);
    EXPECT_NE(handle, nullptr);
    EXPECT_EQ(sim.OpenRequests().back(), -1);
    EXPECT_EQ(sim.OpenStreams(), 1u);
}

TEST_F(FrontTest, NamesAreCutOnCharacterBoundaries) {
    const std::string ascii40(40, 'x');
    const std::string e = "\xC3\xA9";             // é, two bytes
    const std::string smile = "\xF0\x9F\x98\x80"; // four bytes
    const std::string bad = "\xEF\xBF\xBD";       // U+FFFD
    struct Case {
        std::string raw;
        std::string shown;
    };
    std::string smiles;
    for (int i = 0; i < 8; ++i)
        smiles += smile;
    const std::vector<Case> cases = {
        {"Built-in Audio", "Built-in Audio"},
        {"", ""},
        {ascii40, ascii40.substr(0, 31)},
        {std::string(30, 'a') + e, std::string(30, 'a')},
        {std::string(29, 'a') + e, std::string(29, 'a') + e},
        {smiles, smiles.substr(0, 28)},
        {"Mic\x01\x7F", "Mic" + bad + bad},
        {"\xFF\xFE", bad + bad},
        {"ab\xE2\x82", "ab" + bad + bad},
        {"\xC0\xAF", bad + bad},
        {"\xED\xA0\x80", bad + bad + bad},
        {"Caf" + e + " \xE2\x82\xAC", "Caf" + e + " \xE2\x82\xAC"},
    };
    std::vector<InputDevice> inputs;
    std::vector<mmsystem::WaveOutDevice> outputs;
    std::vector<mmsystem::MixerDevice> mixers;
    for (const Case& c : cases) {
        inputs.push_back({.Name = c.raw});
        outputs.push_back({.Name = c.raw});
        mixers.push_back({.Name = c.raw});
    }
    Install({.Inputs = inputs, .Outputs = outputs, .Mixers = mixers});
    ASSERT_EQ(waveInGetNumDevs(), cases.size());
    ASSERT_EQ(waveOutGetNumDevs(), cases.size());
    ASSERT_EQ(mixerGetNumDevs(), cases.size());
    for (UINT k = 0; k < cases.size(); ++k) {
        WAVEINCAPSA in;
        WAVEOUTCAPSA out;
        MIXERCAPSA mix;
        std::memset(&in, 0x7F, sizeof in);
        ASSERT_EQ(waveInGetDevCapsA(k, &in, sizeof in), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutGetDevCapsA(k, &out, sizeof out), MMSYSERR_NOERROR);
        ASSERT_EQ(mixerGetDevCapsA(k, &mix, sizeof mix), MMSYSERR_NOERROR);
        EXPECT_EQ(std::string(in.szPname), cases[k].shown) << k;
        EXPECT_EQ(std::string(out.szPname), cases[k].shown) << k;
        EXPECT_EQ(std::string(mix.szPname), cases[k].shown) << k;
        EXPECT_EQ(in.szPname[31], '\0');
    }
}

TEST_F(FrontTest, EveryCodeHasItsOwnText) {
    const MMRESULT codes[] = {
        MMSYSERR_NOERROR,      MMSYSERR_ERROR,       MMSYSERR_BADDEVICEID, MMSYSERR_NOTENABLED,
        MMSYSERR_ALLOCATED,    MMSYSERR_INVALHANDLE, MMSYSERR_NODRIVER,    MMSYSERR_NOMEM,
        MMSYSERR_NOTSUPPORTED, MMSYSERR_BADERRNUM,   MMSYSERR_INVALFLAG,   MMSYSERR_INVALPARAM,
        MMSYSERR_HANDLEBUSY,   MMSYSERR_NODRIVERCB,  WAVERR_BADFORMAT,     WAVERR_STILLPLAYING,
        WAVERR_UNPREPARED,     WAVERR_SYNC,          MIXERR_INVALLINE};
    std::set<std::string> texts;
    for (MMRESULT code : codes) {
        char text[MAXERRORLENGTH];
        ASSERT_EQ(waveInGetErrorTextA(code, text, sizeof text), MMSYSERR_NOERROR) << code;
        EXPECT_GT(std::strlen(text), 10u) << code;
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), std::size(codes));

    char text[MAXERRORLENGTH] = "unchanged";
    EXPECT_EQ(waveInGetErrorTextA(13, text, sizeof text), MMSYSERR_BADERRNUM);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(waveInGetErrorTextA(MMSYSERR_NOMEM, nullptr, 256), MMSYSERR_INVALPARAM);
    // A short buffer gets the start of the text, terminated.
    char full[MAXERRORLENGTH], shortText[8];
    waveInGetErrorTextA(MMSYSERR_NOMEM, full, sizeof full);
    ASSERT_EQ(waveInGetErrorTextA(MMSYSERR_NOMEM, shortText, sizeof shortText), MMSYSERR_NOERROR);
    EXPECT_EQ(std::string(shortText), std::string(full).substr(0, 7));
}

TEST_F(FrontTest, SamplesWithoutAHeaderAreDroppedAndCounted) {
    SimulatedDriver& sim = Install();
    ASSERT_EQ(Open(), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInStart(handle), MMSYSERR_NOERROR);
    const std::uint64_t before = mmsystem::DroppedSampleCount();
    sim.Step(500);
    EXPECT_EQ(mmsystem::DroppedSampleCount() - before, 500u);

    Block& b = blocks[0];
    ASSERT_EQ(Queue(b), MMSYSERR_NOERROR);
    sim.Step(3000);
    EXPECT_EQ(mmsystem::DroppedSampleCount() - before, 500u + 3000u - BlockSamples);
    ASSERT_EQ(Unprepare(b), MMSYSERR_NOERROR);
    // The block holds the samples that followed the dropped ones.
    EXPECT_EQ(b.samples[0], 500);
    EXPECT_EQ(b.samples[BlockSamples - 1], std::int16_t(500 + BlockSamples - 1));
}

TEST_F(FrontTest, AFailedStreamCompletesEveryHeaderAndRefusesMore) {
    SimulatedDriver& sim = Install();
    ASSERT_EQ(Open(), MMSYSERR_NOERROR);
    for (Block& b : blocks)
        ASSERT_EQ(Queue(b, 0x5555), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInStart(handle), MMSYSERR_NOERROR);
    sim.Step(100);
    sim.Vanish(0);

    const DWORD recorded[] = {200, 0, 0, 0};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(Unprepare(blocks[k]), MMSYSERR_NOERROR) << k;
        EXPECT_EQ(blocks[k].header.dwBytesRecorded, recorded[k]) << k;
        // What was recorded stays; the rest of the buffer is silence.
        const int from = int(recorded[k] / 2);
        if (from > 0) {
            EXPECT_EQ(blocks[k].samples[from - 1], from - 1);
        }
        EXPECT_EQ(std::count(blocks[k].samples + from, blocks[k].samples + BlockSamples, 0),
                  BlockSamples - from)
            << k;
    }
    Flush();
    EXPECT_EQ(window.messages.size(), 4u);
    EXPECT_EQ(Queue(blocks[0]), MMSYSERR_NODRIVER);
    EXPECT_EQ(waveInStart(handle), MMSYSERR_NODRIVER);
    EXPECT_EQ(waveInGetNumDevs(), 0u);
}

TEST_F(FrontTest, CloseReturnsQueuedHeadersAndEndsTheHandle) {
    SimulatedDriver& sim = Install();
    ASSERT_EQ(Open(), MMSYSERR_NOERROR);
    for (Block& b : blocks)
        ASSERT_EQ(Queue(b, 0x5555), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInStart(handle), MMSYSERR_NOERROR);
    sim.Step(10);
    ASSERT_EQ(waveInClose(handle), MMSYSERR_NOERROR);
    EXPECT_EQ(sim.OpenStreams(), 0u);
    for (Block& b : blocks)
        EXPECT_EQ(b.header.dwFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
    EXPECT_EQ(blocks[0].header.dwBytesRecorded, 20u);
    EXPECT_EQ(blocks[1].header.dwBytesRecorded, 0u);

    // The device writes no more, the window hears nothing, the handle is gone.
    sim.Step(4096);
    EXPECT_EQ(blocks[0].samples[10], 0x5555);
    Flush();
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(Unprepare(blocks[0]), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveInClose(handle), MMSYSERR_INVALHANDLE);
    handle = nullptr;
}

TEST_F(FrontTest, IdentifiersReferToTheLastCount) {
    SimulatedDriver& sim = Install({.Inputs = {{.Name = "One"}, {.Name = "Two"}}});
    ASSERT_EQ(waveInGetNumDevs(), 2u);
    sim.SetInputs({{.Name = "New"}, {.Name = "Other"}, {.Name = "Third"}});
    WAVEINCAPSA caps;
    ASSERT_EQ(waveInGetDevCapsA(1, &caps, sizeof caps), MMSYSERR_NOERROR);
    EXPECT_STREQ(caps.szPname, "Two");
    EXPECT_EQ(waveInGetDevCapsA(2, &caps, sizeof caps), MMSYSERR_BADDEVICEID);
    ASSERT_EQ(waveInGetNumDevs(), 3u);
    ASSERT_EQ(waveInGetDevCapsA(2, &caps, sizeof caps), MMSYSERR_NOERROR);
    EXPECT_STREQ(caps.szPname, "Third");
    EXPECT_EQ(waveInGetDevCapsA(0, nullptr, sizeof caps), MMSYSERR_INVALPARAM);

    sim.SetInputs({{.Name = "Busy", .CapsResult = MMSYSERR_NOTENABLED}});
    ASSERT_EQ(waveInGetNumDevs(), 1u);
    EXPECT_EQ(waveInGetDevCapsA(0, &caps, sizeof caps), MMSYSERR_NOTENABLED);
}

TEST_F(FrontTest, OutputAndMixerQueriesReadTheDriversLists) {
    using mmsystem::MixerDestination;
    Config config;
    config.Inputs = {{.Name = "Mic", .Mixer = 1},
                     {.Name = "USB", .MixerResult = MMSYSERR_NODRIVER},
                     {.Name = "Odd", .MixerResult = MMSYSERR_ERROR}};
    config.Outputs = {
        {.Name = "Speakers", .Support = WAVECAPS_VOLUME | WAVECAPS_LRVOLUME, .Volume = 0xFFFF1234},
        {.Name = "HDMI", .Support = WAVECAPS_SAMPLEACCURATE}};
    config.Mixers = {
        {.Name = "Card 0"},
        {.Name = "Card 1",
         .Destinations = {MixerDestination{.Name = "Master volume control",
                                           .ComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS,
                                           .Controls = 2,
                                           .Sources = {{"Line", 2}, {"Microphone", 1}}},
                          MixerDestination{.Name = "Capture",
                                           .ComponentType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN}}}};
    Install(config);
    ASSERT_EQ(waveInGetNumDevs(), 3u);
    ASSERT_EQ(waveOutGetNumDevs(), 2u);
    ASSERT_EQ(mixerGetNumDevs(), 2u);

    WAVEOUTCAPSA out;
    ASSERT_EQ(waveOutGetDevCapsA(0, &out, sizeof out), MMSYSERR_NOERROR);
    EXPECT_EQ(out.dwSupport, WAVECAPS_VOLUME | WAVECAPS_LRVOLUME);
    EXPECT_EQ(waveOutGetDevCapsA(2, &out, sizeof out), MMSYSERR_BADDEVICEID);
    DWORD volume = 0;
    EXPECT_EQ(waveOutGetVolume(reinterpret_cast<HWAVEOUT>(std::uintptr_t(0)), &volume),
              MMSYSERR_NOERROR);
    EXPECT_EQ(volume, 0xFFFF1234u);
    EXPECT_EQ(waveOutGetVolume(reinterpret_cast<HWAVEOUT>(std::uintptr_t(1)), &volume),
              MMSYSERR_NOTSUPPORTED);
    EXPECT_EQ(waveOutGetVolume(reinterpret_cast<HWAVEOUT>(std::uintptr_t(2)), &volume),
              MMSYSERR_BADDEVICEID);

    MIXERCAPSA mix;
    ASSERT_EQ(mixerGetDevCapsA(1, &mix, sizeof mix), MMSYSERR_NOERROR);
    EXPECT_EQ(mix.cDestinations, 2u);
    const auto card1 = reinterpret_cast<HMIXEROBJ>(std::uintptr_t(1));
    MIXERLINEA line{};
    line.cbStruct = sizeof line;
    ASSERT_EQ(mixerGetLineInfoA(card1, &line, MIXER_GETLINEINFOF_DESTINATION), MMSYSERR_NOERROR);
    EXPECT_STREQ(line.szName, "Master volume control");
    EXPECT_STREQ(line.szShortName, "Master volume c");
    EXPECT_EQ(line.dwComponentType, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
    EXPECT_EQ(line.cConnections, 2u);
    EXPECT_EQ(line.cControls, 2u);
    line.dwSource = 1;
    ASSERT_EQ(mixerGetLineInfoA(card1, &line, MIXER_GETLINEINFOF_SOURCE), MMSYSERR_NOERROR);
    EXPECT_STREQ(line.szName, "Microphone");
    EXPECT_EQ(line.cChannels, 1u);
    EXPECT_EQ(line.dwDestination, 0u);
    line.dwDestination = 1;
    ASSERT_EQ(mixerGetLineInfoA(card1, &line, MIXER_GETLINEINFOF_DESTINATION), MMSYSERR_NOERROR);
    EXPECT_EQ(line.dwComponentType, MIXERLINE_COMPONENTTYPE_DST_WAVEIN);
    EXPECT_EQ(line.cConnections, 0u);
    EXPECT_EQ(mixerGetLineInfoA(card1, &line, MIXER_GETLINEINFOF_SOURCE), MIXERR_INVALLINE);
    line.dwDestination = 2;
    EXPECT_EQ(mixerGetLineInfoA(card1, &line, MIXER_GETLINEINFOF_DESTINATION), MIXERR_INVALLINE);
    line.cbStruct = 100;
    EXPECT_EQ(mixerGetLineInfoA(card1, &line, MIXER_GETLINEINFOF_DESTINATION), MMSYSERR_INVALPARAM);

    // mixerGetID: the identifier written only on success; -1 however it was widened.
    struct Case {
        std::uintptr_t input;
        MMRESULT expected;
        UINT id;
    };
    const Case cases[] = {
        {0, MMSYSERR_NOERROR, 1},
        {1, MMSYSERR_NODRIVER, 77},
        {2, MMSYSERR_ERROR, 77},
        {3, MMSYSERR_BADDEVICEID, 77},
        {std::uintptr_t(-1), MMSYSERR_NOERROR, 1},
        {std::uintptr_t(UINT(-1)), MMSYSERR_NOERROR, 1},
    };
    for (const Case& c : cases) {
        UINT id = 77;
        EXPECT_EQ(mixerGetID(reinterpret_cast<HMIXEROBJ>(c.input), &id, MIXER_OBJECTF_WAVEIN),
                  c.expected)
            << c.input;
        EXPECT_EQ(id, c.id) << c.input;
    }
}

TEST_F(FrontTest, ARealTimeStreamKeepsItsBlocksInOrder) {
    // Run under ThreadSanitizer too: the driver thread fills, the test thread re-queues.
    SimulatedDriver& sim = Install(
        {.Inputs = {{.Name = "Mic", .Source = Counter()}}, .Pacing = Pace::RealTime, .Speed = 4});
    ASSERT_EQ(Open(), MMSYSERR_NOERROR);
    for (Block& b : blocks)
        ASSERT_EQ(Queue(b), MMSYSERR_NOERROR);
    const std::uint64_t droppedBefore = mmsystem::DroppedSampleCount();
    ASSERT_EQ(waveInStart(handle), MMSYSERR_NOERROR);

    std::vector<std::int16_t> firsts;
    std::size_t next = 0;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (firsts.size() < 16 && std::chrono::steady_clock::now() < giveUp) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        for (; !window.messages.empty(); window.messages.erase(window.messages.begin())) {
            Block& b = blocks[next];
            ASSERT_EQ(window.messages.front().LParam, reinterpret_cast<LPARAM>(&b.header));
            ASSERT_EQ(Unprepare(b), MMSYSERR_NOERROR);
            // Each block is one unbroken run of the counter.
            for (std::size_t i = 1; i < BlockSamples; ++i)
                ASSERT_EQ(std::int16_t(b.samples[i] - b.samples[i - 1]), 1);
            firsts.push_back(b.samples[0]);
            ASSERT_EQ(Queue(b), MMSYSERR_NOERROR);
            next = (next + 1) % 4;
        }
    }
    ASSERT_EQ(firsts.size(), 16u);
    ASSERT_EQ(waveInClose(handle), MMSYSERR_NOERROR);
    handle = nullptr;
    // Blocks follow each other, apart from samples dropped while nothing was queued.
    const std::uint64_t dropped = mmsystem::DroppedSampleCount() - droppedBefore;
    std::uint64_t gaps = 0;
    for (std::size_t k = 1; k < firsts.size(); ++k)
        gaps += std::uint16_t(firsts[k] - firsts[k - 1]) - BlockSamples;
    EXPECT_LE(gaps, dropped);
    EXPECT_GE(sim.BlocksDelivered(), 16u);
}

} // namespace
