#include "platform/process/process.h"

#include <cerrno>
#include <charconv>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <mutex>
#include <spawn.h>
#include <strings.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace process {
namespace {

// Set and read on the GUI thread only, like every call of CreateProcessA.
std::vector<ProgramMapping>& Table() {
    static std::vector<ProgramMapping> table = DefaultProgramTable();
    return table;
}

// The number of the first -D<n> switch, or -1.
long CardOf(const std::vector<std::string>& words) {
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w.size() < 3 || w[0] != '-' || (w[1] != 'D' && w[1] != 'd'))
            continue;
        long card = -1;
        const char* end = w.data() + w.size();
        auto [at, error] = std::from_chars(w.data() + 2, end, card);
        if (error == std::errc() && at == end && card >= 0)
            return card;
    }
    return -1;
}

struct Children {
    std::mutex Lock;
    std::condition_variable Ended;
    std::size_t Running = 0;
};

// Never destroyed: a reaper may still be waiting while the program exits.
Children& Started() {
    static Children* children = new Children;
    return *children;
}

// Nobody waits for the program; this keeps it from lingering as a zombie once it ends.
void Reap(pid_t pid) {
    Children& children = Started();
    {
        std::lock_guard lock(children.Lock);
        ++children.Running;
    }
    auto wait = [pid, &children] {
        int status = 0;
        while (waitpid(pid, &status, 0) == -1 && errno == EINTR) {
        }
        std::lock_guard lock(children.Lock);
        --children.Running;
        children.Ended.notify_all();
    };
    try {
        std::thread(wait).detach();
    } catch (const std::system_error&) {
        // No thread to spare: the child stays unreaped, which costs a process slot only.
        std::lock_guard lock(children.Lock);
        --children.Running;
    }
}

} // namespace

std::vector<ProgramMapping> DefaultProgramTable() {
    return {
        {"SndVol32.exe", {"pavucontrol", "--tab=4"}, ""},
        {"SndVol.exe", {"x-terminal-emulator", "-e", "alsamixer", "-V", "capture"}, "-c"},
    };
}

bool WaitForChildren(std::chrono::milliseconds bound) {
    Children& children = Started();
    std::unique_lock lock(children.Lock);
    return children.Ended.wait_for(lock, bound, [&children] { return children.Running == 0; });
}

void SetProgramTable(std::vector<ProgramMapping> table) {
    Table() = std::move(table);
}

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (char c : commandLine) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

std::vector<std::string> ProgramArguments(const std::string& commandLine) {
    std::vector<std::string> words = SplitCommandLine(commandLine);
    if (words.empty())
        return words;
    for (const ProgramMapping& mapping : Table()) {
        if (strcasecmp(mapping.WindowsName.c_str(), words[0].c_str()) != 0)
            continue;
        std::vector<std::string> arguments = mapping.Arguments;
        long card = CardOf(words);
        if (!mapping.CardSwitch.empty() && card >= 0) {
            arguments.push_back(mapping.CardSwitch);
            arguments.push_back(std::to_string(card));
        }
        return arguments;
    }
    return words;
}

} // namespace process

BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES,
                    LPSECURITY_ATTRIBUTES, BOOL, DWORD, void* environment, LPCSTR currentDirectory,
                    LPSTARTUPINFOA startupInfo, LPPROCESS_INFORMATION processInformation) {
    // A caller's own environment block has no use in this program; refuse it rather than
    // start the child with the wrong one.
    if (environment || !startupInfo || !processInformation)
        return FALSE;
    const bool explicitModule = applicationName && *applicationName;
    const std::string line = commandLine ? commandLine : "";
    // An explicit module runs as it is, with the command line as its arguments.
    std::vector<std::string> arguments =
        explicitModule ? process::SplitCommandLine(line) : process::ProgramArguments(line);
    if (explicitModule && arguments.empty())
        arguments.emplace_back(applicationName);
    if (arguments.empty())
        return FALSE;
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& a : arguments)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return FALSE;
    if (posix_spawnattr_init(&attributes) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return FALSE;
    }
    int result = 0;
    if (currentDirectory && *currentDirectory)
        result = posix_spawn_file_actions_addchdir_np(&actions, currentDirectory);
    // The mixer lives on its own: its own session, no signals blocked that we happen to block.
    sigset_t none;
    sigemptyset(&none);
    if (result == 0)
        result = posix_spawnattr_setsigmask(&attributes, &none);
    if (result == 0)
        result = posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    if (result == 0) {
        // glibc reports a failed exec (ENOENT and the like) through this result.
        if (explicitModule)
            result =
                posix_spawn(&pid, applicationName, &actions, &attributes, argv.data(), environ);
        else
            result = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0)
        return FALSE;

    processInformation->hProcess = nullptr;
    processInformation->hThread = nullptr;
    processInformation->dwProcessId = DWORD(pid);
    processInformation->dwThreadId = DWORD(pid);
    process::Reap(pid);
    return TRUE;
}
