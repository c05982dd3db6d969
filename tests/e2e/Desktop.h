// A desktop for end-to-end tests: an Xvfb server, a private PulseAudio daemon with a null sink,
// programs started in it, and what a user sees of their windows.
#pragma once

#include <QImage>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

struct _XDisplay;

namespace e2e {

using namespace std::chrono_literals;

// A child process; killed (and reaped) when the object goes.
class Process {
public:
    Process(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv,
            int stdoutFd = -1);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    pid_t Pid() const { return pid; }
    bool Running();
    // The exit status once it has ended within the bound; nothing if it is still running.
    std::optional<int> WaitExit(std::chrono::milliseconds bound);
    void Kill(int signal);

private:
    pid_t pid = -1;
    std::optional<int> status;
};

// Runs a command to completion and returns its standard output.
std::string Capture(const std::vector<std::string>& argv, const std::vector<std::string>& env = {});

class Xvfb {
public:
    Xvfb();
    ~Xvfb();
    std::string Display() const { return display; }

private:
    std::string display;
    std::unique_ptr<Process> server;
};

class PulseServer {
public:
    explicit PulseServer(std::string dir);
    ~PulseServer();
    std::string Address() const { return address; }
    void Kill(); // as if the server crashed
    void Restart();

private:
    void Start();
    std::string dir;
    std::string address;
};

// A tone played into the test sink for as long as the object lives.
class Tone {
public:
    Tone(const PulseServer& pulse, double frequency, double amplitude, int seconds);
    ~Tone();

private:
    std::string file;
    std::unique_ptr<Process> player;
};

// The X side: find windows, press keys, take pictures, ask windows to close.
class Screen {
public:
    explicit Screen(const std::string& display);
    ~Screen();
    // The top-level window with this title, waiting for it within the bound; 0 if none came.
    unsigned long FindWindow(const std::string& title, std::chrono::milliseconds bound);
    void Focus(unsigned long window);
    // Keys as xdotool names them, e.g. "alt+s", "Down", "Return".
    void Keys(const std::vector<std::string>& keys);
    QImage Grab(unsigned long window);
    // What a window manager's close button sends.
    void RequestClose(unsigned long window);

private:
    std::string display;
    ::_XDisplay* x = nullptr;
};

std::string BinaryDir();
std::string SourceDir();
std::string ArtefactDir();

} // namespace e2e
