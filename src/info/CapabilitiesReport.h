// The plain-text report of how the audio interface sees the machine's wave-output, wave-input
// and mixer devices. Pure: it only queries the devices, so tests call it without a window.
#pragma once

#include <string>
#include <vector>

// One entry per line, none holding line-end characters; lines may be empty.
std::vector<std::string> CapabilitiesReport();
