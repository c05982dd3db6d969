// Whether a sound server (PulseAudio, or PipeWire with its Pulse or native socket) is running
// for this user. While one runs, the ALSA driver leaves the hardware devices to it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace mmsystem::alsa {

using Environment = std::function<const char*(const char*)>;

// The sockets a server of this user would listen on, in the order clients try them.
std::vector<std::string> SoundServerSockets(const Environment& env, unsigned uid);

// True when a stream socket at path accepts a connection (a stale file does not).
bool SocketAnswers(const std::string& path);

// Any of the sockets of the current environment answers.
bool SoundServerAnswers();

} // namespace mmsystem::alsa
