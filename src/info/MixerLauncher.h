// Opens the system's mixer program on the recording controls of a wave-input device's mixer,
// or tells the user why it cannot.
#pragma once

// waveInId is the selected input device's identifier, -1 when the list is empty.
void LaunchRecordingMixer(int waveInId);
