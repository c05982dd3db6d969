#include "platform/process/process.h"

#include "TestFiles.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Words = std::vector<std::string>;

// Generous: only a hung child would take this long.
constexpr auto ChildBound = 20s;

struct ArgumentsCase {
    const char* CommandLine;
    Words Expected;
    friend void PrintTo(const ArgumentsCase& c, std::ostream* os) { *os << c.CommandLine; }
};

class ProgramArguments : public ::testing::TestWithParam<ArgumentsCase> {
protected:
    void SetUp() override { process::SetProgramTable(process::DefaultProgramTable()); }
};

TEST_P(ProgramArguments, FollowTheTable) {
    EXPECT_EQ(process::ProgramArguments(GetParam().CommandLine), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Default, ProgramArguments,
    ::testing::Values(
        ArgumentsCase{"SndVol32.exe -R -D2", {"pavucontrol", "--tab=4"}},
        ArgumentsCase{"sndvol32.EXE -R -D2", {"pavucontrol", "--tab=4"}},
        ArgumentsCase{"SndVol.exe -R -D3",
                      {"x-terminal-emulator", "-e", "alsamixer", "-V", "capture", "-c", "3"}},
        ArgumentsCase{"SndVol.exe -R -D0",
                      {"x-terminal-emulator", "-e", "alsamixer", "-V", "capture", "-c", "0"}},
        ArgumentsCase{"SndVol.exe -R", {"x-terminal-emulator", "-e", "alsamixer", "-V", "capture"}},
        ArgumentsCase{"SndVol.exe -R -D-1",
                      {"x-terminal-emulator", "-e", "alsamixer", "-V", "capture"}},
        ArgumentsCase{"SndVol.exe -R -D2x",
                      {"x-terminal-emulator", "-e", "alsamixer", "-V", "capture"}},
        ArgumentsCase{"other  -a\t\"b c\" d\"e f\"", {"other", "-a", "b c", "de f"}},
        ArgumentsCase{"SndVol32", {"SndVol32"}}, ArgumentsCase{"   ", {}}));

// Runs with PATH pointing first at a scratch folder of stand-in programs.
class CreateProcess : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("PATH");
        savedPath = old ? old : "";
        setenv("PATH", (dir.Path().string() + ":/usr/bin:/bin").c_str(), 1);
        process::SetProgramTable({});
    }
    void TearDown() override {
        EXPECT_TRUE(process::WaitForChildren(ChildBound));
        setenv("PATH", savedPath.c_str(), 1);
        process::SetProgramTable(process::DefaultProgramTable());
    }

    BOOL Start(std::string commandLine, void* environment = nullptr) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        info = {};
        return CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                              CREATE_UNICODE_ENVIRONMENT, environment, nullptr, &startup, &info);
    }

    infotest::ScratchDir dir;
    std::filesystem::path log = dir.Path() / "log";
    PROCESS_INFORMATION info = {};
    std::string savedPath;
};

struct StartCase {
    const char* Name;
    std::vector<process::ProgramMapping> Table;
    const char* CommandLine;
    const char* Logged;
    friend void PrintTo(const StartCase& c, std::ostream* os) { *os << c.Name; }
};

class CreateProcessStarts : public CreateProcess,
                            public ::testing::WithParamInterface<StartCase> {};

TEST_P(CreateProcessStarts, RunsTheProgramAndReapsIt) {
    dir.WriteRecorder("recorder", log);
    process::SetProgramTable(GetParam().Table);
    ASSERT_EQ(Start(GetParam().CommandLine), TRUE);
    EXPECT_NE(info.dwProcessId, 0u);
    ASSERT_TRUE(process::WaitForChildren(ChildBound));
    EXPECT_EQ(infotest::ReadFile(log), GetParam().Logged);
    // Reaped, not left as a zombie.
    EXPECT_FALSE(std::filesystem::exists("/proc/" + std::to_string(info.dwProcessId)));
}

INSTANTIATE_TEST_SUITE_P(
    Programs, CreateProcessStarts,
    ::testing::Values(StartCase{"AsNamed", {}, "recorder -R -D2", "recorder -R -D2\n"},
                      StartCase{"Mapped",
                                {{"SndVol32.exe", {"recorder", "--tab=4"}, ""}},
                                "SndVol32.exe -R -D2",
                                "recorder --tab=4\n"},
                      StartCase{"MappedWithCard",
                                {{"SndVol.exe", {"recorder", "-V", "capture"}, "-c"}},
                                "SndVol.exe -R -D7",
                                "recorder -V capture -c 7\n"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CreateProcess, ReturnsWithoutWaitingForTheProgram) {
    const auto gate = dir.Path() / "gate";
    ASSERT_EQ(mkfifo(gate.c_str(), 0600), 0);
    dir.WriteScript("waiter", "read line < '" + gate.string() + "'\n");
    ASSERT_EQ(Start("waiter"), TRUE);
    EXPECT_FALSE(process::WaitForChildren(0ms));
    // Opening the write end blocks until the child opens its end: it is running.
    const int fd = open(gate.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "go\n", 3), 3);
    close(fd);
    EXPECT_TRUE(process::WaitForChildren(ChildBound));
}

struct FailCase {
    const char* Name;
    const char* CommandLine;
    bool WithEnvironment;
    friend void PrintTo(const FailCase& c, std::ostream* os) { *os << c.Name; }
};

class CreateProcessFails : public CreateProcess, public ::testing::WithParamInterface<FailCase> {};

TEST_P(CreateProcessFails, ReportsFalseAndStartsNothing) {
    dir.WriteRecorder("recorder", log);
    std::ofstream(dir.Path() / "plainfile") << "not a program\n";
    std::filesystem::create_directory(dir.Path() / "folder");
    char environment[] = "A=1\0";
    EXPECT_EQ(Start(GetParam().CommandLine, GetParam().WithEnvironment ? environment : nullptr),
              FALSE);
    EXPECT_TRUE(process::WaitForChildren(0ms));
    EXPECT_FALSE(std::filesystem::exists(log));
}

INSTANTIATE_TEST_SUITE_P(
    Causes, CreateProcessFails,
    ::testing::Values(FailCase{"Missing", "quorvane-no-such-program -R", false},
                      FailCase{"NotExecutable", "plainfile", false},
                      FailCase{"Folder", "folder", false}, FailCase{"Empty", "", false},
                      FailCase{"OwnEnvironment", "recorder", true}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CreateProcess, MissingMappedProgramFails) {
    process::SetProgramTable({{"SndVol32.exe", {"quorvane-no-such-mixer"}, ""}});
    EXPECT_EQ(Start("SndVol32.exe -R -D0"), FALSE);
}

} // namespace
