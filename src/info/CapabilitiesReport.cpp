#include "info/CapabilitiesReport.h"

#include "platform/mmsystem/mmsystem.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// "%#x", but zero is written as 0 without the prefix.
std::string Hex(unsigned value) {
    if (value == 0)
        return "0";
    char text[16];
    std::snprintf(text, sizeof text, "%#x", value);
    return text;
}

// A driver that fills a name to the brim leaves no terminator; never read past the field.
template <std::size_t N> std::string Name(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

std::string Format(const char* format, const std::string& a, unsigned b) {
    char text[256];
    std::snprintf(text, sizeof text, format, a.c_str(), b);
    return text;
}

HMIXEROBJ MixerById(UINT id) {
    return reinterpret_cast<HMIXEROBJ>(static_cast<std::uintptr_t>(id));
}

void WaveOutDevices(std::vector<std::string>& lines) {
    const UINT count = waveOutGetNumDevs();
    lines.emplace_back();
    lines.emplace_back("*** waveOut devices ***");
    for (UINT i = 0; i < count; ++i) {
        // Cleared before each query, so a failed one shows an empty, plain device rather than
        // the one before it.
        WAVEOUTCAPSA caps = {};
        waveOutGetDevCapsA(i, &caps, sizeof caps);
        lines.push_back(Name(caps.szPname));
        const bool volume = caps.dwSupport & WAVECAPS_VOLUME;
        const bool lr = caps.dwSupport & WAVECAPS_LRVOLUME;
        if (volume) {
            lines.emplace_back(lr ? " - Supports volume control (L/R independent)"
                                  : " - Supports volume control");
            DWORD present = 0;
            // The identifier stands in for a handle here, as the interface allows.
            waveOutGetVolume(reinterpret_cast<HWAVEOUT>(static_cast<std::uintptr_t>(i)), &present);
            const unsigned left = present & 0xFFFF;
            const unsigned right = present >> 16;
            lines.push_back(" - Present volume: " +
                            (lr ? "L:" + Hex(left) + " R:" + Hex(right) : Hex(left)));
        }
        lines.emplace_back(caps.dwSupport & WAVECAPS_SAMPLEACCURATE
                               ? " - Claims sample-accurate position information"
                               : " - /!\\ Does NOT claim sample-accurate position information");
        lines.emplace_back();
    }
}

void WaveInDevices(std::vector<std::string>& lines) {
    const UINT count = waveInGetNumDevs();
    lines.emplace_back();
    lines.emplace_back("*** waveIn devices ***");
    for (UINT i = 0; i < count; ++i) {
        WAVEINCAPSA caps = {};
        waveInGetDevCapsA(i, &caps, sizeof caps);
        lines.push_back(Name(caps.szPname));
    }
}

const char* DestinationTag(DWORD componentType) {
    switch (componentType) {
    case MIXERLINE_COMPONENTTYPE_DST_WAVEIN:
        return "*DST_WAVEIN*";
    case MIXERLINE_COMPONENTTYPE_DST_SPEAKERS:
        return "*DST_SPEAKERS*";
    default:
        return "";
    }
}

void MixerDevices(std::vector<std::string>& lines) {
    const UINT count = mixerGetNumDevs();
    lines.emplace_back();
    lines.emplace_back("*** 'Mixer' devices ***");
    for (UINT m = 0; m < count; ++m) {
        MIXERCAPSA caps = {};
        mixerGetDevCapsA(m, &caps, sizeof caps);
        lines.push_back(Format("%s  (%u 'destinations')", Name(caps.szPname), caps.cDestinations));
        for (DWORD d = 0; d < caps.cDestinations; ++d) {
            MIXERLINEA destination = {};
            destination.cbStruct = sizeof destination;
            destination.dwDestination = d;
            destination.dwSource = 0;
            mixerGetLineInfoA(MixerById(m), &destination, MIXER_GETLINEINFOF_DESTINATION);
            char text[256];
            std::snprintf(text, sizeof text, " %s  %s:  (%u 'connections')  %u Controls",
                          Name(destination.szName).c_str(),
                          DestinationTag(destination.dwComponentType), destination.cConnections,
                          destination.cControls);
            lines.emplace_back(text);
            for (DWORD s = 0; s < destination.cConnections; ++s) {
                MIXERLINEA source = {};
                source.cbStruct = sizeof source;
                source.dwDestination = d;
                source.dwSource = s;
                mixerGetLineInfoA(MixerById(m), &source, MIXER_GETLINEINFOF_SOURCE);
                lines.push_back(
                    Format("  i/p %s  [%u channels]", Name(source.szName), source.cChannels));
            }
        }
        lines.emplace_back();
    }
}

} // namespace

std::vector<std::string> CapabilitiesReport() {
    std::vector<std::string> lines{
        "The following information reveals how Windows' audio API views the audio capabilities "
        "of your computer. Such information may be useful for debugging purposes.",
        "For a detailed explanation of what this stuff means, see the Windows Multimedia API "
        "documentation for functions waveInGetDevCaps(), mixerGetDevCaps(), mixerGetLineInfo() "
        "etc., or Google-search for them on MSDN."};
    WaveOutDevices(lines);
    WaveInDevices(lines);
    MixerDevices(lines);
    return lines;
}
