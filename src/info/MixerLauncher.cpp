#include "info/MixerLauncher.h"

#include "platform/mmsystem/mmsystem.h"
#include "platform/process/process.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"

#include <cstdint>
#include <cstdio>

namespace {

// Each attempt gets records of its own, cleared, as a fresh start expects.
bool StartMixer(const char* format, UINT mixerId) {
    char commandLine[64];
    std::snprintf(commandLine, sizeof commandLine, format, static_cast<int>(mixerId));
    STARTUPINFOA startupInfo = {};
    startupInfo.cb = sizeof startupInfo;
    PROCESS_INFORMATION processInformation = {};
    return CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                          nullptr, nullptr, &startupInfo, &processInformation) != FALSE;
}

} // namespace

void LaunchRecordingMixer(int waveInId) {
    UINT mixerId = 0;
    // The wave-input identifier goes in the handle's place, as MIXER_OBJECTF_WAVEIN asks.
    HMIXEROBJ object = reinterpret_cast<HMIXEROBJ>(static_cast<std::intptr_t>(waveInId));
    // Only "no driver" means there is no mixer; any other result goes on with the preset 0.
    if (mixerGetID(object, &mixerId, MIXER_OBJECTF_WAVEIN) == MMSYSERR_NODRIVER) {
        Application->MessageBox(
            "There doesn't appear to be a 'mixer' for the selected input device.", "Notification",
            MB_ICONINFORMATION);
        return;
    }
    if (StartMixer("SndVol32.exe -R -D%i", mixerId))
        return;
    if (StartMixer("SndVol.exe -R -D%i", mixerId))
        return;
    Application->MessageBox(
        "Can't seem to open the Windows mixer (SndVol32.exe or SndVol.exe) - sorry",
        "Minor problem", MB_ICONWARNING);
}
