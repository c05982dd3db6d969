#include "platform/mmsystem/alsa/SoundServer.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace mmsystem::alsa {

namespace {

std::string Value(const Environment& env, const char* name) {
    const char* v = env(name);
    return v ? v : "";
}

} // namespace

std::vector<std::string> SoundServerSockets(const Environment& env, unsigned uid) {
    std::vector<std::string> sockets;
    // PULSE_SERVER is a list of servers; the local ones are "unix:PATH" or a bare path.
    std::istringstream servers(Value(env, "PULSE_SERVER"));
    for (std::string s; servers >> s;) {
        if (s.rfind("{", 0) == 0) { // "{machine-id}unix:..." names a server of one host
            const auto close = s.find('}');
            s = close == std::string::npos ? "" : s.substr(close + 1);
        }
        if (s.rfind("unix:", 0) == 0)
            sockets.push_back(s.substr(5));
        else if (s.rfind("/", 0) == 0)
            sockets.push_back(s);
    }
    const std::string userRun = "/run/user/" + std::to_string(uid);
    const std::string xdg = Value(env, "XDG_RUNTIME_DIR");
    const std::string pulseRuntime = Value(env, "PULSE_RUNTIME_PATH");
    if (!pulseRuntime.empty())
        sockets.push_back(pulseRuntime + "/native");
    for (const std::string& dir : {xdg, userRun}) {
        if (!dir.empty())
            sockets.push_back(dir + "/pulse/native");
    }
    sockets.push_back("/var/run/pulse/native");
    std::string remote = Value(env, "PIPEWIRE_REMOTE");
    if (remote.empty())
        remote = "pipewire-0";
    if (remote.rfind("/", 0) == 0) {
        sockets.push_back(remote);
    } else {
        for (const std::string& dir : {Value(env, "PIPEWIRE_RUNTIME_DIR"), xdg, userRun}) {
            if (!dir.empty())
                sockets.push_back(dir + "/" + remote);
        }
    }
    return sockets;
}

bool SocketAnswers(const std::string& path) {
    sockaddr_un address{};
    if (path.empty() || path.size() >= sizeof(address.sun_path))
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    // A local connect never waits: it is taken at once, or EAGAIN says a listener is there
    // with a full backlog (busy, but running).
    const bool answers =
        connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 ||
        errno == EAGAIN;
    close(fd);
    return answers;
}

bool SoundServerAnswers() {
    for (const std::string& s : SoundServerSockets(&std::getenv, getuid())) {
        if (SocketAnswers(s))
            return true;
    }
    return false;
}

} // namespace mmsystem::alsa
