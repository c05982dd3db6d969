// The wave-input, wave-output and mixer services the program calls, declared here with the
// meanings of the Windows multimedia interface: same arguments, result codes and order of
// effects. Behind them sits one driver at a time (PulseAudio, ALSA, or a simulated one).
#pragma once

#include "platform/windef.h"

using MMRESULT = UINT;
struct HWAVEIN__;
using HWAVEIN = HWAVEIN__*;
using HWAVEOUT = void*;
using HMIXEROBJ = void*;

constexpr UINT MAXPNAMELEN = 32;
constexpr UINT MIXER_SHORT_NAME_CHARS = 16;
constexpr UINT MIXER_LONG_NAME_CHARS = 64;
constexpr UINT MAXERRORLENGTH = 256;

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_NOTENABLED = 3;
constexpr MMRESULT MMSYSERR_ALLOCATED = 4;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NODRIVER = 6;
constexpr MMRESULT MMSYSERR_NOMEM = 7;
constexpr MMRESULT MMSYSERR_NOTSUPPORTED = 8;
constexpr MMRESULT MMSYSERR_BADERRNUM = 9;
constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT MMSYSERR_HANDLEBUSY = 12;
constexpr MMRESULT MMSYSERR_NODRIVERCB = 20;
constexpr MMRESULT WAVERR_BADFORMAT = 32;
constexpr MMRESULT WAVERR_STILLPLAYING = 33;
constexpr MMRESULT WAVERR_UNPREPARED = 34;
constexpr MMRESULT WAVERR_SYNC = 35;
constexpr MMRESULT MIXERR_INVALLINE = 1024;

constexpr UINT WAVE_MAPPER = UINT(-1);
constexpr WORD WAVE_FORMAT_PCM = 1;
constexpr DWORD CALLBACK_NULL = 0x00000000;
constexpr DWORD CALLBACK_WINDOW = 0x00010000;
constexpr DWORD CALLBACK_TYPEMASK = 0x00070000;
constexpr DWORD WAVE_FORMAT_QUERY = 0x0001;
constexpr DWORD WAVE_ALLOWSYNC = 0x0002;
constexpr DWORD WAVE_MAPPED = 0x0004;
constexpr DWORD WAVE_FORMAT_DIRECT = 0x0008;

constexpr DWORD WAVE_FORMAT_4M16 = 0x00000400;
constexpr DWORD WAVE_FORMAT_4S16 = 0x00000800;

constexpr UINT MM_WIM_OPEN = 0x3BE;
constexpr UINT MM_WIM_CLOSE = 0x3BF;
constexpr UINT MM_WIM_DATA = 0x3C0;

constexpr DWORD WHDR_DONE = 0x01;
constexpr DWORD WHDR_PREPARED = 0x02;
constexpr DWORD WHDR_INQUEUE = 0x10;

constexpr DWORD WAVECAPS_PITCH = 0x01;
constexpr DWORD WAVECAPS_PLAYBACKRATE = 0x02;
constexpr DWORD WAVECAPS_VOLUME = 0x04;
constexpr DWORD WAVECAPS_LRVOLUME = 0x08;
constexpr DWORD WAVECAPS_SYNC = 0x10;
constexpr DWORD WAVECAPS_SAMPLEACCURATE = 0x20;

constexpr DWORD MIXER_OBJECTF_MIXER = 0x00000000;
constexpr DWORD MIXER_OBJECTF_WAVEIN = 0x20000000;
constexpr DWORD MIXER_OBJECTF_TYPEMASK = 0xF0000000;
constexpr DWORD MIXER_GETLINEINFOF_DESTINATION = 0;
constexpr DWORD MIXER_GETLINEINFOF_SOURCE = 1;
constexpr DWORD MIXER_GETLINEINFOF_QUERYMASK = 0x0000000F;
constexpr DWORD MIXERLINE_LINEF_ACTIVE = 0x00000001;
constexpr DWORD MIXERLINE_LINEF_SOURCE = 0x80000000;
constexpr DWORD MIXERLINE_TARGETTYPE_UNDEFINED = 0;
constexpr DWORD MIXERLINE_TARGETTYPE_WAVEOUT = 1;
constexpr DWORD MIXERLINE_TARGETTYPE_WAVEIN = 2;
constexpr DWORD MIXERLINE_COMPONENTTYPE_DST_UNDEFINED = 0;
constexpr DWORD MIXERLINE_COMPONENTTYPE_DST_SPEAKERS = 4;
constexpr DWORD MIXERLINE_COMPONENTTYPE_DST_WAVEIN = 7;
constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE = 0x1003;
constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_LINE = 0x1002;
constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_ANALOG = 0x100A;

struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};

struct WAVEHDR {
    LPSTR lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    DWORD dwLoops;
    WAVEHDR* lpNext;
    DWORD_PTR reserved;
};

struct WAVEINCAPSA {
    WORD wMid;
    WORD wPid;
    UINT vDriverVersion;
    char szPname[MAXPNAMELEN];
    DWORD dwFormats;
    WORD wChannels;
    WORD wReserved1;
};

struct WAVEOUTCAPSA {
    WORD wMid;
    WORD wPid;
    UINT vDriverVersion;
    char szPname[MAXPNAMELEN];
    DWORD dwFormats;
    WORD wChannels;
    WORD wReserved1;
    DWORD dwSupport;
};

struct MIXERCAPSA {
    WORD wMid;
    WORD wPid;
    UINT vDriverVersion;
    char szPname[MAXPNAMELEN];
    DWORD fdwSupport;
    DWORD cDestinations;
};

struct MIXERLINEA {
    DWORD cbStruct;
    DWORD dwDestination;
    DWORD dwSource;
    DWORD dwLineID;
    DWORD fdwLine;
    DWORD dwUser;
    DWORD dwComponentType;
    DWORD cChannels;
    DWORD cConnections;
    DWORD cControls;
    char szShortName[MIXER_SHORT_NAME_CHARS];
    char szName[MIXER_LONG_NAME_CHARS];
    struct {
        DWORD dwType;
        DWORD dwDeviceID;
        WORD wMid;
        WORD wPid;
        UINT vDriverVersion;
        char szPname[MAXPNAMELEN];
    } Target;
};

static_assert(sizeof(WAVEINCAPSA) == 48);
static_assert(sizeof(WAVEOUTCAPSA) == 52);
static_assert(sizeof(MIXERCAPSA) == 48);
static_assert(sizeof(MIXERLINEA) == 168);

UINT waveInGetNumDevs();
MMRESULT waveInGetDevCapsA(UINT_PTR deviceId, WAVEINCAPSA* caps, UINT size);
MMRESULT waveInOpen(HWAVEIN* handle, UINT deviceId, const WAVEFORMATEX* format, DWORD_PTR callback,
                    DWORD_PTR instance, DWORD flags);
MMRESULT waveInGetErrorTextA(MMRESULT code, char* text, UINT size);
MMRESULT waveInPrepareHeader(HWAVEIN handle, WAVEHDR* header, UINT size);
MMRESULT waveInAddBuffer(HWAVEIN handle, WAVEHDR* header, UINT size);
MMRESULT waveInStart(HWAVEIN handle);
MMRESULT waveInUnprepareHeader(HWAVEIN handle, WAVEHDR* header, UINT size);
MMRESULT waveInClose(HWAVEIN handle);

UINT waveOutGetNumDevs();
MMRESULT waveOutGetDevCapsA(UINT_PTR deviceId, WAVEOUTCAPSA* caps, UINT size);
MMRESULT waveOutGetVolume(HWAVEOUT handle, DWORD* volume);

UINT mixerGetNumDevs();
MMRESULT mixerGetDevCapsA(UINT_PTR mixerId, MIXERCAPSA* caps, UINT size);
MMRESULT mixerGetLineInfoA(HMIXEROBJ mixer, MIXERLINEA* line, DWORD flags);
MMRESULT mixerGetID(HMIXEROBJ object, UINT* mixerId, DWORD flags);
