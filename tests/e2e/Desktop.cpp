#include "Desktop.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace e2e {

namespace {

std::vector<std::string> Environment(const std::vector<std::string>& extra) {
    std::map<std::string, std::string> vars;
    for (char** e = environ; *e; ++e) {
        std::string s = *e;
        vars[s.substr(0, s.find('='))] = s;
    }
    for (const std::string& s : extra)
        vars[s.substr(0, s.find('='))] = s;
    std::vector<std::string> out;
    for (auto& [k, v] : vars)
        out.push_back(v);
    return out;
}

} // namespace

Process::Process(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv,
                 int stdoutFd) {
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const auto env = Environment(extraEnv);
    std::vector<char*> envp;
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
    // Its own process group, so that ending it ends whatever it started too.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const int rc = posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(rc));
}

Process::~Process() {
    if (Running()) {
        Kill(SIGTERM);
        if (!WaitExit(2s)) {
            Kill(SIGKILL);
            WaitExit(2s);
        }
    }
    // Whatever it left behind in its group goes too.
    if (pid > 0)
        ::kill(-pid, SIGKILL);
}

bool Process::Running() {
    if (status || pid <= 0)
        return false;
    int s = 0;
    if (waitpid(pid, &s, WNOHANG) == pid) {
        status = s;
        return false;
    }
    return true;
}

std::optional<int> Process::WaitExit(std::chrono::milliseconds bound) {
    const auto end = std::chrono::steady_clock::now() + bound;
    while (Running() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(10ms);
    if (!status)
        return std::nullopt;
    return WIFEXITED(*status) ? WEXITSTATUS(*status) : 128 + WTERMSIG(*status);
}

void Process::Kill(int signal) {
    if (pid > 0 && !status)
        ::kill(-pid, signal);
}

std::string Capture(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
    int fds[2];
    if (pipe(fds) != 0)
        throw std::runtime_error("pipe");
    std::string out;
    {
        Process p(argv, env, fds[1]);
        close(fds[1]);
        char buffer[4096];
        ssize_t n;
        while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
            out.append(buffer, std::size_t(n));
        close(fds[0]);
        const auto code = p.WaitExit(30s);
        if (code != 0)
            throw std::runtime_error(argv[0] + " failed: " + out);
    }
    return out;
}

Xvfb::Xvfb() {
    int fds[2];
    if (pipe(fds) != 0)
        throw std::runtime_error("pipe");
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    server = std::make_unique<Process>(
        std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                 "1280x1024x24", "-nolisten", "tcp"},
        std::vector<std::string>{});
    close(fds[1]);
    pollfd p{fds[0], POLLIN, 0};
    std::string number;
    while (poll(&p, 1, 10000) > 0) {
        char c;
        if (read(fds[0], &c, 1) != 1 || c == '\n')
            break;
        number += c;
    }
    close(fds[0]);
    if (number.empty())
        throw std::runtime_error("Xvfb did not start");
    display = ":" + number;
}

Xvfb::~Xvfb() = default;

PulseServer::PulseServer(std::string dir) : dir(std::move(dir)) {
    Start();
}

PulseServer::~PulseServer() {
    try {
        Capture({SourceDir() + "/scripts/pulse-test-server", "stop", dir});
    } catch (...) {
    }
}

void PulseServer::Start() {
    std::string out = Capture({SourceDir() + "/scripts/pulse-test-server", "start", dir},
                              {"QUORVANE_PULSE_EXIT_IDLE=600"});
    while (!out.empty() && (out.back() == '\n' || out.back() == ' '))
        out.pop_back();
    address = out.substr(out.rfind('\n') == std::string::npos ? 0 : out.rfind('\n') + 1);
}

void PulseServer::Kill() {
    std::ifstream pidFile(dir + "/runtime/pid");
    pid_t pid = 0;
    if (pidFile >> pid && pid > 0)
        ::kill(pid, SIGKILL);
    for (int i = 0; i < 200 && pid > 0 && ::kill(pid, 0) == 0; ++i)
        std::this_thread::sleep_for(10ms);
}

void PulseServer::Restart() {
    Start();
}

Tone::Tone(const PulseServer& pulse, double frequency, double amplitude, int seconds) {
    char name[] = "/tmp/quorvane-tone-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0)
        throw std::runtime_error("mkstemp");
    file = name;
    std::vector<std::int16_t> samples(std::size_t(seconds) * 44100);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = std::int16_t(amplitude * std::sin(2 * M_PI * frequency * double(i) / 44100));
    const auto bytes = ssize_t(samples.size() * sizeof(std::int16_t));
    if (write(fd, samples.data(), std::size_t(bytes)) != bytes)
        throw std::runtime_error("cannot write the tone");
    close(fd);
    player = std::make_unique<Process>(
        std::vector<std::string>{"pacat", "--playback", "--raw", "--device=quorvane_test_sink",
                                 "--format=s16le", "--rate=44100", "--channels=1", file},
        std::vector<std::string>{"PULSE_SERVER=" + pulse.Address()});
}

Tone::~Tone() {
    player.reset();
    unlink(file.c_str());
}

Screen::Screen(const std::string& display) : display(display) {
    x = XOpenDisplay(display.c_str());
    if (!x)
        throw std::runtime_error("cannot open display " + display);
}

Screen::~Screen() {
    if (x)
        XCloseDisplay(x);
}

unsigned long Screen::FindWindow(const std::string& title, std::chrono::milliseconds bound) {
    const auto end = std::chrono::steady_clock::now() + bound;
    do {
        Window root, parent, *children = nullptr;
        unsigned int count = 0;
        Window found = 0;
        if (XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count)) {
            for (unsigned int i = 0; i < count && !found; ++i) {
                char* name = nullptr;
                XWindowAttributes attributes;
                if (XFetchName(x, children[i], &name) && name) {
                    if (title == name && XGetWindowAttributes(x, children[i], &attributes) &&
                        attributes.map_state == IsViewable)
                        found = children[i];
                    XFree(name);
                }
            }
            if (children)
                XFree(children);
        }
        if (found)
            return found;
        std::this_thread::sleep_for(50ms);
    } while (std::chrono::steady_clock::now() < end);
    return 0;
}

void Screen::Focus(unsigned long window) {
    XRaiseWindow(x, window);
    XSetInputFocus(x, window, RevertToParent, CurrentTime);
    XSync(x, False);
}

void Screen::Keys(const std::vector<std::string>& keys) {
    std::vector<std::string> argv = {"xdotool", "key", "--delay", "60"};
    argv.insert(argv.end(), keys.begin(), keys.end());
    Capture(argv, {"DISPLAY=" + display});
}

QImage Screen::Grab(unsigned long window) {
    XWindowAttributes a;
    XGetWindowAttributes(x, window, &a);
    XImage* image =
        XGetImage(x, window, 0, 0, unsigned(a.width), unsigned(a.height), AllPlanes, ZPixmap);
    if (!image)
        return {};
    QImage out(a.width, a.height, QImage::Format_RGB32);
    for (int yy = 0; yy < a.height; ++yy)
        for (int xx = 0; xx < a.width; ++xx)
            out.setPixel(xx, yy, QRgb(XGetPixel(image, xx, yy) & 0xFFFFFF) | 0xFF000000u);
    XDestroyImage(image);
    return out;
}

void Screen::RequestClose(unsigned long window) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(XInternAtom(x, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(x, window, False, NoEventMask, &e);
    XSync(x, False);
}

std::string BinaryDir() {
    return QUORVANE_BINARY_DIR;
}
std::string SourceDir() {
    return QUORVANE_SOURCE_DIR;
}

std::string ArtefactDir() {
    const std::string dir = BinaryDir() + "/test-artefacts";
    mkdir(dir.c_str(), 0755);
    return dir;
}

} // namespace e2e
