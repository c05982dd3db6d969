// Process creation as the program calls it: CreateProcessA with its records, over posix_spawnp.
// The Windows mixer programs the program names are mapped to Linux mixers through one table.
#pragma once

#include "platform/windef.h"

#include <chrono>
#include <string>
#include <vector>

using HANDLE = void*;

constexpr DWORD CREATE_UNICODE_ENVIRONMENT = 0x00000400;

struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    void* lpSecurityDescriptor;
    BOOL bInheritHandle;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

struct STARTUPINFOA {
    DWORD cb;
    LPSTR lpReserved;
    LPSTR lpDesktop;
    LPSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    BYTE* lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
};
using LPSTARTUPINFOA = STARTUPINFOA*;

// There are no process handles here: hProcess and hThread stay null and the child is reaped
// by the stand-in itself, so callers never wait for it or close anything.
struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};
using LPPROCESS_INFORMATION = PROCESS_INFORMATION*;

// Starts the program without waiting for it. The first word of commandLine names the program
// (looked up in PATH) unless applicationName gives its path. Only a null environment (inherit)
// is supported. Returns FALSE when the program cannot be found or started.
BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine,
                    LPSECURITY_ATTRIBUTES processAttributes, LPSECURITY_ATTRIBUTES threadAttributes,
                    BOOL inheritHandles, DWORD creationFlags, void* environment,
                    LPCSTR currentDirectory, LPSTARTUPINFOA startupInfo,
                    LPPROCESS_INFORMATION processInformation);

namespace process {

// A Windows program name (matched without regard to case) and what runs in its place. When
// CardSwitch is set and the command line has a -D<n> switch, CardSwitch and n follow Arguments.
struct ProgramMapping {
    std::string WindowsName;
    std::vector<std::string> Arguments;
    std::string CardSwitch;
};

// SndVol32.exe: the sound server's volume control on its input devices; SndVol.exe: a terminal
// ALSA mixer showing the capture controls of the card.
std::vector<ProgramMapping> DefaultProgramTable();
// Replaces the table (tests install their own, or an empty one to run names as they are).
void SetProgramTable(std::vector<ProgramMapping> table);
// Words of a command line: split at blanks and tabs, double quotes group a word.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);
// The arguments that run for a command line under the current table; other names run as they
// are.
std::vector<std::string> ProgramArguments(const std::string& commandLine);

// Waits until every program started here has ended and been reaped, at most for bound; false
// when some still run. Lets tests read what their stand-in programs wrote.
bool WaitForChildren(std::chrono::milliseconds bound);

} // namespace process
