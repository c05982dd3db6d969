#include "platform/mmsystem/alsa/SoundServer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace mmsystem::alsa;

namespace {

TEST(SoundServer, SocketsFollowTheEnvironment) {
    const struct {
        std::map<std::string, std::string> env;
        std::vector<std::string> expected;
    } cases[] = {
        {{}, {"/run/user/1000/pulse/native", "/var/run/pulse/native", "/run/user/1000/pipewire-0"}},
        {{{"XDG_RUNTIME_DIR", "/x"}},
         {"/x/pulse/native", "/run/user/1000/pulse/native", "/var/run/pulse/native",
          "/x/pipewire-0", "/run/user/1000/pipewire-0"}},
        // Servers given by name: local ones are tried first, remote ones are not ours to check.
        {{{"PULSE_SERVER", "tcp:host unix:/a/native {abc}unix:/b/native /c/native"},
          {"PULSE_RUNTIME_PATH", "/p"},
          {"PIPEWIRE_REMOTE", "/q/pw"}},
         {"/a/native", "/b/native", "/c/native", "/p/native", "/run/user/1000/pulse/native",
          "/var/run/pulse/native", "/q/pw"}},
        {{{"PIPEWIRE_REMOTE", "other"}, {"PIPEWIRE_RUNTIME_DIR", "/r"}},
         {"/run/user/1000/pulse/native", "/var/run/pulse/native", "/r/other",
          "/run/user/1000/other"}},
    };
    for (const auto& c : cases) {
        const auto env = [&](const char* name) -> const char* {
            const auto it = c.env.find(name);
            return it == c.env.end() ? nullptr : it->second.c_str();
        };
        EXPECT_EQ(SoundServerSockets(env, 1000), c.expected);
    }
}

class Listener {
public:
    explicit Listener(const std::string& path) {
        fd_ = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        path.copy(a.sun_path, sizeof a.sun_path - 1);
        bound_ = bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    bool Listen() { return bound_ && listen(fd_, 4) == 0; }
    ~Listener() { close(fd_); }

private:
    int fd_ = -1;
    bool bound_ = false;
};

TEST(SoundServer, OnlyAListeningSocketAnswers) {
    char dir[] = "/tmp/quorvane-sock-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string live = std::string(dir) + "/live", stale = std::string(dir) + "/stale";
    {
        Listener server(live);
        ASSERT_TRUE(server.Listen());
        // Bound but never listening: what a crashed server leaves behind.
        Listener left(stale);
        EXPECT_TRUE(SocketAnswers(live));
        EXPECT_FALSE(SocketAnswers(stale));
    }
    EXPECT_FALSE(SocketAnswers(live)); // closed: the file remains, nobody answers
    EXPECT_FALSE(SocketAnswers(std::string(dir) + "/missing"));
    EXPECT_FALSE(SocketAnswers(std::string(dir) + "/" + std::string(200, 'x')));
    EXPECT_FALSE(SocketAnswers(""));
    unlink(live.c_str());
    unlink(stale.c_str());
    rmdir(dir);
}

} // namespace
