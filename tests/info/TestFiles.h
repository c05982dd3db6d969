// Small file helpers for the info tests: fixture texts, a scratch folder, stand-in programs.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace infotest {

inline std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string::size_type at = 0;
    for (;;) {
        auto end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at));
        if (end == std::string::npos)
            return lines;
        at = end + 1;
    }
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A fixture's lines; the file's final line end ends the last line and starts no new one.
inline std::vector<std::string> FixtureLines(const std::string& name) {
    std::string text = ReadFile(std::filesystem::path(QUORVANE_FIXTURES) / name);
    EXPECT_FALSE(text.empty()) << "missing fixture " << name;
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return SplitLines(text);
}

// A fresh folder, removed with everything in it at the end of the test.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quorvane-XXXXXX").string();
        path = mkdtemp(pattern.data()) ? pattern : std::string();
        EXPECT_FALSE(path.empty());
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    const std::filesystem::path& Path() const { return path; }

    // A shell script that appends its name and arguments, one line per run, to log.
    void WriteRecorder(const std::string& name, const std::filesystem::path& log) const {
        WriteScript(name, "echo \"$(basename \"$0\") $*\" >> '" + log.string() + "'\n");
    }
    void WriteScript(const std::string& name, const std::string& body) const {
        const auto file = path / name;
        std::ofstream(file) << "#!/bin/sh\n" << body;
        std::filesystem::permissions(file, std::filesystem::perms::owner_all);
    }

private:
    std::filesystem::path path;
};

} // namespace infotest
